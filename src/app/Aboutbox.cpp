// The About box: an upper panel with picture, logo, version and web address, a lower one with the history.
#include "app/Aboutbox.hpp"

#include <QDesktopServices>
#include <QEvent>
#include <QFont>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>

#include "app/HelpText.hpp"

// The pictures live in a static library, whose resources must be registered by hand.
static void registerAboutResources() { Q_INIT_RESOURCE(about); }

namespace {

constexpr int kClientWidth = 504;
constexpr int kClientHeight = 620;
constexpr int kUpperHeight = 263;
constexpr int kLowerHeight = 344;
constexpr int kOwnerOffset = 50;

QFont boxFont(int pixels, bool boldItalic = false) {
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixels);
  font.setBold(boldItalic);
  font.setItalic(boldItalic);
  return font;
}

QLabel* makeLabel(QWidget* parent, const QString& text, int x, int y) {
  auto* label = new QLabel(text, parent);
  label->move(x, y);
  label->adjustSize();
  return label;
}

QLabel* makeLabel(QWidget* parent, const QString& text, int x, int y, const QFont& font) {
  auto* label = new QLabel(text, parent);
  label->setFont(font);
  label->move(x, y);
  label->adjustSize();
  return label;
}

}  // namespace

QPixmap projectLogo() {
  registerAboutResources();
  return QPixmap(QStringLiteral(":/about/about-logo.png"));
}

TAboutBox::TAboutBox(QWidget* owner) : QDialog(owner) {
  registerAboutResources();
  setWindowTitle(QStringLiteral("バージョン情報"));
  setFont(boxFont(14));
  setFixedSize(kClientWidth, kClientHeight);
  buildUpperPanel();
  buildLowerPanel();
}

void TAboutBox::buildUpperPanel() {
  Panel2 = new QWidget(this);
  Panel2->setGeometry(0, 0, kClientWidth, kUpperHeight);
  makeLabel(Panel2, QStringLiteral("バージョン"), 281, 39);
  Version = makeLabel(Panel2, kVersionText, 320, 67, boxFont(17, true));
  makeLabel(Panel2, QStringLiteral("製品名: "), 126, 7);
  ProductName = makeLabel(Panel2, kProductText, 207, 7, boxFont(16, true));

  ProgramIcon = new QLabel(Panel2);
  ProgramIcon->setGeometry(18, 34, 256, 221);
  ProgramIcon->setScaledContents(true);
  ProgramIcon->setPixmap(QPixmap(QStringLiteral(":/about/about-picture.png")));

  Image2 = new QLabel(Panel2);
  Image2->setGeometry(395, 7, 52, 55);
  Image2->setScaledContents(true);
  Image2->setPixmap(projectLogo());
  Image2->setCursor(Qt::PointingHandCursor);
  Image2->setToolTip(kWebAddress);
  Image2->installEventFilter(this);

  Comments = makeLabel(Panel2, kNoticeText, 281, 159, boxFont(13));
  WebAddress = makeLabel(Panel2, kWebAddress, 303, 183, boxFont(13));
  WebAddress->setTextInteractionFlags(Qt::TextSelectableByMouse);

  OKButton = new QPushButton(QStringLiteral("OK"), Panel2);
  OKButton->setGeometry(281, 207, 135, 40);
  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutBox::buildLowerPanel() {
  Panel3 = new QWidget(this);
  Panel3->setGeometry(0, kClientHeight - kLowerHeight, kClientWidth, kLowerHeight);
  Memo = new QPlainTextEdit(Panel3);
  Memo->setGeometry(8, 0, kClientWidth - 16, kLowerHeight - 8);
  Memo->setReadOnly(true);
  Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo->setPlainText(aboutHistoryLines().join(QLatin1Char('\n')));
}

void TAboutBox::FormActivate() { move(ownerLeft + kOwnerOffset, ownerTop + kOwnerOffset); }

void TAboutBox::Image2Click() { QDesktopServices::openUrl(QUrl(kWebAddress)); }

int TAboutBox::showModal() {
  if (execHook) {
    FormActivate();
    return execHook(*this);
  }
  return exec();
}

int TAboutBox::showFor(QWidget* owner) {
  TAboutBox box(owner);
  if (owner) {
    const QRect frame = owner->frameGeometry();
    box.ownerTop = frame.top();
    box.ownerLeft = frame.left();
  }
  return box.showModal();
}

void TAboutBox::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormActivate();
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Image2 && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    Image2Click();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}
