#include "app/log_list.h"

#include <QAbstractListModel>
#include <QHeaderView>
#include <QResizeEvent>
#include <QTimer>

#include <algorithm>
#include <vector>

// The lines as added. Each keeps its own bytes, so a line that is not valid
// UTF-8 is saved exactly as it came; the text is made only for rows shown.
class LogLineModel final : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
    return Text(index.row());
  }

  QString Text(int row) const { return QString::fromUtf8(lines_[static_cast<size_t>(row)]); }
  const QByteArray& Bytes(int row) const { return lines_[static_cast<size_t>(row)]; }

  void Append(QByteArray bytes) {
    const int row = rowCount();
    beginInsertRows(QModelIndex(), row, row);
    lines_.push_back(std::move(bytes));
    endInsertRows();
  }
  void Clear() {
    beginResetModel();
    lines_.clear();
    endResetModel();
  }

 private:
  std::vector<QByteArray> lines_;
};

LogList::LogList(QWidget* parent) : QTableView(parent), lines_(new LogLineModel(this)) {
  setModel(lines_);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setShowGrid(false);
  setWordWrap(false);
  setTabKeyNavigation(false);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  horizontalHeader()->hide();
  verticalHeader()->hide();
  // Every row is one line of the same font, as tall as a list's row.
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  option.text = QStringLiteral("Xg");
  option.features |= QStyleOptionViewItem::HasDisplay;
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(
      style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, {}, this).height());
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
}

void LogList::AppendLine(const std::string& bytes) {
  QByteArray line(bytes.data(), static_cast<qsizetype>(bytes.size()));
  // The column grows to the widest line, so a long command line can be
  // scrolled to instead of being cut.
  widestLine_ = std::max(widestLine_, fontMetrics().horizontalAdvance(QString::fromUtf8(line)));
  lines_->Append(std::move(line));
  if (selectionPending_) return;
  selectionPending_ = true;
  QTimer::singleShot(0, this, [this] { SelectNewestLine(); });
}

void LogList::SelectNewestLine() {
  selectionPending_ = false;
  FitColumnWidth();
  if (LineCount() == 0) return;
  // Becoming current also scrolls the line into view.
  setCurrentIndex(lines_->index(LineCount() - 1));
}

void LogList::Clear() {
  lines_->Clear();
  widestLine_ = 0;
  FitColumnWidth();
}

int LogList::LineCount() const { return lines_->rowCount(); }

std::string LogList::LineBytes(int row) const {
  if (row < 0 || row >= LineCount()) return {};
  const QByteArray& bytes = lines_->Bytes(row);
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

void LogList::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  FitColumnWidth();
}

// The one column spans the view, or the widest line when that is wider.
void LogList::FitColumnWidth() {
  const int margins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
  setColumnWidth(0, std::max(viewport()->width(), widestLine_ + margins));
}
