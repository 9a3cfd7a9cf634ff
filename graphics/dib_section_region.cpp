// cDIBSectionRegion: building the region from a bitmap, and the list of windows it is on.

#include "graphics/dib_section_region.h"

#include <limits>

#include "platform/gdi32/wingdi.h"
#include "platform/user32/winuser.h"

cDIBSectionRegion::~cDIBSectionRegion() { Destroy(); }

LONG cDIBSectionRegion::IndexForhWnd(HWND hWnd) const {
  for (LONG i = 1; i <= m_lCount; ++i)
    if (m_hWndList[static_cast<std::size_t>(i - 1)] == hWnd) return i;
  return 0;
}

bool cDIBSectionRegion::Applied(HWND hWnd) const { return IndexForhWnd(hWnd) != 0; }

bool cDIBSectionRegion::SetRegionOn(HWND hWnd) const {
  if (m_hRgn == 0) {
    SetWindowRgn(hWnd, 0, TRUE);
    return true;
  }
  const HRGN copy = CreateRectRgn(0, 0, 0, 0);
  if (copy == 0) return false;
  if (CombineRgn(copy, m_hRgn, 0, RGN_COPY) == ERROR) {
    DeleteObject(copy);
    return false;
  }
  // A window that took the copy owns it; one that did not leaves it here to free.
  if (!SetWindowRgn(hWnd, copy, TRUE)) DeleteObject(copy);
  return true;
}

void cDIBSectionRegion::Applied(HWND hWnd, bool bState) {
  const LONG index = IndexForhWnd(hWnd);
  if (bState) {
    // A window whose copy of the region cannot be made shows no region of ours, and so
    // is not listed (or no longer) as showing it.
    if (!SetRegionOn(hWnd)) {
      Applied(hWnd, false);
      return;
    }
    if (index == 0) {
      ++m_lCount;
      m_hWndList.resize(static_cast<std::size_t>(m_lCount));
      m_hWndList.back() = hWnd;
    }
    return;
  }
  SetWindowRgn(hWnd, 0, TRUE);
  if (index == 0) return;
  if (m_lCount <= 1) {
    m_lCount = 0;
    m_hWndList = {};
    return;
  }
  m_hWndList.erase(m_hWndList.begin() + (index - 1));
  --m_lCount;
}

HWND cDIBSectionRegion::hWndForIndex(LONG lIndex) const {
  if (lIndex < 1 || static_cast<std::size_t>(lIndex) > m_hWndList.size())
    tamso::RaiseStandardError(tamso::kErrSubscriptOutOfRange);
  return m_hWndList[static_cast<std::size_t>(lIndex - 1)];
}

void cDIBSectionRegion::UnapplyAll() {
  for (LONG i = 1; i <= m_lCount; ++i) {
    HWND& entry = m_hWndList[static_cast<std::size_t>(i - 1)];
    if (entry != 0) {
      SetWindowRgn(entry, 0, TRUE);
      entry = 0;
    }
  }
  m_lCount = 0;
}

void cDIBSectionRegion::Destroy() {
  UnapplyAll();
  if (m_hRgn != 0) DeleteObject(m_hRgn);
  m_hRgn = 0;
}

void cDIBSectionRegion::Create(const cDIBSection& cDib, LONG lTransColor) {
  Destroy();
  const auto colour = static_cast<DWORD>(lTransColor);
  const BYTE tr = colour & 0xFF, tg = (colour >> 8) & 0xFF, tb = (colour >> 16) & 0xFF;
  const LONG width = cDib.Width(), height = cDib.Height();
  m_hRgn = CreateRectRgn(0, 0, width, height);
  if (m_hRgn == 0) return;
  // Only pixels the bitmap owns are read: a cDib without a bitmap of its own has a view
  // without extent, so a size in its header makes the first read raise error 9.
  const tamso::DibByteView view = cDib.PixelView();

  // Each vertical run of transparent pixels leaves the region as one strip, taken out as
  // soon as it ends: the strip lies inside the region, so exclusive-or removes it.
  const auto removeStrip = [this](LONG x, LONG top, LONG bottom) {
    const HRGN strip = CreateRectRgn(x, top, x + 1, bottom);
    CombineRgn(m_hRgn, strip, m_hRgn, RGN_XOR);
    DeleteObject(strip);
  };
  for (LONG x = 0; x < width; ++x) {
    const std::int64_t offset = std::int64_t{3} * x;
    if (offset > std::numeric_limits<LONG>::max() - 2) tamso::RaiseStandardError(tamso::kErrOverflow);
    const auto c = static_cast<LONG>(offset);
    // The three bytes of the column lie within every row, or the first read fails.
    if (height > 0) view.requireColumns(c, c + 2);
    bool open = false;
    LONG top = 0;
    // Memory rows from the last to the first: the picture's lines from the top down.
    for (LONG r = height - 1; r >= 0; --r) {
      const LONG y = height - 1 - r;
      const BYTE* pixel = view.rowAt(r) + c;
      const bool transparent = pixel[0] == tb && pixel[1] == tg && pixel[2] == tr;
      if (transparent && !open) {
        open = true;
        top = y;
      } else if (!transparent && open) {
        removeStrip(x, top, y);
        open = false;
      }
    }
    if (open) removeStrip(x, top, height);
  }
}
