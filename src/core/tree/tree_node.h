// The primary amenorrhea decision tree as plain data: one TreeNode a question screen.
// Places are in twips (1/1440 inch) relative to the screen's client area.
#pragma once

#include <span>
#include <string_view>
#include <vector>

namespace tree {

struct Place {
    int left = 0, top = 0, width = 0, height = 0;
};

// What choosing an option and pressing OK leads to.
struct TreeOutcome {
    enum class Kind {
        GoToNode,        // close this screen, open node `node`
        Recommendation,  // show `text` in a message box; the screen stays open
        BackToTopics,    // the tree ends here: close this screen, show the topic list, then `text`
    };
    Kind kind = Kind::GoToNode;
    int node = 0;
    // Points at one of the shared texts in tree_texts.h, so a text shown by two options is held once.
    const std::string_view *text = nullptr;

    static constexpr TreeOutcome goTo(int n) { return {Kind::GoToNode, n, nullptr}; }
    static constexpr TreeOutcome recommend(const std::string_view &t) { return {Kind::Recommendation, 0, &t}; }
    static constexpr TreeOutcome backToTopics(const std::string_view &t) { return {Kind::BackToTopics, 0, &t}; }
};

struct TreeOption {
    std::string_view control;  // e.g. "optNormal", "opt1"
    std::string_view caption;
    Place place;
    int tabIndex = 0;
    TreeOutcome outcome;
};

struct TreeLabel {
    enum class Role {
        Question,    // Times New Roman 12 pt bold, blue
        Heading,     // node 1: Times New Roman 18 pt bold, red, centred
        Definition,  // node 1: Times New Roman 12 pt bold, default text colour
    };
    std::string_view control;  // "Label1", "Label2", "Label3"
    std::string_view text;
    Place place;
    Role role = Role::Question;
};

struct Corner {
    int left = 0, top = 0;
};

// The top left corners of a question screen's buttons; in the tab order OK comes first, Exit second, Home last.
struct TreeButtons {
    Corner ok;
    Corner exit;
    Corner home;
};

struct TreeNode {
    int number = 0;                    // 1 to 16; the screen is frmAmPrm<number>
    std::vector<TreeLabel> labels;     // nodes 2 to 16: Label1 only; node 1: Label2, Label1, Label3
    std::vector<TreeOption> options;   // screen order, which is also the order OK examines them in
    double sizeFactor = 0.75;          // fraction of the display's width and height
    TreeButtons buttons;
};

inline constexpr std::string_view kCaption = "Primary Amenorrhea";
inline constexpr int kOptionHeight = 375;
inline constexpr int kButtonWidth = 735;
inline constexpr int kButtonHeight = 375;
inline constexpr int kNodeCount = 16;

// The whole tree, nodes 1 to 16 in order (node n at index n - 1).
std::span<const TreeNode> nodes();
// Node n (1 to 16); throws std::out_of_range otherwise.
const TreeNode &node(int n);

// One table per branch; nodes() joins them.
std::vector<TreeNode> rootBranch();       // nodes 1 to 6
std::vector<TreeNode> absentBranch();     // nodes 7 to 13
std::vector<TreeNode> ambiguousBranch();  // nodes 14 to 16

} // namespace tree
