// The absent-secondary-sex-characteristics branch, nodes 7 to 13.
#include "core/tree/tree_node.h"
#include "core/tree/tree_texts.h"

namespace tree {

namespace {
constexpr int kH = kOptionHeight;
using Out = TreeOutcome;
using Role = TreeLabel::Role;
}

std::vector<TreeNode> absentBranch()
{
    return {
        // Node 7: frmAmPrm7 (height); the options' tab order runs from the bottom up (5, 4, 3)
        {
            .number = 7,
            .labels = {
                {"Label1", "Measure the patient's height.", Role::Question, {240, 240, 3015, 375}},
            },
            .options = {
                {"optShort", "Short", {240, 840, 1095, kH}, 5, Out::goTo(8)},
                {"optTall", "Tall", {240, 1440, 1095, kH}, 4, Out::recommend(kPureGonadalDysgenesisText)},
                {"optNormal", "Normal", {240, 2040, 1095, kH}, 3, Out::goTo(9)},
            },
            .sizeFactor = 0.75,
            .buttons = {.okLeft = 2400, .okTop = 840, .exitLeft = 2400, .exitTop = 1440,
                        .homeLeft = 2400, .homeTop = 2040, .homeTabIndex = 6},
        },
        // Node 8: frmAmPrm8 (Turner features and karyotype)
        {
            .number = 8,
            .labels = {
                {"Label1",
                 "Look for features of Turner's syndrome, such as webbing of neck, congenital heart disease, "
                 "and cubitus valgus. Obtain her karyotype.",
                 Role::Question, {120, 120, 4455, 1215}},
            },
            .options = {
                {"opt1", "Features present, karyotype 45,X", {120, 1440, 3255, kH}, 3,
                 Out::recommend(kTurnerSyndromeText)},
                {"opt2", "Features present, karyotype 46,XX", {120, 2040, 3375, kH}, 4,
                 Out::recommend(kNoonanSyndromeText)},
                {"opt3", "Features absent, loss of short arm of X-chromosome", {120, 2640, 3375, kH}, 5,
                 Out::recommend(kStreakGonadsText)},
            },
            .sizeFactor = 0.75,
            .buttons = {.okLeft = 3600, .okTop = 1560, .exitLeft = 3600, .exitTop = 2160,
                        .homeLeft = 3600, .homeTop = 2760, .homeTabIndex = 6},
        },
        // Node 9: frmAmPrm9 (serum FSH and LH)
        {
            .number = 9,
            .labels = {
                {"Label1", "Obtain the patient's serum FSH and LH levels.", Role::Question,
                 {240, 120, 4455, 615}},
            },
            .options = {
                {"optLow", "Low", {360, 1200, 1095, kH}, 3, Out::goTo(10)},
                {"optHigh", "High", {360, 1800, 1335, kH}, 4, Out::goTo(11)},
            },
            .sizeFactor = 0.75,
            .buttons = {.okLeft = 3120, .okTop = 960, .exitLeft = 3120, .exitTop = 1560,
                        .homeLeft = 3120, .homeTop = 2160, .homeTabIndex = 5},
        },
        // Node 10: frmAmPrm10 (other abnormalities); two columns, left column first;
        // the buttons stand in one row at top 2160
        {
            .number = 10,
            .labels = {
                {"Label1", "Look for other abnormalities.", Role::Question, {360, 120, 3015, 375}},
            },
            .options = {
                {"opt1", "Endocrine disorders", {120, 600, 2055, kH}, 3, Out::recommend(kEndocrineDisordersText)},
                {"opt2", "Gastrointestinal disorders", {120, 1080, 2175, kH}, 4,
                 Out::recommend(kGastrointestinalDisordersText)},
                {"opt3", "Neurological disorders", {120, 1560, 2295, kH}, 5,
                 Out::recommend(kNeurologicalDisordersText)},
                {"opt4", "Kallman syndrome", {2520, 600, 2055, kH}, 6, Out::recommend(kKallmanSyndromeText)},
                {"opt5", "Laurence-Moon-Biedl syndrome", {2520, 1080, 2175, kH}, 7,
                 Out::recommend(kLaurenceMoonBiedlText)},
            },
            .sizeFactor = 0.75,
            .buttons = {.okLeft = 960, .okTop = 2160, .exitLeft = 3120, .exitTop = 2160,
                        .homeLeft = 2040, .homeTop = 2160, .homeTabIndex = 8},
        },
        // Node 11: frmAmPrm11 (karyotype)
        {
            .number = 11,
            .labels = {
                {"Label1", "Obtain the patient's karyotype.", Role::Question, {240, 120, 3255, 495}},
            },
            .options = {
                {"optNormal", "Normal", {240, 960, 1095, kH}, 3, Out::goTo(12)},
                {"optXY", "XY", {240, 1440, 855, kH}, 4, Out::recommend(kSwyerSyndromeText)},
                {"optXiso", "X-isochromosome", {240, 1920, 1815, kH}, 5, Out::recommend(kXIsochromosomeText)},
            },
            .sizeFactor = 0.75,
            .buttons = {.okLeft = 3000, .okTop = 960, .exitLeft = 3000, .exitTop = 1440,
                        .homeLeft = 3000, .homeTop = 1920, .homeTabIndex = 6},
        },
        // Node 12: frmAmPrm12 (past history)
        {
            .number = 12,
            .labels = {
                {"Label1", "Check the past history of the patient.", Role::Question, {240, 120, 3855, 375}},
            },
            .options = {
                {"opt1", "Exposure to agents damaging gonads", {240, 720, 3615, kH}, 3,
                 Out::recommend(kGonadalDamageText)},
                {"opt2", "Family history", {240, 1200, 1695, kH}, 4, Out::recommend(kFamilialGonadalFailureText)},
                {"opt3", "Medical disorders", {240, 1680, 2055, kH}, 5, Out::recommend(kMedicalDisordersText)},
                {"opt4", "No past history", {240, 2160, 1935, kH}, 6, Out::goTo(13)},
            },
            .sizeFactor = 0.75,
            .buttons = {.okLeft = 3240, .okTop = 1200, .exitLeft = 3240, .exitTop = 1680,
                        .homeLeft = 3240, .homeTop = 2160, .homeTabIndex = 7},
        },
        // Node 13: frmAmPrm13 (laparoscopy and ovarian biopsy)
        {
            .number = 13,
            .labels = {
                {"Label1",
                 "Perform a laparoscopy and obtain an ovarian biopsy to differentiate between the following "
                 "conditions.",
                 Role::Question, {120, 0, 3855, 975}},
            },
            .options = {
                {"opt1", "Infiltrative ovarian disease", {120, 1440, 2655, kH}, 3,
                 Out::recommend(kInfiltrativeOvarianDiseaseText)},
                {"opt2", "Savage syndrome", {120, 1920, 2055, kH}, 4, Out::recommend(kSavageSyndromeText)},
            },
            .sizeFactor = 0.75,
            .buttons = {.okLeft = 3120, .okTop = 1200, .exitLeft = 3120, .exitTop = 1800,
                        .homeLeft = 3120, .homeTop = 2280, .homeTabIndex = 5},
        },
    };
}

} // namespace tree
