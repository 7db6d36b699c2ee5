#include "app/grid_delegate.h"

#include <QPainter>

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
  QStyledItemDelegate::paint(painter, option, index);
  const QRect cell = option.rect;
  painter->save();
  painter->setPen(option.palette.color(QPalette::Mid));
  painter->drawLine(cell.bottomLeft(), cell.bottomRight());
  painter->drawLine(cell.topRight(), cell.bottomRight());
  painter->restore();
}

void GridDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
  QStyledItemDelegate::initStyleOption(option, index);
  if (index.column() < middleElidedColumns_) option->textElideMode = Qt::ElideMiddle;
}
