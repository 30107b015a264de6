#include "app/object_tree_model.h"

#include "app/icons.h"

namespace quillon::app {

ObjectTreeModel::ObjectTreeModel(QObject* parent) : QAbstractItemModel(parent) { Reset(ObjectTree()); }

void ObjectTreeModel::Reset(ObjectTree tree) {
  beginResetModel();
  tree_ = std::move(tree);
  row_.assign(tree_.size(), 0);
  for (NodeId id = 0; id < tree_.size(); ++id) {
    const std::vector<NodeId>& children = tree_.node(id).children;
    for (std::size_t i = 0; i < children.size(); ++i) row_[children[i]] = static_cast<int>(i);
  }
  endResetModel();
}

QModelIndex ObjectTreeModel::IndexOf(NodeId node) const {
  if (node >= tree_.size()) return {};
  return createIndex(row_[node], 0, static_cast<quintptr>(node));
}

QModelIndex ObjectTreeModel::Find(const QStringList& path) const {
  std::vector<std::string> captions;
  for (const QString& caption : path) captions.push_back(caption.toStdString());
  const std::vector<std::string_view> views(captions.begin(), captions.end());
  const std::optional<NodeId> node = tree_.Find(views);
  return node ? IndexOf(*node) : QModelIndex();
}

std::vector<TreeNode> ObjectTreeModel::Snapshot() const {
  std::vector<TreeNode> nodes;
  nodes.reserve(tree_.size());
  for (NodeId id = 0; id < tree_.size(); ++id) {
    const TreeNode& n = tree_.node(id);
    nodes.push_back(TreeNode{{}, n.icon, n.state, n.expanded, {}, {}});
  }
  return nodes;
}

void ObjectTreeModel::NotifyChanged(const std::vector<TreeNode>& before) {
  for (NodeId id = 0; id < tree_.size(); ++id) {
    const TreeNode& now = tree_.node(id);
    if (now.state == before[id].state && now.icon == before[id].icon) continue;
    const QModelIndex index = IndexOf(id);
    Q_EMIT dataChanged(index, index, {Qt::DecorationRole, kCheckStateRole});
  }
}

void ObjectTreeModel::ToggleCheck(NodeId node) {
  if (node >= tree_.size()) return;
  const std::vector<TreeNode> before = Snapshot();
  tree_.ToggleCheck(node);
  NotifyChanged(before);
}

void ObjectTreeModel::UncheckTable(const std::vector<std::string>& repair_tables, std::size_t position) {
  const std::vector<TreeNode> before = Snapshot();
  tree_.UncheckTable(repair_tables, position);
  NotifyChanged(before);
}

void ObjectTreeModel::SetExpanded(NodeId node, bool expanded) {
  if (node >= tree_.size()) return;
  const int icon = tree_.node(node).icon;
  tree_.SetExpanded(node, expanded);
  if (tree_.node(node).icon != icon) {
    const QModelIndex index = IndexOf(node);
    Q_EMIT dataChanged(index, index, {Qt::DecorationRole});
  }
}

QModelIndex ObjectTreeModel::index(int row, int column, const QModelIndex& parent) const {
  if (row < 0 || column != 0) return {};
  if (!parent.isValid()) return row == 0 ? IndexOf(tree_.root()) : QModelIndex();
  const std::vector<NodeId>& children = tree_.node(NodeOf(parent)).children;
  if (static_cast<std::size_t>(row) >= children.size()) return {};
  return createIndex(row, 0, static_cast<quintptr>(children[static_cast<std::size_t>(row)]));
}

QModelIndex ObjectTreeModel::parent(const QModelIndex& child) const {
  if (!child.isValid()) return {};
  const std::optional<NodeId> parent = tree_.node(NodeOf(child)).parent;
  return parent ? IndexOf(*parent) : QModelIndex();
}

int ObjectTreeModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return 1;
  if (parent.column() != 0) return 0;
  return static_cast<int>(tree_.node(NodeOf(parent)).children.size());
}

int ObjectTreeModel::columnCount(const QModelIndex& /*parent*/) const { return 1; }

QVariant ObjectTreeModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const TreeNode& node = tree_.node(NodeOf(index));
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
      return QString::fromStdString(node.caption);
    case Qt::DecorationRole:
      return Icon(node.icon);
    case kCheckStateRole:
      return static_cast<int>(node.state);
    default:
      return {};
  }
}

Qt::ItemFlags ObjectTreeModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

const QIcon& ObjectTreeModel::Icon(int index) const {
  auto it = icons_.find(index);
  if (it == icons_.end()) it = icons_.insert(index, TreeIcon(index));
  return *it;
}

}  // namespace quillon::app
