// The compiled-in artwork: toolbar images (normal, hot, disabled), menu
// icons, the object tree's icons by index and its check-box state images.
// Every icon is an SVG drawn for Quillon and rendered here at the sizes asked.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace quillon::app {

// An SVG resource rendered at size x size pixels (transparent background).
QPixmap RenderSvg(const QString& resource, int size, qreal device_pixel_ratio = 1.0);

// name: "open-database", "start-repair", "stop", "help", "updates", "about".
// Normal, hot (QIcon::Active) and disabled images at 48 x 48.
QIcon ToolbarIcon(const QString& name);
// A command's icon for menu and toolbar: the menu artwork at 16 pixels and
// the toolbar's normal, hot and disabled images at 24, 32 and 48 pixels.
QIcon CommandIcon(const QString& name);
// A 16 x 16 menu icon: "open-database", "start-repair", "stop", "exit",
// "save-log", "clear-log", "about", "help", "updates".
QIcon MenuIcon(const QString& name);
// The object tree icon with the given index (3 owner, 12 root, 26 table, ...);
// an empty icon for an index without artwork.
QIcon TreeIcon(int index);
// Check-box state images: 0 none, 1 unchecked, 2 checked, 3 partially checked.
QIcon CheckStateIcon(int state);
// The application icon.
QIcon AppIcon();

}  // namespace quillon::app
