// The Qt side of the window calls, on Qt's offscreen platform.

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QRegion>
#include <QWidget>

#include <gtest/gtest.h>

#include "platform/gdi32/wingdi.h"
#include "platform/user32/qt_desktop.h"
#include "platform/user32/qt_window_handles.h"
#include "platform/user32/winuser.h"

namespace {

TEST(QtWindowRegion, TheRegionBecomesTheWidgetsMask) {
  QWidget widget;
  widget.setWindowFlags(Qt::FramelessWindowHint);
  widget.resize(20, 10);
  const HWND hWnd = tamso::HwndForWidget(&widget);
  const HRGN region = CreateRectRgn(0, 0, 20, 10), hole = CreateRectRgn(5, 2, 8, 6);
  CombineRgn(region, region, hole, RGN_DIFF);
  DeleteObject(hole);
  ASSERT_EQ(SetWindowRgn(hWnd, region, TRUE), 1);
  EXPECT_EQ(widget.mask(), QRegion(0, 0, 20, 10).subtracted(QRegion(5, 2, 3, 4)));
  // An empty region hides every pixel of the widget, yet is a mask.
  ASSERT_EQ(SetWindowRgn(hWnd, CreateRectRgn(0, 0, 0, 0), TRUE), 1);
  EXPECT_TRUE(!widget.mask().isEmpty() && widget.mask().intersected(widget.rect()).isEmpty());
  ASSERT_EQ(SetWindowRgn(hWnd, 0, TRUE), 1);
  EXPECT_TRUE(widget.mask().isEmpty());
}

TEST(QtClipboard, ABitmapArrivesAsAnImage) {
  tamso::InstallQtClipboard();
  const HDC screen = GetDC(0), memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, 2, 1);
  const HGDIOBJ kept = SelectObject(memory, bitmap);
  SetPixel(memory, 0, 0, RGB(255, 0, 0));
  SetPixel(memory, 1, 0, RGB(0, 0, 255));
  SelectObject(memory, kept);
  DeleteDC(memory);
  ReleaseDC(0, screen);
  ASSERT_TRUE(OpenClipboard(0));
  EXPECT_TRUE(EmptyClipboard() && SetClipboardData(CF_BITMAP, bitmap) == bitmap);
  EXPECT_TRUE(CloseClipboard());
  const QImage image = QGuiApplication::clipboard()->image();
  ASSERT_EQ(image.size(), QSize(2, 1));
  EXPECT_EQ(std::pair(image.pixel(0, 0) & 0xFFFFFF, image.pixel(1, 0) & 0xFFFFFF),
            std::pair(0xFF0000u, 0x0000FFu));
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
