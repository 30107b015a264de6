// The left pane: the object tree. Until a scan builds the tree it holds one
// root node captioned with the application title or the chosen folder.
#pragma once

#include <QTreeView>

class QStandardItemModel;

namespace quillon::app {

class CLeftView : public QTreeView {
  Q_OBJECT

 public:
  explicit CLeftView(QWidget* parent = nullptr);

  // Empties the tree and inserts a root with caption and the root icon.
  void ResetRoot(const QString& caption);
  QString RootCaption() const;
  // Every node of the tree, the root included.
  int NodeCount() const;
  QStandardItemModel& model() const { return *model_; }

 private:
  QStandardItemModel* model_;
};

}  // namespace quillon::app
