// The tree root and the outflow-tract branch, nodes 1 to 6.
#include "core/tree/tree_node.h"
#include "core/tree/tree_texts.h"

namespace tree {

namespace {
constexpr int kH = kOptionHeight;
using Out = TreeOutcome;
using Role = TreeLabel::Role;
}

std::vector<TreeNode> rootBranch()
{
    return {
        // Node 1: frmAmPrm1 (external genitalia)
        {
            .number = 1,
            .labels = {
                {"Label2", "Primary Amenorrhea", Role::Heading, {0, 0, 4695, 375}},
                {"Label1",
                 "It is diagnosed when a woman does not get menses by the age of 14 years in the absence of "
                 "secondary sex characteristics, and by the age of 16 years in the presence of secondary sex "
                 "characteristics.",
                 Role::Definition, {120, 480, 4335, 1455}},
                {"Label3", "Assess her external genitalia.", Role::Question, {120, 2040, 4695, 375}},
            },
            .options = {
                {"optNormal", "Normal", {120, 2880, 1095, kH}, 3, Out::goTo(2)},
                {"optAmbiguous", "Ambiguous", {120, 3480, 1335, kH}, 4, Out::goTo(14)},
            },
            .sizeFactor = 0.85,
            .buttons = {.okLeft = 3120, .okTop = 2640, .exitLeft = 3120, .exitTop = 3120,
                        .homeLeft = 3120, .homeTop = 3600, .homeTabIndex = 7},
        },
        // Node 2: frmAmPrm2 (secondary sex characteristics)
        {
            .number = 2,
            .labels = {
                {"Label1", "Assess her secondary sex characteristics.", Role::Question, {120, 240, 4215, 375}},
            },
            .options = {
                {"optNormal", "Normal", {240, 1080, 1095, kH}, 3, Out::goTo(3)},
                {"optAbsent", "Absent", {240, 1680, 1335, kH}, 4, Out::goTo(7)},
            },
            .sizeFactor = 0.75,
            .buttons = {.okLeft = 3000, .okTop = 840, .exitLeft = 3000, .exitTop = 1440,
                        .homeLeft = 3000, .homeTop = 2040, .homeTabIndex = 5},
        },
        // Node 3: frmAmPrm3 (outflow tract obstruction)
        {
            .number = 3,
            .labels = {
                {"Label1", "Look for any obstruction of the outflow tract of her genital system.", Role::Question,
                 {120, 120, 4455, 735}},
            },
            .options = {
                {"optPresent", "Present", {240, 1200, 1095, kH}, 3, Out::goTo(4)},
                {"optAbsent", "Absent", {240, 1800, 1335, kH}, 4, Out::goTo(5)},
            },
            .sizeFactor = 0.75,
            .buttons = {.okLeft = 3120, .okTop = 1080, .exitLeft = 3120, .exitTop = 1680,
                        .homeLeft = 3120, .homeTop = 2280, .homeTabIndex = 5},
        },
        // Node 4: frmAmPrm4 (nature of the obstruction)
        {
            .number = 4,
            .labels = {
                {"Label1",
                 "Determine the nature of the outflow tract obstruction by clinical examination and pelvic "
                 "ultrasonography.",
                 Role::Question, {120, 120, 4215, 975}},
            },
            .options = {
                {"opt1", "Imperforate hymen", {120, 1200, 1935, kH}, 3, Out::recommend(kImperforateHymenText)},
                {"opt2", "Transverse vaginal septum", {120, 1680, 2655, kH}, 4,
                 Out::recommend(kTransverseVaginalSeptumText)},
                {"opt3", "Vaginal atresia", {120, 2160, 1815, kH}, 5, Out::recommend(kVaginalAtresiaText)},
                {"opt4", "Cervical atresia", {120, 2640, 2175, kH}, 6, Out::recommend(kCervicalAtresiaText)},
            },
            .sizeFactor = 0.75,
            .buttons = {.okLeft = 3360, .okTop = 1320, .exitLeft = 3360, .exitTop = 2040,
                        .homeLeft = 3360, .homeTop = 2760, .homeTabIndex = 7},
        },
        // Node 5: frmAmPrm5 (functioning uterus); "Absent" stands above "Present"
        {
            .number = 5,
            .labels = {
                {"Label1",
                 "Assess for the presence of a functioning uterus by clinical examination and pelvic "
                 "ultrasonography.",
                 Role::Question, {240, 120, 4215, 975}},
            },
            .options = {
                {"optAbsent", "Absent", {360, 1680, 1095, kH}, 3, Out::goTo(6)},
                // No node of the tree: back to the topic list with our own closing message.
                {"optPresent", "Present", {360, 2280, 1335, kH}, 4, Out::backToTopics(kUterusPresentText)},
            },
            .sizeFactor = 0.75,
            .buttons = {.okLeft = 3240, .okTop = 1440, .exitLeft = 3240, .exitTop = 2040,
                        .homeLeft = 3240, .homeTop = 2640, .homeTabIndex = 5},
        },
        // Node 6: frmAmPrm6 (karyotype); captions without a blank after the comma
        {
            .number = 6,
            .labels = {
                {"Label1", "Determine the patient's karyotype.", Role::Question, {120, 360, 3615, 375}},
            },
            .options = {
                {"optXX", "46,XX", {240, 1320, 1095, kH}, 3, Out::recommend(kMullerianAgenesisText)},
                {"optXY", "46,XY", {240, 1920, 1335, kH}, 4, Out::recommend(kTotalAndrogenInsensitivityText)},
            },
            .sizeFactor = 0.75,
            .buttons = {.okLeft = 2520, .okTop = 960, .exitLeft = 2520, .exitTop = 1560,
                        .homeLeft = 2520, .homeTop = 2160, .homeTabIndex = 5},
        },
    };
}

} // namespace tree
