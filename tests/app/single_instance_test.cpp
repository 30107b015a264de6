// One running copy per user: the lock, and the program started twice.
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QtTest>

#include "app/single_instance.h"

using quillon::app::SingleInstance;

class SingleInstanceTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void secondLockIsRefused() {
    QTemporaryDir dir;
    const std::string path = dir.filePath("quillon.lock").toStdString();
    {
      SingleInstance first(path);
      QVERIFY(!first.another_running());
      SingleInstance second(path);
      QVERIFY(second.another_running());
    }
    SingleInstance again(path);  // released with its holder
    QVERIFY(!again.another_running());
    SingleInstance unusable(dir.filePath("no-such-folder/quillon.lock").toStdString());
    QVERIFY(!unusable.another_running());
  }

  void secondProgramEndsAtOnce() {
    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", dir.path());
    env.insert("XDG_CONFIG_HOME", dir.path());
    QProcess first;
    first.setProcessEnvironment(env);
    first.start(QStringLiteral(QUILLON_GUI_PROGRAM), {});
    QVERIFY(first.waitForStarted());
    // Wait until the first copy holds the lock.
    const std::string lock = dir.filePath("quillon.lock").toStdString();
    QTRY_VERIFY_WITH_TIMEOUT(SingleInstance(lock).another_running(), 30000);

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(QStringLiteral(QUILLON_GUI_PROGRAM), {});
    QVERIFY(second.waitForFinished(15000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QVERIFY(second.readAllStandardOutput().isEmpty());
    QCOMPARE(first.state(), QProcess::Running);

    first.kill();
    QVERIFY(first.waitForFinished(15000));
  }
};

QTEST_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"
