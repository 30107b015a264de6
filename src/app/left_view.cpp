#include "app/left_view.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <array>

#include "app/app_texts.h"
#include "app/icons.h"
#include "app/object_tree_model.h"

namespace quillon::app {

namespace {

constexpr int kStateImageSize = 16;
// The state image and the gap after it, in front of the node's icon.
constexpr int kStateWidth = kStateImageSize + 3;

int StateOf(const QModelIndex& index) { return index.data(ObjectTreeModel::kCheckStateRole).toInt(); }

// Draws the node's state image (when it has a box) in front of the icon and
// the caption.
class TreeItemDelegate : public QStyledItemDelegate {
 public:
  explicit TreeItemDelegate(QObject* parent) : QStyledItemDelegate(parent) {
    for (int state = 1; state < static_cast<int>(images_.size()); ++state) {
      images_[static_cast<std::size_t>(state)] = CheckStateIcon(state);
    }
  }

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const int state = StateOf(index);
    if (state <= 0 || state >= static_cast<int>(images_.size())) {
      QStyledItemDelegate::paint(painter, option, index);
      return;
    }
    const QRect box(option.rect.left() + 1, option.rect.top() + (option.rect.height() - kStateImageSize) / 2,
                    kStateImageSize, kStateImageSize);
    images_[static_cast<std::size_t>(state)].paint(painter, box);
    QStyleOptionViewItem rest = option;
    rest.rect.setLeft(option.rect.left() + kStateWidth);
    QStyledItemDelegate::paint(painter, rest, index);
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (StateOf(index) > 0) size.rwidth() += kStateWidth;
    size.setHeight(std::max(size.height(), kStateImageSize + 2));
    return size;
  }

 private:
  std::array<QIcon, 4> images_;
};

// Refuses every change of the selection and of the current node while the
// view's busy check says a process runs.
class FrozenSelectionModel : public QItemSelectionModel {
 public:
  FrozenSelectionModel(QAbstractItemModel* model, const CLeftView& view) : QItemSelectionModel(model), view_(&view) {}

  void setCurrentIndex(const QModelIndex& index, SelectionFlags command) override {
    if (!view_->Busy()) QItemSelectionModel::setCurrentIndex(index, command);
  }
  void select(const QModelIndex& index, SelectionFlags command) override {
    if (!view_->Busy()) QItemSelectionModel::select(index, command);
  }
  void select(const QItemSelection& selection, SelectionFlags command) override {
    if (!view_->Busy()) QItemSelectionModel::select(selection, command);
  }
  void clearCurrentIndex() override {
    if (!view_->Busy()) QItemSelectionModel::clearCurrentIndex();
  }

 private:
  const CLeftView* view_;
};

}  // namespace

CLeftView::CLeftView(QWidget* parent) : QTreeView(parent), model_(new ObjectTreeModel(this)) {
  setObjectName(QStringLiteral("ObjectTree"));
  setModel(model_);
  setSelectionModel(new FrozenSelectionModel(model_, *this));
  setItemDelegate(new TreeItemDelegate(this));
  setHeaderHidden(true);
  setRootIsDecorated(true);
  setUniformRowHeights(true);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setIconSize(QSize(16, 16));
  setExpandsOnDoubleClick(true);
  // Long captions (column types, privileges on objects) scroll sideways.
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  connect(this, &QTreeView::expanded, this,
          [this](const QModelIndex& index) { model_->SetExpanded(model_->NodeOf(index), true); });
  connect(this, &QTreeView::collapsed, this,
          [this](const QModelIndex& index) { model_->SetExpanded(model_->NodeOf(index), false); });
  ResetRoot(QString::fromUtf8(text::kAppTitle));
}

void CLeftView::SetBusyCheck(std::function<bool()> busy) { busy_ = std::move(busy); }

void CLeftView::ResetRoot(const QString& caption) {
  model_->Reset(ObjectTree(caption.toStdString()));
  Q_EMIT treeReplaced();
}

void CLeftView::ShowTree(const ObjectTree& tree) {
  model_->Reset(tree);
  const ObjectTree& shown = model_->tree();
  for (NodeId id = 0; id < shown.size(); ++id) {
    if (shown.node(id).expanded) setExpanded(model_->IndexOf(id), true);
  }
  Q_EMIT treeReplaced();
}

void CLeftView::SelectNode(NodeId node) {
  if (node >= model_->tree().size()) return;
  const QModelIndex index = model_->IndexOf(node);
  for (QModelIndex up = index.parent(); up.isValid(); up = up.parent()) expand(up);
  setCurrentIndex(index);
  scrollTo(index);
}

std::optional<NodeId> CLeftView::SelectedNode() const {
  const QModelIndex index = currentIndex();
  if (!index.isValid()) return std::nullopt;
  return model_->NodeOf(index);
}

void CLeftView::UncheckTable(const std::vector<std::string>& repair_tables, std::size_t position) {
  model_->UncheckTable(repair_tables, position);
  Q_EMIT checkStatesChanged();
}

QString CLeftView::RootCaption() const { return QString::fromStdString(objectTree().node(objectTree().root()).caption); }

int CLeftView::NodeCount() const { return static_cast<int>(objectTree().size()); }

const ObjectTree& CLeftView::objectTree() const { return model_->tree(); }

QRect CLeftView::StateBoxRect(const QModelIndex& index) const {
  if (!index.isValid() || StateOf(index) <= 0) return {};
  const QRect item = visualRect(index);
  return QRect(item.left() + 1, item.top() + (item.height() - kStateImageSize) / 2, kStateImageSize,
               kStateImageSize);
}

QRect CLeftView::CaptionRect(const QModelIndex& index) const {
  if (!index.isValid()) return {};
  const QRect item = visualRect(index);
  const int left = item.left() + (StateOf(index) > 0 ? kStateWidth : 0);
  // The icon, the caption and the item's margins, as the delegate lays them out.
  const int width = iconSize().width() + 8 + fontMetrics().horizontalAdvance(index.data().toString()) + 8;
  return QRect(left, item.top(), width, item.height());
}

void CLeftView::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  const QModelIndex index = indexAt(pos);
  if (event->button() != Qt::LeftButton || !index.isValid() || Busy()) {
    QTreeView::mousePressEvent(event);
    return;
  }
  if (StateBoxRect(index).contains(pos)) {
    // A toggle only: no selection, no request.
    model_->ToggleCheck(model_->NodeOf(index));
    Q_EMIT checkStatesChanged();
    event->accept();
    return;
  }
  QTreeView::mousePressEvent(event);
  if (CaptionRect(index).contains(pos)) Q_EMIT captionPressed(model_->NodeOf(index));
}

}  // namespace quillon::app
