// Finding captions in the object tree: the matching rules, the walk through
// the tree, and the search bar driving it in the main window.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "app/app_texts.h"
#include "app/left_view.h"
#include "app/main_window.h"
#include "app/object_tree_model.h"
#include "app/search_bar.h"
#include "app/tree_find.h"
#include "support/fixture.h"
#include "support/scripted_prompts.h"

using namespace quillon;
using namespace quillon::app;
using namespace quillon::app::testing;

namespace {

constexpr int kTimeoutMs = 120000;

// root
//   SCOTT
//     EMP, EMPLOYEE, EMP_HIST, EMP1, EMPLOYEE EMP
//   HR
//     emp
ObjectTree SmallTree() {
  ObjectTree tree("root");
  const NodeId scott = tree.Add(tree.root(), "SCOTT", 0);
  for (const char* caption : {"EMP", "EMPLOYEE", "EMP_HIST", "EMP1", "EMPLOYEE EMP"}) tree.Add(scott, caption, 0);
  const NodeId hr = tree.Add(tree.root(), "HR", 0);
  tree.Add(hr, "emp", 0);
  return tree;
}

QStringList Captions(const ObjectTree& tree, const std::vector<NodeId>& nodes) {
  QStringList out;
  for (NodeId n : nodes) out << QString::fromStdString(tree.node(n).caption);
  return out;
}

// Every node Find reaches from the top, pressing Find until nothing is found.
std::vector<NodeId> FindAll(const ObjectTree& tree, const std::string& text, bool match_case, bool whole_word) {
  std::vector<NodeId> found;
  std::optional<NodeId> selected;
  std::optional<NodeId> last;
  for (int guard = 0; guard < 100; ++guard) {
    const std::optional<NodeId> next = FindTreeItem(tree, selected, text, match_case, whole_word, last);
    if (!next) break;
    found.push_back(*next);
    selected = next;
  }
  return found;
}

}  // namespace

class TreeFindTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString folder_;
  QString system_;

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    folder_ = dir_.filePath(QStringLiteral("oradata/SAMPLE"));
    system_ = WriteSampleDatabase(folder_);
    QVERIFY(!system_.isEmpty());
  }

  void captionRules_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("match_case");
    QTest::addColumn<bool>("whole_word");
    QTest::addColumn<bool>("matches");

    QTest::newRow("any case") << "EMP" << "emp" << false << false << true;
    QTest::newRow("match case refuses") << "EMP" << "emp" << true << false << false;
    QTest::newRow("match case accepts") << "EMP" << "EMP" << true << false << true;
    QTest::newRow("part of a word") << "EMPLOYEE" << "emp" << false << false << true;
    QTest::newRow("whole word alone") << "EMP" << "EMP" << false << true << true;
    QTest::newRow("whole word after a dot") << "SCOTT.EMP" << "EMP" << false << true << true;
    QTest::newRow("digit separates") << "EMP1" << "EMP" << false << true << true;
    QTest::newRow("digit before") << "1EMP" << "EMP" << false << true << true;
    QTest::newRow("letter follows") << "EMPLOYEE" << "EMP" << false << true << false;
    QTest::newRow("underscore follows") << "EMP_HIST" << "EMP" << false << true << false;
    QTest::newRow("underscore before") << "OLD_EMP" << "EMP" << false << true << false;
    QTest::newRow("second occurrence") << "EMPLOYEE EMP" << "EMP" << false << true << true;
    QTest::newRow("trailing blanks") << "SCOTT.EMP" << "EMP  " << false << true << true;
    QTest::newRow("blanks only") << "A B" << "   " << false << false << false;
    QTest::newRow("blanks only, whole word") << "A B" << " " << false << true << false;
    QTest::newRow("empty") << "EMP" << "" << false << false << false;
    QTest::newRow("longer than caption") << "EMP" << "EMPLOYEE" << false << false << false;
    QTest::newRow("leading blank kept") << "EMP" << " EMP" << false << false << false;
    QTest::newRow("non-ASCII letter joins") << "EMP\xC3\xA9" << "EMP" << false << true << false;
  }

  void captionRules() {
    QFETCH(QString, caption);
    QFETCH(QString, text);
    QFETCH(bool, match_case);
    QFETCH(bool, whole_word);
    QFETCH(bool, matches);
    const std::string pattern = SearchPattern(text.toStdString(), match_case);
    QCOMPARE(CaptionMatches(caption.toStdString(), pattern, match_case, whole_word), matches);
  }

  void findWalksTheTreeOnce_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("match_case");
    QTest::addColumn<bool>("whole_word");
    QTest::addColumn<QStringList>("found");

    QTest::newRow("any case, parts") << "emp" << false << false
                                     << QStringList{"EMP", "EMPLOYEE", "EMP_HIST", "EMP1", "EMPLOYEE EMP", "emp"};
    QTest::newRow("match case") << "emp" << true << false << QStringList{"emp"};
    QTest::newRow("whole word") << "EMP " << false << true << QStringList{"EMP", "EMP1", "EMPLOYEE EMP", "emp"};
    QTest::newRow("nothing") << "DEPT" << false << false << QStringList{};
    QTest::newRow("blanks") << "  " << false << true << QStringList{};
  }

  void findWalksTheTreeOnce() {
    QFETCH(QString, text);
    QFETCH(bool, match_case);
    QFETCH(bool, whole_word);
    QFETCH(QStringList, found);
    const ObjectTree tree = SmallTree();
    QCOMPARE(Captions(tree, FindAll(tree, text.toStdString(), match_case, whole_word)), found);
  }

  void lastFoundStaysAtTheLastMatch() {
    const ObjectTree tree = SmallTree();
    std::optional<NodeId> last;
    const std::optional<NodeId> hr = tree.Find({"HR", "emp"});
    QVERIFY(hr.has_value());
    QCOMPARE(FindTreeItem(tree, std::nullopt, "emp", true, false, last), hr);
    QCOMPARE(last, hr);
    QCOMPARE(FindTreeItem(tree, hr, "emp", true, false, last), std::optional<NodeId>());
    QCOMPARE(last, hr);
    // Only the root: nothing.
    const ObjectTree bare("root");
    std::optional<NodeId> none;
    QCOMPARE(FindTreeItem(bare, bare.root(), "root", false, false, none), std::optional<NodeId>());
  }

  // The search bar in the window: Find, Find Next, the end box with the last
  // match selected again, the restart after an edit, a blank search.
  void searchBarFindsInTheWindow() {
    ScriptedPrompts prompts;
    CMainFrame window(prompts, MakeScanJob);
    window.resize(1000, 700);
    window.show();
    prompts.sources.push_back(SourceSelection{folder_, system_});
    window.OpenDatabase();
    QTRY_VERIFY_WITH_TIMEOUT(!window.ProcessRunning(), kTimeoutMs);

    SearchBar& bar = window.searchBar();
    CLeftView& tree = window.tree();
    const ObjectTreeModel& model = tree.treeModel();
    QVERIFY(bar.findButton()->isVisible());
    QVERIFY(!bar.findButton()->isEnabled());
    QTest::keyClicks(bar.edit(), QStringLiteral("EMP_V"));
    QVERIFY(bar.findButton()->isEnabled());
    bar.wholeWord()->setChecked(true);

    // Every caption holding the word EMP_V, then the end.
    QStringList found;
    for (int guard = 0; guard < 50 && prompts.informed.isEmpty(); ++guard) {
      QTest::mouseClick(bar.findButton(), Qt::LeftButton);
      if (prompts.informed.isEmpty()) found << model.data(tree.currentIndex()).toString();
    }
    QCOMPARE(bar.findButton()->text(), QString::fromUtf8(text::kFindNext));
    QVERIFY(window.state().search_started);
    QVERIFY2(found.contains(QStringLiteral("EMP_V")), qPrintable(found.join(',')));
    for (const QString& caption : found) QVERIFY2(caption.contains(QStringLiteral("EMP_V")), qPrintable(caption));
    QCOMPARE(prompts.informed.size(), 1);
    QCOMPARE(prompts.informed.front().lower, QString::fromUtf8(text::kSearchFinished));
    QVERIFY(prompts.informed.front().upper.isEmpty());
    // The last match is selected again, and stays the end.
    QCOMPARE(model.data(tree.currentIndex()).toString(), found.back());
    QCOMPARE(window.lastFoundItem(), std::optional<NodeId>(model.NodeOf(tree.currentIndex())));
    QTest::mouseClick(bar.findButton(), Qt::LeftButton);
    QCOMPARE(prompts.informed.size(), 2);

    // An edit starts again at the top: the root is selected, Find is back.
    bar.edit()->setText(QStringLiteral("EMP_V"));
    bar.edit()->setText(QStringLiteral("EMP_V "));
    QCOMPARE(bar.findButton()->text(), QString::fromUtf8(text::kFind));
    QCOMPARE(model.NodeOf(tree.currentIndex()), tree.objectTree().root());
    QTest::mouseClick(bar.findButton(), Qt::LeftButton);
    QCOMPARE(model.data(tree.currentIndex()).toString(), found.front());

    // Blanks only find nothing, at once, with no box.
    bar.edit()->setText(QStringLiteral("   "));
    QTest::mouseClick(bar.findButton(), Qt::LeftButton);
    QCOMPARE(prompts.informed.size(), 2);
    QCOMPARE(model.NodeOf(tree.currentIndex()), tree.objectTree().root());

    // A new tree forgets where the last search stopped.
    bar.edit()->setText(QStringLiteral("EMP_V"));
    QTest::mouseClick(bar.findButton(), Qt::LeftButton);
    QVERIFY(window.lastFoundItem().has_value());
    prompts.sources.push_back(SourceSelection{folder_, system_});
    prompts.answers.push_back(true);
    window.OpenDatabase();
    QTRY_VERIFY_WITH_TIMEOUT(!window.ProcessRunning(), kTimeoutMs);
    QVERIFY(!window.lastFoundItem().has_value() || *window.lastFoundItem() == tree.objectTree().root());
  }
};

QTEST_MAIN(TreeFindTest)
#include "tree_find_test.moc"
