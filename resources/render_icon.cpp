// render_icon SVG SIZE PNG: draws the program's logo as a square PNG of SIZE
// pixels, for the desktop icon themes that want fixed sizes beside the SVG.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: render_icon SVG SIZE PNG\n");
    return 2;
  }
  QGuiApplication application(argc, argv);
  const int size = QString::fromUtf8(argv[2]).toInt();
  QSvgRenderer logo(QString::fromUtf8(argv[1]));
  if (!logo.isValid() || size <= 0) {
    std::fprintf(stderr, "render_icon: cannot draw %s at %s pixels\n", argv[1], argv[2]);
    return 1;
  }
  QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
  icon.fill(Qt::transparent);
  QPainter painter(&icon);
  logo.render(&painter);
  painter.end();
  return icon.save(QString::fromUtf8(argv[3]), "PNG") ? 0 : 1;
}
