// The decision tree as a drawing's outline: every question and outcome once, in the order the
// drawing lists them. Plain C++, so the walk is checked without a display.
#pragma once

#include "core/tree/tree_node.h"

#include <span>
#include <string_view>
#include <vector>

namespace diagram {

class TreeLayout
{
public:
    // A box is a question (GoToNode, node 1 included) or where an option ends.
    using Kind = tree::TreeOutcome::Kind;

    struct Item {
        Kind kind = Kind::GoToNode;
        int node = 0;        // a question's own number; for an outcome, the node whose option it is
        int option = -1;     // an outcome's option, 0-based in its node's order; -1 for a question
        int parent = -1;     // index of the question above; -1 for node 1
        int depth = 0;       // node 1 is at depth 0
        const tree::TreeOption *via = nullptr;  // the option that leads here; none for node 1
        std::string_view text;                  // the question, or the outcome's full text
    };

    // Walks the tree from node 1; throws std::invalid_argument if the nodes do not form a tree.
    explicit TreeLayout(std::span<const tree::TreeNode> nodes);

    // Depth first: each question, then what its options lead to, in the options' order.
    const std::vector<Item> &items() const { return m_items; }

private:
    void addQuestion(std::span<const tree::TreeNode> nodes, int number, int parent, const tree::TreeOption *via,
                     std::vector<bool> &seen);

    std::vector<Item> m_items;
};

} // namespace diagram
