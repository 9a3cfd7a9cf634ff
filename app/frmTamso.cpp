#include "app/frmTamso.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDropEvent>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QTimer>
#include <QUrl>
#include <filesystem>
#include <system_error>

#include "app/avi_report.h"
#include "app/codec_list.h"
#include "app/modCommon.h"
#include "graphics/dib_section.h"
#include "graphics/dib_section_region.h"
#include "graphics/qt_picture.h"
#include "platform/runtime/app_paths.h"
#include "platform/runtime/qt_disk_name.h"
#include "platform/user32/qt_window_handles.h"
#include "platform/user32/window_messages.h"
#include "platform/user32/winuser.h"
#include "platform/winmm/mmsystem.h"

namespace {

constexpr const char* kTuneFile = "kitty.mid";
constexpr UINT kInformationBox = 64;  // MB_ICONINFORMATION | MB_OK

// The help message, one line each, joined by CR LF.
constexpr const char* kHelpLines[] = {
    "This program allows you gets some informations about a AVI file.",
    "Resolution, rate and length of the file are useful. But it also gives you ",
    "the codec used in the AVI file. The program is limited to the first video stream.",
    "Dedicated to everyone who keeps old video files alive.",
    "",
    "Tamso AVI for Linux, written by the Tamso AVI developers.",
    "Sources and notes: the README.md that comes with the program.",
};

QFont VbFont(const char* family, bool bold = false) {
  QFont font{QString::fromLatin1(family)};
  font.setPointSizeF(8.25);
  font.setBold(bold);
  return font;
}

// The icon is a PNG, which Qt reads itself; named as such, the reader does not first load
// every image format plug-in to ask whether it knows the file.
QIcon WindowIcon() {
  QImageReader reader(QString::fromLatin1(tamso::kIconResource), "png");
  reader.setAutoDetectImageFormat(false);
  return QIcon(QPixmap::fromImage(reader.read()));
}

// The bytes that name the file of a local file URL. A file manager percent-encodes the
// name's own bytes, so the URL keeps a name that is not UTF-8, where toLocalFile() puts
// U+FFFD; a URL of UTF-8 alone is looked up by the name Qt gives it.
std::string LocalFileBytes(const QUrl& url) {
  const QString path = url.toLocalFile();
  if (url.host().isEmpty()) {
    const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    if (bytes != path.toUtf8()) return bytes.toStdString();
  }
  return tamso::OnDiskName(path);
}

// The file a drop brings: the first local file of its list (folders and remote places
// are not files to report); empty when there is none, and the drop is refused.
std::string DroppedFile(const QMimeData* data) {
  if (!data || !data->hasUrls()) return {};
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile()) continue;
    const std::filesystem::path path = std::filesystem::path(LocalFileBytes(url)).lexically_normal();
    std::error_code notThere;
    if (!std::filesystem::is_directory(path, notThere)) return path.string();
  }
  return {};
}

std::string HelpText() {
  std::string text = kHelpLines[0];
  for (std::size_t i = 1; i < std::size(kHelpLines); ++i) text += std::string(tamso::kCrLf) + kHelpLines[i];
  return text;
}

}  // namespace

frmTamso::frmTamso() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("frmTamso"));
  setWindowTitle(QString::fromUtf8(tamso::kAppTitle));
  setWindowIcon(WindowIcon());
  setFixedSize(tamso::kFormWidth, tamso::kFormHeight);
  setFont(VbFont("Tahoma"));
  setAcceptDrops(true);
  buildControls();
  Form_Load();
}

frmTamso::~frmTamso() {
  if (!ended_) Form_Terminate();
}

HWND frmTamso::hWnd() { return tamso::HwndForWidget(this); }

void frmTamso::buildControls() {
  picBackground = new tamso::PictureBox(this);
  picBackground->setObjectName(QStringLiteral("picBackground"));
  picBackground->setGeometry(0, 0, tamso::kFormWidth, tamso::kFormHeight);
  // Decoded and converted once: the picture box shows these pixels and the region is made
  // from them; every further copy of a picture this size is a noticeable part of the start.
  QImage background =
      QImage(QString::fromLatin1(tamso::kBackgroundResource)).convertToFormat(QImage::Format_RGB32);
  picBackground->setPicture(QPixmap::fromImage(std::move(background)));
  picBackground->addLine(QLine(56, 232, 160, 232));  // Line1
  picBackground->addLine(QLine(40, 80, 264, 80));    // Line2

  auto makeLabel = [this](const char* name, QRect place, const QFont& font) {
    auto* label = new tamso::VbLabel(picBackground);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(place);
    label->setFont(font);
    return label;
  };
  Label1 = makeLabel("Label1", QRect(48, 88, 169, 41), VbFont("Arial"));
  Label1->setCaption(QStringLiteral("Browse AVI you want to get the informations from:"));
  lblTitle = makeLabel("lblTitle", QRect(48, 128, 225, 25), VbFont("Arial", true));
  lblResults = makeLabel("lblResults", QRect(48, 152, 217, 73), VbFont("Arial Narrow"));

  auto makeButton = [this](const char* name, const char* caption, QRect place) {
    auto* button = new QPushButton(QString::fromLatin1(caption), this);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(place);
    return button;
  };
  cmdHelp = makeButton("cmdHelp", "&Help", QRect(80, 240, 33, 17));
  cmdHelp->setFont(VbFont("Arial"));
  cmdInfos = makeButton("cmdInfos", "&Browse", QRect(216, 88, 57, 21));
  cmdQuit = makeButton("cmdQuit", "&Quit", QRect(112, 240, 33, 17));
  cmdQuit->setFont(VbFont("Arial"));

  // Tab order, lowest first: Quit, the picture, Browse, Help.
  setTabOrder(cmdQuit, picBackground);
  setTabOrder(picBackground, cmdInfos);
  setTabOrder(cmdInfos, cmdHelp);
  cmdQuit->setFocus();

  connect(cmdHelp, &QPushButton::clicked, this, &frmTamso::cmdHelp_Click);
  connect(cmdInfos, &QPushButton::clicked, this, &frmTamso::cmdInfos_Click);
  connect(cmdQuit, &QPushButton::clicked, this, &frmTamso::cmdQuit_Click);
  connect(picBackground, &tamso::PictureBox::mouseDown, this, &frmTamso::picBackground_MouseDown);
  connect(lblResults, &tamso::VbLabel::mouseMove, this, &frmTamso::lblResults_MouseMove);
  connect(new QShortcut(QKeySequence::Copy, this), &QShortcut::activated, this, &frmTamso::copyShownText);
}

void frmTamso::Form_Load() {
  lblTitle->setCaption(QString());
  lblResults->setCaption(QString());
  makeFrameless();
  // The tune starts once the window is on screen, at the first pass of the event loop: its
  // player loads the synthesiser and some forty libraries, which would compete with the
  // window's own start for the processor. Nobody hears the difference; a window closed by
  // then plays nothing.
  QTimer::singleShot(0, this, [this] {
    if (isVisible()) sendTuneCommand("play kitty.mid");
  });
}

void frmTamso::makeFrameless() {
  cDIBSection cDib;
  cDib.CreateFromPicture(tamso::PictureFromImage(picBackground->picture().toImage()));
  if (!m_cRegion) m_cRegion = std::make_unique<cDIBSectionRegion>();
  m_cRegion->Create(cDib, 0);
  m_cRegion->Applied(hWnd(), true);
  picture_ = picBackground->picture();
  update();
}

void frmTamso::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  tamso::ClipToWindowOutline(painter, *this);
  painter.drawPixmap(0, 0, picture_);
}

void frmTamso::cmdInfos_Click() {
  lblResults->setCaption(QString::fromLatin1(tamso::kPleaseWait));
  static constexpr char kFilter[] = "AVI File (*.avi)\0*.avi\0";
  const std::string chosen =
      BrowseForFile(hWnd(), "Select an avi file...", std::string(kFilter, sizeof kFilter));
  if (chosen.empty()) return;
  ReportFile(chosen);
}

void frmTamso::ReportFile(const std::string& path) {
  tamso::ReportView view;
  view.processPendingEvents = [] { QCoreApplication::processEvents(); };
  view.setTitle = [this](const std::string& text) { lblTitle->setCaption(QString::fromStdString(text)); };
  view.setResults = [this](const std::string& text) { lblResults->setCaption(QString::fromStdString(text)); };
  view.showErrorBox = [this](const std::string& text) {
    MessageBoxA(hWnd(), text.c_str(), tamso::kAppTitle, kInformationBox);
  };
  view.codecInfo = [this](const std::string& code) { return GetCodecInfo(code); };
  tamso::ReportChosenFile(path, view);
}

QString frmTamso::ShownText() const {
  if (lblTitle->caption().isEmpty()) return {};
  const std::string shown =
      lblTitle->caption().toStdString() + tamso::kCrLf + lblResults->caption().toStdString();
  return QString::fromStdString(tamso::WithPlatformLineEnds(shown));
}

void frmTamso::copyShownText() {
  const QString text = ShownText();
  if (!text.isEmpty()) QGuiApplication::clipboard()->setText(text);
}

void frmTamso::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedFile(event->mimeData()).empty()) event->acceptProposedAction();
}

void frmTamso::dragMoveEvent(QDragMoveEvent* event) {
  if (!DroppedFile(event->mimeData()).empty()) event->acceptProposedAction();
}

void frmTamso::dropEvent(QDropEvent* event) {
  std::string file = DroppedFile(event->mimeData());
  if (file.empty()) return;
  event->acceptProposedAction();
  // The report may show a message box: it runs once the drop is over, so that the file
  // manager is not kept waiting for the end of the drag.
  QTimer::singleShot(0, this, [this, path = std::move(file)] { ReportFile(path); });
}

std::string frmTamso::GetCodecInfo(const std::string& sCodec) { return tamso::GetCodecInfo(sCodec); }

void frmTamso::cmdHelp_Click() { MessageBoxA(hWnd(), HelpText().c_str(), tamso::kAppTitle, kInformationBox); }

void frmTamso::cmdQuit_Click() {
  // Unloading runs Form_Unload; then the program ends at once, without the final step.
  close();
  ended_ = true;
  QCoreApplication::exit(0);
}

void frmTamso::closeEvent(QCloseEvent* event) {
  int cancel = 0;
  Form_Unload(cancel);
  if (cancel != 0) {
    event->ignore();
    return;
  }
  event->accept();
}

void frmTamso::Form_Unload(int& /*Cancel*/) { sendTuneCommand("stop kitty.mid"); }

void frmTamso::Form_Terminate() { sendTuneCommand("stop kitty.mid"); }

void frmTamso::sendTuneCommand(const char* command) {
  if (!FileExists(tamso::ApplicationFile(kTuneFile).string())) return;
  char reply[] = "0";
  mciSendStringA(command, reply, 0, 0);
}

void frmTamso::mousePressEvent(QMouseEvent* event) {
  const tamso::MouseArgs a = tamso::PressArgs(*event);
  Form_MouseDown(a.button, a.shift, a.x, a.y);
}

void frmTamso::Form_MouseDown(int Button, int /*Shift*/, float /*X*/, float /*Y*/) { dragWithMouse(Button); }

void frmTamso::picBackground_MouseDown(int Button, int /*Shift*/, float /*X*/, float /*Y*/) {
  dragWithMouse(Button);
}

void frmTamso::lblResults_MouseMove(int Button, int /*Shift*/, float /*X*/, float /*Y*/) {
  dragWithMouse(Button);
}

void frmTamso::dragWithMouse(int Button) {
  if (Button != 1) return;
  ReleaseCapture();
  SendMessageA(hWnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void frmTamso::MoveWithKeys() {
  ReleaseCapture();
  SendMessageA(hWnd(), WM_SYSCOMMAND, SC_MOVE, 0);
}
