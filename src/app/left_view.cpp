#include "app/left_view.h"

#include <QHeaderView>
#include <QStandardItemModel>

#include "app/app_texts.h"
#include "app/icons.h"

namespace quillon::app {

namespace {

constexpr int kRootIcon = 12;

int CountBelow(const QStandardItemModel& model, const QModelIndex& parent) {
  int n = 0;
  for (int row = 0; row < model.rowCount(parent); ++row) {
    n += 1 + CountBelow(model, model.index(row, 0, parent));
  }
  return n;
}

}  // namespace

CLeftView::CLeftView(QWidget* parent) : QTreeView(parent), model_(new QStandardItemModel(this)) {
  setObjectName(QStringLiteral("ObjectTree"));
  setModel(model_);
  setHeaderHidden(true);
  setRootIsDecorated(true);
  setUniformRowHeights(true);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setIconSize(QSize(16, 16));
  header()->setStretchLastSection(true);
  ResetRoot(QString::fromUtf8(text::kAppTitle));
}

void CLeftView::ResetRoot(const QString& caption) {
  model_->clear();
  auto* root = new QStandardItem(TreeIcon(kRootIcon), caption);
  root->setEditable(false);
  model_->appendRow(root);
}

QString CLeftView::RootCaption() const {
  const QStandardItem* root = model_->item(0);
  return root != nullptr ? root->text() : QString();
}

int CLeftView::NodeCount() const { return CountBelow(*model_, QModelIndex()); }

}  // namespace quillon::app
