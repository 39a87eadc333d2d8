// The settings file: window bounds, editor font, the drawing's preview, recent files and the rapid rate, kept
// between runs in an INI file.
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdio>

#include "app/Velmora_.hpp"
#include "nc/Ncfigures.hpp"
#include "util/Files.hpp"
#include "util/Format.hpp"
#include "util/Ini.hpp"
#include "util/Number.hpp"
#include "util/Text.hpp"

namespace {
const std::u16string kWindow = u"WINDOW";
const std::u16string kFont = u"FONT";
const std::u16string kRecent = u"RECENT";
const std::u16string kFigures = u"FIGURES";
const std::u16string kView = u"VIEW";
const std::u16string kController = u"CONTROLLER";
constexpr int kRecentKeys = 10;

std::u16string recentKey(int slot) { return u"File" + formatInt(slot, 1); }

std::u16string u16(const QString& text) { return text.toStdU16String(); }
std::u16string number(int value) { return formatInt(value, 1); }
int truncatedNumber(const std::u16string& text) { return truncToInt(toNumber(text, 1)); }
}  // namespace

void TVelmora_Form1::chooseSettingsFile(const QString& requested) {
  QString& iniPath = settingsState.iniPath;
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
    showMessage(QStringLiteral("File Open Error"), QStringLiteral("No Open %1").arg(iniPath));
    showMessage(QStringLiteral("Message"), QStringLiteral("Can't InitialFile\n"));
  }
}

void TVelmora_Form1::loadSettings() {
  Settings& s = settingsState;
  const std::string path = s.iniPath.toStdString();
  const auto read = [&](const std::u16string& section, const char16_t* key) {
    return iniReadString(section, key, path);
  };
  bool boundsGiven = false;
  for (auto [key, field] : {std::pair{u"Top", &s.winTop}, std::pair{u"Left", &s.winLeft},
                            std::pair{u"Width", &s.winWidth}, std::pair{u"Height", &s.winHeight}}) {
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
  s.recentFiles.clear();
  for (int slot = 1; slot <= kRecentKeys; ++slot) {
    const std::u16string recent = read(kRecent, recentKey(slot).c_str());
    if (!recent.empty()) s.recentFiles << QString::fromStdU16String(recent);
  }
  const double rapidRate = toNumber(read(kFigures, u"RapidRate"), 1);
  s.rapidRate = rapidRate > 0 ? rapidRate : kDefaultRapidRate;
  doc->setRapidRate(s.rapidRate);
  const std::u16string preview = read(kView, u"Preview");
  Preview1Click(preview.empty() || truncatedNumber(preview) != 0);
  const std::string control = toUtf8(read(kController, u"Name"));
  chooseControl(controlNamed(control).value_or(Control::strict), false);
  const std::u16string toolCentre = read(kView, u"ToolCentre");
  ToolCentre1Click(toolCentre.empty() || truncatedNumber(toolCentre) != 0);
}

// Written whenever the list changes: a file opened is remembered even when the window never closes well.
void TVelmora_Form1::saveRecentFiles() {
  const QStringList& recent = settingsState.recentFiles;
  std::vector<IniEntry> entries;
  for (int slot = 1; slot <= kRecentKeys; ++slot)
    entries.push_back({recentKey(slot), slot <= recent.size() ? u16(recent[slot - 1]) : std::u16string()});
  waitForSettingsWrite();
  settingsWrite =
      std::async(std::launch::async, [entries = std::move(entries), path = settingsState.iniPath.toStdString()] {
        iniWriteStrings(kRecent, entries, path);
      });
}

// One write at a time: each reads the file, changes its keys and replaces it.
void TVelmora_Form1::waitForSettingsWrite() {
  if (settingsWrite.valid()) settingsWrite.get();
}

void TVelmora_Form1::applyWindowSettings() {
  const Settings& s = settingsState;
  const QRect designed = geometry();
  move(s.winLeft != 0 || s.winTop != 0 ? QPoint(s.winLeft, s.winTop) : pos());
  resize(s.winWidth > 0 ? s.winWidth : designed.width(), s.winHeight > 0 ? s.winHeight : designed.height());
}

void TVelmora_Form1::applyFontSetting(const QString& key, const QString& text) {
  Settings& s = settingsState;
  QFont editorFont = reditNcFile->font();
  if (key == QLatin1String("Name")) {
    s.fontName = text;
    dialogFont.setFamily(text);
    editorFont.setFamily(text);
  } else if (key == QLatin1String("Size")) {
    s.fontSize = truncatedNumber(u16(text));
    if (s.fontSize > 0) {
      dialogFont.setPointSize(s.fontSize);
      editorFont.setPointSize(s.fontSize);
    }
  } else {
    const bool on = truncatedNumber(u16(text)) != 0;
    if (key == QLatin1String("Bold")) s.fontBold = on;
    if (key == QLatin1String("Italic")) s.fontItalic = on;
    if (key == QLatin1String("UnderLine")) s.fontUnderline = on;
    if (key == QLatin1String("StrikeOut")) s.fontStrikeOut = on;
    if (!on) return;
    s.fontPending = true;
    dialogFont.setBold(dialogFont.bold() || s.fontBold);
    dialogFont.setItalic(dialogFont.italic() || s.fontItalic);
    dialogFont.setUnderline(dialogFont.underline() || s.fontUnderline);
    dialogFont.setStrikeOut(dialogFont.strikeOut() || s.fontStrikeOut);
    editorFont.setBold(dialogFont.bold());
    editorFont.setItalic(dialogFont.italic());
    editorFont.setUnderline(dialogFont.underline());
    editorFont.setStrikeOut(dialogFont.strikeOut());
  }
  setEditorFont(editorFont);
}

bool TVelmora_Form1::saveSettings() {
  waitForSettingsWrite();
  const Settings& s = settingsState;
  const std::string path = s.iniPath.toStdString();
  bool saved = true;
  // A section in one write: each write replaces the file safely, which waits for the disk.
  const auto write = [&](const std::u16string& section, const std::vector<IniEntry>& entries) {
    saved = iniWriteStrings(section, entries, path).ok && saved;
  };
  write(kWindow, {{u"Top", number(s.winTop)},
                  {u"Left", number(s.winLeft)},
                  {u"Width", number(s.winWidth)},
                  {u"Height", number(s.winHeight)}});
  write(kFont, {{u"Name", u16(s.fontName)},
                {u"Size", number(s.fontSize)},
                {u"Bold", number(s.fontBold ? 1 : 0)},
                {u"Italic", number(s.fontItalic ? 1 : 0)},
                {u"UnderLine", number(s.fontUnderline ? 1 : 0)},
                {u"StrikeOut", number(s.fontStrikeOut ? 1 : 0)}});
  write(kFigures, {{u"RapidRate", formatReal(s.rapidRate, 3)}});
  write(kView, {{u"Preview", number(s.preview ? 1 : 0)}, {u"ToolCentre", number(s.toolCentre ? 1 : 0)}});
  write(kController, {{u"Name", fromUtf8(std::string(controlName(s.control)))}});
  if (!saved) std::fprintf(stderr, "velmora: the settings file %s could not be written\n", path.c_str());
  return saved;
}
