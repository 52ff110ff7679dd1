// The status numbers of the FTP client and their texts. Every client
// operation returns one of these (0 is success); a result of 100 or more from
// the reply readers is the server's reply number instead.
#pragma once

#include <string>

namespace tf {

enum FtpStatus : int {
  kFtpOk = 0,
  kFtpIoError = 6,
  kFtpBadAddress = 7,
  kFtpCannotConnect = 8,
  kFtpNoSuchFile = 15,
  kFtpNoSocket = 23,
  kFtpCannotBind = 24,
  kFtpCannotListen = 25,
  kFtpAcceptFailed = 26,
  kFtpAddressUnavailable = 27,
  kFtpTimeout = 29,
  kFtpConnectionClosed = 32,
  kFtpLineTooLong = 33,
  kFtpLogonFailed = 34,
  kFtpNotConnected = 36,
  kFtpCommandFailed = 37,
  kFtpPassiveRefused = 127,  // PASV refused or its reply unreadable
};

// The status's message, cut to size - 1 bytes; "FTP error %d" for a number
// without a text of its own.
std::string FtpErrorText(int status, std::size_t size = 200);

}  // namespace tf
