#include "app/grid_delegate.h"

#include <QApplication>
#include <QPainter>

#include "app/path_elision.h"

namespace {

// The cell's last pixel row and column belong to the grid lines: text drawn
// there, such as an underscore at the foot of a line, would be hidden.
QRect InsideGrid(const QRect& cell) { return cell.adjusted(0, 0, -1, -1); }

}  // namespace

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
  QStyleOptionViewItem inside = option;
  inside.rect = InsideGrid(option.rect);
  QStyledItemDelegate::paint(painter, inside, index);
  const QRect cell = option.rect;
  painter->save();
  painter->setPen(option.palette.color(QPalette::Mid));
  painter->drawLine(cell.bottomLeft(), cell.bottomRight());
  painter->drawLine(cell.topRight(), cell.bottomRight());
  painter->restore();
}

QSize GridDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  return QStyledItemDelegate::sizeHint(option, index) + QSize(1, 1);
}

void GridDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
  QStyledItemDelegate::initStyleOption(option, index);
  if (index.column() >= pathColumns_ || option->rect.isEmpty()) return;
  const QWidget* widget = option->widget;
  const QStyle* style = widget ? widget->style() : QApplication::style();
  // The style keeps this margin on either side of an item's text.
  const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
  const int width = style->subElementRect(QStyle::SE_ItemViewItemText, option, widget).width() - 2 * margin;
  const QFontMetrics metrics(option->font);
  const TextWidth measure = [&metrics](const std::string& text) {
    return metrics.horizontalAdvance(QString::fromStdString(text));
  };
  option->text = QString::fromStdString(ElidePath(option->text.toStdString(), width, measure));
}
