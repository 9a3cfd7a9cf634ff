#pragma once
// shell32: the special folders of the shell, and ole32's task-memory release.
//
//   LPITEMIDLIST pidl = nullptr;
//   if (SHGetSpecialFolderLocation(0, CSIDL_PERSONAL, &pidl) == S_OK) {
//     char path[tamso::AnsiBufferBytes(MAX_PATH)];
//     if (SHGetPathFromIDListA(pidl, path)) ...   // UTF-8 path, NUL-terminated
//     CoTaskMemFree(pidl);
//   }
//
// Folders map to the XDG user directories and base directories of the current user (see
// shell_folders.h). A virtual folder yields an item list without a path; an id the
// shell does not define fails with E_INVALIDARG.

#include "platform/runtime/ansi_text.h"
#include "platform/runtime/win_types.h"

// An item-ID list: opaque here, it only carries the folder it was made for.
struct ITEMIDLIST;
using LPITEMIDLIST = ITEMIDLIST*;
using LPCITEMIDLIST = const ITEMIDLIST*;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
// The folder has a directory, but it does not exist (and creation was not asked for).
inline constexpr HRESULT E_FOLDER_NOT_FOUND = static_cast<HRESULT>(0x80070002u);

// The size of a path buffer for SHGetPathFromIDListA in characters, NUL included; the
// buffer holds tamso::AnsiBufferBytes(MAX_PATH) bytes (platform/runtime/ansi_text.h).
inline constexpr int MAX_PATH = 260;

inline constexpr int CSIDL_DESKTOP = 0x00;
inline constexpr int CSIDL_INTERNET = 0x01;
inline constexpr int CSIDL_PROGRAMS = 0x02;
inline constexpr int CSIDL_CONTROLS = 0x03;
inline constexpr int CSIDL_PRINTERS = 0x04;
inline constexpr int CSIDL_PERSONAL = 0x05;
inline constexpr int CSIDL_FAVORITES = 0x06;
inline constexpr int CSIDL_STARTUP = 0x07;
inline constexpr int CSIDL_RECENT = 0x08;
inline constexpr int CSIDL_SENDTO = 0x09;
inline constexpr int CSIDL_BITBUCKET = 0x0A;
inline constexpr int CSIDL_STARTMENU = 0x0B;
inline constexpr int CSIDL_MYDOCUMENTS = 0x0C;
inline constexpr int CSIDL_MYMUSIC = 0x0D;
inline constexpr int CSIDL_MYVIDEO = 0x0E;
inline constexpr int CSIDL_DESKTOPDIRECTORY = 0x10;
inline constexpr int CSIDL_DRIVES = 0x11;
inline constexpr int CSIDL_NETWORK = 0x12;
inline constexpr int CSIDL_NETHOOD = 0x13;
inline constexpr int CSIDL_FONTS = 0x14;
inline constexpr int CSIDL_TEMPLATES = 0x15;
inline constexpr int CSIDL_COMMON_STARTMENU = 0x16;
inline constexpr int CSIDL_COMMON_PROGRAMS = 0x17;
inline constexpr int CSIDL_COMMON_STARTUP = 0x18;
inline constexpr int CSIDL_COMMON_DESKTOPDIRECTORY = 0x19;
inline constexpr int CSIDL_APPDATA = 0x1A;
inline constexpr int CSIDL_PRINTHOOD = 0x1B;
inline constexpr int CSIDL_LOCAL_APPDATA = 0x1C;
inline constexpr int CSIDL_ALTSTARTUP = 0x1D;
inline constexpr int CSIDL_COMMON_ALTSTARTUP = 0x1E;
inline constexpr int CSIDL_COMMON_FAVORITES = 0x1F;
inline constexpr int CSIDL_INTERNET_CACHE = 0x20;
inline constexpr int CSIDL_COOKIES = 0x21;
inline constexpr int CSIDL_HISTORY = 0x22;
inline constexpr int CSIDL_COMMON_APPDATA = 0x23;
inline constexpr int CSIDL_WINDOWS = 0x24;
inline constexpr int CSIDL_SYSTEM = 0x25;
inline constexpr int CSIDL_PROGRAM_FILES = 0x26;
inline constexpr int CSIDL_MYPICTURES = 0x27;
inline constexpr int CSIDL_PROFILE = 0x28;
inline constexpr int CSIDL_SYSTEMX86 = 0x29;
inline constexpr int CSIDL_PROGRAM_FILESX86 = 0x2A;
inline constexpr int CSIDL_PROGRAM_FILES_COMMON = 0x2B;
inline constexpr int CSIDL_PROGRAM_FILES_COMMONX86 = 0x2C;
inline constexpr int CSIDL_COMMON_TEMPLATES = 0x2D;
inline constexpr int CSIDL_COMMON_DOCUMENTS = 0x2E;
inline constexpr int CSIDL_COMMON_ADMINTOOLS = 0x2F;
inline constexpr int CSIDL_ADMINTOOLS = 0x30;
inline constexpr int CSIDL_CONNECTIONS = 0x31;
inline constexpr int CSIDL_COMMON_MUSIC = 0x35;
inline constexpr int CSIDL_COMMON_PICTURES = 0x36;
inline constexpr int CSIDL_COMMON_VIDEO = 0x37;
inline constexpr int CSIDL_RESOURCES = 0x38;
inline constexpr int CSIDL_RESOURCES_LOCALIZED = 0x39;
inline constexpr int CSIDL_COMMON_OEM_LINKS = 0x3A;
inline constexpr int CSIDL_CDBURN_AREA = 0x3B;
inline constexpr int CSIDL_COMPUTERSNEARME = 0x3D;
inline constexpr int CSIDL_PROFILES = 0x3E;

// Bits that may be OR-ed into an id.
inline constexpr int CSIDL_FLAG_CREATE = 0x8000;       // create a missing directory
inline constexpr int CSIDL_FLAG_DONT_VERIFY = 0x4000;  // do not check that it exists
inline constexpr int CSIDL_FLAG_MASK = 0xFF00;

// The item-ID list of the special folder `nFolder`, to be released with CoTaskMemFree.
// S_OK with *ppidl set; E_INVALIDARG for an unknown id or a null ppidl;
// E_FOLDER_NOT_FOUND when the folder's directory is missing (unless CSIDL_FLAG_CREATE,
// which creates it, or CSIDL_FLAG_DONT_VERIFY); *ppidl is null after a failure.
// hwndOwner is accepted and not used.
HRESULT SHGetSpecialFolderLocation(HWND hwndOwner, int nFolder, LPITEMIDLIST* ppidl);

// Writes the directory of `pidl` into pszPath (room for MAX_PATH characters) followed by
// a NUL. FALSE, with pszPath set to the empty text, for a list without a directory, a
// directory of MAX_PATH characters or more, or a pointer that is not a live list.
BOOL SHGetPathFromIDListA(LPCITEMIDLIST pidl, char* pszPath);

// Releases memory the shell handed out; null and unknown pointers are ignored.
void CoTaskMemFree(void* pv);
