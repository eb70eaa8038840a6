// The tree drawing's outline and its outcomes' names, computed from the node tables without a display.
#include "core/diagram/outcome_label.h"
#include "core/diagram/tree_layout.h"
#include "core/tree/tree_node.h"
#include "core/tree/tree_texts.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <stdexcept>
#include <vector>

namespace {

using diagram::TreeLayout;
using diagram::outcomeLabel;
using tree::TreeOutcome;

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
