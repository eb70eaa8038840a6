// The tree drawing's outline and layout, computed from the node tables without a display.
#include "core/diagram/outcome_label.h"
#include "core/diagram/tree_layout.h"
#include "core/tree/tree_node.h"
#include "core/tree/tree_texts.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <map>
#include <set>
#include <stdexcept>
#include <vector>

namespace {

using Kind = TreeLayout::Kind;
using tree::TreeOutcome;

std::vector<TreeLayout::ItemSize> sizesFor(const TreeLayout &layout, double seed)
{
    // Uneven sizes on purpose: tall questions, wide labels, narrow leaves.
    std::vector<TreeLayout::ItemSize> sizes;
    double x = seed;
    for (const TreeLayout::Item &item : layout.items()) {
        x = x * 1.37 + 0.61;
        x -= double(long(x));
        const bool question = item.kind == Kind::GoToNode;
        sizes.push_back({{question ? 200.0 : 90 + 80 * x, question ? 40 + 90 * x : 30 + 40 * x},
                         {item.parent < 0 ? 0.0 : 30 + 150 * x, item.parent < 0 ? 0.0 : 14 + 30 * x}});
    }
    return sizes;
}

bool crosses(const TreeLayout::Point &a, const TreeLayout::Point &b, const TreeLayout::Rect &r)
{
    // The arrows run only across and down, so a segment is a thin rectangle.
    const TreeLayout::Rect segment{std::min(a.x, b.x), std::min(a.y, b.y), std::abs(a.x - b.x), std::abs(a.y - b.y)};
    return segment.x < r.right() && r.x < segment.right() && segment.y < r.bottom() && r.y < segment.bottom();
}

TEST(TreeLayout, RejectsTablesThatAreNoTree)
{
    using tree::TreeNode;
    auto node = [](int number, std::vector<int> to) {
        TreeNode n;
        n.number = number;
        for (int target : to)
            n.options.push_back({"opt", "x", {}, 0, TreeOutcome::goTo(target)});
        return n;
    };
    const std::vector<TreeNode> loop{node(1, {2}), node(2, {1})};
    const std::vector<TreeNode> twice{node(1, {2, 2}), node(2, {})};
    const std::vector<TreeNode> missing{node(1, {3}), node(2, {})};
    EXPECT_THROW(TreeLayout{loop}, std::invalid_argument);
    EXPECT_THROW(TreeLayout{twice}, std::invalid_argument);
    EXPECT_THROW(TreeLayout{missing}, std::invalid_argument);
    EXPECT_THROW(TreeLayout{std::vector<TreeNode>{}}, std::invalid_argument);

    const TreeLayout layout(tree::nodes());
    EXPECT_THROW(layout.place(std::vector<TreeLayout::ItemSize>(3)), std::invalid_argument);
}

TEST(TreeLayout, NothingOverlapsAndArrowsRunClearOfOtherBoxes)
{
    const TreeLayout layout(tree::nodes());
    const std::vector<TreeLayout::Item> &items = layout.items();
    for (double seed : {0.1, 0.42, 0.77}) {
        SCOPED_TRACE(seed);
        const std::vector<TreeLayout::ItemSize> sizes = sizesFor(layout, seed);
        const std::vector<TreeLayout::Placement> at = layout.place(sizes);
        ASSERT_EQ(at.size(), items.size());

        for (std::size_t i = 0; i < at.size(); ++i) {
            EXPECT_DOUBLE_EQ(at[i].box.width, sizes[i].box.width);
            EXPECT_DOUBLE_EQ(at[i].box.height, sizes[i].box.height);
            EXPECT_GT(at[i].box.x, -1e-9);
            for (std::size_t k = i + 1; k < at.size(); ++k) {
                EXPECT_FALSE(at[i].box.intersects(at[k].box)) << "boxes " << i << " and " << k;
                if (items[k].parent >= 0)
                    EXPECT_FALSE(at[i].box.intersects(at[k].label)) << "box " << i << ", label " << k;
                if (items[i].parent >= 0)
                    EXPECT_FALSE(at[k].box.intersects(at[i].label)) << "box " << k << ", label " << i;
                if (items[i].parent >= 0 && items[k].parent >= 0)
                    EXPECT_FALSE(at[i].label.intersects(at[k].label)) << "labels " << i << " and " << k;
            }
        }

        for (std::size_t i = 1; i < at.size(); ++i) {
            const std::size_t parent = std::size_t(items[i].parent);
            const std::vector<TreeLayout::Point> &arrow = at[i].arrow;
            ASSERT_GE(arrow.size(), 2u);
            EXPECT_DOUBLE_EQ(arrow.front().x, at[parent].box.centerX());
            EXPECT_DOUBLE_EQ(arrow.front().y, at[parent].box.bottom());
            // Into the top of its box, or into its side where outcomes hang in a column.
            if (items[i].stacked) {
                EXPECT_DOUBLE_EQ(arrow.back().x, at[i].box.x);
                EXPECT_DOUBLE_EQ(arrow.back().y, at[i].box.y + at[i].box.height / 2);
                EXPECT_LT(arrow[arrow.size() - 2].x, at[i].box.x);
            } else {
                EXPECT_DOUBLE_EQ(arrow.back().x, at[i].box.centerX());
                EXPECT_DOUBLE_EQ(arrow.back().y, at[i].box.y);
                EXPECT_LT(arrow[arrow.size() - 2].y, at[i].label.y);
            }
            // The label names the box right below it.
            EXPECT_NEAR(at[i].label.centerX(), at[i].box.centerX(), 1e-9);
            EXPECT_LT(at[i].label.bottom(), at[i].box.y);
            EXPECT_GT(at[i].label.bottom() + 16, at[i].box.y);
            for (std::size_t s = 0; s + 1 < arrow.size(); ++s) {
                EXPECT_TRUE(arrow[s].x == arrow[s + 1].x || arrow[s].y == arrow[s + 1].y);
                for (std::size_t k = 0; k < at.size(); ++k) {
                    if (k != i && k != parent)
                        EXPECT_FALSE(crosses(arrow[s], arrow[s + 1], at[k].box)) << "arrow " << i << " crosses box " << k;
                    if (k != i && items[k].parent >= 0)
                        EXPECT_FALSE(crosses(arrow[s], arrow[s + 1], at[k].label)) << "arrow " << i << " crosses label " << k;
                }
            }
        }
    }
}

TEST(TreeLayout, ParentsCentredOverTheirChildrenInOptionOrder)
{
    const TreeLayout layout(tree::nodes());
    const std::vector<TreeLayout::Item> &items = layout.items();
    const std::vector<TreeLayout::Placement> at = layout.place(sizesFor(layout, 0.3));
    for (std::size_t i = 0; i < at.size(); ++i) {
        const std::vector<int> &children = items[i].children;
        if (children.empty())
            continue;
        const TreeLayout::Rect &first = at[std::size_t(children.front())].box;
        const TreeLayout::Rect &last = at[std::size_t(children.back())].box;
        EXPECT_NEAR(at[i].box.centerX(), (first.centerX() + last.centerX()) / 2, 1e-9) << "item " << i;
        for (std::size_t j = 1; j < children.size(); ++j) {
            // Left to right, or top to bottom within a column.
            const std::size_t a = std::size_t(children[j - 1]), b = std::size_t(children[j]);
            if (items[a].stacked && items[b].stacked) {
                EXPECT_NEAR(at[a].box.centerX(), at[b].box.centerX(), 1e-9);
                EXPECT_LT(at[a].box.bottom(), at[b].label.y);
            } else {
                EXPECT_LT(at[a].box.right(), at[b].box.x);
            }
        }
        EXPECT_GT(first.y, at[i].box.bottom());
    }
}

TEST(TreeLayout, RunsOfOutcomesHangInColumns)
{
    const TreeLayout layout(tree::nodes());
    std::map<int, std::vector<bool>> stacked;  // node -> its options' items, stacked or not
    for (const TreeLayout::Item &item : layout.items())
        if (item.parent >= 0)
            stacked[layout.items()[std::size_t(item.parent)].node].push_back(item.stacked);
    // Node 10's five outcomes make one column; node 7's lone "Tall" and node 5's lone "Present" do not;
    // node 12's three outcomes hang together beside the way on to node 13.
    EXPECT_EQ(stacked[10], std::vector<bool>(5, true));
    EXPECT_EQ(stacked[7], (std::vector<bool>{false, false, false}));
    EXPECT_EQ(stacked[5], (std::vector<bool>{false, false}));
    EXPECT_EQ(stacked[12], (std::vector<bool>{true, true, true, false}));
    EXPECT_EQ(stacked[1], (std::vector<bool>{false, false}));
}

TEST(OutcomeLabel, NamesTheDiagnosisElseTheFirstSentence)
{
    EXPECT_EQ(outcomeLabel(tree::kTurnerSyndromeText), "Turner's syndrome");
    // The diagnosis need not come first.
    EXPECT_EQ(outcomeLabel(tree::kPureGonadalDysgenesisText), "Pure gonadal dysgenesis");
    EXPECT_EQ(outcomeLabel(tree::kVaginalAtresiaText), "Treat vaginal atresia by vaginoplasty");
    // A full stop inside a sentence does not end it.
    EXPECT_EQ(outcomeLabel(tree::kXIsochromosomeText),
              "Treat a case of X-isochromosome formation like a case of 45,X (Turner's syndrome)");
    EXPECT_EQ(outcomeLabel(tree::kSwyerSyndromeText),
              "Swyer's syndrome(46,XY pure gonadal dysgenesis) or 17 alpha hydroxylase deficiency in adrenals and gonads");
    EXPECT_EQ(outcomeLabel("No full stop"), "No full stop");
    EXPECT_EQ(outcomeLabel(""), "");
    EXPECT_EQ(outcomeLabel("The diagnosis is "), "The diagnosis is");
}

TEST(OutcomeLabel, EveryLabelIsWordsOfItsOwnText)
{
    std::set<std::string_view> texts;
    std::set<std::string> labels;
    for (const tree::TreeNode &node : tree::nodes()) {
        for (const tree::TreeOption &option : node.options) {
            if (!option.outcome.text)
                continue;
            const std::string_view text = *option.outcome.text;
            const std::string label = outcomeLabel(text);
            ASSERT_GT(label.size(), 1u) << text;
            EXPECT_NE(label.back(), '.');
            // Word for word from the text; only the first letter may have been made a capital.
            const std::size_t at = text.find(std::string_view(label).substr(1));
            ASSERT_NE(at, std::string_view::npos) << label;
            ASSERT_GT(at, 0u);
            EXPECT_EQ(std::tolower(static_cast<unsigned char>(text[at - 1])),
                      std::tolower(static_cast<unsigned char>(label[0])));
            texts.insert(text);
            labels.insert(label);
        }
    }
    EXPECT_EQ(labels.size(), texts.size()) << "two different texts share a label";
}

} // namespace
