// Starts the program: the main window, the file named on the command line, and the message loop.
#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "app/Velmora_.hpp"

namespace {
// "--screenshot FILE" (for the documentation): show the program two thirds through, save the window, quit.
void takeScreenshot(TVelmora_Form1& window, const QString& file) {
  window.reditNcFile->setCaretLine(std::max(1, window.document().lineCount() * 2 / 3));
  QTimer::singleShot(300, &window, [&window, file] {
    if (!window.grab().save(file)) std::fprintf(stderr, "velmora: cannot save %s\n", qPrintable(file));
    QApplication::quit();
  });
}
}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("velmora"));
  QStringList arguments = QApplication::arguments().mid(1);
  QString screenshot;
  if (const qsizetype at = arguments.indexOf(QStringLiteral("--screenshot"));
      at >= 0 && at + 1 < arguments.size()) {
    screenshot = arguments.at(at + 1);
    arguments.remove(at, 2);
  }
  TVelmora_Form1 window;
  window.show();
  QTimer::singleShot(0, &window, [&] {
    window.FormActivate(arguments.value(0));
    if (!screenshot.isEmpty()) takeScreenshot(window, screenshot);
  });
  return app.exec();
}
