// The message codes of the service's TCP protocol. Commands come from a
// console, always as class 1; the service answers a command of its own
// connection as class 1 and broadcasts as class 2.
#pragma once

#include <cstdint>

namespace tf::service {

enum CommandCode : std::uint32_t {
  CMD_GET_ALL = 1,
  CMD_REMOVE_SITE = 2,
  CMD_DISCONNECT = 3,
  CMD_CREATE_SITE = 4,
  CMD_RESET_SITE = 5,
  CMD_GENERATE_REPORTS = 6,
  CMD_SET_SYSTEM_SETTINGS = 7,
  CMD_MODIFY_SITE = 8,
  CMD_START_ANALYSIS = 12,
  CMD_STOP_ANALYSIS = 13,
  CMD_GET_SITE_STATUS = 14,
  CMD_LOGON = 15,
  CMD_LOGON2 = 16,
  CMD_CHANGE_LOGON = 17,
};

enum ReplyCode : std::uint32_t {
  MSG_SITE_RECORD = 1,
  MSG_SITE_LIST_BEGIN = 2,
  MSG_SITE_LIST_END = 3,
  MSG_ALERT = 4,
  MSG_ACK = 5,
  MSG_ERROR_BOX = 6,
  MSG_SITE_REMOVED = 7,
  MSG_SYSTEM_SETTINGS = 8,
  MSG_SITE_STATUS = 13,
  MSG_LOGON_CHALLENGE = 14,
  MSG_LOGON_STATE = 15,
};

// Message-box flags of error and alert bodies.
constexpr std::uint32_t kBoxStopOk = 16;
constexpr std::uint32_t kBoxStopOkCancel = 17;

constexpr int kDefaultServicePort = 5579;

}  // namespace tf::service
