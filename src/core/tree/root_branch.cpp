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
            .buttons = {.ok = {3120, 2640}, .exit = {3120, 3120}, .home = {3120, 3600}},
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
            .buttons = {.ok = {3000, 840}, .exit = {3000, 1440}, .home = {3000, 2040}},
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
            .buttons = {.ok = {3120, 1080}, .exit = {3120, 1680}, .home = {3120, 2280}},
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
            .buttons = {.ok = {3360, 1320}, .exit = {3360, 2040}, .home = {3360, 2760}},
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
            .buttons = {.ok = {3240, 1440}, .exit = {3240, 2040}, .home = {3240, 2640}},
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
            .buttons = {.ok = {2520, 960}, .exit = {2520, 1560}, .home = {2520, 2160}},
        },
    };
}

} // namespace tree
