// quillon-render-icon SVG SIZE PNG: renders an SVG picture as a square PNG,
// for the hicolor icon sizes of the desktop integration.
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  if (argc != 4) {
    std::fprintf(stderr, "usage: quillon-render-icon SVG SIZE PNG\n");
    return 2;
  }
  const int size = QString::fromLocal8Bit(argv[2]).toInt();
  QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
  if (size <= 0 || !renderer.isValid()) {
    std::fprintf(stderr, "quillon-render-icon: cannot render %s at %s\n", argv[1], argv[2]);
    return 1;
  }
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  renderer.render(&painter);
  painter.end();
  const QString out = QString::fromLocal8Bit(argv[3]);
  QDir().mkpath(QFileInfo(out).absolutePath());
  return image.save(out, "PNG") ? 0 : 1;
}
