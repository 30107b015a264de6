// The right pane. It will show a table's records or an object's script; with
// neither it shows the background picture.
#pragma once

#include <QWidget>
#include <memory>

class QSvgRenderer;

namespace quillon::app {

class CQuillonView : public QWidget {
  Q_OBJECT

 public:
  explicit CQuillonView(QWidget* parent = nullptr);
  ~CQuillonView() override;

  // Removes whatever the pane shows; the picture is painted again.
  void Clear();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::unique_ptr<QSvgRenderer> picture_;
};

}  // namespace quillon::app
