// View control of the window: wheel zoom, click to centre, mouse position, SetScale and ResetScale.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QWheelEvent>

#include "WindowFixture.hpp"

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
    QCOMPARE(w.canvas->getScale(), 2.5);
    QVERIFY(w.bbtnAbort->isHidden());
    setScaleText(w, "abc");  // not a number: scale 0, drawn at 1
    QCOMPARE(w.toolPath->viewScale, 0.0);
    QCOMPARE(w.cboxScale->currentText(), QString("1.000"));
  }

  void resetScaleFitsAgain() {
    WindowFixture f;
    TVelmora_Form1& w = f.openWithSample();
    const double fitted = w.toolPath->viewScale;
    const kPoint offset = w.toolPath->viewOffset;
    setScaleText(w, "3");
    w.Image1MouseDown(QPoint(10, 10));
    w.bbtnReset->click();
    QCOMPARE(w.toolPath->viewScale, fitted);
    QCOMPARE(w.toolPath->viewOffset, offset);
  }

  void mousePositionInDrawingUnits() {
    WindowFixture f;
    TVelmora_Form1& w = f.openWithSample();
    w.toolPath->viewOffset = kPoint(0, 0);  // the drawing origin at the picture centre, a whole pixel
    setScaleText(w, "10");
    const kPoint origin = w.canvas->getOrigin();
    QTest::mouseMove(w.Image1, QPoint(static_cast<int>(origin.x) + 50, static_cast<int>(origin.y) - 20));
    QCOMPARE(w.editMouseX->text(), QString("5.000"));
    QCOMPARE(w.editMouseY->text(), QString("2.000"));
    QVERIFY(w.mouseOverImage);
  }

  void everySecondNotchZooms() {
    WindowFixture f;
    TVelmora_Form1& w = f.openWithSample();
    setScaleText(w, "10");
    w.Image1MouseMove(QPoint(5, 5));
    wheel(w, 1);
    QCOMPARE(w.canvas->getScale(), 10.0);
    wheel(w, 1);
    QCOMPARE(w.cboxScale->currentText(), QString("10.900"));
    wheel(w, -2);
    QCOMPARE(w.cboxScale->currentText(), QString("10.000"));
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
    const kPoint before = w.toolPath->viewOffset;
    QTest::mouseClick(w.Image1, Qt::LeftButton, {}, centre);
    QCOMPARE(w.toolPath->viewOffset, before);
    const double s = w.canvas->getScale();
    const kPoint world(5, 25);
    const kPoint screen = w.canvas->toScreen(world);
    QTest::mouseClick(w.Image1, Qt::LeftButton, {},
                      QPoint(static_cast<int>(screen.x), static_cast<int>(screen.y)));
    const kPoint after = w.canvas->toScreen(world);
    QVERIFY(std::abs(after.x - centre.x()) <= 1.0);
    QVERIFY(std::abs(after.y - centre.y()) <= 1.0);
    QCOMPARE(w.canvas->getScale(), s);
  }

  void resizeRedrawsAndShowsTheSize() {
    WindowFixture f;
    TVelmora_Form1& w = f.openWithSample();
    w.resize(1000, 640);
    QTRY_COMPARE(w.editMouseX->text(), QString("1000"));
    QCOMPARE(w.editMouseY->text(), QString("640"));
    QCOMPARE(w.Image1->picture().size(), w.pnlImage->size());
    w.resize(700, 500);
    QTRY_COMPARE(w.editMouseY->text(), QString("500"));
    QCOMPARE(w.Image1->picture().size(), w.pnlImage->size());
  }
};

QTEST_MAIN(ViewTest)
#include "View_test.moc"
