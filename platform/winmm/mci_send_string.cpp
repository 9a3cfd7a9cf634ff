// mciSendStringA: parses the command and hands it to the process's device table.
#include <cstring>
#include <string>

#include "platform/winmm/mci_command.h"
#include "platform/winmm/mci_devices.h"
#include "platform/winmm/mmsystem.h"

MCIERROR mciSendStringA(const char* lpszCommand, char* lpszReturnString, UINT cchReturn,
                        HWND /*hwndCallback*/) {
  const bool wantsReply = lpszReturnString != nullptr && cchReturn > 0;
  if (wantsReply) lpszReturnString[0] = '\0';
  if (lpszCommand == nullptr) return MCIERR_MISSING_COMMAND_STRING;

  const tamso::winmm::MciParseResult parsed = tamso::winmm::ParseMciCommand(lpszCommand);
  if (parsed.error != 0) return parsed.error;

  std::string reply;
  if (MCIERROR error = tamso::winmm::ProcessMciDevices().execute(parsed.command, reply)) return error;
  if (wantsReply && !reply.empty()) {
    if (reply.size() + 1 > cchReturn) return MCIERR_PARAM_OVERFLOW;
    std::memcpy(lpszReturnString, reply.c_str(), reply.size() + 1);
  }
  return 0;
}
