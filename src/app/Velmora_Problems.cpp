// The problems list under the editor and the counts in the status line: filled after every reading; a row
// taken (Enter, double-click) moves the caret to its line, and the drawing follows the caret.
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

#include "app/ProblemList.hpp"
#include "app/Velmora_.hpp"

namespace {
constexpr int kListHeight = 140;
constexpr int kLineColumnWidth = 56;
constexpr int kSeverityColumnWidth = 84;
constexpr int kRuleColumnWidth = 170;
}  // namespace

void TVelmora_Form1::buildProblemList(QVBoxLayout* column) {
  problemModel = new ProblemListModel(this);
  gridProblems = new QTableView(pnlLeft);
  gridProblems->setModel(problemModel);
  gridProblems->setSelectionBehavior(QAbstractItemView::SelectRows);
  gridProblems->setSelectionMode(QAbstractItemView::SingleSelection);
  gridProblems->setEditTriggers(QAbstractItemView::NoEditTriggers);
  gridProblems->setShowGrid(false);
  gridProblems->setWordWrap(false);
  gridProblems->setAlternatingRowColors(true);
  // Rows of one height: the view never measures the rows it does not show.
  QHeaderView* rows = gridProblems->verticalHeader();
  rows->hide();
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setDefaultSectionSize(gridProblems->fontMetrics().height() + 4);
  QHeaderView* columns = gridProblems->horizontalHeader();
  columns->resizeSection(ProblemListModel::columnLine, kLineColumnWidth);
  columns->resizeSection(ProblemListModel::columnSeverity, kSeverityColumnWidth);
  columns->resizeSection(ProblemListModel::columnRule, kRuleColumnWidth);
  columns->setStretchLastSection(true);
  gridProblems->setFixedHeight(kListHeight);
  gridProblems->hide();
  column->addWidget(gridProblems);
  connect(gridProblems, &QTableView::activated, this,
          [this](const QModelIndex& index) { gridProblemsActivated(index.row()); });

  pnlProblemCount = new QLabel(this);
  statusBar()->addWidget(pnlProblemCount, 1);
  barProgress = new QProgressBar(this);
  barProgress->setMaximumWidth(200);
  barProgress->hide();
  statusBar()->addPermanentWidget(barProgress);
}

void TVelmora_Form1::showProblems(std::vector<NcProblem> problems, int suppressed) {
  problemModel->setProblems(std::move(problems));
  gridProblems->setVisible(problemModel->problemCount() > 0);
  pnlProblemCount->setText(problemCountText(problemModel->errorCount(), problemModel->warningCount(), suppressed));
}

void TVelmora_Form1::showProblems(ProblemReport report) {
  const int suppressed = static_cast<int>(report.suppressed.size());
  showProblems(std::move(report.problems), suppressed);
}

void TVelmora_Form1::clearProblems() {
  problemModel->setProblems({});
  gridProblems->hide();
  pnlProblemCount->clear();
}

void TVelmora_Form1::gridProblemsActivated(int row) {
  const int line = problemModel->lineAt(row);
  if (loading || line < 1 || rbtnEdit->isChecked()) return;
  if (const int file = problemModel->fileAt(row); file != doc->shownFile()) {
    showFileLine(file, line);
    return;
  }
  caretToCurrentLine(line);
}
