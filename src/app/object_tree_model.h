// The object tree as a Qt item model: a view of the ObjectTree the scan
// built (browse/object_tree.h), which the model owns. Captions, icons by
// index and the check states come from the tree; the check toggle and the
// folder icons are the tree's own rules, applied here so the view repaints
// exactly the nodes they changed.
#pragma once

#include <QAbstractItemModel>
#include <QHash>
#include <QIcon>
#include <string>
#include <vector>

#include "browse/object_tree.h"

namespace quillon::app {

class ObjectTreeModel : public QAbstractItemModel {
  Q_OBJECT

 public:
  // The node's check state as an int: 0 no box, 1 unchecked, 2 checked,
  // 3 partially checked.
  static constexpr int kCheckStateRole = Qt::UserRole + 1;

  explicit ObjectTreeModel(QObject* parent = nullptr);

  // Replaces the whole tree.
  void Reset(ObjectTree tree);
  const ObjectTree& tree() const { return tree_; }

  NodeId NodeOf(const QModelIndex& index) const { return static_cast<NodeId>(index.internalId()); }
  QModelIndex IndexOf(NodeId node) const;
  // The node reached from the root through children of these captions.
  QModelIndex Find(const QStringList& path) const;

  // A press on the node's box (ObjectTree::ToggleCheck).
  void ToggleCheck(NodeId node);
  // The repair has finished entry position of its table list
  // (ObjectTree::UncheckTable).
  void UncheckTable(const std::vector<std::string>& repair_tables, std::size_t position);
  // The node was expanded or collapsed (ObjectTree::SetExpanded).
  void SetExpanded(NodeId node, bool expanded);

  QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  // Tells the views about every node whose state or icon differs from before.
  void NotifyChanged(const std::vector<TreeNode>& before);
  std::vector<TreeNode> Snapshot() const;
  const QIcon& Icon(int index) const;

  ObjectTree tree_;
  std::vector<int> row_;  // each node's position among its parent's children
  mutable QHash<int, QIcon> icons_;
};

}  // namespace quillon::app
