// The main window's construction: components, layout, initial states and the objects it owns.
#include "app/Velmora_.hpp"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "qtsurface/LayeredSurface.hpp"

// The logo lives with the About box's pictures.
static QPixmap makerLogo() {
  Q_INIT_RESOURCE(about);
  return QPixmap(QStringLiteral(":/about/about-logo.png"));
}

namespace {
const QColor kInfoTip(255, 255, 225);
const QColor kSkyBlue(166, 202, 240);
const QColor kInactiveCaption(215, 228, 242);
const QColor kMoneyGreen(192, 220, 192);

QFont tahoma(int pixels) {
  QFont font(QStringLiteral("Tahoma"));
  font.setPixelSize(pixels);
  return font;
}

QFrame* panel(QWidget* parent, QFrame::Shadow shadow = QFrame::Plain) {
  auto* frame = new QFrame(parent);
  frame->setFrameStyle(QFrame::Panel | shadow);
  return frame;
}

QLabel* infoPanel(QWidget* parent, const QRect& at, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(at);
  label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label->setAlignment(Qt::AlignCenter);
  label->setAutoFillBackground(true);
  return label;
}

QLineEdit* labelledEdit(QWidget* parent, int x, int y, const QString& caption, QLabel** captionLabel = nullptr) {
  auto* label = new QLabel(caption, parent);
  label->setGeometry(x, y - 22, 100, 20);
  if (captionLabel) *captionLabel = label;
  auto* edit = new QLineEdit(parent);
  edit->setGeometry(x, y, 100, 31);
  edit->setReadOnly(true);
  edit->setFocusPolicy(Qt::NoFocus);
  return edit;
}

QToolButton* glyphButton(QWidget* parent, QStyle::StandardPixmap glyph, int x, int width) {
  auto* button = new QToolButton(parent);
  button->setIcon(parent->style()->standardIcon(glyph));
  button->setGeometry(x, 2, width, 64);
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}
}  // namespace

TVelmora_Form1::TVelmora_Form1(const QString& requestedIni, QWidget* parent, WindowDialogs* askUser)
    : QMainWindow(parent), dialogs(askUser ? askUser : &realDialogs) {
  setWindowTitle(QStringLiteral("Velmora") + QStringLiteral(" Ver3.41 "));
  setFont(tahoma(13));
  setAcceptDrops(true);
  buildMenu();
  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  setCentralWidget(central);
  buildTopPanel();
  column->addWidget(pnlImageTop);
  Splitter1 = new QSplitter(Qt::Horizontal, central);
  Splitter1->setChildrenCollapsible(false);
  Splitter1->setOpaqueResize(false);
  column->addWidget(Splitter1, 1);
  buildLeftPane();
  buildImagePane();
  Splitter1->addWidget(pnlLeft);
  Splitter1->addWidget(pnlImage);
  Splitter1->setStretchFactor(1, 1);
  Splitter1->setSizes({350, 800});

  bbtnAbort = new QPushButton(central);
  bbtnAbort->setGeometry(86, 289, 161, 145);
  bbtnAbort->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
  bbtnAbort->hide();

  indicators = std::make_unique<QtIndicators>(cboxScale);
  doc = std::make_unique<kNcDocument>(indicators.get());
  lines = std::make_unique<DocumentLines>(*doc);
  dialogFont = tahoma(11);
  setGeometry(100, 100, 1158, 693);
  chooseSettingsFile(requestedIni);
  loadSettings();
  lastWidth = width();
  lastHeight = height();
  drawTimer.setSingleShot(true);
  indexTimer.setSingleShot(true);
  connectCommands();
  buildFileCommands();
  buildFindBar();
  buildStatusFields();
  setFileCommands(false, false);
}

TVelmora_Form1::~TVelmora_Form1() {
  // The text pane reads the document, which draws on the surface: take them down in that order.
  reditNcFile->setSource(nullptr);
  doc->detachSurface();
  surface.reset();
  waitForSettingsWrite();
}

void TVelmora_Form1::buildMenu() {
  QMenuBar* bar = menuBar();
  Font1 = bar->addAction(QStringLiteral("Font"));
  About1 = bar->addAction(QStringLiteral("About"));
  buildViewMenu();
  buildControllerMenu();
  Help1 = bar->addAction(QStringLiteral("Help"));
  Space = bar->addAction(QStringLiteral("    "));
  Space->setEnabled(false);
  menuFileName = bar->addAction(QString());
}

void TVelmora_Form1::buildTopPanel() {
  pnlImageTop = new QFrame(this);
  pnlImageTop->setFixedHeight(68);
  pnlImageTop->setFont(tahoma(19));
  setBackground(pnlImageTop, kInfoTip);
  Panel3 = new ClickPanel(pnlImageTop);
  Panel3->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel3->setLineWidth(3);
  Panel3->setGeometry(0, 0, 70, 68);
  Panel3->setCursor(Qt::PointingHandCursor);
  setBackground(Panel3, kSkyBlue);
  imgIcon = new QLabel(Panel3);
  imgIcon->setGeometry(10, 10, 68 - 18, 64 - 18);
  imgIcon->setScaledContents(true);
  imgIcon->setPixmap(makerLogo());
  imgIcon->setAttribute(Qt::WA_TransparentForMouseEvents);
  buildSelectPanel();
  bbtnDown = glyphButton(pnlImageTop, QStyle::SP_ArrowDown, 210, 30);
  bbtnUp = glyphButton(pnlImageTop, QStyle::SP_ArrowUp, 240, 30);
  bbtnClose = glyphButton(pnlImageTop, QStyle::SP_DialogCloseButton, 270, 70);
  bbtnClose->setText(QStringLiteral("Close(&C)"));
  bbtnClose->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  bbtnClose->setFont(tahoma(16));
  bbtnClose->setShortcut(QKeySequence(QStringLiteral("Alt+C")));
  buildInfoFields();
}

void TVelmora_Form1::buildSelectPanel() {
  pnlSelectEdit = panel(pnlImageTop, QFrame::Sunken);
  pnlSelectEdit->setGeometry(70, 0, 140, 68);
  pnlSelectEdit->setFont(tahoma(13));
  setBackground(pnlSelectEdit, kInactiveCaption);
  rbtnCheck = new QRadioButton(QStringLiteral("Check"), pnlSelectEdit);
  rbtnCheck->move(10, 12);
  rbtnCheck->setChecked(true);
  rbtnEdit = new QRadioButton(QStringLiteral("Edit"), pnlSelectEdit);
  rbtnEdit->move(10, 40);
  bbtnRead = new QPushButton(QStringLiteral("更新"), pnlSelectEdit);
  bbtnRead->setGeometry(140 - 52, 2, 50, 64);
  bbtnRead->hide();
}

void TVelmora_Form1::buildInfoFields() {
  pnlGCode = infoPanel(pnlImageTop, QRect(355, 8, 70, 25), QString());
  pnlG90 = infoPanel(pnlImageTop, QRect(430, 8, 70, 25), QString());
  pnlG40 = infoPanel(pnlImageTop, QRect(355, 38, 145, 25), QStringLiteral("G40"));
  leditX = labelledEdit(pnlImageTop, 510, 30, QStringLiteral("X"));
  leditY = labelledEdit(pnlImageTop, 615, 30, QStringLiteral("Y"));
  leditZ = labelledEdit(pnlImageTop, 720, 30, QStringLiteral("Z"));
  leditCX = labelledEdit(pnlImageTop, 840, 30, QStringLiteral("CX"), &leditCXLabel);
  leditCY = labelledEdit(pnlImageTop, 945, 30, QStringLiteral("CY"), &leditCYLabel);
  leditR = labelledEdit(pnlImageTop, 1050, 30, QStringLiteral("R"));
  cboxFeed = new QComboBox(pnlImageTop);
  cboxFeed->setGeometry(1160, 32, 140, 25);
  cboxFeed->hide();
  bbtnFeedReplace = new QPushButton(QStringLiteral("Input"), pnlImageTop);
  bbtnFeedReplace->setGeometry(1160, 1, 70, 25);
  bbtnFeedReplace->hide();
}

void TVelmora_Form1::buildLeftPane() {
  pnlLeft = new QFrame(Splitter1);
  pnlLeft->setMinimumWidth(120);
  auto* column = new QVBoxLayout(pnlLeft);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  pnlText = new QStackedWidget(pnlLeft);
  reditNcFile = new NcTextView(pnlText);
  reditNcFile->setFont(tahoma(13));
  reditNcFile->setEnabled(false);
  reditEdit = new QPlainTextEdit(pnlText);
  reditEdit->setFont(tahoma(13));
  reditEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
  pnlText->addWidget(reditNcFile);
  pnlText->addWidget(reditEdit);
  column->addWidget(pnlText, 1);
  buildProblemList(column);
  pnlEditBottom = new QFrame(pnlLeft);
  pnlEditBottom->setFixedHeight(52);
  auto* row = new QHBoxLayout(pnlEditBottom);
  row->setContentsMargins(2, 2, 2, 2);
  bbtnDXF = new QPushButton(style()->standardIcon(QStyle::SP_FileIcon), QStringLiteral("DXF作成"), pnlEditBottom);
  bbtnDXF->setFixedWidth(150);
  bbtnReplace = new QPushButton(style()->standardIcon(QStyle::SP_DialogSaveButton), QStringLiteral("ファイル保存"),
                                pnlEditBottom);
  row->addWidget(bbtnDXF);
  row->addWidget(bbtnReplace, 1);
  bbtnReplace->hide();
  pnlEditBottom->hide();
  column->addWidget(pnlEditBottom);
}

void TVelmora_Form1::buildImagePane() {
  pnlImage = new QFrame(Splitter1);
  pnlImage->setMinimumWidth(120);
  auto* column = new QVBoxLayout(pnlImage);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  Image1 = new ImageView(pnlImage);
  Image1->setEnabled(false);
  column->addWidget(Image1, 1);
  buildBottomPanel();
  column->addWidget(pnlBottom);
}

void TVelmora_Form1::buildBottomPanel() {
  pnlBottom = new QFrame(pnlImage);
  pnlBottom->setFixedHeight(40);
  setBackground(pnlBottom, kMoneyGreen);
  editMouseX = new QLineEdit(QStringLiteral("X"), pnlBottom);
  editMouseY = new QLineEdit(QStringLiteral("Y"), pnlBottom);
  for (auto [edit, x] : {std::pair{editMouseX, 4}, std::pair{editMouseY, 131}}) {
    edit->setGeometry(x, 8, 121, 25);
    edit->setReadOnly(true);
    edit->setEnabled(false);
    edit->setFocusPolicy(Qt::NoFocus);
  }
  cboxScale = new QComboBox(pnlBottom);
  cboxScale->setEditable(true);
  cboxScale->setInsertPolicy(QComboBox::NoInsert);
  cboxScale->addItems({"1", "2", "3", "5", "10", "15", "20", "25", "30", "40", "50", "60", "100", "150", "200"});
  cboxScale->setGeometry(280, 8, 80, 25);
  btnScale = new QPushButton(QStringLiteral("SetScale"), pnlBottom);
  btnScale->setGeometry(360, 8, 60, 25);
  bbtnReset =
      new QPushButton(style()->standardIcon(QStyle::SP_BrowserReload), QStringLiteral("ResetScale"), pnlBottom);
  bbtnReset->setGeometry(430, 7, 100, 28);
  btnReDrow = new QPushButton(QStringLiteral("Redraw"), pnlBottom);
  btnReDrow->setGeometry(700, 8, 76, 27);
  btnReDrow->setEnabled(false);
  btnReDrow->hide();
}

void TVelmora_Form1::connectCommands() {
  connect(Font1, &QAction::triggered, this, [this] { Font1Click(); });
  connect(About1, &QAction::triggered, this, [this] { About1Click(); });
  connect(Help1, &QAction::triggered, this, [this] { Help1Click(); });
  connect(Panel3, &ClickPanel::clicked, this, [this] { Panel3Click(); });
  connect(rbtnCheck, &QRadioButton::clicked, this, [this] { rbtnEditClick(); });
  connect(rbtnEdit, &QRadioButton::clicked, this, [this] { rbtnEditClick(); });
  connect(bbtnRead, &QPushButton::clicked, this, [this] { bbtnReadClick(); });
  connect(bbtnReplace, &QPushButton::clicked, this, [this] { bbtnReplaceClick(); });
  connect(bbtnDXF, &QPushButton::clicked, this, [this] { bbtnDXFClick(); });
  connect(bbtnDown, &QToolButton::clicked, this, [this] { bbtnDownClick(); });
  connect(bbtnUp, &QToolButton::clicked, this, [this] { bbtnUpClick(); });
  connect(bbtnClose, &QToolButton::clicked, this, [this] { close(); });
  connect(bbtnAbort, &QPushButton::clicked, this, [this] { bbtnAbortClick(); });
  connect(btnScale, &QPushButton::clicked, this, [this] { btnScaleClick(); });
  connect(bbtnReset, &QPushButton::clicked, this, [this] { bbtnResetClick(); });
  connect(btnReDrow, &QPushButton::clicked, this, [this] { btnReDrowClick(); });
  connect(Splitter1, &QSplitter::splitterMoved, this, [this] { Splitter1Moved(); });
  connect(reditNcFile, &NcTextView::caretLineChanged, this,
          [this](int line, bool arrowStep) { reditNcFileCaretMoved(line, arrowStep); });
  connect(&drawTimer, &QTimer::timeout, this, [this] { drawPiece(); });
  connect(&indexTimer, &QTimer::timeout, this, [this] { indexPiece(); });
  connectDrawing();
}

void TVelmora_Form1::showMessage(const QString& caption, const QString& text) {
  dialogs->message(this, caption, text);
}
