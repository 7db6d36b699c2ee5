#include "widgets/builtin_images.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <QVariant>

#include <array>

namespace {

struct ImageSource {
  const char* resource;
  int width;
  int height;
  bool opaque;  // the bitmaps have no transparency; the icons do
};

constexpr std::array<ImageSource, kBuiltInImageCount> kSources{{
    {":/images/add.svg", 16, 16, false},
    {":/images/remove.svg", 16, 16, false},
    {":/images/edit.svg", 16, 16, false},
    {":/images/up.svg", 16, 16, false},
    {":/images/down.svg", 16, 16, false},
    {":/images/start.svg", 16, 16, false},
    {":/images/stop.svg", 16, 16, false},
    {":/images/help.svg", 16, 16, false},
    {":/images/about.svg", 16, 16, false},
    {":/images/exit.svg", 16, 16, false},
    {":/images/logo.svg", 48, 48, false},
    {":/images/crop.svg", 50, 50, true},
    {":/images/pad.svg", 50, 50, true},
    {":/images/splash.svg", 266, 200, true},
}};

// The decoded pictures are properties of the application, so they go with it.
QByteArray PropertyName(std::size_t number) { return "mflpxBuiltInImage" + QByteArray::number(number); }

QPixmap Render(const ImageSource& source) {
  QImage image(source.width, source.height,
               source.opaque ? QImage::Format_RGB888 : QImage::Format_ARGB32_Premultiplied);
  image.fill(source.opaque ? Qt::white : Qt::transparent);
  QSvgRenderer renderer{QString::fromLatin1(source.resource)};
  if (renderer.isValid()) {
    QPainter painter(&image);
    renderer.render(&painter);
  }
  return QPixmap::fromImage(image);
}

}  // namespace

void DecodeBuiltInImages() {
  QCoreApplication* application = QCoreApplication::instance();
  if (application->property(PropertyName(0)).isValid()) return;
  for (std::size_t i = 0; i < kSources.size(); ++i)
    application->setProperty(PropertyName(i), QVariant::fromValue(Render(kSources[i])));
}

QPixmap BuiltInImage(int number) {
  if (number < 0 || number >= kBuiltInImageCount) return QPixmap();
  DecodeBuiltInImages();
  return QCoreApplication::instance()->property(PropertyName(static_cast<std::size_t>(number))).value<QPixmap>();
}
