// The problems of the last reading as the rows of a table: line, severity, rule, message.
#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <vector>

#include "nc/Ncproblems.hpp"

// A reading may find a problem on each of a million lines: the model keeps the list the core made, shows
// its rows to the view a batch at a time as the view scrolls to them, and makes a cell's text only when
// the view asks for it.
class ProblemListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { columnLine, columnSeverity, columnRule, columnMessage, columnTotal };

  explicit ProblemListModel(QObject* parent = nullptr);

  void setProblems(std::vector<NcProblem> problems);
  int problemCount() const { return static_cast<int>(problems.size()); }
  int errorCount() const { return errors; }
  int warningCount() const { return problemCount() - errors; }
  // The line (block) of the problem in `row`; 0 for a problem of the whole program or a row not held.
  int lineAt(int row) const;
  // The message of the problem in `row`; "" for a row not held.
  std::string messageAt(int row) const;
  int fileAt(int row) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  bool canFetchMore(const QModelIndex& parent) const override;
  void fetchMore(const QModelIndex& parent) override;

 private:
  QVariant cellText(const NcProblem& problem, int column) const;

  std::vector<NcProblem> problems;
  int shown = 0;  // rows handed to the view so far
  int errors = 0;
  QIcon errorIcon;
  QIcon warningIcon;
};

// The status line's counts: "2 errors, 5 warnings", "1 error, 0 warnings"; problems silenced by a
// `velmora:` comment are counted after them when there are any ("2 errors, 5 warnings, 1 suppressed").
QString problemCountText(int errors, int warnings, int suppressed = 0);
