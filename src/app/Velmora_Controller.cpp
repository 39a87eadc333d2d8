// The Controller menu: which control the programs are written for, kept in the settings; a `.velmora.ini`
// beside a program wins over it, and the status line says which is in use.
#include <QActionGroup>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>

#include "app/Velmora_.hpp"

void TVelmora_Form1::buildControllerMenu() {
  QMenu* menu = menuBar()->addMenu(QStringLiteral("Controller"));
  auto* group = new QActionGroup(menu);
  for (int c = 0; c < kControlCount; ++c) {
    const auto control = static_cast<Control>(c);
    QAction* action = menu->addAction(QString::fromUtf8(controlName(control).data(), controlName(control).size()));
    action->setCheckable(true);
    action->setChecked(control == settingsState.control);
    group->addAction(action);
    connect(action, &QAction::triggered, this, [this, control] { chooseControl(control, true); });
    actControls[static_cast<std::size_t>(c)] = action;
  }
}

void TVelmora_Form1::chooseControl(Control control, bool reread) {
  settingsState.control = control;
  actControls[static_cast<std::size_t>(control)]->setChecked(true);
  doc->setControl(control);
  showControl();
  // A program being edited is read with the choice when the edit ends; a load under way is not broken into.
  if (!reread || loading || !doc->hasProgram() || rbtnEdit->isChecked()) return;
  if (unsavedEdits) {
    const QString text = QString::fromStdU16String(doc->wholeText());
    prepareForLoad();
    loadNcText(text);
  } else if (!fileState.path.isEmpty()) {
    reloadFromDisk();
  }
}

void TVelmora_Form1::showControl() {
  if (pnlControl == nullptr) return;
  const ControlProfile& profile = doc->profile();
  const std::string_view name = controlName(doc->hasProgram() ? profile.control : doc->chosenControl());
  QString text = QStringLiteral("control: %1").arg(QString::fromUtf8(name.data(), static_cast<int>(name.size())));
  if (doc->hasProgram() && !profile.sourceFile.empty()) {
    text += QStringLiteral(" (%1)").arg(QFileInfo(QString::fromStdString(profile.sourceFile)).filePath());
    if (!profile.notes.empty()) text += QStringLiteral(", %1 settings not used").arg(profile.notes.size());
  }
  pnlControl->setText(text);
}
