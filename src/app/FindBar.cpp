// The find bar: Enter finds the next occurrence, Escape closes the bar.
#include "app/FindBar.hpp"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

namespace {
QToolButton* barButton(QWidget* parent, const QString& text, const QString& tip) {
  auto* button = new QToolButton(parent);
  button->setText(text);
  button->setToolTip(tip);
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}
}  // namespace

FindBar::FindBar(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(2, 2, 2, 2);
  row->setSpacing(2);
  edit = new QLineEdit(this);
  edit->setPlaceholderText(QStringLiteral("Find"));
  edit->setClearButtonEnabled(true);
  previousButton = barButton(this, QStringLiteral("▲"), QStringLiteral("Previous (Shift+F3)"));
  nextButton = barButton(this, QStringLiteral("▼"), QStringLiteral("Next (F3)"));
  closeButton = barButton(this, QStringLiteral("✕"), QStringLiteral("Close (Esc)"));
  noteLabel = new QLabel(this);
  row->addWidget(edit, 1);
  row->addWidget(previousButton);
  row->addWidget(nextButton);
  row->addWidget(noteLabel);
  row->addWidget(closeButton);
  connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { emit textChanged(text); });
  connect(edit, &QLineEdit::returnPressed, this, [this] { emit next(); });
  connect(previousButton, &QToolButton::clicked, this, [this] { emit previous(); });
  connect(nextButton, &QToolButton::clicked, this, [this] { emit next(); });
  connect(closeButton, &QToolButton::clicked, this, [this] {
    hide();
    emit closed();
  });
}

QString FindBar::text() const { return edit->text(); }

void FindBar::open() {
  show();
  edit->setFocus();
  edit->selectAll();
}

void FindBar::setNote(const QString& note) { noteLabel->setText(note); }

QString FindBar::note() const { return noteLabel->text(); }

void FindBar::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    closeButton->click();
    return;
  }
  QFrame::keyPressEvent(event);
}
