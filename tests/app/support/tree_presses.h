// Mouse presses on the object tree as a user makes them: on a node's box or
// on its caption, after opening its ancestors and scrolling it into view.
#pragma once

#include <QtTest>

#include "app/left_view.h"

namespace quillon::app::testing {

inline void PressAt(CLeftView& tree, const QPoint& point) {
  QTest::mouseClick(tree.viewport(), Qt::LeftButton, Qt::NoModifier, point);
}

// Expands the node's ancestors and scrolls it into view.
inline void ShowNode(CLeftView& tree, const QModelIndex& index) {
  for (QModelIndex up = index.parent(); up.isValid(); up = up.parent()) tree.expand(up);
  tree.scrollTo(index);
  QVERIFY(tree.visualRect(index).isValid());
}

inline void PressBox(CLeftView& tree, const QModelIndex& index) {
  ShowNode(tree, index);
  PressAt(tree, tree.StateBoxRect(index).center());
}

inline void PressCaption(CLeftView& tree, const QModelIndex& index) {
  ShowNode(tree, index);
  const QRect caption = tree.CaptionRect(index);
  PressAt(tree, QPoint(caption.left() + 30, caption.center().y()));
}

}  // namespace quillon::app::testing
