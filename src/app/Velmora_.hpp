// TVelmora_Form1: the main window. It owns the block store, the canvas and the tool-path drawing, turns
// keys, clicks, drops and menu commands into calls of the core, and shows what the core answers.
#pragma once

#include <QElapsedTimer>
#include <QFont>
#include <QMainWindow>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "app/ImageView.hpp"
#include "app/NcEditor.hpp"
#include "app/QtIndicators.hpp"
#include "graphics/Kcanvas.hpp"
#include "render/Toolpath.hpp"
#include "nc/Ncgeometry.hpp"
#include "nc/Ncproblems.hpp"
#include "nc/Ncreader.hpp"
#include "util/Encoding.hpp"

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSplitter;
class QTableView;
class QToolButton;
class QVBoxLayout;
class QWidget;
class QPainterSurface;
class ClickPanel;
class ProblemListModel;
struct BlockInfo;

class TVelmora_Form1 : public QMainWindow {
  Q_OBJECT

 public:
  // `iniPath` empty: the settings file beside the executable, or in the user's configuration folder when
  // that folder cannot be written.
  explicit TVelmora_Form1(const QString& iniPath = {}, QWidget* parent = nullptr);
  ~TVelmora_Form1() override;

  // ---- Start-up and file arrival
  // First activation: loads `argument` (the first command-line argument, "" for none) unless it is a folder.
  void FormActivate(const QString& argument);
  // A file dropped on the window (the first item of a drop).
  void dropNcFile(const QString& path);
  void Splitter1Moved();

  // ---- Loading
  // Restarts the block store with the reading delimiters, clears the drawing and the editor.
  void prepareForLoad();
  // Shows the file's text in the editor and reads it into the block store; nothing when no file is there.
  void loadNcFile(const QString& path);
  // Reads an already decoded text exactly as a loaded file (the edited text on "更新").
  void loadNcText(const QString& text);
  void bbtnAbortClick();

  // ---- Problems of the last reading
  // The list under the editor (hidden when empty) and the counts in the status line.
  void showProblems(std::vector<NcProblem> problems);
  void clearProblems();
  // A row taken with Enter or a double-click: the caret goes to the problem's line.
  void gridProblemsActivated(int row);

  // ---- Navigation
  void bbtnDownClick();
  void bbtnUpClick();
  // The top panel shows block curLine; cleared, it shows nothing (no program).
  void showBlockInfo();
  void clearBlockInfo();
  // Makes `line` the current block: red line, top panel, drawing (a step when `step`, else a redraw).
  void makeCurrentLine(int line, bool step);

  // ---- View
  // The redraw command: a fresh picture with the program drawn up to the caret's block.
  void btnReDrowClick();
  // The same with curLine raised by one for the drawing, whatever the caret.
  void redrawRaised();
  // The drawing goes blank (white), e.g. on entering edit mode.
  void clearDrawing();
  void btnScaleClick();
  void bbtnResetClick();
  void FormMouseWheel(bool up);
  void Image1MouseDown(const QPoint& pos);
  void Image1MouseMove(const QPoint& pos);
  void Image1MouseLeave();

  // ---- Settings
  void loadSettings();
  // False (and a line on stderr) when the settings file could not be written.
  bool saveSettings();

  // ---- Edit mode, update, save, DXF, help, About, font (defined with the edit commands)
  void rbtnEditClick();
  void bbtnReadClick();
  void bbtnReplaceClick();
  void bbtnDXFClick();
  void Font1Click();
  void applyEditorFont();
  void Help1Click();
  void About1Click();
  void Panel3Click();

  // A short message in a box with one OK button (tests set messageBoxHook to see it instead).
  void showMessageBox(const QString& caption, const QString& text);
  // A path for a temporary file `name` inside this process's private temporary folder.
  QString tempFilePath(const QString& name);

  std::function<QString(const QString& title, const QString& filter, const QString& defaultSuffix)>
      saveFileNameHook;
  std::function<void(const QString& caption, const QString& text)> messageBoxHook;

  // ---- Components
  QAction* Font1 = nullptr;
  QAction* About1 = nullptr;
  QAction* Help1 = nullptr;
  QAction* Space = nullptr;
  QAction* menuFileName = nullptr;
  QFrame* pnlImageTop = nullptr;
  ClickPanel* Panel3 = nullptr;
  QLabel* imgIcon = nullptr;
  QFrame* pnlSelectEdit = nullptr;
  QRadioButton* rbtnCheck = nullptr;
  QRadioButton* rbtnEdit = nullptr;
  QPushButton* bbtnRead = nullptr;
  QToolButton* bbtnDown = nullptr;
  QToolButton* bbtnUp = nullptr;
  QToolButton* bbtnClose = nullptr;
  QLabel* pnlGCode = nullptr;
  QLabel* pnlG90 = nullptr;
  QLabel* pnlG40 = nullptr;
  QLineEdit* leditX = nullptr;
  QLineEdit* leditY = nullptr;
  QLineEdit* leditZ = nullptr;
  QLineEdit* leditCX = nullptr;
  QLineEdit* leditCY = nullptr;
  QLineEdit* leditR = nullptr;
  // The captions of leditCX and leditCY, which name the axes of the arc's plane.
  QLabel* leditCXLabel = nullptr;
  QLabel* leditCYLabel = nullptr;
  QComboBox* cboxFeed = nullptr;
  QPushButton* bbtnFeedReplace = nullptr;
  QFrame* pnlLeft = nullptr;
  NcEditor* reditNcFile = nullptr;
  QTableView* gridProblems = nullptr;
  ProblemListModel* problemModel = nullptr;
  QLabel* pnlProblemCount = nullptr;  // in the status line
  QFrame* pnlEditBottom = nullptr;
  QPushButton* bbtnDXF = nullptr;
  QPushButton* bbtnReplace = nullptr;
  QSplitter* Splitter1 = nullptr;
  QFrame* pnlImage = nullptr;
  ImageView* Image1 = nullptr;
  QFrame* pnlBottom = nullptr;
  QLineEdit* editMouseX = nullptr;
  QLineEdit* editMouseY = nullptr;
  QComboBox* cboxScale = nullptr;
  QPushButton* btnScale = nullptr;
  QPushButton* bbtnReset = nullptr;
  QPushButton* btnReDrow = nullptr;
  QPushButton* bbtnAbort = nullptr;

  // ---- File state
  QString ncFilePath;
  QString ncFolder;
  QString ncFileName;
  QString dxfBaseName;
  QString dxfPath;
  QString exeFolder;
  QString iniPath;
  // How the loaded file was encoded; a save writes the text back the same way.
  TextEncoding textEncoding = TextEncoding::ShiftJis;

  // ---- Settings values
  int winTop = 0, winLeft = 0, winWidth = 0, winHeight = 0;
  QString fontName;
  int fontSize = 0;
  bool fontBold = false, fontItalic = false, fontUnderline = false, fontStrikeOut = false;
  // A font style came from the settings and is still to be applied by the first load (Font1Click).
  bool fontPending = false;
  // The font the font dialog starts from.
  QFont dialogFont;

  // ---- Program, drawing and cursor
  std::unique_ptr<kNcGeometry> ncGeometry;
  std::unique_ptr<kCanvas> canvas;
  std::unique_ptr<QtIndicators> indicators;
  std::unique_ptr<kToolPath> toolPath;  // holds viewScale, viewOffset and the pens
  int prevLine = 0;
  int curLine = 0;
  int lastWidth = 0, lastHeight = 0;
  int resizeCount = 0;
  int wheelCount = 0;
  bool mouseOverImage = false;
  bool closing = false;
  bool abortRequested = false;
  bool loading = false;
  // What the last load ended with (tests and the benchmark read it).
  ReadResult lastRead;
  // Size in bytes of the file last loaded (thins out resize redraws).
  qint64 loadedBytes = 0;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void buildMenu();
  void buildTopPanel();
  void buildSelectPanel();
  void buildInfoFields();
  void buildLeftPane();
  void buildProblemList(QVBoxLayout* column);
  void buildImagePane();
  void buildBottomPanel();
  void connectCommands();
  void setFileCommands(bool fileGiven, bool showSave);
  // The current file's path, folder and name ("" for none).
  void setCurrentFile(const QString& path);
  // A file that arrived: loaded, a pending font applied, drawn.
  void loadAndDraw(const QString& path);
  void createCore();
  void chooseSettingsFile(const QString& requested);
  void applyWindowSettings();
  void applyFontSetting(const QString& key, const QString& text);

  ReadResult runLoad(const std::function<QString()>& editorText,
                     const std::function<ReadResult(const ReaderCallbacks&)>& read);
  QString decodeInPieces(const QByteArray& bytes);
  bool loadProgress();
  void reportReadResult(const ReadResult& result, const QString& path);
  void editorCaretMoved();
  void showInfo(const BlockInfo& info);
  void showCompensation(const BlockInfo& info);
  void paintDrawing(int drawnUpTo);
  void showBusySign();

  std::unique_ptr<QPainterSurface> surface;
  std::unique_ptr<QTemporaryDir> tempDir;
  QElapsedTimer pumpTimer;
  int wheelAngle = 0;
  bool movingCaret = false;
};
