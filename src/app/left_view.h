// The left pane: the object tree. Until a scan builds the tree it holds one
// root node captioned with the application title or the chosen folder.
//
// The view renders the ObjectTree its model keeps (a copy of the scan's):
// captions, icons by index, the check boxes drawn through the four state
// images, the nodes the tree has expanded. A left press on a box toggles it
// (the tree's check rules); a left press on a caption selects the node and
// reports it; expanding and collapsing switch the folder icons. While a
// process runs the tree is frozen: every selection change is refused and
// presses on boxes and captions do nothing beyond that.
#pragma once

#include <QTreeView>
#include <functional>
#include <optional>

#include "browse/object_tree.h"

namespace quillon::app {

class ObjectTreeModel;

class CLeftView : public QTreeView {
  Q_OBJECT

 public:
  explicit CLeftView(QWidget* parent = nullptr);

  // Empties the tree and inserts a root with caption and the root icon.
  void ResetRoot(const QString& caption);
  // Replaces the tree with a copy of tree and expands what it has expanded.
  void ShowTree(const ObjectTree& tree);
  QString RootCaption() const;
  // Every node of the tree, the root included.
  int NodeCount() const;
  ObjectTreeModel& treeModel() const { return *model_; }
  const ObjectTree& objectTree() const;

  // The repair has finished entry position of its table list: that
  // table's box is cleared.
  // Selects the node, opening its ancestors and scrolling it into view (a
  // selection change is refused while a process runs).
  void SelectNode(NodeId node);
  // The selected node, if any.
  std::optional<NodeId> SelectedNode() const;
  void UncheckTable(const std::vector<std::string>& repair_tables, std::size_t position);

  // Tells the view whether a process runs (the tree is frozen meanwhile).
  void SetBusyCheck(std::function<bool()> busy);
  bool Busy() const { return busy_ && busy_(); }

  // Where a node's box and caption are drawn, in viewport coordinates; an
  // empty box for a node without one.
  QRect StateBoxRect(const QModelIndex& index) const;
  QRect CaptionRect(const QModelIndex& index) const;

 Q_SIGNALS:
  // A left press on the node's caption while no process runs.
  void captionPressed(quillon::NodeId node);
  // A box was toggled.
  void checkStatesChanged();
  // The tree was replaced (a new root or a scan's tree): node ids of the
  // old tree mean nothing any more.
  void treeReplaced();

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  ObjectTreeModel* model_;
  std::function<bool()> busy_;
};

}  // namespace quillon::app
