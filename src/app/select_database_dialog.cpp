#include "app/select_database_dialog.h"
#include "app/qt_text.h"

#include <QComboBox>
#include <QDate>
#include <QLocale>
#include <QFontMetrics>
#include <algorithm>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/app_texts.h"
#include "app/help.h"
#include "app/mount_points.h"
#include "reader/identify.h"

namespace quillon::app {

namespace {


struct ColumnDescription {
  const char* header;
  Qt::Alignment alignment;
  int width;
};
constexpr ColumnDescription kColumns[] = {
    {text::kColumnPath, Qt::AlignLeft, 170},     {text::kColumnSize, Qt::AlignRight, 107},
    {text::kColumnModified, Qt::AlignLeft, 70},  {text::kColumnCreated, Qt::AlignLeft, 70},
    {text::kColumnAccessed, Qt::AlignLeft, 70},
};

QStringList MountPointList() {
  QStringList out;
  for (const std::string& m : ListMountPoints()) out.append(QString::fromStdString(m));
  return out;
}

}  // namespace

CSelectOracleDataBase::CSelectOracleDataBase(UserPrompts& prompts, QWidget* parent, QStringList look_in)
    : QDialog(parent),
      prompts_(&prompts),
      find_(new FindThread(this)),
      folder_edit_(new QLineEdit(this)),
      select_(new QPushButton(Text(text::kSelectDatabase), this)),
      look_in_(new QComboBox(this)),
      search_button_(new QPushButton(Text(text::kSearchDatabase), this)),
      stop_(new QPushButton(Text(text::kStop), this)),
      progress_(new QProgressBar(this)),
      results_(new QTableWidget(0, 5, this)),
      count_(new QLabel(this)),
      clear_list_(new QPushButton(Text(text::kClearList), this)),
      chosen_(new QLineEdit(this)),
      help_(new QPushButton(Text(text::kHelp), this)),
      cancel_(new QPushButton(Text(text::kCancel), this)),
      scan_file_(new QPushButton(Text(text::kScanFile), this)) {
  setObjectName(QStringLiteral("CSelectOracleDataBase"));
  setWindowTitle(Text(text::kSelectDatabase));

  auto* intro = new QLabel(Text(text::kSelectIntro), this);
  intro->setWordWrap(true);

  folder_edit_->setReadOnly(true);
  chosen_->setReadOnly(true);
  auto* pick = new QGroupBox(Text(text::kSelectDatabase), this);
  auto* pick_layout = new QHBoxLayout(pick);
  pick_layout->addWidget(folder_edit_, 1);
  pick_layout->addWidget(select_);

  if (look_in.isEmpty()) look_in = MountPointList();
  look_in.sort();
  look_in_->addItems(look_in);
  look_in_->setMinimumWidth(200);
  progress_->setRange(0, 0);  // a search has no known length: a busy bar
  progress_->setMaximumHeight(16);
  auto* search = new QGroupBox(QString(), this);
  auto* search_layout = new QGridLayout(search);
  search_layout->addWidget(new QLabel(Text(text::kLookIn), this), 0, 0);
  search_layout->addWidget(look_in_, 0, 1);
  search_layout->addWidget(search_button_, 0, 2);
  search_layout->addWidget(stop_, 0, 3);
  search_layout->addWidget(progress_, 1, 1, 1, 3);
  search_layout->setColumnStretch(1, 1);

  QStringList headers;
  for (const ColumnDescription& c : kColumns) headers.append(Text(c.header));
  results_->setHorizontalHeaderLabels(headers);
  // The columns are at least as wide as their headers in the user's font;
  // the path column takes what the dialog's width leaves.
  const QFontMetrics metrics(results_->horizontalHeader()->font());
  const int date = metrics.horizontalAdvance(QLocale().toString(QDate(2026, 12, 28), QLocale::ShortFormat)) + 16;
  for (int i = 0; i < 5; ++i) {
    const int header = metrics.horizontalAdvance(headers[i]) + 24;
    results_->setColumnWidth(i, std::max({kColumns[i].width, header, i >= 2 ? date : 0}));
    results_->horizontalHeaderItem(i)->setTextAlignment(kColumns[i].alignment | Qt::AlignVCenter);
  }
  results_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  results_->setWordWrap(false);
  results_->setTextElideMode(Qt::ElideMiddle);
  results_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  results_->verticalHeader()->setDefaultSectionSize(metrics.height() + 8);
  results_->verticalHeader()->hide();
  results_->setShowGrid(true);
  results_->setSelectionBehavior(QAbstractItemView::SelectRows);
  results_->setSelectionMode(QAbstractItemView::SingleSelection);
  results_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  results_->setMinimumHeight(180);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(intro);
  layout->addWidget(pick);
  layout->addWidget(search);
  layout->addWidget(new QLabel(Text(text::kDoubleClickHint), this));
  layout->addWidget(results_, 1);
  auto* count_row = new QHBoxLayout;
  count_row->addWidget(count_, 1);
  count_row->addWidget(clear_list_);
  layout->addLayout(count_row);
  auto* chosen_row = new QHBoxLayout;
  chosen_row->addWidget(new QLabel(Text(text::kSelectedPath), this));
  chosen_row->addWidget(chosen_, 1);
  layout->addLayout(chosen_row);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(help_);
  buttons->addStretch(1);
  buttons->addWidget(cancel_);
  buttons->addWidget(scan_file_);
  layout->addLayout(buttons);

  for (QPushButton* b : {select_, search_button_, stop_, clear_list_, help_, cancel_}) b->setAutoDefault(false);
  scan_file_->setDefault(true);
  stop_->hide();
  progress_->hide();
  clear_list_->setEnabled(false);
  scan_file_->setEnabled(false);
  resize(860, 560);

  connect(select_, &QPushButton::clicked, this, &CSelectOracleDataBase::SelectFile);
  connect(search_button_, &QPushButton::clicked, this, &CSelectOracleDataBase::StartSearch);
  connect(stop_, &QPushButton::clicked, this, &CSelectOracleDataBase::StopSearch);
  connect(clear_list_, &QPushButton::clicked, this, &CSelectOracleDataBase::ClearList);
  connect(help_, &QPushButton::clicked, this, &CSelectOracleDataBase::ShowHelp);
  connect(cancel_, &QPushButton::clicked, this, &CSelectOracleDataBase::reject);
  connect(scan_file_, &QPushButton::clicked, this, &CSelectOracleDataBase::ScanFile);
  connect(results_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { ChooseRow(row); });
  connect(find_, &FindThread::rowsFound, this, &CSelectOracleDataBase::OnRowsFound, Qt::QueuedConnection);
  connect(find_, &FindThread::finished, this, &CSelectOracleDataBase::OnSearchFinished, Qt::QueuedConnection);
}

void CSelectOracleDataBase::ShowFolder(const QString& folder) {
  selection_.folder = folder;
  folder_edit_->setText(folder);
  chosen_->setText(folder);
}

void CSelectOracleDataBase::SelectFile() {
  selection_.folder.clear();
  const std::optional<QString> file = prompts_->ChooseAnyFile(this);
  if (!file) return;
  scan_file_->setEnabled(true);
  ShowFolder(QFileInfo(*file).absolutePath());
}

void CSelectOracleDataBase::SetLookIn(const QString& place) {
  int index = look_in_->findText(place);
  if (index < 0) {
    look_in_->addItem(place);
    index = look_in_->count() - 1;
  }
  look_in_->setCurrentIndex(index);
}

void CSelectOracleDataBase::SetSearchControls(bool searching) {
  searching_ = searching;
  stop_->setVisible(searching);
  progress_->setVisible(searching);
  for (QWidget* w : std::initializer_list<QWidget*>{select_, search_button_, cancel_, look_in_, folder_edit_}) {
    w->setEnabled(!searching);
  }
  if (searching) clear_list_->setEnabled(false);
}

void CSelectOracleDataBase::StartSearch() {
  if (searching_ || look_in_->currentText().isEmpty()) return;
  stop_requested_ = false;
  count_->clear();
  SetSearchControls(true);
  search_ = find_->Start(look_in_->currentText());
}

void CSelectOracleDataBase::StopSearch() {
  if (!searching_) return;
  if (!prompts_->Ask(this, Text(text::kStopNotResumable), Text(text::kAskStop))) return;
  stop_requested_ = true;
  find_->RequestStop();
}

void CSelectOracleDataBase::OnRowsFound(quint64 search, const QList<DatabaseRow>& rows) {
  if (search != search_ || stop_requested_) return;
  results_->setUpdatesEnabled(false);
  for (const DatabaseRow& r : rows) {
    const int row = results_->rowCount();
    results_->insertRow(row);
    const QString cells[] = {r.path, r.size, r.modified, r.created, r.accessed};
    for (int column = 0; column < 5; ++column) {
      auto* item = new QTableWidgetItem(cells[column]);
      item->setTextAlignment(kColumns[column].alignment | Qt::AlignVCenter);
      item->setToolTip(cells[column]);
      results_->setItem(row, column, item);
    }
  }
  results_->setUpdatesEnabled(true);
}

void CSelectOracleDataBase::OnSearchFinished(quint64 search) {
  if (search != search_) return;
  const int rows = results_->rowCount();
  count_->setText(Text(text::kTotalDatabases) + QString::number(rows));
  SetSearchControls(false);
  clear_list_->setEnabled(rows > 0);
  Q_EMIT searchFinished(rows);
  prompts_->Inform(this, Text(text::kSearchComplete), QString::number(rows) + QLatin1Char(' ') + Text(text::kDatabasesFound));
}

void CSelectOracleDataBase::ClearList() {
  results_->setRowCount(0);
  count_->setText(Text(text::kTotalDatabasesCleared));
  clear_list_->setEnabled(false);
}

void CSelectOracleDataBase::ChooseRow(int row) {
  if (row < 0 || row >= results_->rowCount()) return;
  const QTableWidgetItem* item = results_->item(row, 0);
  if (item == nullptr || item->text().isEmpty()) return;
  ShowFolder(item->text());
  scan_file_->setEnabled(true);
}

void CSelectOracleDataBase::ScanFile() {
  if (selection_.folder.isEmpty() || searching_) return;
  const std::optional<std::string> system = FindSystemDatafile(selection_.folder.toStdString());
  selection_.system_datafile = system ? QString::fromStdString(*system) : QString();
  accept();
}

void CSelectOracleDataBase::ShowHelp() { OpenHelpPage(this, *prompts_, QStringLiteral("select-database")); }

void CSelectOracleDataBase::reject() {
  // The search must be stopped first, as Cancel is disabled while it runs.
  if (searching_) return;
  QDialog::reject();
}

}  // namespace quillon::app
