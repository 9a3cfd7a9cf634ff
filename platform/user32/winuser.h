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
// Copies a window's region into the existing region `hRgn`; ERROR when it has none.
int GetWindowRgn(HWND hWnd, HRGN hRgn);

inline constexpr UINT MB_OK = 0x0;
inline constexpr UINT MB_OKCANCEL = 0x1;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x2;
inline constexpr UINT MB_YESNOCANCEL = 0x3;
inline constexpr UINT MB_YESNO = 0x4;
inline constexpr UINT MB_RETRYCANCEL = 0x5;
inline constexpr UINT MB_ICONHAND = 0x10;
inline constexpr UINT MB_ICONERROR = MB_ICONHAND;
inline constexpr UINT MB_ICONQUESTION = 0x20;
inline constexpr UINT MB_ICONEXCLAMATION = 0x30;
inline constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr UINT MB_ICONINFORMATION = 0x40;
inline constexpr UINT MB_TYPEMASK = 0xF;
inline constexpr UINT MB_ICONMASK = 0xF0;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// A modal message box; the button pressed (IDOK, ...), or 0 when none can be shown.
int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);

inline constexpr UINT CF_BITMAP = 2;

// The clipboard. Only bitmaps (CF_BITMAP) are put on it here. Once SetClipboardData
// accepted a bitmap, the clipboard owns it and frees it when it is next emptied.
BOOL OpenClipboard(HWND hWndNewOwner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
HANDLE SetClipboardData(UINT uFormat, HANDLE hMem);
