#pragma once
// The graphics calls: device contexts, bitmaps (DIB sections and screen-format bitmaps),
// block transfers with raster operations, brushes and regions. Handles are 32-bit values
// from one table (0 = none). No display is needed: the screen is a virtual 32-bit screen.
//
// Bitmaps of 1, 24 and 32 bits a pixel exist here; a memory DC starts with a 1 x 1
// monochrome bitmap selected, and the screen's bitmaps are 32 bits a pixel.

#include <cstddef>

#include "platform/runtime/win_types.h"

using HBRUSH = std::uint32_t;
using LPVOID = void*;
using LPCVOID = const void*;
using LPCSTR = const char*;

// The 40-byte header of a device-independent bitmap.
struct BITMAPINFOHEADER {
  DWORD biSize = 0;
  LONG biWidth = 0;
  LONG biHeight = 0;  // positive: rows stored bottom-up; negative: top-down
  WORD biPlanes = 0;
  WORD biBitCount = 0;
  DWORD biCompression = 0;
  DWORD biSizeImage = 0;
  LONG biXPelsPerMeter = 0;
  LONG biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct RGBQUAD {
  BYTE rgbBlue = 0;
  BYTE rgbGreen = 0;
  BYTE rgbRed = 0;
  BYTE rgbReserved = 0;
};

// The header and one colour-table entry: 44 bytes.
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};
static_assert(sizeof(BITMAPINFO) == 44);

// What GetObjectA reports for a bitmap. bmBits is a pointer, so the record is 32 bytes
// here, as on the platform's 64-bit builds.
struct BITMAP {
  LONG bmType = 0;
  LONG bmWidth = 0;
  LONG bmHeight = 0;
  LONG bmWidthBytes = 0;
  WORD bmPlanes = 0;
  WORD bmBitsPixel = 0;
  LPVOID bmBits = nullptr;
};

struct RGNDATAHEADER {
  DWORD dwSize = 0;
  DWORD iType = 0;
  DWORD nCount = 0;
  DWORD nRgnSize = 0;
  RECT rcBound;
};
static_assert(sizeof(RGNDATAHEADER) == 32);

// A region data block: the header, then nCount rectangles. Only the header is a member;
// the block is read and written as bytes.
struct RGNDATA {
  RGNDATAHEADER rdh;
  char Buffer[1];
};

struct XFORM {
  float eM11 = 1, eM12 = 0, eM21 = 0, eM22 = 1, eDx = 0, eDy = 0;
};

// Colour values: red in the low byte.
constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
  return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) | (static_cast<COLORREF>(b) << 16);
}
inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// Raster operations.
inline constexpr DWORD BLACKNESS = 0x00000042;
inline constexpr DWORD NOTSRCERASE = 0x001100A6;
inline constexpr DWORD NOTSRCCOPY = 0x00330008;
inline constexpr DWORD SRCERASE = 0x00440328;
inline constexpr DWORD DSTINVERT = 0x00550009;
inline constexpr DWORD PATINVERT = 0x005A0049;
inline constexpr DWORD SRCINVERT = 0x00660046;
inline constexpr DWORD SRCAND = 0x008800C6;
inline constexpr DWORD MERGEPAINT = 0x00BB0226;
inline constexpr DWORD MERGECOPY = 0x00C000CA;
inline constexpr DWORD SRCCOPY = 0x00CC0020;
inline constexpr DWORD SRCPAINT = 0x00EE0086;
inline constexpr DWORD PATCOPY = 0x00F00021;
inline constexpr DWORD PATPAINT = 0x00FB0A09;
inline constexpr DWORD WHITENESS = 0x00FF0062;
inline constexpr DWORD CAPTUREBLT = 0x40000000;
inline constexpr DWORD NOMIRRORBITMAP = 0x80000000;

inline constexpr DWORD BI_RGB = 0;
inline constexpr UINT DIB_RGB_COLORS = 0;
inline constexpr UINT DIB_PAL_COLORS = 1;

// CombineRgn modes and the region kinds the region calls return.
inline constexpr int RGN_AND = 1;
inline constexpr int RGN_OR = 2;
inline constexpr int RGN_XOR = 3;
inline constexpr int RGN_DIFF = 4;
inline constexpr int RGN_COPY = 5;
inline constexpr int ERROR = 0;
inline constexpr int NULLREGION = 1;
inline constexpr int SIMPLEREGION = 2;
inline constexpr int COMPLEXREGION = 3;
inline constexpr DWORD RDH_RECTANGLES = 1;

// GetStockObject.
inline constexpr int WHITE_BRUSH = 0;
inline constexpr int BLACK_BRUSH = 4;

// GetDeviceCaps.
inline constexpr int HORZRES = 8;
inline constexpr int VERTRES = 10;
inline constexpr int BITSPIXEL = 12;
inline constexpr int PLANES = 14;

// Device contexts. CreateDCA knows the driver "DISPLAY": the screen.
HDC CreateDCA(LPCSTR pszDriver, LPCSTR pszDevice, LPCSTR pszPort, const void* pdm);
HDC CreateCompatibleDC(HDC hdc);
BOOL DeleteDC(HDC hdc);
int GetDeviceCaps(HDC hdc, int index);

// Bitmaps and drawing.
HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* pbmi, UINT usage, void** ppvBits, HANDLE hSection,
                         DWORD offset);
HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy);
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h);
BOOL DeleteObject(HGDIOBJ ho);
int GetObjectA(HGDIOBJ h, int c, LPVOID pv);
HGDIOBJ GetStockObject(int i);
HBRUSH CreateSolidBrush(COLORREF color);
BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop);
COLORREF GetPixel(HDC hdc, int x, int y);
COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
// Copy scan lines between a bitmap and 24- or 32-bit device-independent pixels.
int GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, LPVOID lpvBits, BITMAPINFO* lpbmi, UINT usage);
int SetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, LPCVOID lpBits, const BITMAPINFO* lpbmi,
              UINT ColorUse);

// Regions.
HRGN CreateRectRgn(int x1, int y1, int x2, int y2);
int CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode);
DWORD GetRegionData(HRGN hrgn, DWORD nCount, RGNDATA* lpRgnData);
// Only the identity transform (or none) is supported; any other gives 0.
HRGN ExtCreateRegion(const XFORM* lpx, DWORD nCount, const RGNDATA* lpData);
int GetRgnBox(HRGN hrgn, RECT* lprc);
int OffsetRgn(HRGN hrgn, int x, int y);
BOOL PtInRegion(HRGN hrgn, int x, int y);
BOOL EqualRgn(HRGN hrgn1, HRGN hrgn2);

namespace tamso {

class Region;

// The region behind a region handle, for the window calls that take a region over;
// nullptr when `hrgn` is not a region.
const Region* FindRegion(HRGN hrgn);

// A new region handle that holds `region`.
HRGN CreateRegionHandle(Region region);

// How many objects the graphics table holds; tests use it to see that nothing leaks.
std::size_t GdiObjectCount();

}  // namespace tamso
