#include "app/find_thread.h"

#include <QDateTime>
#include <QLocale>

#include "app/database_search.h"

namespace quillon::app {

namespace {

QString LocaleDate(std::int64_t seconds) {
  return QLocale().toString(QDateTime::fromSecsSinceEpoch(seconds).date(), QLocale::ShortFormat);
}

}  // namespace

DatabaseRow MakeDatabaseRow(const FoundDatabase& found) {
  return DatabaseRow{QString::fromStdString(found.path), QString::fromStdString(SizeInGigabytes(found.bytes)),
                     LocaleDate(found.modified), found.created ? LocaleDate(*found.created) : QString(),
                     LocaleDate(found.accessed)};
}

FindThread::FindThread(QObject* parent) : QObject(parent) {
  qRegisterMetaType<QList<quillon::app::DatabaseRow>>();
}

FindThread::~FindThread() {
  RequestStop();
  Join();
}

void FindThread::Join() {
  if (thread_.joinable()) thread_.join();
}

std::uint64_t FindThread::Start(const QString& root) {
  RequestStop();
  Join();
  stop_.store(false, std::memory_order_release);
  const std::uint64_t search = ++search_;
  thread_ = std::thread([this, search, root = root.toStdString()] {
    SearchVolume(
        root, stop_,
        [&](std::vector<FoundDatabase> found) {
          QList<DatabaseRow> rows;
          for (const FoundDatabase& f : found) rows.append(MakeDatabaseRow(f));
          Q_EMIT rowsFound(search, rows);
        },
        [&](const SearchProgress& progress) { Q_EMIT progressed(search, progress.folders_visited); });
    Q_EMIT finished(search);
  });
  return search;
}

}  // namespace quillon::app
