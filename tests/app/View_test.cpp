// View control of the window: the preview, wheel zoom about the pointer, dragging to pan, click to centre,
// double-click to the block drawn there and its tooltip, mouse position, SetScale, ResetScale and Ctrl+0.
#include <QComboBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>

#include "WindowFixture.hpp"
#include "util/Format.hpp"

namespace {
void setScaleText(TVelmora_Form1& w, const QString& text) {
  w.cboxScale->setEditText(text);
  w.btnScale->click();
}

// Turns the wheel by `angle` eighths of a degree (120 a notch) over `at` of `target` (the drawing by default).
void wheel(TVelmora_Form1& w, const QPoint& at, int angle, QWidget* target = nullptr) {
  QWidget* over = target ? target : w.Image1;
  QWheelEvent event(at, over->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(over, &event);
}

QPoint pixelOf(const kPoint& p) {
  return QPoint(static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y)));
}

// Within a pixel of each other.
bool samePixel(const kPoint& a, const kPoint& b) { return std::abs(a.x - b.x) <= 1 && std::abs(a.y - b.y) <= 1; }

void drag(TVelmora_Form1& w, Qt::MouseButton button, const QPoint& from, const QPoint& to) {
  QTest::mousePress(w.Image1, button, {}, from);
  QTest::mouseMove(w.Image1, (from + to) / 2);
  QTest::mouseMove(w.Image1, to);
  QTest::mouseRelease(w.Image1, button, {}, to);
}

void waitForDrawing(const TVelmora_Form1& w) { QTRY_VERIFY(!w.document().redrawing()); }
}  // namespace

class ViewTest : public QObject {
  Q_OBJECT

 private slots:
  void setScaleTakesTheTypedNumber() {
    WindowFixture f;
    TVelmora_Form1& w = f.openWithSample();
    setScaleText(w, "2.5");
    QCOMPARE(w.cboxScale->currentText(), QString("2.500"));
    QCOMPARE(w.document().drawnScale(), 2.5);
    QVERIFY(w.bbtnAbort->isHidden());
    setScaleText(w, "abc");  // not a number: scale 0, drawn at 1
    QCOMPARE(w.document().scale(), 0.0);
    QCOMPARE(w.cboxScale->currentText(), QString("1.000"));
    // The mouse position is then in pixels from the origin, y down.
    const kPoint origin = screenOf(w, 0, 0);
    const QPoint at(static_cast<int>(origin.x) + 30, static_cast<int>(origin.y) + 40);
    QTest::mouseMove(w.Image1, at);
    QCOMPARE(w.editMouseX->text(), QString::fromStdU16String(formatReal(at.x() - origin.x, 3)));
    QCOMPARE(w.editMouseY->text(), QString::fromStdU16String(formatReal(at.y() - origin.y, 3)));
  }

  void resetScaleFitsAgain() {
    WindowFixture f;
    TVelmora_Form1& w = f.openWithSample();
    const double fitted = w.document().scale();
    const kPoint offset = w.document().offset();
    setScaleText(w, "3");
    w.Image1MouseDown(QPoint(10, 10));
    w.bbtnReset->click();
    QCOMPARE(w.document().scale(), fitted);
    QCOMPARE(w.document().offset(), offset);
    // Ctrl+0 does the same, wherever the focus is.
    wheel(w, QPoint(30, 40), 360);
    pressInEditor(w, Qt::Key_0, 1, Qt::ControlModifier);
    QCOMPARE(w.document().scale(), fitted);
    QCOMPARE(w.document().offset(), offset);
    QCOMPARE(w.cboxScale->currentText(), QString::fromStdU16String(formatReal(fitted, 3)));
  }

  void mousePositionInDrawingUnits() {
    WindowFixture f;
    TVelmora_Form1& w = f.openWithSample();
    setScaleText(w, "10");
    // Empty until the pointer is over the drawing, and again once it has left.
    QCOMPARE(w.editMouseX->text() + w.editMouseY->text(), QString());
    QCOMPARE(w.editMouseX->placeholderText(), QString("X"));
    // 50 pixels right of and 20 above the program origin: X 5, Y 2 (within the origin's fraction of a pixel).
    const kPoint origin = screenOf(w, 0, 0);
    const QPoint at(static_cast<int>(std::lround(origin.x)) + 50, static_cast<int>(std::lround(origin.y)) - 20);
    QTest::mouseMove(w.Image1, at);
    QCOMPARE(w.editMouseX->text(), QString::fromStdU16String(formatReal((at.x() - origin.x) / 10, 3)));
    QCOMPARE(w.editMouseY->text(), QString::fromStdU16String(formatReal((origin.y - at.y()) / 10, 3)));
    QVERIFY(std::abs(w.editMouseX->text().toDouble() - 5) <= 0.05 &&
            std::abs(w.editMouseY->text().toDouble() - 2) <= 0.05);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(w.Image1, &leave);
    QCOMPARE(w.editMouseX->text() + w.editMouseY->text(), QString());
  }

  void wheelZoomsAboutThePointer() {
    WindowFixture f;
    TVelmora_Form1& w = f.openWithSample();
    setScaleText(w, "10");
    struct Case {
      QPoint at;
      int angle;
      QString scale;
    };
    // 1.25 a notch; a high-resolution wheel's parts of a notch by the same rule; out undoes in.
    const Case cases[] = {{{120, 90}, 120, "12.500"},
                          {{300, 200}, 240, "19.531"},
                          {{40, 300}, -360, "10.000"},
                          {{200, 100}, 60, "11.180"},
                          {{200, 100}, -60, "10.000"}};
    for (const Case& c : cases) {
      const kPoint point = w.document().programPointAt(kPoint(c.at.x(), c.at.y()));
      wheel(w, c.at, c.angle);
      QCOMPARE(w.cboxScale->currentText(), c.scale);
      QVERIFY2(samePixel(w.document().pixelAt(point), kPoint(c.at.x(), c.at.y())), qPrintable(c.scale));
    }
    // Notches coming faster than the drawing are drawn once, at the latest view.
    for (int i = 0; i < 4; ++i) wheel(w, QPoint(150, 150), 120);
    waitForDrawing(w);
    QCOMPARE(w.cboxScale->currentText(), QString("24.414"));
    QCOMPARE(w.document().drawnScale(), 10 * std::pow(1.25, 4));
    // A wheel over the text pane scrolls the text, not the drawing.
    wheel(w, QPoint(10, 10), -120, w.reditNcFile->viewport());
    QCOMPARE(w.cboxScale->currentText(), QString("24.414"));
  }

  void dragPansWithTheLeftOrMiddleButton() {
    WindowFixture f;
    TVelmora_Form1& w = f.openWithSample();
    const double s = w.document().drawnScale();
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::MiddleButton}) {
      const QPoint from(100, 120), to(180, 60);
      const kPoint point = w.document().programPointAt(kPoint(from.x(), from.y()));
      drag(w, button, from, to);
      waitForDrawing(w);
      QVERIFY(samePixel(w.document().pixelAt(point), kPoint(to.x(), to.y())));
      QCOMPARE(w.document().drawnScale(), s);
    }
    // The picture follows: line 5's move lies where the view now puts it.
    QVERIFY(hasColourNear(w, screenOf(w, 22.5, 20), kPreviewGrey));
  }

  void doubleClickTakesTheCaretToTheMoveDrawnThereAndHoverTellsIt() {
    WindowFixture f;
    TVelmora_Form1& w = f.openWithSample();
    // Line 5 runs from (22.5, 10) to (22.5, 30); 3 pixels beside it is near enough, 12 is not.
    const QPoint beside = pixelOf(screenOf(w, 22.5, 20)) + QPoint(3, 0);
    QHelpEvent hover(QEvent::ToolTip, beside, w.Image1->mapToGlobal(beside));
    QApplication::sendEvent(w.Image1, &hover);
    QTRY_COMPARE(QToolTip::text(), QString("Line 5: G01 Y30"));
    QTest::mouseDClick(w.Image1, Qt::LeftButton, {}, beside);
    QCOMPARE(w.document().currentLine(), 5);
    QCOMPARE(redLines(w), QList<int>{5});
    // Where two moves meet, the later one; far from every move, nothing changes.
    QTest::mouseDClick(w.Image1, Qt::LeftButton, {}, pixelOf(screenOf(w, 22.5, 30)));
    QCOMPARE(w.document().currentLine(), 6);
    waitForDrawing(w);
    QTest::mouseDClick(w.Image1, Qt::LeftButton, {}, pixelOf(screenOf(w, 60, 60)));
    QCOMPARE(w.document().currentLine(), 6);
    const QPoint far = pixelOf(screenOf(w, 22.5, 20)) + QPoint(12, 0);
    QHelpEvent away(QEvent::ToolTip, far, w.Image1->mapToGlobal(far));
    QApplication::sendEvent(w.Image1, &away);
    QTRY_VERIFY(!QToolTip::isVisible());
  }

  void thePreviewShowsTheWholeProgramUntilTheSettingTurnsItOff() {
    WindowFixture f;
    TVelmora_Form1& w = f.openWithSample();
    waitForDrawing(w);
    // Right after loading: the moves ahead in the light pen, the current block's move (none on line 1) alone
    // highlighted.
    QVERIFY(w.Preview1->isChecked());
    for (const kPoint& p : {kPoint(22.5, 20), kPoint(6.25, 0), kPoint(0, 30)})
      QVERIFY(hasColourNear(w, screenOf(w, p.x, p.y), kPreviewGrey));
    pressInEditor(w, Qt::Key_Down, 4);  // line 5: G01 Y30 highlighted
    QVERIFY(hasColourNear(w, screenOf(w, 22.5, 20), kOrange));
    pressInEditor(w, Qt::Key_Up);  // line 4: the arc travelled, line 5's move the preview's again
    QVERIFY(hasColourNear(w, screenOf(w, 22.5, 20), kPreviewGrey));
    QVERIFY(!hasColourNear(w, screenOf(w, 22.5, 20), kOrange));
    QVERIFY(hasColourNear(w, screenOf(w, 6.25, 0), QColor(0, 128, 0)));

    w.Preview1->trigger();
    waitForDrawing(w);
    QVERIFY(!w.Preview1->isChecked());
    QVERIFY(!hasColourNear(w, screenOf(w, 22.5, 20), kPreviewGrey, 4));
    QVERIFY(!hasColourNear(w, screenOf(w, 22.5, 20), kOrange, 4));
    w.close();
    QCOMPARE(QSettings(f.path("velmora.INI"), QSettings::IniFormat).value("VIEW/Preview").toString(),
             QString("0"));
    // The next window starts without it.
    TVelmora_Form1& again = f.openWithSample();
    waitForDrawing(again);
    QVERIFY(!again.Preview1->isChecked());
    QVERIFY(!hasColourNear(again, screenOf(again, 22.5, 20), kPreviewGrey, 4));
  }

  // The Controller menu reads the program again with its choice and keeps it; a profile file beside the
  // program wins, and the status line names the control in use.
  void theControllerMenuChoosesTheControlUnlessAFileBesideTheProgramDoes() {
    const QStringList program = {"G90 G00 X0 Y0", "G01 X10. Y0 F100", "G02 X30. Y0 I10.0047 J0", "M30"};
    WindowFixture f;
    TVelmora_Form1& w = f.openWith("arc.nc", program);
    QVERIFY(w.actControls[0]->isChecked());
    QVERIFY(w.document().geometry().isFaultyArcAt(3));
    w.actControls[static_cast<int>(Control::linuxcnc)]->trigger();
    QVERIFY(!w.document().geometry().isFaultyArcAt(3));
    QCOMPARE(w.pnlControl->text(), QString("control: linuxcnc"));
    w.close();
    QCOMPARE(QSettings(f.path("velmora.INI"), QSettings::IniFormat).value("CONTROLLER/Name").toString(),
             QString("linuxcnc"));
    f.write(".velmora.ini", "[check]\ncontrol = mach3\n");
    TVelmora_Form1& again = f.openWith("arc.nc", program);
    QVERIFY(again.actControls[static_cast<int>(Control::linuxcnc)]->isChecked());
    QCOMPARE(again.document().profile().control, Control::mach3);
    QVERIFY(again.document().geometry().isFaultyArcAt(3));
    QVERIFY(again.pnlControl->text().startsWith("control: mach3 ("));
  }

  void theToolCentrePathIsDrawnDashedUntilTheSettingTurnsItOff() {
    WindowFixture f;
    const QStringList program = {"(D=10)", "G00 X0 Y-20", "G41 G01 X0 Y0 F100", "Y40", "X40", "G40 X60 Y60"};
    TVelmora_Form1& w = f.openWith("comp.nc", program);
    waitForDrawing(w);
    const QColor darkGreen(0, 64, 0);
    QVERIFY(w.ToolCentre1->isChecked());
    pressInEditor(w, Qt::Key_Down, 5);  // the last line: every move travelled
    waitForDrawing(w);
    // Block 4 (Y40) runs 5 to the left of its programmed move (dashed: a dash lies within 6 pixels).
    QVERIFY(hasColourNear(w, screenOf(w, -5, 20), darkGreen, 6));
    // A double-click on it picks block 4.
    QTest::mouseDClick(w.Image1, Qt::LeftButton, {}, pixelOf(screenOf(w, -5, 20)));
    QCOMPARE(w.document().currentLine(), 4);
    w.ToolCentre1->trigger();
    waitForDrawing(w);
    QVERIFY(!w.ToolCentre1->isChecked());
    QVERIFY(!hasColourNear(w, screenOf(w, -5, 20), darkGreen, 6));
    w.close();
    QCOMPARE(QSettings(f.path("velmora.INI"), QSettings::IniFormat).value("VIEW/ToolCentre").toString(),
             QString("0"));
    TVelmora_Form1& again = f.openWith("comp.nc", program);
    waitForDrawing(again);
    QVERIFY(!again.ToolCentre1->isChecked());
    // What compensation refuses is in the problems list, at its line.
    TVelmora_Form1& tooShort = f.openWith("short.nc", {"(D=10)", "G00 X0 Y0", "G41 G01 X3 Y0 F100", "G40 X10"});
    const std::vector<NcProblem> problems = tooShort.document().problems();
    QVERIFY(std::any_of(problems.begin(), problems.end(),
                        [](const NcProblem& p) { return p.rule == "comp-entry-too-short" && p.line == 3; }));
  }

  void clickCentresThePoint() {
    WindowFixture f;
    TVelmora_Form1& w = f.openWithSample();
    const QPoint centre(w.Image1->width() / 2, w.Image1->height() / 2);
    const kPoint before = w.document().offset();
    QTest::mouseClick(w.Image1, Qt::LeftButton, {}, centre);
    QCOMPARE(w.document().offset(), before);
    const double s = w.document().drawnScale();
    const kPoint world(5, 25);
    const kPoint screen = screenOf(w, world.x, world.y);
    QTest::mouseClick(w.Image1, Qt::LeftButton, {},
                      QPoint(static_cast<int>(screen.x), static_cast<int>(screen.y)));
    const kPoint after = screenOf(w, world.x, world.y);
    QVERIFY(std::abs(after.x - centre.x()) <= 1.0);
    QVERIFY(std::abs(after.y - centre.y()) <= 1.0);
    QCOMPARE(w.document().drawnScale(), s);
    // The picture follows: the move of line 5 is drawn where the view now puts it.
    pressInEditor(w, Qt::Key_End, 1, Qt::ControlModifier);
    QVERIFY(hasColourNear(w, screenOf(w, 22.5, 20), QColor(0, 128, 0)));
  }

  // The mouse boxes are the pointer's only: a resize leaves them empty.
  void resizeRedrawsAndShowsTheSize() {
    WindowFixture f;
    TVelmora_Form1& w = f.openWithSample();
    w.resize(1000, 640);
    QTRY_COMPARE(w.Image1->picture().size(), w.pnlImage->size());
    w.resize(700, 500);
    QTRY_COMPARE(w.Image1->picture().size(), w.pnlImage->size());
    QCOMPARE(w.editMouseX->text() + w.editMouseY->text(), QString());
  }
};

QTEST_MAIN(ViewTest)
#include "View_test.moc"
