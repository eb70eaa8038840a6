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
            .buttons = {.ok = {2400, 840}, .exit = {2400, 1440}, .home = {2400, 2040}},
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
            .buttons = {.ok = {3600, 1560}, .exit = {3600, 2160}, .home = {3600, 2760}},
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
            .buttons = {.ok = {3120, 960}, .exit = {3120, 1560}, .home = {3120, 2160}},
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
            .buttons = {.ok = {960, 2160}, .exit = {3120, 2160}, .home = {2040, 2160}},
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
            .buttons = {.ok = {3000, 960}, .exit = {3000, 1440}, .home = {3000, 1920}},
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
            .buttons = {.ok = {3240, 1200}, .exit = {3240, 1680}, .home = {3240, 2160}},
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
            .buttons = {.ok = {3120, 1200}, .exit = {3120, 1800}, .home = {3120, 2280}},
        },
    };
}

} // namespace tree
