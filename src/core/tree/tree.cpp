// The whole primary amenorrhea tree: the three branch tables joined once.
#include "core/tree/tree_node.h"

#include <stdexcept>
#include <string>

namespace tree {

std::span<const TreeNode> nodes()
{
    static const std::vector<TreeNode> all = [] {
        std::vector<TreeNode> joined;
        for (auto &&branch : {rootBranch(), absentBranch(), ambiguousBranch()})
            joined.insert(joined.end(), branch.begin(), branch.end());
        return joined;
    }();
    return all;
}

const TreeNode &node(int n)
{
    if (n < 1 || n > kNodeCount)
        throw std::out_of_range("tree::node: no node " + std::to_string(n));
    return nodes()[std::size_t(n - 1)];
}

} // namespace tree
