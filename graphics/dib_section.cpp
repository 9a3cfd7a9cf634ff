// cDIBSection: creation, drawing in and out, and clean-up.

#include <cstdint>
#include <limits>

#include "graphics/dib_section.h"
#include "platform/user32/winuser.h"

namespace {

// A 32-bit signed result of 64-bit arithmetic, or error 6 when it does not fit.
LONG Checked(std::int64_t value) {
  if (value < std::numeric_limits<LONG>::min() || value > std::numeric_limits<LONG>::max())
    tamso::RaiseStandardError(tamso::kErrOverflow);
  return static_cast<LONG>(value);
}

}  // namespace

cDIBSection::~cDIBSection() { ClearUp(); }

LONG cDIBSection::BytesPerScanLine() const {
  const LONG threeTimes = Checked(std::int64_t{3} * m_tBitmapInfo.bmiHeader.biWidth);
  return Checked(std::int64_t{threeTimes} + 3) & ~LONG{3};
}

bool cDIBSection::CreateDIB(HDC lhDC, LONG lWidth, LONG lHeight, HBITMAP& hDib) {
  hDib = 0;
  if (m_hDib != 0) return false;
  // Whatever this call ends in, the address no longer points at an earlier caller's pixels.
  m_lBitsPtr = nullptr;
  BITMAPINFOHEADER& h = m_tBitmapInfo.bmiHeader;
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biWidth = lWidth;
  h.biHeight = lHeight;
  h.biPlanes = 1;
  h.biBitCount = 24;
  h.biCompression = BI_RGB;
  h.biSizeImage = static_cast<DWORD>(Checked(std::int64_t{h.biHeight} * BytesPerScanLine()));
  // A negative height would ask for rows stored top-down, which the pixel layout is not.
  if (lWidth < 1 || lHeight < 1) return false;
  void* bits = nullptr;
  hDib = CreateDIBSection(lhDC, &m_tBitmapInfo, DIB_RGB_COLORS, &bits, 0, 0);
  m_lBitsPtr = static_cast<BYTE*>(bits);
  return hDib != 0;
}

bool cDIBSection::Create(LONG lWidth, LONG lHeight) {
  ClearUp();
  m_hDC = CreateCompatibleDC(0);
  if (!m_hDC) return false;
  if (CreateDIB(m_hDC, lWidth, lHeight, m_hDib)) {
    m_hBmpPrev = SelectObject(m_hDC, m_hDib);
    return true;
  }
  DeleteDC(m_hDC);
  m_hDC = 0;
  return false;
}

void cDIBSection::CreateFromPicture(const tamso::Picture& picThis) {
  BITMAP record{};
  GetObjectA(picThis.Handle(), sizeof record, &record);
  if (!Create(record.bmWidth, record.bmHeight)) return;

  const HWND desktop = GetDesktopWindow();
  const HDC screen = GetDC(desktop);
  if (!screen) return;
  const HDC temporary = CreateCompatibleDC(screen);
  ReleaseDC(desktop, screen);
  if (!temporary) return;

  const HGDIOBJ kept = SelectObject(temporary, picThis.Handle());
  LoadPictureBlt(temporary);
  SelectObject(temporary, kept);
  DeleteDC(temporary);
}

void cDIBSection::LoadPictureBlt(HDC lhDC, LONG lSrcLeft, LONG lSrcTop, LONG lSrcWidth, LONG lSrcHeight,
                                 DWORD eRop) {
  const LONG w = lSrcWidth >= 0 ? lSrcWidth : Width();
  const LONG h = lSrcHeight >= 0 ? lSrcHeight : Height();
  BitBlt(m_hDC, 0, 0, w, h, lhDC, lSrcLeft, lSrcTop, eRop);
}

void cDIBSection::PaintPicture(HDC lhDC, LONG lDestLeft, LONG lDestTop, LONG lDestWidth, LONG lDestHeight,
                               LONG lSrcLeft, LONG lSrcTop, DWORD eRop) {
  const LONG w = lDestWidth >= 0 ? lDestWidth : Width();
  const LONG h = lDestHeight >= 0 ? lDestHeight : Height();
  BitBlt(lhDC, lDestLeft, lDestTop, w, h, m_hDC, lSrcLeft, lSrcTop, eRop);
}

void cDIBSection::ClearUp() {
  if (m_hDC != 0) {
    if (m_hDib != 0) {
      SelectObject(m_hDC, m_hBmpPrev);
      DeleteObject(m_hDib);
    }
    DeleteDC(m_hDC);
  }
  m_hDC = 0;
  m_hDib = 0;
  m_hBmpPrev = 0;
  m_lBitsPtr = nullptr;
}

tamso::DibByteView cDIBSection::PixelView() const {
  if (m_hDib == 0) return {};
  return tamso::DibByteView(m_lBitsPtr, BytesPerScanLine(), Height());
}
