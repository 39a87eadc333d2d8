// The problems of the last reading as table rows (see ProblemList.hpp).
#include "app/ProblemList.hpp"

#include <QApplication>
#include <QStyle>
#include <algorithm>

namespace {
// Rows handed to the view at a time: far more than it shows, yet few enough that a million problems are
// listed in milliseconds (the view keeps a record per row it has been given).
constexpr int kRowsPerFetch = 10000;

QString counted(int n, const char* one, const char* many) {
  return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}
}  // namespace

QString problemCountText(int errors, int warnings, int suppressed) {
  QString text =
      counted(errors, "error", "errors") + QStringLiteral(", ") + counted(warnings, "warning", "warnings");
  if (suppressed > 0) text += QStringLiteral(", ") + counted(suppressed, "suppressed", "suppressed");
  return text;
}

ProblemListModel::ProblemListModel(QObject* parent)
    : QAbstractTableModel(parent),
      errorIcon(QApplication::style()->standardIcon(QStyle::SP_MessageBoxCritical)),
      warningIcon(QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning)) {}

void ProblemListModel::setProblems(std::vector<NcProblem> list) {
  beginResetModel();
  problems = std::move(list);
  errors = static_cast<int>(std::count_if(problems.begin(), problems.end(),
                                          [](const NcProblem& p) { return p.severity == Severity::error; }));
  shown = std::min(problemCount(), kRowsPerFetch);
  endResetModel();
}

int ProblemListModel::lineAt(int row) const {
  return row >= 0 && row < problemCount() ? problems[static_cast<std::size_t>(row)].line : 0;
}

std::string ProblemListModel::messageAt(int row) const {
  return row >= 0 && row < problemCount() ? problems[static_cast<std::size_t>(row)].message : std::string();
}

int ProblemListModel::fileAt(int row) const {
  return row >= 0 && row < problemCount() ? problems[static_cast<std::size_t>(row)].file : 0;
}

int ProblemListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : shown; }

int ProblemListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : columnTotal; }

QVariant ProblemListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= shown) return {};
  const NcProblem& problem = problems[static_cast<std::size_t>(index.row())];
  switch (role) {
    case Qt::DisplayRole:
      return cellText(problem, index.column());
    case Qt::DecorationRole:
      if (index.column() != columnSeverity) return {};
      return problem.severity == Severity::error ? errorIcon : warningIcon;
    case Qt::ToolTipRole:
      // The whole message, which the column may cut.
      return QString::fromUtf8(problem.message.data(), static_cast<qsizetype>(problem.message.size()));
    case Qt::TextAlignmentRole:
      return index.column() == columnLine ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    default:
      return {};
  }
}

QVariant ProblemListModel::cellText(const NcProblem& problem, int column) const {
  switch (column) {
    case columnLine:
      // A problem of the whole program has no line to name.
      return problem.line >= 1 ? QString::number(problem.line) : QString();
    case columnSeverity:
      return problem.severity == Severity::error ? QStringLiteral("error") : QStringLiteral("warning");
    case columnRule:
      return QString::fromUtf8(problem.rule.data(), static_cast<qsizetype>(problem.rule.size()));
    case columnMessage:
      return QString::fromUtf8(problem.message.data(), static_cast<qsizetype>(problem.message.size()));
    default:
      return {};
  }
}

QVariant ProblemListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  static const char* const kTitles[] = {"Line", "Severity", "Rule", "Message"};
  return section >= 0 && section < columnTotal ? QString::fromLatin1(kTitles[section]) : QVariant();
}

bool ProblemListModel::canFetchMore(const QModelIndex& parent) const {
  return !parent.isValid() && shown < problemCount();
}

void ProblemListModel::fetchMore(const QModelIndex& parent) {
  if (!canFetchMore(parent)) return;
  const int more = std::min(problemCount() - shown, kRowsPerFetch);
  beginInsertRows({}, shown, shown + more - 1);
  shown += more;
  endInsertRows();
}
