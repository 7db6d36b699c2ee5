#pragma once

#include <QStyledItemDelegate>

// Draws grid lines between the cells of a report-style list. Cells of the
// first `middleElidedColumns` columns are shortened in the middle, so a long
// path keeps its file name in sight.
class GridDelegate : public QStyledItemDelegate {
 public:
  explicit GridDelegate(QObject* parent, int middleElidedColumns = 0)
      : QStyledItemDelegate(parent), middleElidedColumns_(middleElidedColumns) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;

  // Public, so that what a cell will show can be read back.
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

 private:
  int middleElidedColumns_;
};
