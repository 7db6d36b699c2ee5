#include "tasks/editor_pictures.h"

#include <QPainter>
#include <QPolygon>

namespace {

constexpr int kSide = 50;

template <typename DrawCentre>
QImage Picture(DrawCentre drawCentre) {
  QImage image(kSide, kSide, QImage::Format_RGB888);
  image.fill(QColor(240, 240, 240));
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  drawCentre(painter);
  painter.setBrush(Qt::black);
  painter.drawPolygon(QPolygon({{25, 1}, {19, 9}, {31, 9}}));     // up
  painter.drawPolygon(QPolygon({{25, 49}, {19, 41}, {31, 41}}));  // down
  painter.drawPolygon(QPolygon({{1, 25}, {9, 19}, {9, 31}}));     // left
  painter.drawPolygon(QPolygon({{49, 25}, {41, 19}, {41, 31}}));  // right
  return image;
}

}  // namespace

QImage CropPicture() {
  return Picture([](QPainter& painter) {
    painter.setBrush(QColor(128, 128, 128));
    painter.drawRect(13, 13, 24, 24);
    painter.setBrush(QColor(224, 224, 224));
    painter.drawRect(19, 19, 12, 12);
  });
}

QImage PadPicture() {
  return Picture([](QPainter& painter) {
    painter.setBrush(QColor(176, 176, 176));
    painter.drawRect(12, 12, 18, 18);
    painter.setBrush(QColor(112, 112, 112));
    painter.drawRect(20, 20, 18, 18);
  });
}
