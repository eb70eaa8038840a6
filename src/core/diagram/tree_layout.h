// The decision tree as a drawing: which box hangs under which, and where each box, arrow and
// arrow label goes. Plain C++, so the layout is checked without a display.
#pragma once

#include "core/tree/tree_node.h"

#include <span>
#include <string_view>
#include <vector>

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
        std::vector<int> children;               // in the options' order
        const tree::TreeOption *via = nullptr;   // the option that leads here; none for node 1
        std::string_view text;                   // the question, or the outcome's full text
        bool stacked = false;                    // one of a run of outcomes drawn as a column
    };

    struct Size {
        double width = 0;
        double height = 0;
    };
    // An item's box, and the caption of the option that leads to it (empty for node 1).
    struct ItemSize {
        Size box;
        Size label;
    };

    struct Rect {
        double x = 0, y = 0, width = 0, height = 0;
        double right() const { return x + width; }
        double bottom() const { return y + height; }
        double centerX() const { return x + width / 2; }
        bool intersects(const Rect &o) const
        {
            return x < o.right() && o.x < right() && y < o.bottom() && o.y < bottom();
        }
    };
    struct Point {
        double x = 0, y = 0;
    };

    struct Placement {
        Rect box;
        Rect label;                // empty for node 1
        std::vector<Point> arrow;  // from the parent's bottom edge to this box's top edge; empty for node 1
    };

    struct Spacing {
        double siblingGap = 14;    // between neighbouring boxes of one row
        double busDrop = 14;       // from the bottom of a row to the line the arrows fan out from
        double labelGap = 6;       // between that line and the labels
        double arrowHead = 12;     // between a label and the box it points at
        double stackIndent = 18;   // from the line down a column of outcomes to the outcomes
        double stackGap = 10;      // between one outcome of a column and the next one's label
        double stackLabelGap = 3;  // between a label and its outcome in a column
    };

    // Walks the tree from node 1; throws std::invalid_argument if the nodes do not form a tree.
    explicit TreeLayout(std::span<const tree::TreeNode> nodes);

    // Depth first, each question before the items below it, in the options' order.
    const std::vector<Item> &items() const { return m_items; }
    int depthCount() const { return m_depthCount; }

    // Questions in rows by depth, node 1 at the top, each centred over what its options lead to.
    // Two or more outcomes in a row of options hang as a column under their question, so the
    // drawing grows down rather than sideways. Subtrees are packed as closely as their boxes,
    // labels and arrows allow; the leftmost of them is at x = 0.
    std::vector<Placement> place(std::span<const ItemSize> sizes, const Spacing &spacing) const;
    std::vector<Placement> place(std::span<const ItemSize> sizes) const { return place(sizes, Spacing{}); }

private:
    int previousSibling(int index) const;  // -1 for the first option's item
    int addQuestion(std::span<const tree::TreeNode> nodes, int number, int parent, const tree::TreeOption *via,
                    std::vector<bool> &seen);

    std::vector<Item> m_items;
    int m_depthCount = 0;
};
