// The whole primary amenorrhea tree: the three branch tables joined once.
#include "core/tree/tree_node.h"

namespace tree {

namespace {

const std::vector<TreeNode> &allNodes()
{
    static const std::vector<TreeNode> all = [] {
        std::vector<TreeNode> joined;
        for (auto &&branch : {rootBranch(), absentBranch(), ambiguousBranch()})
            joined.insert(joined.end(), branch.begin(), branch.end());
        return joined;
    }();
    return all;
}

} // namespace

std::span<const TreeNode> nodes()
{
    return allNodes();
}

const TreeNode &node(int n)
{
    // n - 1 wraps round to a huge index below 1, so at() throws there too.
    return allNodes().at(std::size_t(n - 1));
}

} // namespace tree
