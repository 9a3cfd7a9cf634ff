#pragma once
// The Video for Windows file calls: open an AVI file, reach its streams and read its
// information record. Results follow the platform: 0 (AVIERR_OK) or an AVIERR code.
// AVIFileOpen reads the file's headers, read-only, and closes the file before it returns:
// the handles hold what the headers say, so a file is never kept open or locked. Frame
// data is never read.

#include <cstddef>

#include "platform/runtime/win_types.h"

// Handles of open files and streams (0 = none).
using PAVIFILE = std::uint32_t;
using PAVISTREAM = std::uint32_t;

// A class identifier; the stand-in knows only its own AVI handler, so callers pass nullptr.
struct CLSID;

constexpr HRESULT MakeAviErr(int n) { return static_cast<HRESULT>(0x80044000u + static_cast<unsigned>(n)); }

inline constexpr HRESULT AVIERR_OK = 0;
inline constexpr HRESULT AVIERR_UNSUPPORTED = MakeAviErr(101);
inline constexpr HRESULT AVIERR_BADFORMAT = MakeAviErr(102);
inline constexpr HRESULT AVIERR_MEMORY = MakeAviErr(103);
inline constexpr HRESULT AVIERR_INTERNAL = MakeAviErr(104);
inline constexpr HRESULT AVIERR_BADFLAGS = MakeAviErr(105);
inline constexpr HRESULT AVIERR_BADPARAM = MakeAviErr(106);
inline constexpr HRESULT AVIERR_BADSIZE = MakeAviErr(107);
inline constexpr HRESULT AVIERR_BADHANDLE = MakeAviErr(108);
inline constexpr HRESULT AVIERR_FILEREAD = MakeAviErr(109);
inline constexpr HRESULT AVIERR_FILEWRITE = MakeAviErr(110);
inline constexpr HRESULT AVIERR_FILEOPEN = MakeAviErr(111);
inline constexpr HRESULT AVIERR_COMPRESSOR = MakeAviErr(112);
inline constexpr HRESULT AVIERR_NOCOMPRESSOR = MakeAviErr(113);
inline constexpr HRESULT AVIERR_READONLY = MakeAviErr(114);
inline constexpr HRESULT AVIERR_NODATA = MakeAviErr(115);
inline constexpr HRESULT AVIERR_BUFFERTOOSMALL = MakeAviErr(116);
inline constexpr HRESULT AVIERR_CANTCOMPRESS = MakeAviErr(117);
inline constexpr HRESULT AVIERR_USERABORT = MakeAviErr(198);
inline constexpr HRESULT AVIERR_ERROR = MakeAviErr(199);

// Open modes (OF_*); the stand-in opens every file read-only whatever the mode says.
inline constexpr UINT OF_READ = 0x0;
inline constexpr UINT OF_WRITE = 0x1;
inline constexpr UINT OF_SHARE_DENY_WRITE = 0x20;

// Stream types.
inline constexpr FOURCC streamtypeVIDEO = MakeFourCC('v', 'i', 'd', 's');
inline constexpr FOURCC streamtypeAUDIO = MakeFourCC('a', 'u', 'd', 's');
inline constexpr FOURCC streamtypeMIDI = MakeFourCC('m', 'i', 'd', 's');
inline constexpr FOURCC streamtypeTEXT = MakeFourCC('t', 'x', 't', 's');

// The file information record in its 8-bit-text form (108 bytes).
struct AVIFILEINFO {
  DWORD dwMaxBytesPerSec;
  DWORD dwFlags;
  DWORD dwCaps;
  DWORD dwStreams;
  DWORD dwSuggestedBufferSize;
  DWORD dwWidth;
  DWORD dwHeight;
  DWORD dwScale;
  DWORD dwRate;
  DWORD dwLength;
  DWORD dwEditCount;
  char szFileType[64];
};
static_assert(sizeof(AVIFILEINFO) == 108);
static_assert(offsetof(AVIFILEINFO, dwStreams) == 12);
static_assert(offsetof(AVIFILEINFO, dwLength) == 36);
static_assert(offsetof(AVIFILEINFO, szFileType) == 44);

inline constexpr DWORD AVIFILECAPS_CANREAD = 0x1;
inline constexpr DWORD AVIFILECAPS_CANWRITE = 0x2;

// Library start-up and shut-down; the stand-in needs neither, and both may be called.
void AVIFileInit();
void AVIFileExit();

HRESULT AVIFileOpen(PAVIFILE* ppfile, const char* szFile, UINT uMode, const CLSID* lpHandler);
HRESULT AVIFileGetStream(PAVIFILE pfile, PAVISTREAM* ppavi, DWORD fccType, LONG lParam);
HRESULT AVIFileInfo(PAVIFILE pfile, AVIFILEINFO* pfi, LONG lSize);
LONG AVIStreamStart(PAVISTREAM pavi);
LONG AVIStreamLength(PAVISTREAM pavi);
// AVIStreamStart and AVIStreamLength return -1 for a handle that is not open; values
// beyond the range of LONG are reported as its largest value, so -1 means only failure.
// Each release returns the references left on the object; at 0 it is gone. A stream
// holds a reference to its file while it is held itself.
ULONG AVIStreamRelease(PAVISTREAM pavi);
ULONG AVIFileRelease(PAVIFILE pfile);
