#pragma once
// cDIBSection: one 24-bit device-independent bitmap in memory (a DIB section), selected
// into its own memory device context, with direct access to its pixels.
//
// Pixel memory: 3 bytes a pixel (blue, green, red); rows of BytesPerScanLine() bytes,
// 3 * Width() rounded up to a multiple of 4; rows stored bottom-up, so memory row r holds
// picture line Height() - 1 - r. The pixel loops reach it through a DibByteView, which
// raises error 9 on any access outside it; an object that holds no bitmap gives a view
// without extent, so its pixel operations raise error 9 and touch no memory.
//
// Errors (tamso::Error): 6 (overflow) from the size arithmetic, 9 (index out of range)
// from the byte view. Failures of platform calls are results (false, 0, no object).

#include <memory>

#include "graphics/dib_byte_view.h"
#include "graphics/picture.h"
#include "platform/gdi32/wingdi.h"

class cDIBSection {
 public:
  cDIBSection() = default;
  // Frees the bitmap and the DC (ClearUp).
  ~cDIBSection();
  cDIBSection(const cDIBSection&) = delete;
  cDIBSection& operator=(const cDIBSection&) = delete;

  // Puts a copy of the bitmap on the clipboard in the screen's format, when `bAsDIB` is
  // false; true when the clipboard took it. With `bAsDIB` true only a message box says
  // that this is not possible, and the result is false.
  bool CopyToClipboard(bool bAsDIB = true);

  // Describes a lWidth x lHeight 24-bit bitmap in the object's header and makes it as a
  // DIB section for `lhDC`; `hDib` receives the handle (0 on failure). The object's pixel
  // address then points at the new pixels. Sizes below 1 are refused without asking the
  // platform, and so is a call while the object holds its own bitmap (the header and the
  // pixel address must keep describing that one). Error 6 when the image size overflows;
  // the pixel address is then 0. A bitmap made here for another DC stays the caller's:
  // the object never reads it (PixelView has no extent), since the caller may free it.
  bool CreateDIB(HDC lhDC, LONG lWidth, LONG lHeight, HBITMAP& hDib);

  // Makes the bitmap a copy of the picture's bitmap, at the picture's size. Success shows
  // as a non-zero hDib().
  void CreateFromPicture(const tamso::Picture& picThis);

  // Frees what the object holds, then makes a new lWidth x lHeight bitmap in a new memory
  // DC; true when the object then holds it. The new pixels are zero.
  bool Create(LONG lWidth, LONG lHeight);

  // (3 * Width() + 3) with its two lowest bits cleared; error 6 when that overflows.
  LONG BytesPerScanLine() const;
  // The size last asked of CreateDIB, also after ClearUp or a failed creation.
  LONG Width() const { return m_tBitmapInfo.bmiHeader.biWidth; }
  LONG Height() const { return m_tBitmapInfo.bmiHeader.biHeight; }

  // Draws from `lhDC` into the bitmap's top-left corner: the source rectangle at
  // (lSrcLeft, lSrcTop), of lSrcWidth x lSrcHeight pixels (a negative size: the bitmap's).
  void LoadPictureBlt(HDC lhDC, LONG lSrcLeft = 0, LONG lSrcTop = 0, LONG lSrcWidth = -1,
                      LONG lSrcHeight = -1, DWORD eRop = SRCCOPY);

  // Draws the bitmap into `lhDC` at (lDestLeft, lDestTop), lDestWidth x lDestHeight pixels
  // (a negative size: the bitmap's) from (lSrcLeft, lSrcTop) of the bitmap, unstretched.
  void PaintPicture(HDC lhDC, LONG lDestLeft = 0, LONG lDestTop = 0, LONG lDestWidth = -1,
                    LONG lDestHeight = -1, LONG lSrcLeft = 0, LONG lSrcTop = 0, DWORD eRop = SRCCOPY);

  HDC hdc() const { return m_hDC; }
  HBITMAP hDib() const { return m_hDib; }
  // The address of the first byte of pixel memory (memory row 0, the bottom line).
  BYTE* DIBSectionBitsPtr() const { return m_lBitsPtr; }

  // Fills the pixels with noise, reseeded from the time of day on every call: grey noise
  // when `bGray`, else random green and red with blue 0. Padding bytes keep their values.
  void RandomiseBits(bool bGray = false);

  // Frees the bitmap and the memory DC. The header keeps the last size.
  void ClearUp();

  // A new object of lNewWidth x lNewHeight pixels computed from this one by bilinear
  // interpolation, or a plain copy at the same size; nullptr when it cannot be made.
  // Error 9 when this object holds no bitmap, whatever the size asked for.
  std::unique_ptr<cDIBSection> Resample(LONG lNewHeight, LONG lNewWidth) const;

  // The byte view over the object's own bitmap; without extent when it holds none (never
  // created, cleared up, or a CreateDIB for another DC), so that no read reaches pixels
  // the object does not own.
  tamso::DibByteView PixelView() const;

 private:
  // Overwrites every pixel of `destination` from this bitmap's pixels.
  void InterpolateBits(const cDIBSection& destination) const;

  HBITMAP m_hDib = 0;
  HBITMAP m_hBmpPrev = 0;
  HDC m_hDC = 0;
  BYTE* m_lBitsPtr = nullptr;
  BITMAPINFO m_tBitmapInfo{};
};
