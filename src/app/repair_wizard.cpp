#include "app/repair_wizard.h"
#include "app/qt_text.h"

#include <QButtonGroup>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/app_texts.h"
#include "app/help.h"

namespace quillon::app {

namespace {


// The help guide's section on the repair.
const QString kHelpSection = QStringLiteral("repair");

// Both pages: a light background and a 12-point serif face on every text
// and button.
void StylePage(QDialog& page) {
  page.setWindowTitle(Text(text::kAppTitle));
  page.setModal(true);
  page.setAutoFillBackground(true);
  QPalette palette = page.palette();
  palette.setColor(QPalette::Window, QColor(249, 250, 250));
  page.setPalette(palette);
  QFont font(QStringLiteral("Times New Roman"));
  font.setPointSize(12);
  page.setFont(font);
}

QLabel* WrappedLabel(const char* text, QWidget* parent) {
  auto* label = new QLabel(Text(text), parent);
  label->setWordWrap(true);
  return label;
}

std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

}  // namespace

CFirstStep::CFirstStep(UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), next_(new QPushButton(Text(text::kNext), this)), help_(new QPushButton(Text(text::kHelp), this)) {
  setObjectName(QStringLiteral("CFirstStep"));
  StylePage(*this);
  auto* cancel = new QPushButton(Text(text::kCancel), this);
  next_->setDefault(true);
  connect(next_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(help_, &QPushButton::clicked, this, [this, &prompts] { OpenHelpPage(this, prompts, kHelpSection); });

  auto* layout = new QVBoxLayout(this);
  QLabel* intro = WrappedLabel(text::kFirstStepIntro, this);
  QFont bold = intro->font();
  bold.setBold(true);
  intro->setFont(bold);
  layout->addWidget(intro);
  layout->addSpacing(8);
  layout->addWidget(WrappedLabel(text::kFirstStepCreate, this));
  layout->addWidget(WrappedLabel(text::kFirstStepSelect, this));
  layout->addSpacing(12);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(next_);
  buttons->addWidget(cancel);
  buttons->addWidget(help_);
  layout->addLayout(buttons);
  setMinimumWidth(560);
}

CDataBaseNameField::CDataBaseNameField(UserPrompts& prompts, RepairWizardContext context, QWidget* parent)
    : QDialog(parent),
      prompts_(&prompts),
      context_(std::move(context)),
      kinds_(new QButtonGroup(this)),
      data_source_(new QLineEdit(this)),
      folder_(new QLineEdit(this)),
      browse_folder_(new QPushButton(Text(text::kBrowse), this)),
      user_(new QLineEdit(this)),
      password_(new QLineEdit(this)),
      file_(new QLineEdit(this)),
      browse_file_(new QPushButton(Text(text::kBrowse), this)),
      connect_(new QPushButton(Text(text::kConnect), this)),
      help_(new QPushButton(Text(text::kHelp), this)) {
  setObjectName(QStringLiteral("CDataBaseNameField"));
  StylePage(*this);

  const std::pair<repair::TargetKind, const char*> kinds[] = {
      {repair::TargetKind::kOracleDataSource, text::kTargetOracle},
      {repair::TargetKind::kScriptFile, text::kTargetScript},
      {repair::TargetKind::kSqliteFile, text::kTargetSqlite},
  };
  auto* kind_row = new QHBoxLayout;
  for (const auto& [kind, caption] : kinds) {
    auto* button = new QRadioButton(Text(caption), this);
    kinds_->addButton(button, static_cast<int>(kind));
    kind_row->addWidget(button);
  }
  kind_row->addStretch(1);

  data_source_->setPlaceholderText(Text(text::kDataSourcePrompt));
  folder_->setReadOnly(true);
  folder_->setPlaceholderText(Text(text::kFolderPrompt));
  user_->setPlaceholderText(Text(text::kSystemUser));
  user_->setEnabled(false);
  password_->setEchoMode(QLineEdit::Password);
  file_->setPlaceholderText(Text(text::kOutputFilePrompt));

  auto* cancel = new QPushButton(Text(text::kCancel), this);
  connect_->setDefault(true);
  connect(connect_, &QPushButton::clicked, this, &CDataBaseNameField::Connect);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(help_, &QPushButton::clicked, this, [this] { OpenHelpPage(this, *prompts_, kHelpSection); });
  connect(browse_folder_, &QPushButton::clicked, this, &CDataBaseNameField::BrowseFolder);
  connect(browse_file_, &QPushButton::clicked, this, &CDataBaseNameField::BrowseFile);
  connect(kinds_, &QButtonGroup::idClicked, this,
          [this](int id) { SetKind(static_cast<repair::TargetKind>(id)); });
  for (QLineEdit* edit : {data_source_, password_, file_}) {
    connect(edit, &QLineEdit::textChanged, this, &CDataBaseNameField::UpdateConnect);
  }

  auto* grid = new QGridLayout;
  int row = 0;
  grid->addWidget(data_source_, row++, 0, 1, 2);
  grid->addWidget(folder_, row, 0);
  grid->addWidget(browse_folder_, row++, 1);
  grid->addWidget(new QLabel(Text(text::kEnterUserName), this), row++, 0, 1, 2);
  grid->addWidget(user_, row++, 0, 1, 2);
  grid->addWidget(new QLabel(Text(text::kEnterPassword), this), row++, 0, 1, 2);
  grid->addWidget(password_, row++, 0, 1, 2);
  grid->addWidget(file_, row, 0);
  grid->addWidget(browse_file_, row++, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(connect_);
  buttons->addWidget(cancel);
  buttons->addWidget(help_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(WrappedLabel(text::kTargetIntro, this));
  layout->addLayout(kind_row);
  layout->addLayout(grid);
  layout->addWidget(WrappedLabel(text::kServerRunning, this));
  layout->addLayout(buttons);
  setMinimumWidth(600);

  // The page starts empty: no folder, no password, Connect disabled until
  // the chosen target is complete.
  data_source_->clear();
  password_->clear();
  folder_->clear();
  target_folder_.clear();
  SetKind(repair::TargetKind::kSqliteFile);
}

QRadioButton* CDataBaseNameField::kindButton(repair::TargetKind kind) const {
  return qobject_cast<QRadioButton*>(kinds_->button(static_cast<int>(kind)));
}

QString CDataBaseNameField::DefaultFile(repair::TargetKind kind) const {
  if (context_.source_folder.isEmpty()) return QString();
  QString name = context_.database_name;
  if (name.isEmpty()) name = QFileInfo(QDir::cleanPath(context_.source_folder)).fileName();
  if (name.isEmpty()) name = QStringLiteral("database");
  // Beside the source folder, never inside it.
  QDir beside(QDir::cleanPath(context_.source_folder));
  if (!beside.cdUp()) return QString();
  const QString suffix = kind == repair::TargetKind::kScriptFile ? QStringLiteral(".sql") : QStringLiteral(".sqlite");
  return beside.filePath(name + suffix);
}

void CDataBaseNameField::SetKind(repair::TargetKind kind) {
  const repair::TargetKind before = kind_;
  kind_ = kind;
  if (QRadioButton* button = kindButton(kind); button != nullptr && !button->isChecked()) button->setChecked(true);
  const bool oracle = kind == repair::TargetKind::kOracleDataSource;
  for (QWidget* w : std::initializer_list<QWidget*>{data_source_, folder_, browse_folder_, password_}) {
    w->setEnabled(oracle);
  }
  file_->setEnabled(!oracle);
  browse_file_->setEnabled(!oracle);
  // A proposed file follows the kind; a file the user named stays.
  if (!oracle && (file_->text().isEmpty() || file_->text() == DefaultFile(before))) file_->setText(DefaultFile(kind));
  UpdateConnect();
}

void CDataBaseNameField::UpdateConnect() {
  bool complete = false;
  if (kind_ == repair::TargetKind::kOracleDataSource) {
    complete = !data_source_->text().trimmed().isEmpty() && !password_->text().isEmpty() && !target_folder_.isEmpty();
  } else {
    complete = !file_->text().trimmed().isEmpty();
  }
  connect_->setEnabled(complete);
}

void CDataBaseNameField::BrowseFolder() {
  ChooseFolder(QFileDialog::getExistingDirectory(this, Text(text::kBrowseFolderTitle), QString(),
                                                 QFileDialog::ShowDirsOnly));
}

void CDataBaseNameField::BrowseFile() {
  const bool script = kind_ == repair::TargetKind::kScriptFile;
  const QString path = QFileDialog::getSaveFileName(this, QString(), file_->text(),
                                                    Text(script ? text::kScriptFilter : text::kSqliteFilter));
  if (!path.isEmpty()) file_->setText(path);
}

void CDataBaseNameField::ChooseFolder(const QString& folder) {
  if (folder.isEmpty()) return;
  if (repair::LiesInside(Utf8(folder), Utf8(context_.source_folder))) {
    prompts_->ShowError(this, Text(text::kFolderNotValid));
    return;
  }
  target_folder_ = QDir::cleanPath(folder);
  folder_->setText(target_folder_);
  if (data_source_->text().trimmed().isEmpty()) data_source_->setText(QFileInfo(target_folder_).fileName());
  UpdateConnect();
}

void CDataBaseNameField::Connect() {
  UpdateConnect();
  if (!connect_->isEnabled()) return;
  repair::TargetChoice choice;
  choice.kind = kind_;
  if (kind_ == repair::TargetKind::kOracleDataSource) {
    choice.data_source = Utf8(data_source_->text().trimmed());
    choice.password = Utf8(password_->text());
    choice.target_folder = Utf8(target_folder_);
    // The re-created datafiles go into the target folder.
    choice.datafile_folder = choice.target_folder;
  } else {
    const QString path = QFileInfo(file_->text().trimmed()).absoluteFilePath();
    if (repair::LiesInside(Utf8(path), Utf8(context_.source_folder))) {
      prompts_->ShowError(this, Text(text::kFileNotValid));
      return;
    }
    // The repair writes a new file: an existing one is replaced only when
    // the user says so.
    if (QFileInfo::exists(path) && !prompts_->ConfirmOverwrite(this)) return;
    choice.file_path = Utf8(path);
    choice.target_folder = Utf8(QFileInfo(path).absolutePath());
  }
  choice.database_name = Utf8(context_.database_name);
  // The page's copy goes: only the choice holds the password from here on.
  password_->clear();
  choice_ = std::move(choice);
  accept();
}

std::optional<repair::TargetChoice> CDataBaseNameField::TakeChoice() {
  std::optional<repair::TargetChoice> out = std::move(choice_);
  choice_.reset();
  return out;
}

std::optional<repair::TargetChoice> RunRepairWizard(QWidget* parent, UserPrompts& prompts,
                                                    const RepairWizardContext& context) {
  {
    CFirstStep first(prompts, parent);
    if (first.exec() != QDialog::Accepted) return std::nullopt;
  }
  CDataBaseNameField page(prompts, context, parent);
  if (page.exec() != QDialog::Accepted) return std::nullopt;
  return page.TakeChoice();
}

}  // namespace quillon::app
