#include "core/diagram/tree_layout.h"

#include <stdexcept>
#include <string>

namespace diagram {

namespace {

std::string_view questionText(const tree::TreeNode &node)
{
    for (const tree::TreeLabel &label : node.labels)
        if (label.role == tree::TreeLabel::Role::Question)
            return label.text;
    return node.labels.empty() ? std::string_view{} : node.labels.front().text;
}

} // namespace

TreeLayout::TreeLayout(std::span<const tree::TreeNode> nodes)
{
    if (nodes.empty())
        throw std::invalid_argument("TreeLayout: the tree has no nodes");
    std::vector<bool> seen(nodes.size() + 1, false);
    addQuestion(nodes, 1, -1, nullptr, seen);
}

void TreeLayout::addQuestion(std::span<const tree::TreeNode> nodes, int number, int parent,
                             const tree::TreeOption *via, std::vector<bool> &seen)
{
    if (number < 1 || std::size_t(number) > nodes.size() || nodes[std::size_t(number - 1)].number != number)
        throw std::invalid_argument("TreeLayout: an option leads to node " + std::to_string(number)
                                    + ", which is not in the tree");
    if (seen[std::size_t(number)])
        throw std::invalid_argument("TreeLayout: node " + std::to_string(number) + " is reached twice");
    seen[std::size_t(number)] = true;

    const tree::TreeNode &node = nodes[std::size_t(number - 1)];
    const int depth = parent < 0 ? 0 : m_items[std::size_t(parent)].depth + 1;
    const int index = int(m_items.size());
    m_items.push_back({Kind::GoToNode, number, -1, parent, depth, via, questionText(node)});

    for (std::size_t j = 0; j < node.options.size(); ++j) {
        const tree::TreeOption &option = node.options[j];
        if (option.outcome.kind == Kind::GoToNode)
            addQuestion(nodes, option.outcome.node, index, &option, seen);
        else
            m_items.push_back({option.outcome.kind, number, int(j), index, depth + 1, &option,
                               option.outcome.text ? *option.outcome.text : std::string_view{}});
    }
}

} // namespace diagram
