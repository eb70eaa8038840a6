// The whole primary amenorrhea tree: the three branch tables joined once.
#include "core/tree/tree_node.h"

#include <stdexcept>
#include <string>

namespace tree {

namespace {

std::vector<TreeNode> joinBranches()
{
    std::vector<TreeNode> all;
    all.reserve(kNodeCount);
    for (auto &&branch : {rootBranch(), absentBranch(), ambiguousBranch()})
        all.insert(all.end(), branch.begin(), branch.end());
    return all;
}

} // namespace

std::span<const TreeNode> nodes()
{
    static const std::vector<TreeNode> all = joinBranches();
    return all;
}

const TreeNode &node(int n)
{
    if (n < 1 || n > kNodeCount)
        throw std::out_of_range("tree::node: no node " + std::to_string(n) + " (the tree has nodes 1 to "
                                + std::to_string(kNodeCount) + ")");
    return nodes()[static_cast<std::size_t>(n - 1)];
}

} // namespace tree
