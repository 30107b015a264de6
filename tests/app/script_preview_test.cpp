// The script preview: a press on an object other than a table generates its
// statements on the worker and shows them in the right pane's script view,
// the header line in red italic, the statements in bold green, each
// followed by a "/" line.
#include <memory>

#include <QDir>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QtTest>

#include "app/left_view.h"
#include "app/main_window.h"
#include "app/object_tree_model.h"
#include "app/right_pane.h"
#include "support/fixture.h"
#include "support/scripted_prompts.h"
#include "support/tree_presses.h"

using namespace quillon;
using namespace quillon::app;
using namespace quillon::app::testing;

namespace {

constexpr int kTimeoutMs = 120000;

// The character format at a position of the script view's text.
QTextCharFormat FormatAt(QTextEdit& view, int position) {
  QTextCursor cursor(view.document());
  cursor.setPosition(position + 1);
  return cursor.charFormat();
}

}  // namespace

class ScriptPreviewTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString folder_;
  QString system_;
  // One window, scanned once, serves every preview: a scan is the slow
  // part, and previews do not change the window's state.
  std::unique_ptr<ScriptedPrompts> prompts_;
  std::unique_ptr<CMainFrame> window_;

  void Scan(CMainFrame& window, ScriptedPrompts& prompts) {
    prompts.sources.push_back(SourceSelection{folder_, system_});
    window.OpenDatabase();
    QTRY_VERIFY_WITH_TIMEOUT(!window.ProcessRunning(), kTimeoutMs);
  }

  // The script view's text after a press on the node at path.
  QString Preview(CMainFrame& window, const QStringList& path) {
    const QModelIndex node = window.tree().treeModel().Find(path);
    if (!node.isValid()) return QStringLiteral("no node ") + path.join('/');
    PressCaption(window.tree(), node);
    if (!QTest::qWaitFor([&] { return !window.ProcessRunning(); }, kTimeoutMs)) return QStringLiteral("still running");
    QTextEdit* view = window.rightPane().scriptView();
    return view == nullptr ? QStringLiteral("no script view") : view->toPlainText();
  }

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    folder_ = dir_.filePath(QStringLiteral("oradata/SAMPLE"));
    system_ = WriteSampleDatabase(folder_);
    QVERIFY(!system_.isEmpty());
    prompts_ = std::make_unique<ScriptedPrompts>();
    window_ = std::make_unique<CMainFrame>(*prompts_, MakeScanJob);
    window_->resize(1000, 700);
    window_->show();
    Scan(*window_, *prompts_);
  }

  void cleanupTestCase() {
    window_.reset();
    prompts_.reset();
  }

  void objectsShowTheirStatements_data() {
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QStringList>("fragments");
    QTest::addColumn<QStringList>("absent");
    QTest::addColumn<QString>("ending");  // what the text ends with
    const QString closed = QStringLiteral("\n/\n");

    QTest::newRow("view") << QStringList{"Schema", "HR", "Views", "EMP_V"}
                          << QStringLiteral("-- DDL script for View HR.EMP_V ")
                          << QStringList{"VIEW", "\"HR\".\"EMP_V\"",
                                         "select employee_id, last_name, salary from hr.employees where active = 'Y'"}
                          << QStringList{} << closed;
    QTest::newRow("trigger") << QStringList{"Schema", "HR", "Triggers", "EMP_BI_TRG"}
                             << QStringLiteral("-- DDL script for  Trigger HR.EMP_BI_TRG ")
                             << QStringList{"TRIGGER", "EMP_BI_TRG", "BEFORE", "INSERT", "EMPLOYEES"}
                             << QStringList{} << closed;
    QTest::newRow("sequence") << QStringList{"Schema", "HR", "Sequences", "EMPLOYEES_SEQ"}
                              << QStringLiteral("-- DDL script for Sequence HR.EMPLOYEES_SEQ ")
                              << QStringList{"SEQUENCE", "EMPLOYEES_SEQ"} << QStringList{} << closed;
    QTest::newRow("synonym") << QStringList{"Schema", "HR", "Synonyms", "STAFF"}
                             << QStringLiteral("-- DDL script for Synonym HR.STAFF ")
                             << QStringList{"SYNONYM", "STAFF", "EMPLOYEES"} << QStringList{} << closed;
    QTest::newRow("function") << QStringList{"Schema", "HR", "Functions", "GET_DEPARTMENT_NAME"}
                              << QStringLiteral("-- DDL script for Function HR.GET_DEPARTMENT_NAME ")
                              << QStringList{"get_department_name (p_id IN NUMBER) RETURN VARCHAR2"}
                              << QStringList{} << closed;
    QTest::newRow("package body") << QStringList{"Schema", "HR", "Package Bodies", "EMP_PKG"}
                                  << QStringLiteral("-- DDL script for Package Body HR.EMP_PKG ")
                                  << QStringList{"BODY", "emp_pkg"} << QStringList{} << closed;
    QTest::newRow("type") << QStringList{"Schema", "HR", "Types", "ADDRESS_T"}
                          << QStringLiteral("-- DDL script for Type HR.ADDRESS_T ")
                          << QStringList{"TYPE", "address_t AS OBJECT", "street"} << QStringList{} << closed;
    // The link's password never shows.
    QTest::newRow("database link") << QStringList{"Distributed", "Database Links", "HR", "HQ.EXAMPLE.COM"}
                                   << QStringLiteral("-- DDL script for HQ.EXAMPLE.COM ")
                                   << QStringList{"DATABASE LINK", "HQ.EXAMPLE.COM", "SCOTT"}
                                   << QStringList{"TIGER"} << closed;
    QTest::newRow("materialized view") << QStringList{"Distributed", "Materialized Views", "HR.EMP_SALARY_MV"}
                                       << QStringLiteral("-- DDL script for HR.EMP_SALARY_MV ")
                                       << QStringList{"MATERIALIZED VIEW", "EMP_SALARY_MV"} << QStringList{}
                                       << closed;
    // Stored units: the owner inserted after the kind keyword of the
    // first source line.
    QTest::newRow("package") << QStringList{"Schema", "HR", "Packages", "EMP_PKG"}
                             << QStringLiteral("-- DDL script for Package HR.EMP_PKG ")
                             << QStringList{"PACKAGE \"HR\".emp_pkg AS", "FUNCTION headcount RETURN NUMBER;"}
                             << QStringList{"BODY"} << closed;
    QTest::newRow("procedure") << QStringList{"Schema", "HR", "Procedures", "RAISE_SALARY"}
                               << QStringLiteral("-- DDL script for Procedure HR.RAISE_SALARY ")
                               << QStringList{"PROCEDURE \"HR\".raise_salary (p_id IN NUMBER, p_pct IN NUMBER) IS",
                                              "END raise_salary;"}
                               << QStringList{} << closed;
    QTest::newRow("type body") << QStringList{"Schema", "HR", "Type Bodies", "ADDRESS_T"}
                               << QStringLiteral("-- DDL script for Type Body HR.ADDRESS_T ")
                               << QStringList{"TYPE BODY \"HR\".address_t AS", "MEMBER FUNCTION full_address"}
                               << QStringList{} << closed;
    // The log's table is dropped first, then the log made on its master.
    QTest::newRow("materialized view log")
        << QStringList{"Distributed", "Materialized View Logs", "HR.EMPLOYEES"}
        << QStringLiteral("-- DDL script for HR.EMPLOYEES ")
        << QStringList{"DROP TABLE \"HR\".\"MLOG$_EMPLOYEES\"\n/\n",
                       "CREATE MATERIALIZED VIEW LOG ON \"HR\".\"EMPLOYEES\" WITH PRIMARY KEY (\"SALARY\", "
                       "\"DEPARTMENT_ID\")"}
        << QStringList{} << closed;
    // Registered under its owner's name, without unlocking or altering
    // any account.
    QTest::newRow("XML schema")
        << QStringList{"XML Schema", "SALES", "XML URL", "http://www.example.com/schemas/purchase_order.xsd"}
        << QStringLiteral("-- DDL script for http://www.example.com/schemas/purchase_order.xsd ")
        << QStringList{"DBMS_XMLSCHEMA.REGISTERSCHEMA(",
                       "schemaurl => 'http://www.example.com/schemas/purchase_order.xsd'", "owner => 'SALES'",
                       "<xs:complexType name=\"CustomerType\">"}
        << QStringList{"ALTER USER"} << closed;
    QTest::newRow("index") << QStringList{"Schema", "HR", "Indexes", "EMP_NAME_IX"}
                           << QStringLiteral("-- DDL script for Index HR.EMP_NAME_IX ")
                           << QStringList{"CREATE INDEX \"HR\".\"EMP_NAME_IX\"", "ON \"HR\".\"EMPLOYEES\"",
                                          "(\"LAST_NAME\",\"FIRST_NAME\""}
                           << QStringList{} << closed;
    QTest::newRow("cluster") << QStringList{"Schema", "HR", "Clusters", "DEPT_CLU"}
                             << QStringLiteral("-- DDL script for Cluster HR.DEPT_CLU ")
                             << QStringList{"CREATE CLUSTER \"HR\".\"DEPT_CLU\"", "\"DEPARTMENT_ID\" NUMBER (4,0)"}
                             << QStringList{} << closed;
    QTest::newRow("check constraint")
        << QStringList{"Schema", "HR", "Tables", "EMPLOYEES", "Constraints", "CHECK EMP_SALARY_MIN"}
        << QStringLiteral("-- DDL script for Check EMP_SALARY_MIN ")
        << QStringList{"ALTER TABLE \"HR\".\"EMPLOYEES\"", "ADD CONSTRAINT \"EMP_SALARY_MIN\" CHECK (salary > 0)"}
        << QStringList{"EMP_EMAIL_UK"} << closed;
    QTest::newRow("foreign key")
        << QStringList{"Schema", "HR", "Tables", "EMPLOYEES", "Constraints", "FOREIGN EMP_DEPT_FK"}
        << QStringLiteral("-- DDL script for Foreign Key EMP_DEPT_FK ")
        << QStringList{"ADD CONSTRAINT \"EMP_DEPT_FK\" FOREIGN KEY (\"DEPARTMENT_ID\")",
                       "REFERENCES \"HR\".\"DEPARTMENTS\"(\"DEPARTMENT_ID\") ON DELETE SET NULL"}
        << QStringList{"EMP_MANAGER_FK"} << closed;
    // A role or system privilege of a user: the user as the repair makes
    // it, with its grants, and never a password.
    QTest::newRow("user grant")
        << QStringList{"Security", "Users", "SALES", "System Privileges Granted", "CREATE MATERIALIZED VIEW"}
        << QStringLiteral("-- DDL script for SALES.CREATE MATERIALIZED VIEW ")
        << QStringList{"CREATE USER \"SALES\"", "GRANT CREATE MATERIALIZED VIEW TO \"SALES\"",
                       "GRANT \"SALES_MANAGER\" TO \"SALES\" WITH ADMIN OPTION"}
        << QStringList{"\"HR\"", "TIGER"} << closed;
    QTest::newRow("user object grant")
        << QStringList{"Security", "Users", "HR", "Object Privileges Granted", "SELECT  ON SALES.ORDERS"}
        << QStringLiteral("-- DDL script for HR.SELECT  ON SALES.ORDERS ")
        << QStringList{"GRANT SELECT ON \"SALES\".\"ORDERS\" TO \"HR\""} << QStringList{"REPORTER"} << closed;
    QTest::newRow("role object grant")
        << QStringList{"Security", "Roles", "HR_CLERK", "Object Privileges Granted", "SELECT  ON HR.DEPARTMENTS"}
        << QStringLiteral("-- DDL script for SELECT  ON HR.DEPARTMENTS ")
        << QStringList{"GRANT SELECT ON \"HR\".\"DEPARTMENTS\" TO \"HR_CLERK\"",
                       "GRANT UPDATE (\"SALARY\") ON \"HR\".\"EMPLOYEES\" TO \"HR_CLERK\""}
        << QStringList{"\"SALES\""} << closed;
    // An XMLType table shows its CREATE TABLE, then the note as a comment
    // line in place of its rows.
    QTest::newRow("XMLType table")
        << QStringList{"Schema", "HR", "Tables", "EMP_RESUMES_XML"}
        << QStringLiteral("-- DDL script for XML Table  HR.EMP_RESUMES_XML ")
        << QStringList{"Create Table \"HR\".\"EMP_RESUMES_XML\" of XMLTYPE", "XMLTYPE STORE AS CLOB"}
        << QStringList{} << QStringLiteral("\n/\n-- this is XML type Table so Data not Shown\n");
  }

  void objectsShowTheirStatements() {
    QFETCH(QStringList, path);
    QFETCH(QString, header);
    QFETCH(QStringList, fragments);
    QFETCH(QStringList, absent);
    QFETCH(QString, ending);

    ScriptedPrompts& prompts = *prompts_;
    CMainFrame& window = *window_;
    const QStringList before = QDir(folder_).entryList(QDir::Files);
    const QStringList here = QDir::current().entryList(QDir::Files);

    const QString text = Preview(window, path);
    QVERIFY2(text.startsWith(header + QStringLiteral("\n\n")), qPrintable(text));
    for (const QString& fragment : fragments) QVERIFY2(text.contains(fragment), qPrintable(fragment + " in " + text));
    for (const QString& fragment : absent) QVERIFY2(!text.contains(fragment), qPrintable(fragment + " in " + text));
    // Every statement is closed by a line holding "/", the last one too.
    QVERIFY2(text.endsWith(ending), qPrintable(text));
    // The preview writes nothing (no query file beside the datafiles or in
    // the working folder).
    QCOMPARE(QDir(folder_).entryList(QDir::Files), before);
    QCOMPARE(QDir::current().entryList(QDir::Files), here);
    QVERIFY(prompts.informed.isEmpty());

    // The header in red italic, the statements in bold green.
    QTextEdit& view = *window.rightPane().scriptView();
    QVERIFY(view.isReadOnly());
    const QTextCharFormat head = FormatAt(view, 0);
    QVERIFY(head.fontItalic());
    QCOMPARE(head.foreground().color(), QColor(255, 0, 0));
    const QTextCharFormat body = FormatAt(view, static_cast<int>(header.size()) + 2);
    QCOMPARE(body.fontWeight(), static_cast<int>(QFont::Bold));
    QCOMPARE(body.foreground().color(), QColor(0, 255, 0));
    QVERIFY(!body.fontItalic());
  }

  // The next record view or a press on a folder takes the script view away.
  void scriptViewMakesWayForOtherPanes() {
    CMainFrame& window = *window_;
    CQuillonView& pane = window.rightPane();
    QVERIFY(Preview(window, {"Schema", "HR", "Views", "EMP_V"}).contains(QStringLiteral("EMP_V")));
    PressCaption(window.tree(), window.tree().treeModel().Find({"Schema", "HR", "Tables", "REGIONS"}));
    QTRY_VERIFY_WITH_TIMEOUT(!window.ProcessRunning(), kTimeoutMs);
    QVERIFY(pane.scriptView() == nullptr);
    QVERIFY(pane.recordList() != nullptr);
    QVERIFY(Preview(window, {"Schema", "HR", "Triggers", "EMP_BI_TRG"}).contains(QStringLiteral("EMP_BI_TRG")));
    QVERIFY(pane.recordList() == nullptr);
    PressCaption(window.tree(), window.tree().treeModel().Find({"Schema", "HR", "Views"}));
    QVERIFY(pane.scriptView() == nullptr);
  }
};

QTEST_MAIN(ScriptPreviewTest)
#include "script_preview_test.moc"
