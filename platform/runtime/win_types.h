#pragma once
// The Windows scalar types and handles the stand-ins keep in their signatures.
// Handles are 32-bit values; 0 means none.

#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using UINT = std::uint32_t;
using INT = std::int32_t;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using BOOL = std::int32_t;
using HRESULT = std::int32_t;
using COLORREF = std::uint32_t;
using FOURCC = std::uint32_t;

using HANDLE = std::uint32_t;
using HWND = std::uint32_t;
using HDC = std::uint32_t;
using HGDIOBJ = std::uint32_t;
using HBITMAP = std::uint32_t;
using HRGN = std::uint32_t;
using HINSTANCE = std::uint32_t;
using HMODULE = std::uint32_t;
using HRSRC = std::uint32_t;
using HGLOBAL = std::uint32_t;

// Pointer-sized message parameters, as on the platform's 64-bit builds.
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

struct RECT {
  LONG left = 0;
  LONG top = 0;
  LONG right = 0;
  LONG bottom = 0;
  friend bool operator==(const RECT&, const RECT&) = default;
};

struct POINT {
  LONG x = 0;
  LONG y = 0;
  friend bool operator==(const POINT&, const POINT&) = default;
};

// The four characters of a code, first character in the lowest byte.
constexpr FOURCC MakeFourCC(char a, char b, char c, char d) {
  return static_cast<FOURCC>(static_cast<BYTE>(a)) | (static_cast<FOURCC>(static_cast<BYTE>(b)) << 8) |
         (static_cast<FOURCC>(static_cast<BYTE>(c)) << 16) |
         (static_cast<FOURCC>(static_cast<BYTE>(d)) << 24);
}
