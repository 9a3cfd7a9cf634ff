#pragma once
// cDIBSectionRegion: a window region built from the pixels of a cDIBSection and one
// transparent colour, the list of windows it is applied to, and its files and resources.
//
// The object owns one region (0 when it holds none). A window it is applied to receives
// a copy of that region of its own, so the object's region stays the object's: it can be
// saved while windows show it, and it is freed by Destroy. Destroy runs before every new
// region is built and at the object's end, and takes the region off every listed window.
//
// Errors (tamso::Error) carry the source "<executable name>.cDIBSectionRegion" for the
// numbers 26010 to 26014 and the file errors; see Save and the loads.

#include <QString>

#include <span>
#include <variant>
#include <vector>

#include "graphics/dib_section.h"
#include "platform/runtime/win_types.h"

// A resource identifier: a number, or a name (a name of decimal digits counts as that number).
using ResourceId = std::variant<LONG, QString>;

class cDIBSectionRegion {
 public:
  static constexpr int kErrNoRegion = 26010;
  static constexpr int kErrRegionSize = 26011;
  static constexpr int kErrRegionData = 26012;
  static constexpr int kErrLibrary = 26013;
  static constexpr int kErrResource = 26014;

  cDIBSectionRegion() = default;
  ~cDIBSectionRegion();
  cDIBSectionRegion(const cDIBSectionRegion&) = delete;
  cDIBSectionRegion& operator=(const cDIBSectionRegion&) = delete;

  // Whether the region is applied to `hWnd`.
  bool Applied(HWND hWnd) const;
  // Applies the region to `hWnd` (listing it once) or takes any region off it (and lists
  // it no more). With no region held, applying gives the window its full rectangle. When
  // the window's copy of the region cannot be made, the window is left without a region
  // and is not listed.
  void Applied(HWND hWnd, bool bState);
  LONG AppliedToCount() const { return m_lCount; }
  // The window at position `lIndex` (from 1) of the list's storage; error 9 outside it.
  // After the list was emptied by Destroy the storage keeps its length, filled with 0.
  HWND hWndForIndex(LONG lIndex) const;

  // Takes the region off every listed window, empties the list and frees the region.
  void Destroy();

  // The rectangle (0, 0, Width, Height) of `cDib` minus every pixel whose colour is
  // `lTransColor` (red in bits 0-7, green 8-15, blue 16-23; bits 24-31 ignored), built
  // from one-pixel-wide vertical strips. Applied to no window yet. Only the pixels of
  // the bitmap `cDib` owns are read: when it holds none (never created, cleared up, a
  // failed creation, a CreateDIB for another DC) but its size is not empty, error 9 is
  // raised and the object keeps the full rectangle.
  void Create(const cDIBSection& cDib, LONG lTransColor);

  // Writes the region data block to `sPath`, replacing the file only once the new one is
  // complete; true, or an error: 26010 "No region to save", 26011 "Unable to determine
  // size of region", 26012 "Unable to get region data", or the file's error.
  bool Save(const QString& sPath);

  // Builds the region from a region file; false when the platform rejects the data. The
  // file's errors (missing, not readable, empty: error 9) leave the current region alone.
  bool LoadFromFile(const QString& sFileName);

  // Builds the region from an RT_RCDATA resource of the library `sDLL`, or of the program
  // itself when `sDLL` is empty; false when the data is rejected or cannot be locked.
  // Errors: 26013 "Can't open DLL for Resource Access", 26014 "Resource with ID <vID>
  // could not be found" or "Cannot access data for resource with ID <vID>"; a missing
  // resource of the program's own raises error 326 with the program's source.
  bool LoadFromResource(const ResourceId& vID, const QString& sDLL = QString());

 private:
  LONG IndexForhWnd(HWND hWnd) const;
  void UnapplyAll();
  bool CreateFromRegionData(std::span<const BYTE> data);

  // Gives `hWnd` a copy of the region (or none), which the window then owns; false when
  // the copy cannot be made.
  bool SetRegionOn(HWND hWnd) const;

  HRGN m_hRgn = 0;
  std::vector<HWND> m_hWndList;
  LONG m_lCount = 0;
};
