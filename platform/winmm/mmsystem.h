#pragma once
// The multimedia command interface: one call that takes an MCI command string, such as
// "play kitty.mid" or "status tune mode", and answers 0 or an MCIERR code, with any
// text reply written into the caller's buffer.
//
// The stand-in knows one kind of device, the MIDI sequencer, played through FluidSynth
// with a General MIDI soundfont. Commands: open, close, play, stop and status ... mode;
// see mci_devices.h for what each does and how a file name is found.

#include "platform/runtime/win_types.h"

using MCIERROR = DWORD;

inline constexpr MCIERROR MCIERR_BASE = 256;
inline constexpr MCIERROR MCIERR_INVALID_DEVICE_ID = MCIERR_BASE + 1;
inline constexpr MCIERROR MCIERR_UNRECOGNIZED_KEYWORD = MCIERR_BASE + 3;
inline constexpr MCIERROR MCIERR_UNRECOGNIZED_COMMAND = MCIERR_BASE + 5;
inline constexpr MCIERROR MCIERR_HARDWARE = MCIERR_BASE + 6;
inline constexpr MCIERROR MCIERR_INVALID_DEVICE_NAME = MCIERR_BASE + 7;
inline constexpr MCIERROR MCIERR_DEVICE_OPEN = MCIERR_BASE + 9;
inline constexpr MCIERROR MCIERR_CANNOT_LOAD_DRIVER = MCIERR_BASE + 10;
inline constexpr MCIERROR MCIERR_MISSING_COMMAND_STRING = MCIERR_BASE + 11;
inline constexpr MCIERROR MCIERR_PARAM_OVERFLOW = MCIERR_BASE + 12;
inline constexpr MCIERROR MCIERR_MISSING_STRING_ARGUMENT = MCIERR_BASE + 13;
inline constexpr MCIERROR MCIERR_MISSING_PARAMETER = MCIERR_BASE + 17;
inline constexpr MCIERROR MCIERR_UNSUPPORTED_FUNCTION = MCIERR_BASE + 18;
inline constexpr MCIERROR MCIERR_FILE_NOT_FOUND = MCIERR_BASE + 19;
inline constexpr MCIERROR MCIERR_EXTENSION_NOT_FOUND = MCIERR_BASE + 25;
inline constexpr MCIERROR MCIERR_DUPLICATE_ALIAS = MCIERR_BASE + 33;
inline constexpr MCIERROR MCIERR_MISSING_DEVICE_NAME = MCIERR_BASE + 36;
inline constexpr MCIERROR MCIERR_NO_CLOSING_QUOTE = MCIERR_BASE + 38;
inline constexpr MCIERROR MCIERR_DUPLICATE_FLAGS = MCIERR_BASE + 39;
inline constexpr MCIERROR MCIERR_INVALID_FILE = MCIERR_BASE + 40;
inline constexpr MCIERROR MCIERR_NOTIFY_ON_AUTO_OPEN = MCIERR_BASE + 44;
inline constexpr MCIERROR MCIERR_NONAPPLICABLE_FUNCTION = MCIERR_BASE + 46;
inline constexpr MCIERROR MCIERR_DEVICE_NOT_INSTALLED = MCIERR_BASE + 50;

// Runs one command. `lpszReturnString` (may be null) receives the reply, at most
// `cchReturn` characters with the terminating zero; when it is too small for the reply
// the result is MCIERR_PARAM_OVERFLOW. With a null buffer or a length of 0 no text is
// written. `hwndCallback` is accepted and unused: no notification message is posted.
MCIERROR mciSendStringA(const char* lpszCommand, char* lpszReturnString, UINT cchReturn, HWND hwndCallback);
