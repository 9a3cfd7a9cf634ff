#pragma once
// The resource calls: a library file opened as data (never run) or the program itself
// (module 0), its resources found by type and name, their data reached by address.
//
// Names and types are 8-bit strings or numbers passed as MAKEINTRESOURCEA(n); a string
// "#101" means the number 101. The program's own resources are those embedded at build
// time (program_resources.h).

#include <cstdint>

#include "platform/runtime/win_types.h"

using LPCSTR = const char*;
using LPVOID = void*;

inline constexpr DWORD LOAD_LIBRARY_AS_DATAFILE = 0x2;
inline constexpr DWORD LOAD_LIBRARY_AS_IMAGE_RESOURCE = 0x20;
inline constexpr DWORD LOAD_LIBRARY_AS_DATAFILE_EXCLUSIVE = 0x40;

// A number in the place of a name: a pointer value below 0x10000.
inline LPCSTR MAKEINTRESOURCEA(WORD id) { return reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(id)); }
inline bool IS_INTRESOURCE(LPCSTR name) { return (reinterpret_cast<std::uintptr_t>(name) >> 16) == 0; }

inline constexpr WORD kRtRcdata = 10;
inline const LPCSTR RT_RCDATA = MAKEINTRESOURCEA(kRtRcdata);

// Opens `lpLibFileName` for its resources. Only the data-file flags are accepted (nothing
// is ever run): 0 for other flags, a missing or unreadable file, or one that is not a PE
// file.
HMODULE LoadLibraryExA(LPCSTR lpLibFileName, HANDLE hFile, DWORD dwFlags);
BOOL FreeLibrary(HMODULE hLibModule);

// Resource handles stay valid until their library is freed.
HRSRC FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType);
DWORD SizeofResource(HMODULE hModule, HRSRC hResInfo);
HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo);
// The address of the resource's data (read-only), nullptr for a handle that is not one.
LPVOID LockResource(HGLOBAL hResData);
