#include "core/diagram/tree_layout.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <string>

namespace {

using tree::TreeLabel;
using tree::TreeNode;
using tree::TreeOutcome;

std::string_view questionText(const TreeNode &node)
{
    for (const TreeLabel &label : node.labels)
        if (label.role == TreeLabel::Role::Question)
            return label.text;
    return node.labels.empty() ? std::string_view{} : node.labels.front().text;
}

using Rect = TreeLayout::Rect;

constexpr double kLine = 1;  // half the thickness an arrow's stretch keeps clear

Rect shifted(Rect r, double dx)
{
    r.x += dx;
    return r;
}

Rect vertical(double x, double top, double bottom)
{
    return {x - kLine, top, 2 * kLine, bottom - top};
}

Rect horizontal(double left, double right, double y)
{
    return {left, y - kLine, right - left, 2 * kLine};
}

// What a unit under a question occupies, relative to where its arrow comes down.
struct Unit {
    std::vector<int> members;  // one subtree's top item, or a column of outcomes
    bool column = false;
    std::vector<Rect> rects;
    double centre = 0;  // the middle of its boxes, relative to where the arrow comes down
};

// Everything is placed in height first; then subtrees are pushed sideways until nothing overlaps.
struct Packer {
    const std::vector<TreeLayout::Item> &items;
    const TreeLayout::Spacing &spacing;
    const std::vector<TreeLayout::Rect> &boxes;   // heights and tops set; x relative to the item's centre
    const std::vector<TreeLayout::Rect> &labels;  // likewise
    const std::vector<double> &busY;
    std::vector<double> offset;  // each item's centre relative to its parent's centre
    std::vector<double> line;    // for an outcome in a column: its arrows' line, likewise

    // The rects of item i's subtree, relative to its centre.
    std::vector<Rect> shape(int i)
    {
        const TreeLayout::Item &item = items[std::size_t(i)];
        std::vector<Rect> rects{boxes[std::size_t(i)]};
        if (item.parent >= 0)
            rects.push_back(labels[std::size_t(i)]);
        if (item.children.empty())
            return rects;

        const double bus = busY[std::size_t(item.depth)];
        std::vector<Unit> units = group(item);
        for (Unit &unit : units)
            outline(unit, bus);
        std::vector<Rect> packed;
        const std::vector<double> at = pack(units, packed);

        const double middle = (at.front() + units.front().centre + at.back() + units.back().centre) / 2;
        double busLeft = 0, busRight = 0;
        for (std::size_t u = 0; u < units.size(); ++u) {
            const double drop = at[u] - middle;
            busLeft = std::min(busLeft, drop);
            busRight = std::max(busRight, drop);
            for (int member : units[u].members) {
                offset[std::size_t(member)] = drop + units[u].centre;
                line[std::size_t(member)] = drop;
            }
        }
        for (const Rect &r : packed)
            rects.push_back(shifted(r, -middle));
        const Rect &own = boxes[std::size_t(i)];
        rects.push_back(vertical(0, own.bottom(), bus));
        rects.push_back(horizontal(busLeft - kLine, busRight + kLine, bus));
        return rects;
    }

private:
    // A question's options in order: each subtree a unit of its own, each run of stacked outcomes one column.
    std::vector<Unit> group(const TreeLayout::Item &item) const
    {
        std::vector<Unit> units;
        for (int child : item.children) {
            const bool stacked = items[std::size_t(child)].stacked;
            if (stacked && !units.empty() && units.back().column)
                units.back().members.push_back(child);
            else
                units.push_back({{child}, stacked, {}, 0});
        }
        return units;
    }

    // What the unit occupies, relative to where its arrow comes down from the bus.
    void outline(Unit &unit, double bus)
    {
        if (!unit.column) {
            const int child = unit.members.front();
            unit.rects = shape(child);
            unit.rects.push_back(vertical(0, bus, boxes[std::size_t(child)].y));
            return;
        }
        // A column: the arrows run down a line at x = 0 and turn right into each outcome.
        double widest = 0, lastMiddle = bus;
        for (int leaf : unit.members)
            widest = std::max(widest, boxes[std::size_t(leaf)].width);
        unit.centre = spacing.stackIndent + widest / 2;
        for (int leaf : unit.members) {
            const Rect &box = boxes[std::size_t(leaf)];
            unit.rects.push_back(shifted(box, unit.centre));
            unit.rects.push_back(shifted(labels[std::size_t(leaf)], unit.centre));
            lastMiddle = box.y + box.height / 2;
            unit.rects.push_back(horizontal(0, unit.centre + box.x, lastMiddle));
        }
        unit.rects.push_back(vertical(0, bus, lastMiddle));
    }

    // Each unit goes as far left as the ones before it allow; returns where each one's arrow comes down.
    std::vector<double> pack(const std::vector<Unit> &units, std::vector<Rect> &packed) const
    {
        std::vector<double> at;
        for (const Unit &unit : units) {
            double x = 0;
            if (!at.empty()) {
                x = at.back() + 1;
                for (const Rect &left : packed)
                    for (const Rect &right : unit.rects)
                        if (left.y < right.bottom() && right.y < left.bottom())
                            x = std::max(x, left.right() - right.x + spacing.siblingGap);
            }
            at.push_back(x);
            for (const Rect &r : unit.rects)
                packed.push_back(shifted(r, x));
        }
        return at;
    }
};

} // namespace

TreeLayout::TreeLayout(std::span<const tree::TreeNode> nodes)
{
    if (nodes.empty())
        throw std::invalid_argument("TreeLayout: the tree has no nodes");
    std::vector<bool> seen(nodes.size() + 1, false);
    addQuestion(nodes, 1, -1, nullptr, seen);
    for (const Item &item : m_items)
        m_depthCount = std::max(m_depthCount, item.depth + 1);

    // Runs of two or more outcomes among a question's options hang as a column.
    for (Item &question : m_items) {
        const std::vector<int> &children = question.children;
        for (std::size_t start = 0; start < children.size();) {
            std::size_t end = start;
            while (end < children.size() && m_items[std::size_t(children[end])].kind != Kind::GoToNode)
                ++end;
            if (end - start >= 2)
                for (std::size_t k = start; k < end; ++k)
                    m_items[std::size_t(children[k])].stacked = true;
            start = std::max(end, start + 1);
        }
    }
}

int TreeLayout::addQuestion(std::span<const tree::TreeNode> nodes, int number, int parent,
                            const tree::TreeOption *via, std::vector<bool> &seen)
{
    if (number < 1 || std::size_t(number) > nodes.size() || nodes[std::size_t(number - 1)].number != number)
        throw std::invalid_argument("TreeLayout: an option leads to node " + std::to_string(number)
                                    + ", which is not in the tree");
    if (seen[std::size_t(number)])
        throw std::invalid_argument("TreeLayout: node " + std::to_string(number) + " is reached twice");
    seen[std::size_t(number)] = true;

    const TreeNode &node = nodes[std::size_t(number - 1)];
    const int depth = parent < 0 ? 0 : m_items[std::size_t(parent)].depth + 1;
    const int index = int(m_items.size());
    m_items.push_back({Kind::GoToNode, number, -1, parent, depth, {}, via, questionText(node)});

    for (std::size_t j = 0; j < node.options.size(); ++j) {
        const tree::TreeOption &option = node.options[j];
        int child = 0;
        if (option.outcome.kind == TreeOutcome::Kind::GoToNode) {
            child = addQuestion(nodes, option.outcome.node, index, &option, seen);
        } else {
            child = int(m_items.size());
            m_items.push_back({option.outcome.kind, number, int(j), index, depth + 1, {}, &option,
                               option.outcome.text ? *option.outcome.text : std::string_view{}});
        }
        m_items[std::size_t(index)].children.push_back(child);
    }
    return index;
}

std::vector<TreeLayout::Placement> TreeLayout::place(std::span<const ItemSize> sizes, const Spacing &spacing) const
{
    if (sizes.size() != m_items.size())
        throw std::invalid_argument("TreeLayout::place: one size an item");

    // Rows: each as tall as its tallest box, with room above for the tallest label that points into it.
    // An outcome in a column counts only for the label above the column.
    const std::size_t rows = std::size_t(m_depthCount);
    std::vector<double> rowHeight(rows, 0), labelHeight(rows, 0);
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        const Item &item = m_items[i];
        const std::size_t d = std::size_t(item.depth);
        const int before = previousSibling(int(i));
        const bool firstInColumn = item.stacked && (before < 0 || !m_items[std::size_t(before)].stacked);
        if (!item.stacked)
            rowHeight[d] = std::max(rowHeight[d], sizes[i].box.height);
        if (!item.stacked || firstInColumn)
            labelHeight[d] = std::max(labelHeight[d], sizes[i].label.height);
    }
    std::vector<double> rowTop(rows, 0), busY(rows, 0);
    for (std::size_t d = 0; d < rows; ++d) {
        if (d > 0)
            rowTop[d] = busY[d - 1] + spacing.labelGap + labelHeight[d] + spacing.arrowHead;
        busY[d] = rowTop[d] + rowHeight[d] + spacing.busDrop;
    }

    // Heights first: boxes and labels with x relative to each item's own centre.
    std::vector<Rect> boxes(m_items.size()), labels(m_items.size());
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        const Item &item = m_items[i];
        const Size box = sizes[i].box, label = sizes[i].label;
        double top = rowTop[std::size_t(item.depth)];
        double labelTop = top - spacing.arrowHead - label.height;
        if (item.stacked) {
            const int before = previousSibling(int(i));
            if (before >= 0 && m_items[std::size_t(before)].stacked)
                labelTop = boxes[std::size_t(before)].bottom() + spacing.stackGap;
            else
                labelTop = top - spacing.stackLabelGap - label.height;
            top = labelTop + label.height + spacing.stackLabelGap;
        }
        boxes[i] = {-box.width / 2, top, box.width, box.height};
        labels[i] = {-label.width / 2, labelTop, label.width, label.height};
    }

    Packer packer{m_items, spacing, boxes, labels, busY, std::vector<double>(m_items.size(), 0),
                  std::vector<double>(m_items.size(), 0)};
    const std::vector<Rect> whole = packer.shape(0);
    double leftmost = std::numeric_limits<double>::infinity();
    for (const Rect &r : whole)
        leftmost = std::min(leftmost, r.x);

    // Items come parents first, so one pass turns offsets into centres.
    std::vector<double> centre(m_items.size(), -leftmost);
    for (std::size_t i = 1; i < m_items.size(); ++i)
        centre[i] = centre[std::size_t(m_items[i].parent)] + packer.offset[i];

    std::vector<Placement> out(m_items.size());
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        const Item &item = m_items[i];
        Placement &p = out[i];
        p.box = shifted(boxes[i], centre[i]);
        if (item.parent < 0)
            continue;
        p.label = shifted(labels[i], centre[i]);

        const Rect &from = out[std::size_t(item.parent)].box;
        const double bus = busY[std::size_t(m_items[std::size_t(item.parent)].depth)];
        std::vector<Point> points{{from.centerX(), from.bottom()}, {from.centerX(), bus}};
        if (item.stacked) {
            const double line = centre[std::size_t(item.parent)] + packer.line[i];
            const double middle = p.box.y + p.box.height / 2;
            points.insert(points.end(), {{line, bus}, {line, middle}, {p.box.x, middle}});
        } else {
            points.insert(points.end(), {{p.box.centerX(), bus}, {p.box.centerX(), p.box.y}});
        }
        for (const Point &point : points) {
            if (p.arrow.empty() || p.arrow.back().x != point.x || p.arrow.back().y != point.y)
                p.arrow.push_back(point);
        }
    }
    return out;
}

int TreeLayout::previousSibling(int index) const
{
    const int parent = m_items[std::size_t(index)].parent;
    if (parent < 0)
        return -1;
    const std::vector<int> &siblings = m_items[std::size_t(parent)].children;
    const auto at = std::find(siblings.begin(), siblings.end(), index);
    return at == siblings.begin() ? -1 : *(at - 1);
}
