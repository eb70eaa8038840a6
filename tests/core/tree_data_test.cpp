// Structural tests of the primary amenorrhea tree tables, computed from the tables themselves.
// Only a few texts are spot-checked: those whose oddities must survive. Every node's texts, tab
// order and where each option leads are pinned by the typed copy, and its places by its picture.
#include "core/tree/tree_node.h"
#include "core/tree/tree_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

using tree::TreeLabel;
using tree::TreeNode;
using tree::TreeOption;
using tree::TreeOutcome;
using Kind = TreeOutcome::Kind;

std::vector<const TreeOption *> allOptions()
{
    std::vector<const TreeOption *> out;
    for (const TreeNode &n : tree::nodes())
        for (const TreeOption &o : n.options)
            out.push_back(&o);
    return out;
}

const TreeOption &optionByControl(int node, std::string_view control)
{
    for (const TreeOption &o : tree::node(node).options)
        if (o.control == control)
            return o;
    throw std::out_of_range("no option " + std::string(control) + " on node " + std::to_string(node));
}

// ---------------------------------------------------------------- the tree as a whole

TEST(TreeData, SixteenNodesNumberedOneToSixteen)
{
    ASSERT_EQ(tree::nodes().size(), static_cast<std::size_t>(tree::kNodeCount));
    ASSERT_EQ(tree::kNodeCount, 16);
    for (std::size_t i = 0; i < tree::nodes().size(); ++i)
        EXPECT_EQ(tree::nodes()[i].number, static_cast<int>(i) + 1);
    for (int n = 1; n <= 16; ++n) {
        EXPECT_EQ(tree::node(n).number, n);
        EXPECT_EQ(&tree::node(n), &tree::nodes()[static_cast<std::size_t>(n - 1)]);
    }
}

TEST(TreeData, NodesAreBuiltOnce)
{
    EXPECT_EQ(tree::nodes().data(), tree::nodes().data());
}

TEST(TreeData, NodeOutsideOneToSixteenThrows)
{
    for (int n : {-1, 0, 17, 100})
        EXPECT_THROW(tree::node(n), std::out_of_range) << "n = " << n;
}

struct BranchCase {
    const char *name;
    std::vector<TreeNode> (*table)();
    int first;
    int last;
};

TEST(TreeData, BranchTablesHoldTheirNodesInOrder)
{
    const BranchCase cases[] = {
        {"rootBranch", &tree::rootBranch, 1, 6},
        {"absentBranch", &tree::absentBranch, 7, 13},
        {"ambiguousBranch", &tree::ambiguousBranch, 14, 16},
    };
    for (const BranchCase &c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<TreeNode> table = c.table();
        ASSERT_EQ(table.size(), static_cast<std::size_t>(c.last - c.first + 1));
        for (std::size_t i = 0; i < table.size(); ++i)
            EXPECT_EQ(table[i].number, c.first + static_cast<int>(i));
    }
}

TEST(TreeData, EveryNodeButTheRootIsTheTargetOfExactlyOneOption)
{
    std::map<int, int> incoming;
    for (const TreeOption *o : allOptions())
        if (o->outcome.kind == Kind::GoToNode)
            ++incoming[o->outcome.node];
    EXPECT_EQ(incoming.count(1), 0u) << "node 1 is opened only by the topic screen";
    for (int n = 2; n <= 16; ++n)
        EXPECT_EQ(incoming[n], 1) << "node " << n;
    EXPECT_EQ(incoming.size(), 15u);
}

TEST(TreeData, LinksGoForwardAndReachEveryNodeFromTheRoot)
{
    std::set<int> seen;
    std::vector<int> todo{1};
    while (!todo.empty()) {
        const int n = todo.back();
        todo.pop_back();
        ASSERT_TRUE(seen.insert(n).second) << "node " << n << " reached twice";
        for (const TreeOption &o : tree::node(n).options)
            if (o.outcome.kind == Kind::GoToNode) {
                EXPECT_GT(o.outcome.node, n) << "node " << n << " " << o.control;
                todo.push_back(o.outcome.node);
            }
    }
    EXPECT_EQ(seen.size(), 16u);
}

TEST(TreeData, EveryOptionLeadsSomewhere)
{
    for (const TreeNode &n : tree::nodes())
        for (const TreeOption &o : n.options) {
            SCOPED_TRACE("node " + std::to_string(n.number) + " " + std::string(o.control));
            switch (o.outcome.kind) {
            case Kind::GoToNode:
                EXPECT_GE(o.outcome.node, 1);
                EXPECT_LE(o.outcome.node, tree::kNodeCount);
                EXPECT_NE(o.outcome.node, n.number);
                EXPECT_EQ(o.outcome.text, nullptr);
                break;
            case Kind::Recommendation:
            case Kind::BackToTopics:
                ASSERT_NE(o.outcome.text, nullptr);
                EXPECT_FALSE(o.outcome.text->empty());
                EXPECT_EQ(o.outcome.node, 0);
                break;
            }
        }
}

TEST(TreeData, NodeFivePresentIsTheOnlyWayBackToTheTopics)
{
    std::vector<std::pair<int, std::string_view>> back;
    for (const TreeNode &n : tree::nodes())
        for (const TreeOption &o : n.options)
            if (o.outcome.kind == Kind::BackToTopics)
                back.emplace_back(n.number, o.control);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].first, 5);
    EXPECT_EQ(back[0].second, "optPresent");
    EXPECT_EQ(optionByControl(5, "optPresent").caption, "Present");
    EXPECT_EQ(optionByControl(5, "optPresent").outcome.text, &tree::kUterusPresentText);
}

TEST(TreeData, TwentyEightRecommendationsWithTwentySevenTexts)
{
    std::map<const std::string_view *, int> byPointer;
    std::map<std::string_view, int> byContent;
    int recommendations = 0;
    for (const TreeOption *o : allOptions())
        if (o->outcome.kind == Kind::Recommendation) {
            ++recommendations;
            ++byPointer[o->outcome.text];
            ++byContent[*o->outcome.text];
        }
    EXPECT_EQ(recommendations, 28);
    EXPECT_EQ(byPointer.size(), 27u);
    EXPECT_EQ(byContent.size(), 27u);

    // The one shared text is the female pseudohermaphroditism text, held once.
    std::vector<const std::string_view *> shared;
    for (const auto &[text, count] : byPointer)
        if (count > 1)
            shared.push_back(text);
    ASSERT_EQ(shared.size(), 1u);
    EXPECT_EQ(shared[0], &tree::kFemalePseudohermaphroditismText);
    EXPECT_EQ(byPointer[shared[0]], 2);
    EXPECT_EQ(optionByControl(14, "opt3").outcome.text, &tree::kFemalePseudohermaphroditismText);
    EXPECT_EQ(optionByControl(15, "opt1").outcome.text, &tree::kFemalePseudohermaphroditismText);

    // The closing text of node 5 "Present" is none of the recommendations.
    EXPECT_EQ(byContent.count(tree::kUterusPresentText), 0u);
}

// ---------------------------------------------------------------- node by node

class EachNode : public ::testing::TestWithParam<int> {
protected:
    const TreeNode &n() const { return tree::node(GetParam()); }
};

TEST_P(EachNode, LabelsAndCaptionsAreNotEmpty)
{
    ASSERT_FALSE(n().labels.empty());
    for (const TreeLabel &l : n().labels)
        EXPECT_FALSE(l.text.empty()) << l.control;
    for (const TreeOption &o : n().options)
        EXPECT_FALSE(o.caption.empty()) << o.control;
    if (n().number != 1) {
        ASSERT_EQ(n().labels.size(), 1u);
        EXPECT_EQ(n().labels[0].control, "Label1");
        EXPECT_EQ(n().labels[0].role, TreeLabel::Role::Question);
    }
}

TEST_P(EachNode, ControlNamesAreUnique)
{
    std::set<std::string_view> names{"cmdOK", "cmdExit", "cmdHome"};
    for (const TreeLabel &l : n().labels)
        EXPECT_TRUE(names.insert(l.control).second) << l.control;
    for (const TreeOption &o : n().options) {
        EXPECT_TRUE(names.insert(o.control).second) << o.control;
        EXPECT_TRUE(o.control.starts_with("opt")) << o.control;
    }
}

INSTANTIATE_TEST_SUITE_P(Nodes, EachNode, ::testing::Range(1, tree::kNodeCount + 1),
                         [](const ::testing::TestParamInfo<int> &info) {
                             return "node" + std::to_string(info.param);
                         });

} // namespace
