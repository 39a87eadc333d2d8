// The settings file: window bounds and editor font, kept between runs in an INI file.
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdio>

#include "app/Velmora_.hpp"
#include "util/Files.hpp"
#include "util/Format.hpp"
#include "util/Ini.hpp"
#include "util/Number.hpp"

namespace {
const std::u16string kWindow = u"WINDOW";
const std::u16string kFont = u"FONT";

std::u16string u16(const QString& text) { return text.toStdU16String(); }
std::u16string number(int value) { return formatInt(value, 1); }
int truncatedNumber(const std::u16string& text) { return truncToInt(toNumber(text, 1)); }
}  // namespace

void TVelmora_Form1::chooseSettingsFile(const QString& requested) {
  iniPath = requested;
  if (iniPath.isEmpty()) {
    const QFileInfo beside(QString::fromStdString(settingsPathPart(0)));
    if (QFileInfo(beside.absolutePath()).isWritable()) {
      iniPath = beside.absoluteFilePath();
    } else {
      const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
      QDir().mkpath(folder);
      iniPath = QDir(folder).filePath(beside.fileName());
    }
  }
  const std::string path = iniPath.toStdString();
  if (fileExists(path)) return;
  if (!createEmptyFile(path).ok) {
    showMessageBox(QStringLiteral("File Open Error"), QStringLiteral("No Open %1").arg(iniPath));
    showMessageBox(QStringLiteral("Message"), QStringLiteral("Can't InitialFile\n"));
  }
}

void TVelmora_Form1::loadSettings() {
  const std::string path = iniPath.toStdString();
  const auto read = [&](const std::u16string& section, const char16_t* key) {
    return iniReadString(section, key, path);
  };
  bool boundsGiven = false;
  for (auto [key, field] : {std::pair{u"Top", &winTop}, std::pair{u"Left", &winLeft},
                            std::pair{u"Width", &winWidth}, std::pair{u"Height", &winHeight}}) {
    const std::u16string text = read(kWindow, key);
    if (text.empty()) continue;
    *field = truncatedNumber(text);
    boundsGiven = true;
  }
  if (boundsGiven) applyWindowSettings();
  for (const char16_t* key : {u"Name", u"Size", u"Bold", u"Italic", u"UnderLine", u"StrikeOut"}) {
    const std::u16string text = read(kFont, key);
    if (!text.empty()) applyFontSetting(QString::fromStdU16String(key), QString::fromStdU16String(text));
  }
}

void TVelmora_Form1::applyWindowSettings() {
  const QRect designed = geometry();
  move(winLeft != 0 || winTop != 0 ? QPoint(winLeft, winTop) : pos());
  resize(winWidth > 0 ? winWidth : designed.width(), winHeight > 0 ? winHeight : designed.height());
}

void TVelmora_Form1::applyFontSetting(const QString& key, const QString& text) {
  QFont editorFont = reditNcFile->font();
  if (key == QLatin1String("Name")) {
    fontName = text;
    dialogFont.setFamily(text);
    editorFont.setFamily(text);
  } else if (key == QLatin1String("Size")) {
    fontSize = truncatedNumber(u16(text));
    if (fontSize > 0) {
      dialogFont.setPointSize(fontSize);
      editorFont.setPointSize(fontSize);
    }
  } else {
    const bool on = truncatedNumber(u16(text)) != 0;
    if (key == QLatin1String("Bold")) fontBold = on;
    if (key == QLatin1String("Italic")) fontItalic = on;
    if (key == QLatin1String("UnderLine")) fontUnderline = on;
    if (key == QLatin1String("StrikeOut")) fontStrikeOut = on;
    if (!on) return;
    fontPending = true;
    dialogFont.setBold(dialogFont.bold() || fontBold);
    dialogFont.setItalic(dialogFont.italic() || fontItalic);
    dialogFont.setUnderline(dialogFont.underline() || fontUnderline);
    dialogFont.setStrikeOut(dialogFont.strikeOut() || fontStrikeOut);
    editorFont.setBold(dialogFont.bold());
    editorFont.setItalic(dialogFont.italic());
    editorFont.setUnderline(dialogFont.underline());
    editorFont.setStrikeOut(dialogFont.strikeOut());
  }
  reditNcFile->setFont(editorFont);
}

bool TVelmora_Form1::saveSettings() {
  const std::string path = iniPath.toStdString();
  bool saved = true;
  const auto write = [&](const std::u16string& section, const char16_t* key, const std::u16string& value) {
    saved = iniWriteString(section, key, value, path).ok && saved;
  };
  write(kWindow, u"Top", number(winTop));
  write(kWindow, u"Left", number(winLeft));
  write(kWindow, u"Width", number(winWidth));
  write(kWindow, u"Height", number(winHeight));
  write(kFont, u"Name", u16(fontName));
  write(kFont, u"Size", number(fontSize));
  write(kFont, u"Bold", number(fontBold ? 1 : 0));
  write(kFont, u"Italic", number(fontItalic ? 1 : 0));
  write(kFont, u"UnderLine", number(fontUnderline ? 1 : 0));
  write(kFont, u"StrikeOut", number(fontStrikeOut ? 1 : 0));
  if (!saved) std::fprintf(stderr, "velmora: the settings file %s could not be written\n", path.c_str());
  return saved;
}
