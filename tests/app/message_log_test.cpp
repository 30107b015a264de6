// The message log: appends, the ".log" name rule, Save Log's bytes and its
// overwrite question.
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtTest>

#include "app/app_texts.h"
#include "app/log_file.h"
#include "app/message_log.h"
#include "support/scripted_prompts.h"

using namespace quillon::app;
using quillon::app::testing::ScriptedPrompts;

class MessageLogTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void appendsKeepCarriageReturnLineFeeds() {
    MessageLog log;
    log.Append(QString::fromUtf8(text::kLogHeader), false);
    log.Append(QStringLiteral("first"), true);
    log.Append(QStringLiteral("second"), true);
    log.Append(QStringLiteral(" continued"), false);
    const QString expected = QString::fromUtf8(text::kLogHeader) + "\r\nfirst\r\nsecond continued";
    QCOMPARE(log.text(), expected);
    // The control shows the same lines.
    QCOMPARE(log.control()->toPlainText(), QString(expected).replace("\r\n", "\n"));
    QVERIFY(log.control()->isReadOnly());
  }

  void logExtensionRule_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("saved");
    QTest::newRow("no ending") << "/tmp/report" << "/tmp/report.log";
    QTest::newRow("upper case ending") << "/tmp/REPORT.LOG" << "/tmp/REPORT.LOG";
    QTest::newRow("other ending") << "/tmp/report.txt" << "/tmp/report.txt.log";
    QTest::newRow("mixed case") << "/tmp/Report.Log" << "/tmp/Report.Log";
    QTest::newRow("short name") << "log" << "log.log";
  }
  void logExtensionRule() {
    QFETCH(QString, chosen);
    QFETCH(QString, saved);
    QCOMPARE(WithLogExtension(chosen), saved);
  }

  void saveWritesUtf16LittleEndianWithoutMark() {
    QTemporaryDir dir;
    MessageLog log;
    log.Append(QString::fromUtf8(text::kLogHeader), false);
    log.Append(QString::fromUtf8("Tablespace \xC3\x84RGER : 12 Record(s)"), true);
    ScriptedPrompts prompts;
    prompts.files.push_back(dir.filePath("report"));
    const QString written = SaveLogInteractively(nullptr, prompts, log.text());
    QCOMPARE(written, dir.filePath("report.log"));
    QCOMPARE(prompts.proposed_names, QStringList{"Quillon.log"});

    QFile file(written);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.size(), log.text().size() * 2);
    // The header's first characters, low byte first, no byte-order mark.
    QCOMPARE(bytes.left(6), QByteArray("Q\0u\0i\0", 6));
    // The line break is the two characters CR LF.
    const int header_bytes = static_cast<int>(qstrlen(text::kLogHeader)) * 2;
    QCOMPARE(bytes.mid(header_bytes, 4), QByteArray("\r\0\n\0", 4));
    // A character beyond ASCII is one UTF-16 unit.
    QVERIFY(bytes.contains(QByteArray("\xC4\x00R\0", 4)));
    QCOMPARE(QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2), log.text());
  }

  void clearedLogStartsWithLineBreak() {
    MessageLog log;
    log.Append(QStringLiteral("anything"), false);
    log.Clear();
    log.Append(QString::fromUtf8(text::kLogHeader), true);
    QCOMPARE(Utf16LeBytes(log.text()).left(4), QByteArray("\r\0\n\0", 4));
  }

  void answeringNoAsksForAnotherName() {
    QTemporaryDir dir;
    const QString existing = dir.filePath("old.log");
    QFile seed(existing);
    QVERIFY(seed.open(QIODevice::WriteOnly));
    seed.write("keep");
    seed.close();

    ScriptedPrompts prompts;
    prompts.files = {existing, dir.filePath("new")};
    prompts.overwrite_answers = {false};
    QCOMPARE(SaveLogInteractively(nullptr, prompts, QStringLiteral("x")), dir.filePath("new.log"));
    QCOMPARE(prompts.overwrite_questions, 1);
    // The chooser came back with the name chosen before.
    QCOMPARE(prompts.proposed_names, (QStringList{"Quillon.log", existing}));
    QFile kept(existing);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("keep"));
  }

  void answeringYesOverwritesAndCancelSavesNothing() {
    QTemporaryDir dir;
    const QString existing = dir.filePath("old.log");
    QVERIFY(WriteLogFile(existing, QStringLiteral("long old text"), nullptr));
    ScriptedPrompts prompts;
    prompts.files = {existing};
    prompts.overwrite_answers = {true};
    QCOMPARE(SaveLogInteractively(nullptr, prompts, QStringLiteral("ab")), existing);
    QFile file(existing);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("a\0b\0", 4));

    ScriptedPrompts cancel;
    cancel.files = {existing};  // exists: No, then the chooser is cancelled
    QVERIFY(SaveLogInteractively(nullptr, cancel, QStringLiteral("zz")).isEmpty());
    QCOMPARE(cancel.proposed_names.size(), 2);
  }

  void unwritableFileIsReported() {
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    prompts.files = {dir.filePath("missing-folder/report.log")};
    QVERIFY(SaveLogInteractively(nullptr, prompts, QStringLiteral("x")).isEmpty());
    QCOMPARE(prompts.informed.size(), 1);
    QVERIFY(prompts.informed[0].upper.startsWith("Unable to write to "));
  }
};

QTEST_MAIN(MessageLogTest)
#include "message_log_test.moc"
