#include "app/right_pane.h"

#include <QLinearGradient>
#include <QPainter>
#include <QSvgRenderer>

namespace quillon::app {

CQuillonView::CQuillonView(QWidget* parent)
    : QWidget(parent), picture_(std::make_unique<QSvgRenderer>(QStringLiteral(":/images/background.svg"))) {
  setObjectName(QStringLiteral("RightPane"));
  setMinimumWidth(190);
}

CQuillonView::~CQuillonView() = default;

void CQuillonView::Clear() { update(); }

void CQuillonView::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(rect().topLeft(), rect().bottomLeft());
  sky.setColorAt(0.0, QColor(0xF7, 0xF9, 0xFC));
  sky.setColorAt(1.0, QColor(0xE3, 0xEA, 0xF3));
  painter.fillRect(rect(), sky);
  if (!picture_->isValid()) return;
  // The picture keeps its proportions and takes at most half of the pane.
  const QSizeF natural = picture_->defaultSize();
  QSizeF size = natural.scaled(QSizeF(width() * 0.6, height() * 0.6), Qt::KeepAspectRatio);
  if (size.width() > natural.width() * 1.5) size = natural * 1.5;
  const QRectF target(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), size);
  picture_->render(&painter, target);
}

}  // namespace quillon::app
