// The message dialog: a read-only text of collected lines above a row of OK / Cancel / Abort buttons.
#include "app/Messagedlg.hpp"

#include <QFont>
#include <QPalette>
#include <QPushButton>
#include <QTextEdit>

namespace {

constexpr int kClientWidth = 314;
constexpr int kClientHeight = 415;
constexpr int kButtonPanelHeight = 41;
constexpr int kDialogMargin = 30;
constexpr int kOwnerOffset = 50;

QFont tahoma(int pixels) {
  QFont font(QStringLiteral("Tahoma"));
  font.setPixelSize(pixels);
  return font;
}

QPushButton* makeButton(QWidget* parent, const QString& text, int x) {
  auto* button = new QPushButton(text, parent);
  button->setGeometry(x, 8, 75, 25);
  return button;
}

}  // namespace

TMessageDlg_Form::TMessageDlg_Form(QWidget* owner) : QDialog(owner) {
  setWindowTitle(QStringLiteral("Message"));
  setFont(tahoma(11));
  reditMsg = new QTextEdit(this);
  reditMsg->setObjectName(QStringLiteral("reditMsg"));
  reditMsg->setReadOnly(true);
  reditMsg->setAcceptRichText(false);
  reditMsg->setFont(tahoma(13));
  reditMsg->setLineWrapMode(QTextEdit::NoWrap);
  reditMsg->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  reditMsg->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QPalette palette = reditMsg->palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::ToolTipBase));
  palette.setColor(QPalette::Text, palette.color(QPalette::ToolTipText));
  reditMsg->setPalette(palette);

  Panel1 = new QWidget(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  bbtnOK = makeButton(Panel1, QStringLiteral("OK"), 20);
  bbtnCancel = makeButton(Panel1, QStringLiteral("Cancel"), 113);
  bbtnAbort = makeButton(Panel1, QStringLiteral("Abort"), 214);
  bbtnOK->setDefault(true);
  connect(bbtnOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(bbtnCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(bbtnAbort, &QPushButton::clicked, this, [this] { done(kAbortResult); });

  resize(kClientWidth, kClientHeight);
  setButtons(1);
}

void TMessageDlg_Form::setButtons(int mode) {
  const bool known = mode >= 1 && mode <= 3;
  bbtnOK->setVisible(known);
  bbtnCancel->setVisible(known && mode >= 2);
  bbtnAbort->setVisible(known && mode == 3);
  buttonMode = known ? mode : 0;
}

void TMessageDlg_Form::setTextWidth(int pixels) {
  textWidth = pixels;
  resize(pixels + kDialogMargin, height());
  layoutParts();
}

void TMessageDlg_Form::addMessageLine(const QString& line) { messageLines << line; }

void TMessageDlg_Form::FormActivate() {
  move(ownerLeft + kOwnerOffset, ownerTop + kOwnerOffset);
  // Set rather than append: a dialog activated twice must not show its lines twice.
  reditMsg->setPlainText(messageLines.join(QLatin1Char('\n')));
}

int TMessageDlg_Form::showModal() {
  if (execHook) {
    FormActivate();
    return execHook(*this);
  }
  return exec();
}

int TMessageDlg_Form::showLines(QWidget* owner, int buttons, int textWidth, const QStringList& lines) {
  TMessageDlg_Form dialog(owner);
  if (owner) {
    const QRect frame = owner->frameGeometry();
    dialog.ownerTop = frame.top();
    dialog.ownerLeft = frame.left();
  }
  dialog.setButtons(buttons);
  dialog.setTextWidth(textWidth);
  for (const QString& line : lines) dialog.addMessageLine(line);
  return dialog.showModal();
}

void TMessageDlg_Form::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormActivate();
}

void TMessageDlg_Form::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  layoutParts();
}

void TMessageDlg_Form::layoutParts() {
  const int textHeight = qMax(0, height() - kButtonPanelHeight);
  reditMsg->setGeometry(0, 0, textWidth, textHeight);
  Panel1->setGeometry(0, textHeight, width(), kButtonPanelHeight);
}
