#pragma once
// The window calls: the screen's device context, window regions, message boxes and the
// clipboard. Message boxes and the clipboard go through seams (message_box.h,
// clipboard.h): Qt's on the desktop, a test's under test, none without a display.

#include "platform/runtime/win_types.h"

using LPCSTR = const char*;

// The desktop window, and a device context for the screen (GetDC of 0 or of the desktop
// window; other windows have none here). ReleaseDC gives it back.
HWND GetDesktopWindow();
HDC GetDC(HWND hWnd);
int ReleaseDC(HWND hWnd, HDC hDC);

// Sets the region a window shows and takes the mouse in, in window coordinates; 0
// gives it back its full rectangle. On success the window owns `hRgn`: the handle is
// freed at once and must not be used again. Returns 0 (and leaves `hRgn` to the caller)
// for a window or region that does not exist.
int SetWindowRgn(HWND hWnd, HRGN hRgn, BOOL bRedraw);

inline constexpr UINT MB_OK = 0x0;
inline constexpr UINT MB_ICONEXCLAMATION = 0x30;
inline constexpr UINT MB_ICONINFORMATION = 0x40;
inline constexpr UINT MB_ICONMASK = 0xF0;

inline constexpr int IDOK = 1;

// A modal message box with one OK button (the only kind the program shows), with the
// information or warning icon when uType asks for it; IDOK once it is closed, or 0 when none can be
// shown.
int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);

inline constexpr UINT CF_BITMAP = 2;

// The clipboard. Only bitmaps (CF_BITMAP) are put on it here. Once SetClipboardData
// accepted a bitmap, the clipboard owns it and frees it when it is next emptied.
BOOL OpenClipboard(HWND hWndNewOwner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
HANDLE SetClipboardData(UINT uFormat, HANDLE hMem);
