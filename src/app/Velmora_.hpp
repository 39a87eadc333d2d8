// TVelmora_Form1: the main window. It turns keys, clicks, drops and menu commands into calls of the program
// document, which holds the program, its drawing and the view, and shows what the document answers.
#pragma once

#include <QElapsedTimer>
#include <QFont>
#include <QMainWindow>
#include <QString>
#include <QTimer>
#include <array>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <optional>

#include "app/DocumentLines.hpp"
#include "app/ImageView.hpp"
#include "app/NcTextView.hpp"
#include "app/QtIndicators.hpp"
#include "app/WindowDialogs.hpp"
#include "document/Ncdocument.hpp"

class FindBar;
class QAction;
class QFileSystemWatcher;
class QMenu;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSplitter;
class QStackedWidget;
class QTableView;
class QToolButton;
class QVBoxLayout;
class QWidget;
class LayeredSurface;
class ClickPanel;
class ProblemListModel;

class TVelmora_Form1 : public QMainWindow {
  Q_OBJECT

 public:
  // The current file: its path, folder and name ("" for none), and the DXF file last written.
  struct FileState {
    QString path;
    QString folder;
    QString name;
    QString dxfBaseName;
    QString dxfPath;
  };
  // What the settings file keeps: window bounds, editor font, recent files, rapid rate.
  struct Settings {
    QString iniPath;
    int winTop = 0, winLeft = 0, winWidth = 0, winHeight = 0;
    QString fontName;
    int fontSize = 0;
    bool fontBold = false, fontItalic = false, fontUnderline = false, fontStrikeOut = false;
    // A font style came from the settings and is still to be applied by the first load (Font1Click).
    bool fontPending = false;
    // The files opened last, the latest first.
    QStringList recentFiles;
    // Units per minute of rapid moves in the estimated machining time.
    double rapidRate = 0;
    // The whole program drawn in a light pen under the path travelled.
    bool preview = true;
    // The control the programs are written for, unless a `.velmora.ini` beside a program names one.
    Control control = Control::strict;
    bool toolCentre = true;
  };

  // `iniPath` empty: the settings file beside the executable, or in the user's configuration folder when
  // that folder cannot be written. `dialogs` (not owned; nullptr: the real ones) asks and tells the user.
  explicit TVelmora_Form1(const QString& iniPath = {}, QWidget* parent = nullptr,
                          WindowDialogs* dialogs = nullptr);
  ~TVelmora_Form1() override;

  const kNcDocument& document() const { return *doc; }
  const FileState& file() const { return fileState; }
  const Settings& settings() const { return settingsState; }

  // ---- Start-up and file arrival
  // First activation: loads `argument` (the first command-line argument, "" for none) unless it is a folder.
  void FormActivate(const QString& argument);
  // A file dropped on the window (the first item of a drop).
  void dropNcFile(const QString& path);
  void Splitter1Moved();

  // ---- Loading
  // No program: the document, the drawing, the text pane, the top panel and the problems cleared.
  void prepareForLoad();
  // Reads the file (text and blocks at once) while the window keeps taking events; nothing when no file is
  // there.
  void loadNcFile(const QString& path);
  // Reads an edited text exactly as a loaded file (on "更新").
  void loadNcText(const QString& text);
  void bbtnAbortClick();

  // ---- Problems of the last reading
  // The list under the text (hidden when empty) and the counts in the status line.
  // The problems listed, and how many `velmora:` comments silenced, which the status line counts.
  void showProblems(std::vector<NcProblem> problems, int suppressed = 0);
  void showProblems(ProblemReport report);
  // A row taken with Enter or a double-click: the caret goes to the problem's line.
  void gridProblemsActivated(int row);

  // ---- Navigation: the text pane's caret line is the current block
  void bbtnDownClick();
  void bbtnUpClick();
  // F10 and Shift+F10: the next or previous block in execution order; the caret follows it into the file and
  // to the line it came from.
  void stepExecution(bool forward);
  void showBlockInfo();

  // ---- View
  // The redraw command: a fresh picture with the program drawn up to and including the current line, in
  // pieces while the window keeps taking events.
  void btnReDrowClick();
  // The same without taking the keyboard: a caret moved from the find bar leaves the bar its focus.
  void redrawPicture();
  void btnScaleClick();
  void bbtnResetClick();
  // Zooms by 1.25 per notch about `pos`: the program point there stays there.
  void FormMouseWheel(const QPoint& pos, double notches);
  // A click: the point comes to the centre of the drawing.
  void Image1MouseDown(const QPoint& pos);
  void Image1MousePress(const QPoint& pos, Qt::MouseButton button);
  // With the left or middle button held, a move past the drag distance pans the drawing.
  void Image1MouseMove(const QPoint& pos, Qt::MouseButtons held = Qt::NoButton);
  // Without a drag, the press was a click.
  void Image1MouseUp(const QPoint& pos);
  void Image1MouseLeave();
  // The caret goes to the block whose move is drawn nearest the point double-clicked.
  void Image1DblClick(const QPoint& pos);
  // The block drawn nearest the resting pointer: its line number and text.
  void Image1ToolTip(const QPoint& pos, const QPoint& globalPos);
  void Preview1Click(bool on);
  void ToolCentre1Click(bool on);

  // ---- Opening, recent files, saving by key, reloading (Velmora_Files.cpp)
  // The open dialog (Ctrl+O): the chosen file arrives as a dropped one does.
  void openFileClick();
  // A file of the recent-files menu; a missing one is reported and leaves the list.
  void openRecentFile(const QString& path);
  // Ctrl+S: "ファイル保存" when it is offered.
  void saveShortcut();
  // The current file changed on disk: read again at once when nothing would be lost, else when the user
  // agrees.
  void checkFileOnDisk();

  // ---- Find and go to line (Velmora_Find.cpp)
  void findClick();
  void findNext();
  void findPrevious();
  void goToLineClick();

  // ---- Settings
  void loadSettings();
  // False (and a line on stderr) when the settings file could not be written.
  bool saveSettings();

  // ---- Edit mode, update, save, DXF, help, About, font
  void rbtnEditClick();
  void bbtnReadClick();
  void bbtnReplaceClick();
  void bbtnDXFClick();
  void Font1Click();
  void Help1Click();
  void About1Click();
  void Panel3Click();

  // ---- Components
  QAction* Font1 = nullptr;
  QAction* About1 = nullptr;
  QAction* Help1 = nullptr;
  QAction* Preview1 = nullptr;     // in the View menu, checked while the preview is on
  QAction* ToolCentre1 = nullptr;  // in the View menu, checked while the tool centre path is drawn
  QAction* Fit1 = nullptr;         // Ctrl+0: ResetScale
  QAction* actStepNext = nullptr;  // F10: the next executed block
  QAction* actStepBack = nullptr;  // Shift+F10: the previous one
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
  // The text pane: the program read-only in Check mode, an editor filled when Edit mode starts.
  QStackedWidget* pnlText = nullptr;
  NcTextView* reditNcFile = nullptr;
  QPlainTextEdit* reditEdit = nullptr;
  QTableView* gridProblems = nullptr;
  ProblemListModel* problemModel = nullptr;
  QLabel* pnlProblemCount = nullptr;    // in the status line
  QProgressBar* barProgress = nullptr;  // in the status line, while Edit mode fills its editor
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
  QMenu* menuFile = nullptr;
  QMenu* menuRecent = nullptr;
  QAction* actOpen = nullptr;
  QAction* actSave = nullptr;
  QAction* actFind = nullptr;
  QAction* actFindNext = nullptr;
  QAction* actFindPrevious = nullptr;
  QAction* actGoToLine = nullptr;
  FindBar* findBar = nullptr;
  QLabel* pnlReadState = nullptr;  // in the status line: where an aborted reading stopped
  QLabel* pnlFigures = nullptr;    // in the status line: extents, path lengths, time, tools
  QLabel* pnlControl = nullptr;    // in the status line: the control in use
  // In the status line, for an evaluated program: the file shown, the current block's pass and call.
  QLabel* pnlExecution = nullptr;
  // The Controller menu's actions, by Control.
  std::array<QAction*, kControlCount> actControls{};

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // Construction (Velmora_.cpp).
  void buildMenu();
  void buildTopPanel();
  void buildSelectPanel();
  void buildInfoFields();
  void buildLeftPane();
  void buildProblemList(QVBoxLayout* column);
  void buildImagePane();
  void buildBottomPanel();
  void connectCommands();
  void showMessage(const QString& caption, const QString& text);

  // Arrival (Velmora_Arrival.cpp).
  void setFileCommands(bool fileGiven, bool showSave);
  void setCurrentFile(const QString& path);
  // A file that arrived: loaded, a pending font applied, drawn.
  void loadAndDraw(const QString& path);

  // Loading (Velmora_Load.cpp).
  void runLoad(const std::function<ReadResult(const kNcDocument::LoadCallbacks&)>& read, const QString& path);
  void setCommandsDuringLoad(bool enabled);
  void showTextToRead();
  bool loadProgress();
  void reportReadResult(const ReadResult& result, const QString& path);
  void clearProblems();

  // Navigation (Velmora_Navigate.cpp).
  void reditNcFileCaretMoved(int line, bool arrowStep);
  void makeCurrentLine(int line, bool step);
  void clearBlockInfo();
  void showInfo(const BlockInfo& info);
  void showCompensation(const BlockInfo& info);
  // The jump buttons: the text pane's caret to `line`.
  void jumpTo(int line);
  // Check mode: the caret to `line` (the drawing and panels follow) and the keyboard to the text.
  void caretToCurrentLine(int line);
  // The text pane follows the current block to its file and line, without the caret's move choosing a block.
  void followCurrentBlock(int fileShownBefore);
  // The text pane shows `file` with the caret on `line`, which becomes current.
  void showFileLine(int file, int line);

  // Controller (Velmora_Controller.cpp).
  void buildControllerMenu();
  // The menu's choice: kept in the settings, and the program shown read again with it (an edit in progress
  // is read with it when it ends).
  void chooseControl(Control control, bool reread);
  // The status line names the control in use and where it came from.
  void showControl();

  // View (Velmora_View.cpp).
  void buildViewMenu();
  void connectDrawing();
  QImage& pictureForDrawing();
  // A fresh drawing, drawn in pieces from the next turn of the event loop on (not at once, as btnReDrowClick).
  void scheduleRedraw();
  // How long one piece of a drawing may keep the window from its events.
  static constexpr std::chrono::milliseconds kDrawPiece{20};
  void drawPiece(std::chrono::milliseconds budget = kDrawPiece);
  // Once a picture is complete, the drawn moves are indexed for picking in pieces, so that the first
  // double-click or tooltip does not wait for a whole program.
  void indexPiece();
  void stopDrawing();
  void clearDrawing();
  void updateDrawing();
  void showBusySign();
  void hideBusySign();
  void showScale(double scale);

  // Files (Velmora_Files.cpp).
  void buildFileCommands();
  // A file named, dropped or opened: refused with a message naming it (the window stays as it was), or made
  // the current file and loaded. True when loaded.
  bool arriveFile(const QString& path, bool showSave);
  bool refuseFile(const QString& path);
  void rememberRecent(const QString& path);
  void fillRecentMenu();
  void watchCurrentFile();
  void reloadFromDisk();
  bool hasUnsavedEdits() const;
  // Asked before the window closes, or reads another file, over edits that are not saved ("Close", "Open
  // part.nc"); true to go on all the same.
  bool confirmLosingEdits(const QString& going);
  // The caret to `line` with the drawing through it, also when the caret is there already.
  void showLine(int line);

  // Find (Velmora_Find.cpp).
  void buildFindBar();
  void find(bool forward);
  void findInEditor(bool forward);
  void highlightMatches(const QString& text);

  // The status line's reading state and figures, the mouse boxes (Velmora_Status.cpp).
  void buildStatusFields();
  void showReadState(const ReadResult& result);
  void showFigures();
  void showExecution();
  void clearMousePosition();

  // Settings (Velmora_Settings.cpp).
  void chooseSettingsFile(const QString& requested);
  void applyWindowSettings();
  void applyFontSetting(const QString& key, const QString& text);
  // Written on a worker: a safe replacement of the settings file waits for the disk, tens of milliseconds on
  // some machines, which the window must not spend right after opening a file.
  void saveRecentFiles();
  void waitForSettingsWrite();

  // Edit mode and font (Velmora_Edit.cpp).
  void setEditorFont(const QFont& font);
  void applyEditorFont();
  void fillEditor();
  std::function<void(int)> editorPause(int total);
  void showCheckMode();
  QWidget* textPane() const;

  QtWindowDialogs realDialogs;
  WindowDialogs* dialogs = nullptr;
  std::unique_ptr<QtIndicators> indicators;
  std::unique_ptr<kNcDocument> doc;
  std::unique_ptr<DocumentLines> lines;
  std::unique_ptr<LayeredSurface> surface;
  FileState fileState;
  Settings settingsState;
  std::future<void> settingsWrite;
  // The font the font dialog starts from.
  QFont dialogFont;
  QTimer drawTimer;
  QTimer indexTimer;
  QElapsedTimer pumpTimer;
  int lastWidth = 0, lastHeight = 0;
  int resizeCount = 0;
  // A press on the drawing: where, and whether it became a drag (and where the drag last was).
  bool pressHeld = false;
  bool dragging = false;
  QPoint pressAt, dragAt;
  // The last click: where, and the program point that was there before the view centred it.
  QPoint clickedAt;
  std::optional<kPoint> clickedPoint;
  bool closing = false;
  bool abortRequested = false;
  bool loading = false;
  bool busySign = false;
  // The caret is being put where the current block came from: its move chooses no block.
  bool followingBlock = false;
  // The program was changed by "更新" since it was last read from or saved to its file.
  bool unsavedEdits = false;
  QFileSystemWatcher* watcher = nullptr;
  // Events of a save or a replacement come in bursts: the file is looked at once they settle.
  QTimer diskCheckTimer;
  // Size and modification time of the current file as last read or written by the window.
  QString knownFileState;
};
