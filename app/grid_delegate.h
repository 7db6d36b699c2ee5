#pragma once

#include <QStyledItemDelegate>

// Draws grid lines between the cells of a report-style list, each cell's
// text kept clear of them. Cells of the first `pathColumns` columns hold
// paths, shortened so that the file name stays whole as long as it fits.
class GridDelegate : public QStyledItemDelegate {
 public:
  explicit GridDelegate(QObject* parent, int pathColumns = 0)
      : QStyledItemDelegate(parent), pathColumns_(pathColumns) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  // Public, so that what a cell will show can be read back.
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

 private:
  int pathColumns_;
};
