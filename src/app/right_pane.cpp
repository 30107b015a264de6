#include "app/right_pane.h"

#include <QFont>
#include <QHeaderView>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>
#include <QTableView>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>

#include "app/record_list_model.h"

namespace quillon::app {

namespace {

// Times New Roman where it is installed; a serif face of the same metrics
// (Liberation Serif, DejaVu Serif) elsewhere.
QFont HeaderFont() {
  QFont font(QStringLiteral("Times New Roman"), 12);
  font.setStyleHint(QFont::Serif);
  return font;
}

QTextCharFormat ScriptHeaderFormat() {
  QTextCharFormat format;
  QFont font(QStringLiteral("Courier"), 10);
  font.setStyleHint(QFont::TypeWriter);
  font.setItalic(true);
  format.setFont(font);
  format.setForeground(QColor(255, 0, 0));
  return format;
}

QTextCharFormat ScriptStatementFormat() {
  QTextCharFormat format;
  QFont font(QStringLiteral("Times New Roman"), 12);
  font.setStyleHint(QFont::Serif);
  font.setBold(true);
  format.setFont(font);
  format.setForeground(QColor(0, 255, 0));
  return format;
}

}  // namespace

CQuillonView::CQuillonView(QWidget* parent)
    : QWidget(parent),
      picture_(std::make_unique<QSvgRenderer>(QStringLiteral(":/images/background.svg"))),
      previous_(new QPushButton(QStringLiteral("Previous"), this)),
      next_(new QPushButton(QStringLiteral("Next"), this)) {
  setObjectName(QStringLiteral("RightPane"));
  setMinimumWidth(190);
  previous_->setObjectName(QStringLiteral("PreviousButton"));
  next_->setObjectName(QStringLiteral("NextButton"));
  previous_->hide();
  next_->hide();
  connect(previous_, &QPushButton::clicked, this, &CQuillonView::previousClicked);
  connect(next_, &QPushButton::clicked, this, &CQuillonView::nextClicked);
}

CQuillonView::~CQuillonView() = default;

void CQuillonView::RemoveContent() {
  delete list_;  // the model is the list's child
  list_ = nullptr;
  records_ = nullptr;
  delete note_;
  note_ = nullptr;
  delete script_;
  script_ = nullptr;
  previous_->hide();
  next_->hide();
}

void CQuillonView::Clear() {
  RemoveContent();
  update();
}

void CQuillonView::ShowNote(const QString& title, const QString& detail) {
  RemoveContent();
  note_ = new QLabel(this);
  note_->setObjectName(QStringLiteral("PaneNote"));
  note_->setAlignment(Qt::AlignCenter);
  note_->setWordWrap(true);
  note_->setTextFormat(Qt::PlainText);
  note_->setText(title + QStringLiteral("\n\n") + detail);
  note_->setStyleSheet(QStringLiteral(
      "QLabel#PaneNote { background: rgba(255, 255, 255, 215); border: 1px solid #9fb3c8;"
      " border-radius: 6px; padding: 18px; color: #1f3347; font-size: 11pt; }"));
  note_->show();
  LayOut();
  update();
}

void CQuillonView::PrepareScriptView() {
  RemoveContent();
  script_ = new QTextEdit(this);
  script_->setObjectName(QStringLiteral("ScriptView"));
  script_->setReadOnly(true);
  script_->setLineWrapMode(QTextEdit::NoWrap);
  script_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  script_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  QPalette palette = script_->palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::Window));
  script_->setPalette(palette);
  script_->show();
  LayOut();
  update();
}

void CQuillonView::ShowScript(const QString& script) {
  if (script_ == nullptr) return;
  script_->clear();
  const qsizetype header_end = script.indexOf(QLatin1Char('\n'));
  const QString header = header_end < 0 ? script : script.left(header_end + 1);
  const QString statements = header_end < 0 ? QString() : script.mid(header_end + 1);
  QTextCursor cursor(script_->document());
  cursor.insertText(header, ScriptHeaderFormat());
  cursor.insertText(statements, ScriptStatementFormat());
  script_->moveCursor(QTextCursor::Start);
}

void CQuillonView::ShowRecordList() {
  RemoveContent();
  list_ = new QTableView(this);
  list_->setObjectName(QStringLiteral("RecordList"));
  records_ = new RecordListModel(list_);
  list_->setModel(records_);
  list_->setShowGrid(true);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setWordWrap(false);
  list_->setTextElideMode(Qt::ElideRight);
  list_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  list_->verticalHeader()->hide();
  list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 6);
  QHeaderView* header = list_->horizontalHeader();
  header->setFont(HeaderFont());
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  header->setDefaultSectionSize(kColumnWidth);
  header->setMinimumSectionSize(20);
  header->setSectionResizeMode(QHeaderView::Interactive);
  header->setStretchLastSection(false);
  header->setHighlightSections(false);
  list_->show();
  previous_->show();
  next_->show();
  next_->setEnabled(true);
  LayOut();
}

void CQuillonView::SetColumns(const QStringList& captions) {
  if (list_ == nullptr) ShowRecordList();
  records_->SetColumns(captions);
  for (int column = 0; column < captions.size(); ++column) list_->setColumnWidth(column, kColumnWidth);
  previous_->setEnabled(false);
  next_->setEnabled(true);
}

void CQuillonView::AddRow(const QStringList& cells, bool first) {
  if (records_ != nullptr) records_->AddRow(cells, first);
}

void CQuillonView::ClearRows() {
  if (records_ != nullptr) records_->ClearRows();
}

void CQuillonView::SetPreviousEnabled(bool enabled) { previous_->setEnabled(enabled); }
void CQuillonView::SetNextEnabled(bool enabled) { next_->setEnabled(enabled); }

void CQuillonView::LayOut() {
  const int w = width();
  const int h = height();
  if (list_ != nullptr) {
    list_->setGeometry(0, 0, w, std::max(0, h - kButtonStrip));
    // The right button reaches one pixel beyond the pane, so no gap shows.
    previous_->setGeometry(0, h - kButtonStrip, w / 2, kButtonStrip);
    next_->setGeometry(w / 2, h - kButtonStrip, w - w / 2 + 1, kButtonStrip);
  }
  if (script_ != nullptr) script_->setGeometry(0, 0, w, h);
  if (note_ != nullptr) {
    const int note_width = std::min(w - 40, 520);
    const int note_height = std::min(h - 40, note_->heightForWidth(note_width) + 8);
    note_->setGeometry((w - note_width) / 2, (h - note_height) / 2, note_width, note_height);
  }
}

void CQuillonView::resizeEvent(QResizeEvent* /*event*/) { LayOut(); }

void CQuillonView::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(rect().topLeft(), rect().bottomLeft());
  sky.setColorAt(0.0, QColor(0xF7, 0xF9, 0xFC));
  sky.setColorAt(1.0, QColor(0xE3, 0xEA, 0xF3));
  painter.fillRect(rect(), sky);
  if (!picture_->isValid() || list_ != nullptr) return;
  // The picture keeps its proportions and takes at most half of the pane.
  const QSizeF natural = picture_->defaultSize();
  QSizeF size = natural.scaled(QSizeF(width() * 0.6, height() * 0.6), Qt::KeepAspectRatio);
  if (size.width() > natural.width() * 1.5) size = natural * 1.5;
  const QRectF target(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), size);
  picture_->render(&painter, target);
}

}  // namespace quillon::app
