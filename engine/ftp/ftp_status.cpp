#include "engine/ftp/ftp_status.h"

#include "engine/common/text.h"

namespace tf {
namespace {

const char* KnownText(int status) {
  switch (status) {
    case kFtpIoError: return "I/O error while communicating with FTP server";
    case kFtpBadAddress: return "Incorrect domain name or address for the FTP site";
    case kFtpCannotConnect: return "Unable to connect to the FTP site";
    case kFtpNoSuchFile: return "The specified file does not exist";
    case kFtpNoSocket: return "Unable to allocate a TCP/IP socket";
    case kFtpCannotBind: return "Unable to bind to port requsted by FTP server";
    case kFtpCannotListen: return "Unable to listen to port specified by FTP server";
    case kFtpAcceptFailed: return "Error while accepting connection from FTP server";
    case kFtpAddressUnavailable: return "FTP server address is not available";
    case kFtpTimeout: return "Timeout while communicating with FTP server";
    case kFtpConnectionClosed: return "FTP server unexpectedly closed the connection";
    case kFtpLineTooLong: return "Command buffer overflow";
    case kFtpLogonFailed: return "Unable to logon to FTP site (check logon name and password).";
    case kFtpNotConnected: return "Not connected to FTP server";
    case kFtpCommandFailed: return "FTP server returned error status for the command";
    default: return nullptr;
  }
}

}  // namespace

std::string FtpErrorText(int status, std::size_t size) {
  const char* known = KnownText(status);
  std::string text = known ? known : "FTP error " + std::to_string(status);
  return std::string(CutUtf8(text, size > 0 ? size - 1 : 0));
}

}  // namespace tf
