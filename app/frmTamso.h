#pragma once
// The program's one window: a borderless 551 x 502 window shaped like its background
// picture, with Browse, Help and Quit, that plays kitty.mid while it is open.

#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <memory>
#include <string>

#include "app/vb_controls.h"
#include "graphics/dib_section_region.h"
#include "platform/runtime/win_types.h"

namespace tamso {

// The window's size, and where its picture comes from.
inline constexpr int kFormWidth = 551;
inline constexpr int kFormHeight = 502;
inline constexpr const char* kBackgroundResource = ":/assets/background.gif";
inline constexpr const char* kIconResource = ":/assets/tamso-avi.png";

}  // namespace tamso

class frmTamso : public QWidget {
  Q_OBJECT
 public:
  frmTamso();
  ~frmTamso() override;

  // Starts a move of the window by keyboard (arrows move it, Enter ends, Esc cancels).
  void MoveWithKeys();
  // Cuts every pure black pixel of the background picture out of the window.
  void makeFrameless();

  // Shows `path`'s report as Browse does for a chosen file: the path, the report, or the
  // error box and "Unknown format". The start with a FILE and a drop come here.
  void ReportFile(const std::string& path);
  // What Ctrl+C copies: the path and the report lines, "\n" between them; empty before
  // any file was reported.
  QString ShownText() const;

  HWND hWnd();

  // The controls, under their names.
  QPushButton* cmdHelp;
  QPushButton* cmdInfos;
  QPushButton* cmdQuit;
  tamso::PictureBox* picBackground;
  tamso::VbLabel* Label1;
  tamso::VbLabel* lblTitle;
  tamso::VbLabel* lblResults;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void buildControls();
  void copyShownText();

  void cmdHelp_Click();
  void cmdInfos_Click();
  void cmdQuit_Click();
  void Form_Load();
  void Form_MouseDown(int Button, int Shift, float X, float Y);
  void Form_Terminate();
  void Form_Unload(int& Cancel);
  void lblResults_MouseMove(int Button, int Shift, float X, float Y);
  void picBackground_MouseDown(int Button, int Shift, float X, float Y);
  std::string GetCodecInfo(const std::string& sCodec);

  // Sends a tune command when kitty.mid is in the application directory.
  void sendTuneCommand(const char* command);
  // The three mouse handlers share this: a left press (or a move with only the left
  // button held) hands the window to the window system's move.
  void dragWithMouse(int Button);

  std::unique_ptr<cDIBSectionRegion> m_cRegion;
  QPixmap picture_;     // the window's own picture, shown where the picture box is not
  bool ended_ = false;  // Quit ended the program: the final step does not run
};
