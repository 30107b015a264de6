// The Select Database dialog's search thread: runs SearchVolume on a thread
// of its own and hands the rows to the dialog as they are found. Nothing is
// ever waited for on the GUI thread except the thread's end at destruction,
// and the search notices a stop request before every folder.
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <atomic>
#include <cstdint>
#include <thread>

namespace quillon::app {

struct FoundDatabase;

// One result row as the list shows it; dates in the user's locale.
struct DatabaseRow {
  QString path;
  QString size;  // gigabytes, "%.2lf"
  QString modified;
  QString created;  // empty where the file system does not record it
  QString accessed;
};

DatabaseRow MakeDatabaseRow(const FoundDatabase& found);

class FindThread : public QObject {
  Q_OBJECT

 public:
  explicit FindThread(QObject* parent = nullptr);
  // Stops the search and waits for the thread.
  ~FindThread() override;

  // Starts a search of root; a search still running is stopped first.
  // Returns the search's number, which its signals carry.
  std::uint64_t Start(const QString& root);
  void RequestStop() { stop_.store(true, std::memory_order_release); }
  bool StopRequested() const { return stop_.load(std::memory_order_acquire); }

 Q_SIGNALS:
  // Emitted from the search thread; connect with a queued connection.
  void rowsFound(quint64 search, const QList<quillon::app::DatabaseRow>& rows);
  void progressed(quint64 search, quint64 folders_visited);
  void finished(quint64 search);

 private:
  void Join();

  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::uint64_t search_ = 0;
};

}  // namespace quillon::app

Q_DECLARE_METATYPE(quillon::app::DatabaseRow)
