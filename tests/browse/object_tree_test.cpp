#include <gtest/gtest.h>

#include "browse/catalogue_builder.h"
#include "browse/tree_generate.h"
#include "browse/tree_icons.h"

namespace quillon {
namespace {

using State = CheckState;

// SCOTT with two tables, HR with one, NOBODY without tables.
class CheckRulesTest : public ::testing::Test {
 protected:
  CheckRulesTest() : build(engine) {
    build.User("SCOTT");
    build.User("HR");
    build.User("NOBODY");
    build.Table("SCOTT", "EMP");
    build.Table("SCOTT", "DEPT");
    build.Table("HR", "REGIONS");
    tree = GenerateTree(engine, "DB");
  }

  NodeId At(std::initializer_list<std::string_view> path) const {
    const auto id = tree.Find(path);
    EXPECT_TRUE(id.has_value());
    return id.value_or(0);
  }
  State StateAt(std::initializer_list<std::string_view> path) const { return tree.node(At(path)).state; }

  NullSink sink;
  StopFlag stop;
  COracleRecoveryTools engine{sink, stop};
  test::CatalogueBuilder build;
  ObjectTree tree;
};

TEST_F(CheckRulesTest, EveryBoxStartsChecked) {
  EXPECT_EQ(StateAt({}), State::kChecked);
  EXPECT_EQ(StateAt({"Schema"}), State::kChecked);
  EXPECT_EQ(StateAt({"Schema", "NOBODY"}), State::kChecked);
  EXPECT_EQ(StateAt({"Schema", "NOBODY", "Tables"}), State::kNone);  // no table, no box
  EXPECT_EQ(StateAt({"Schema", "SCOTT", "Tables"}), State::kChecked);
  EXPECT_EQ(StateAt({"Schema", "SCOTT", "Tables", "EMP", "Columns"}), State::kNone);
  EXPECT_EQ(StateAt({"Schema", "SCOTT", "Views"}), State::kNone);
  EXPECT_EQ(StateAt({"Security"}), State::kNone);
  EXPECT_EQ(tree.CollectRepairTableList(), (std::vector<std::string>{"SCOTT.EMP", "SCOTT.DEPT", "HR.REGIONS"}));
}

TEST_F(CheckRulesTest, UserWithoutTablesGivesItsFolderTheNewState) {
  tree.ToggleCheck(At({"Schema", "NOBODY"}));
  EXPECT_EQ(StateAt({"Schema", "NOBODY"}), State::kUnchecked);
  EXPECT_EQ(StateAt({"Schema", "NOBODY", "Tables"}), State::kUnchecked);
  EXPECT_EQ(StateAt({"Schema"}), State::kPartial);
  EXPECT_EQ(StateAt({}), State::kPartial);
  tree.ToggleCheck(At({"Schema", "NOBODY"}));
  EXPECT_EQ(StateAt({"Schema", "NOBODY", "Tables"}), State::kChecked);
  EXPECT_EQ(StateAt({"Schema"}), State::kChecked);
  EXPECT_EQ(StateAt({}), State::kChecked);
}

TEST_F(CheckRulesTest, UncheckingTheOnlyTableUnchecksItsOwnerAndUp) {
  // HR has one table: unchecking it leaves HR unchecked; with SCOTT and
  // NOBODY unchecked as well Schema and the root follow.
  tree.ToggleCheck(At({"Schema", "SCOTT"}));
  tree.ToggleCheck(At({"Schema", "NOBODY"}));
  tree.ToggleCheck(At({"Schema", "HR", "Tables", "REGIONS"}));
  EXPECT_EQ(StateAt({"Schema", "HR", "Tables"}), State::kUnchecked);
  EXPECT_EQ(StateAt({"Schema", "HR"}), State::kUnchecked);
  EXPECT_EQ(StateAt({"Schema"}), State::kUnchecked);
  EXPECT_EQ(StateAt({}), State::kUnchecked);
  EXPECT_TRUE(tree.CollectRepairTableList().empty());
}

TEST_F(CheckRulesTest, OneOfTwoTablesMakesThemPartial) {
  tree.ToggleCheck(At({"Schema", "SCOTT"}));  // everything of SCOTT unchecked
  EXPECT_EQ(StateAt({"Schema", "SCOTT", "Tables", "EMP"}), State::kUnchecked);
  EXPECT_EQ(StateAt({"Schema", "SCOTT", "Tables", "DEPT"}), State::kUnchecked);
  tree.ToggleCheck(At({"Schema", "SCOTT", "Tables", "DEPT"}));
  EXPECT_EQ(StateAt({"Schema", "SCOTT", "Tables"}), State::kPartial);
  EXPECT_EQ(StateAt({"Schema", "SCOTT"}), State::kPartial);
  EXPECT_EQ(StateAt({"Schema"}), State::kPartial);
  EXPECT_EQ(StateAt({}), State::kPartial);
  EXPECT_EQ(tree.CollectRepairTableList(), (std::vector<std::string>{"SCOTT.DEPT", "HR.REGIONS"}));
  // A partial box becomes unchecked when pressed.
  tree.ToggleCheck(At({"Schema", "SCOTT"}));
  EXPECT_EQ(StateAt({"Schema", "SCOTT"}), State::kUnchecked);
  EXPECT_EQ(StateAt({"Schema", "SCOTT", "Tables", "DEPT"}), State::kUnchecked);
}

TEST_F(CheckRulesTest, RootAndSchemaReachEveryTable) {
  for (const auto& path : {std::initializer_list<std::string_view>{}, {"Schema"}}) {
    tree.ToggleCheck(At(path));
    for (const auto& table : {std::initializer_list<std::string_view>{"Schema", "SCOTT", "Tables", "EMP"},
                              {"Schema", "HR", "Tables", "REGIONS"}, {"Schema", "HR", "Tables"},
                              {"Schema", "NOBODY", "Tables"}, {"Schema", "NOBODY"}}) {
      EXPECT_EQ(StateAt(table), State::kUnchecked);
    }
    EXPECT_EQ(StateAt({"Schema", "SCOTT", "Tables", "EMP", "Columns"}), State::kNone);
    EXPECT_EQ(StateAt({"Schema", "SCOTT", "Views"}), State::kNone);
    EXPECT_EQ(StateAt({"Security"}), State::kNone);
    EXPECT_TRUE(tree.CollectRepairTableList().empty());
    tree.ToggleCheck(At(path));
    EXPECT_EQ(StateAt({"Schema", "HR", "Tables", "REGIONS"}), State::kChecked);
    EXPECT_EQ(StateAt({}), State::kChecked);
  }
}

TEST_F(CheckRulesTest, NodesWithoutBoxIgnoreThePress) {
  tree.ToggleCheck(At({"Security"}));
  tree.ToggleCheck(At({"Schema", "SCOTT", "Views"}));
  EXPECT_EQ(StateAt({"Security"}), State::kNone);
  EXPECT_EQ(StateAt({}), State::kChecked);
}

TEST_F(CheckRulesTest, RecomputeCountsOnlyBoxes) {
  ObjectTree t("R");
  const NodeId a = t.Add(t.root(), "A", 0, State::kUnchecked);
  t.Add(a, "no box", 0);
  t.RecomputeCheckState(a);  // no child with a box: checked
  EXPECT_EQ(t.node(a).state, State::kChecked);
  const NodeId b = t.Add(a, "B", 0, State::kPartial);
  t.RecomputeCheckState(a);
  EXPECT_EQ(t.node(a).state, State::kPartial);
  t.SetState(b, State::kUnchecked);
  t.RecomputeCheckState(a);
  EXPECT_EQ(t.node(a).state, State::kUnchecked);
  EXPECT_EQ(t.node(t.root()).state, State::kUnchecked);
}

TEST_F(CheckRulesTest, UncheckTableAfterItsRepair) {
  const std::vector<std::string> list = tree.CollectRepairTableList();
  ASSERT_EQ(list.size(), 3u);
  tree.UncheckTable(list, 1);  // SCOTT.DEPT
  EXPECT_EQ(StateAt({"Schema", "SCOTT", "Tables", "DEPT"}), State::kUnchecked);
  EXPECT_EQ(StateAt({"Schema", "SCOTT", "Tables", "EMP"}), State::kChecked);
  EXPECT_EQ(StateAt({"Schema", "SCOTT"}), State::kPartial);
  // An owner's empty Tables folder is cleared by every call.
  EXPECT_EQ(StateAt({"Schema", "NOBODY", "Tables"}), State::kUnchecked);
  EXPECT_EQ(StateAt({"Schema", "NOBODY"}), State::kUnchecked);
  // The owner part is compared without regard to case, the table part exactly.
  tree.UncheckTable({"hr.REGIONS", "HR.regions"}, 1);
  EXPECT_EQ(StateAt({"Schema", "HR", "Tables", "REGIONS"}), State::kChecked);
  tree.UncheckTable({"hr.REGIONS"}, 0);
  EXPECT_EQ(StateAt({"Schema", "HR", "Tables", "REGIONS"}), State::kUnchecked);
  EXPECT_EQ(StateAt({"Schema", "HR"}), State::kUnchecked);
  // Past the end of the list nothing matches.
  tree.UncheckTable(list, 99);
  EXPECT_EQ(StateAt({"Schema", "SCOTT", "Tables", "EMP"}), State::kChecked);
}

TEST_F(CheckRulesTest, FolderIconsFollowExpansion) {
  const NodeId tables = At({"Schema", "SCOTT", "Tables"});
  const NodeId columns = At({"Schema", "SCOTT", "Tables", "EMP", "Columns"});
  const NodeId owner = At({"Schema", "SCOTT"});
  const NodeId users = At({"Security", "Users"});
  for (const NodeId folder : {tables, columns}) {
    tree.SetExpanded(folder, true);
    EXPECT_EQ(tree.node(folder).icon, tree_icon::kFolderOpen);
    EXPECT_TRUE(tree.node(folder).expanded);
    tree.SetExpanded(folder, false);
    EXPECT_EQ(tree.node(folder).icon, tree_icon::kFolderClosed);
  }
  tree.SetExpanded(owner, true);
  EXPECT_EQ(tree.node(owner).icon, tree_icon::kOwner);
  tree.SetExpanded(users, true);
  EXPECT_EQ(tree.node(users).icon, tree_icon::kUsers);
}

}  // namespace
}  // namespace quillon
