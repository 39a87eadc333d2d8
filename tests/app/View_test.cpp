// View control of the window: wheel zoom, click to centre, mouse position, SetScale and ResetScale.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QWheelEvent>

#include "WindowFixture.hpp"
#include "util/Format.hpp"

namespace {
void setScaleText(TVelmora_Form1& w, const QString& text) {
  w.cboxScale->setEditText(text);
  w.btnScale->click();
}

void wheel(TVelmora_Form1& w, int notches) {
  const QPointF at(w.Image1->width() / 2.0, w.Image1->height() / 2.0);
  for (int i = 0; i < std::abs(notches); ++i) {
    QWheelEvent event(at, w.Image1->mapToGlobal(at), QPoint(), QPoint(0, notches > 0 ? 120 : -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w.Image1, &event);
  }
}
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

  void everySecondNotchZooms() {
    WindowFixture f;
    TVelmora_Form1& w = f.openWithSample();
    setScaleText(w, "10");
    const kPoint offset = w.document().offset();
    w.Image1MouseMove(QPoint(5, 5));
    wheel(w, 1);
    QCOMPARE(w.document().drawnScale(), 10.0);
    wheel(w, 1);
    QCOMPARE(w.cboxScale->currentText(), QString("10.900"));
    wheel(w, -2);
    QCOMPARE(w.cboxScale->currentText(), QString("10.000"));
    // About the view's centre: the program point there stays.
    QCOMPARE(w.document().offset(), offset);
    // Out always shrinks: below 0.9 pixels per unit the scale is divided by 1.5.
    setScaleText(w, "0.9");
    wheel(w, -2);
    QCOMPARE(w.cboxScale->currentText(), QString("0.600"));
    setScaleText(w, "0.3");
    wheel(w, -2);
    QCOMPARE(w.cboxScale->currentText(), QString("0.200"));
    // Not over the drawing: no zoom.
    w.Image1MouseLeave();
    wheel(w, 2);
    QCOMPARE(w.cboxScale->currentText(), QString("0.200"));
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
