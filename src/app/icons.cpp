#include "app/icons.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <array>
#include <utility>

namespace quillon::app {

namespace {

// The object tree's icon indices and their artwork.
constexpr std::array<std::pair<int, const char*>, 47> kTreeIcons = {{
    {3, "owner"},           {4, "security"},         {5, "storage"},
    {6, "user"},            {8, "user-locked"},      {9, "cluster"},
    {10, "column"},         {11, "datafile"},        {12, "root"},
    {13, "function-invalid"}, {14, "function"},      {15, "index"},
    {17, "package"},        {41, "package-invalid"}, {18, "package-body"},
    {42, "package-body-invalid"}, {19, "procedure-invalid"}, {20, "procedure"},
    {22, "role"},           {23, "schema"},          {24, "sequence"},
    {25, "synonym"},        {26, "table"},           {28, "partition"},
    {29, "trigger"},        {30, "trigger-invalid"}, {31, "tablespace"},
    {33, "type"},           {34, "type-body"},       {35, "users"},
    {39, "view"},           {40, "view-invalid"},    {43, "folder"},
    {44, "folder-open"},    {45, "constraint-check"}, {46, "constraint-primary"},
    {47, "constraint-foreign"}, {48, "constraint-unique"}, {49, "materialized-view"},
    {50, "database-link"},  {51, "materialized-view-log"}, {52, "distributed"},
    {53, "system-privilege"}, {54, "object-privilege-role"}, {55, "object-privilege-user"},
    {56, "xml-schema"},     {57, "xml-url"},
}};

QIcon IconFromSvg(const QString& resource, std::initializer_list<int> sizes) {
  QIcon icon;
  for (const int size : sizes) icon.addPixmap(RenderSvg(resource, size));
  return icon;
}

// Grey and faded, as the toolbar's disabled artwork is drawn.
QPixmap DisabledPixmap(const QPixmap& source) {
  QImage image = source.toImage().convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const int grey = qGray(line[x]);
      line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) / 2);
    }
  }
  return QPixmap::fromImage(image);
}

}  // namespace

QPixmap RenderSvg(const QString& resource, int size, qreal device_pixel_ratio) {
  const int pixels = qRound(size * device_pixel_ratio);
  QPixmap pixmap(pixels, pixels);
  pixmap.fill(Qt::transparent);
  QSvgRenderer renderer(resource);
  if (renderer.isValid()) {
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
  }
  pixmap.setDevicePixelRatio(device_pixel_ratio);
  return pixmap;
}

QIcon ToolbarIcon(const QString& name) {
  const QString base = QStringLiteral(":/icons/toolbar/") + name;
  QIcon icon;
  for (const int size : {24, 32, 48}) {
    icon.addPixmap(RenderSvg(base + QStringLiteral(".svg"), size), QIcon::Normal);
    icon.addPixmap(RenderSvg(base + QStringLiteral("-hot.svg"), size), QIcon::Active);
    icon.addPixmap(RenderSvg(base + QStringLiteral("-disabled.svg"), size), QIcon::Disabled);
  }
  return icon;
}

QIcon CommandIcon(const QString& name) {
  QIcon icon = ToolbarIcon(name);
  const QPixmap menu = RenderSvg(QStringLiteral(":/icons/menu/") + name + QStringLiteral(".svg"), 16);
  icon.addPixmap(menu, QIcon::Normal);
  icon.addPixmap(menu, QIcon::Active);
  icon.addPixmap(DisabledPixmap(menu), QIcon::Disabled);
  return icon;
}

QIcon MenuIcon(const QString& name) {
  return IconFromSvg(QStringLiteral(":/icons/menu/") + name + QStringLiteral(".svg"), {16, 32});
}

QIcon TreeIcon(int index) {
  for (const auto& [i, name] : kTreeIcons) {
    if (i == index) {
      return IconFromSvg(QStringLiteral(":/icons/tree/") + QString::fromLatin1(name) + QStringLiteral(".svg"),
                         {16, 32});
    }
  }
  return {};
}

QIcon CheckStateIcon(int state) {
  static constexpr std::array<const char*, 4> kStates = {"none", "unchecked", "checked", "partial"};
  if (state < 0 || state >= static_cast<int>(kStates.size())) return {};
  return IconFromSvg(QStringLiteral(":/icons/state/") + QString::fromLatin1(kStates[static_cast<std::size_t>(state)]) +
                         QStringLiteral(".svg"),
                     {16, 32});
}

QIcon AppIcon() {
  return IconFromSvg(QStringLiteral(":/icons/app/quillon.svg"), {16, 24, 32, 48, 64, 128, 256});
}

}  // namespace quillon::app
