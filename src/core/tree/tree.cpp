// The primary amenorrhea tree: one table a branch, the three joined once.
#include "core/tree/tree_node.h"
#include "core/tree/tree_texts.h"

#include <stdexcept>
#include <string>

namespace tree {

constexpr int kH = kOptionHeight;
using Out = TreeOutcome;
using Role = TreeLabel::Role;

std::vector<TreeNode> rootBranch()
{
    return {
        {
            .number = 1,
            .labels = {
                {"Label2", "Primary Amenorrhea", {0, 0, 4695, 375}, Role::Heading},
                {"Label1",
                 "It is diagnosed when a woman does not get menses by the age of 14 years in the absence of "
                 "secondary sex characteristics, and by the age of 16 years in the presence of secondary sex "
                 "characteristics.", {120, 480, 4335, 1455}, Role::Definition},
                {"Label3", "Assess her external genitalia.", {120, 2040, 4695, 375}},
            },
            .options = {
                {"optNormal", "Normal", {120, 2880, 1095, kH}, 3, Out::goTo(2)},
                {"optAmbiguous", "Ambiguous", {120, 3480, 1335, kH}, 4, Out::goTo(14)},
            },
            .sizeFactor = 0.85,
            .buttons = {.ok = {3120, 2640}, .exit = {3120, 3120}, .home = {3120, 3600}},
        },
        {
            .number = 2,
            .labels = {
                {"Label1", "Assess her secondary sex characteristics.", {120, 240, 4215, 375}},
            },
            .options = {
                {"optNormal", "Normal", {240, 1080, 1095, kH}, 3, Out::goTo(3)},
                {"optAbsent", "Absent", {240, 1680, 1335, kH}, 4, Out::goTo(7)},
            },
            .buttons = {.ok = {3000, 840}, .exit = {3000, 1440}, .home = {3000, 2040}},
        },
        {
            .number = 3,
            .labels = {
                {"Label1", "Look for any obstruction of the outflow tract of her genital system.",
                 {120, 120, 4455, 735}},
            },
            .options = {
                {"optPresent", "Present", {240, 1200, 1095, kH}, 3, Out::goTo(4)},
                {"optAbsent", "Absent", {240, 1800, 1335, kH}, 4, Out::goTo(5)},
            },
            .buttons = {.ok = {3120, 1080}, .exit = {3120, 1680}, .home = {3120, 2280}},
        },
        {
            .number = 4,
            .labels = {
                {"Label1",
                 "Determine the nature of the outflow tract obstruction by clinical examination and pelvic "
                 "ultrasonography.", {120, 120, 4215, 975}},
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
        // "Absent" stands above "Present".
        {
            .number = 5,
            .labels = {
                {"Label1",
                 "Assess for the presence of a functioning uterus by clinical examination and pelvic "
                 "ultrasonography.", {240, 120, 4215, 975}},
            },
            .options = {
                {"optAbsent", "Absent", {360, 1680, 1095, kH}, 3, Out::goTo(6)},
                {"optPresent", "Present", {360, 2280, 1335, kH}, 4, Out::backToTopics(kUterusPresentText)},
            },
            .buttons = {.ok = {3240, 1440}, .exit = {3240, 2040}, .home = {3240, 2640}},
        },
        // Captions without a blank after the comma.
        {
            .number = 6,
            .labels = {
                {"Label1", "Determine the patient's karyotype.", {120, 360, 3615, 375}},
            },
            .options = {
                {"optXX", "46,XX", {240, 1320, 1095, kH}, 3, Out::recommend(kMullerianAgenesisText)},
                {"optXY", "46,XY", {240, 1920, 1335, kH}, 4, Out::recommend(kTotalAndrogenInsensitivityText)},
            },
            .buttons = {.ok = {2520, 960}, .exit = {2520, 1560}, .home = {2520, 2160}},
        },
    };
}

std::vector<TreeNode> absentBranch()
{
    return {
        // The options' tab order runs from the bottom up (5, 4, 3).
        {
            .number = 7,
            .labels = {
                {"Label1", "Measure the patient's height.", {240, 240, 3015, 375}},
            },
            .options = {
                {"optShort", "Short", {240, 840, 1095, kH}, 5, Out::goTo(8)},
                {"optTall", "Tall", {240, 1440, 1095, kH}, 4, Out::recommend(kPureGonadalDysgenesisText)},
                {"optNormal", "Normal", {240, 2040, 1095, kH}, 3, Out::goTo(9)},
            },
            .buttons = {.ok = {2400, 840}, .exit = {2400, 1440}, .home = {2400, 2040}},
        },
        {
            .number = 8,
            .labels = {
                {"Label1",
                 "Look for features of Turner's syndrome, such as webbing of neck, congenital heart disease, "
                 "and cubitus valgus. Obtain her karyotype.", {120, 120, 4455, 1215}},
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
        {
            .number = 9,
            .labels = {
                {"Label1", "Obtain the patient's serum FSH and LH levels.", {240, 120, 4455, 615}},
            },
            .options = {
                {"optLow", "Low", {360, 1200, 1095, kH}, 3, Out::goTo(10)},
                {"optHigh", "High", {360, 1800, 1335, kH}, 4, Out::goTo(11)},
            },
            .buttons = {.ok = {3120, 960}, .exit = {3120, 1560}, .home = {3120, 2160}},
        },
        // Two columns, left column first; the buttons stand in one row at top 2160.
        {
            .number = 10,
            .labels = {
                {"Label1", "Look for other abnormalities.", {360, 120, 3015, 375}},
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
        {
            .number = 11,
            .labels = {
                {"Label1", "Obtain the patient's karyotype.", {240, 120, 3255, 495}},
            },
            .options = {
                {"optNormal", "Normal", {240, 960, 1095, kH}, 3, Out::goTo(12)},
                {"optXY", "XY", {240, 1440, 855, kH}, 4, Out::recommend(kSwyerSyndromeText)},
                {"optXiso", "X-isochromosome", {240, 1920, 1815, kH}, 5, Out::recommend(kXIsochromosomeText)},
            },
            .buttons = {.ok = {3000, 960}, .exit = {3000, 1440}, .home = {3000, 1920}},
        },
        {
            .number = 12,
            .labels = {
                {"Label1", "Check the past history of the patient.", {240, 120, 3855, 375}},
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
        {
            .number = 13,
            .labels = {
                {"Label1",
                 "Perform a laparoscopy and obtain an ovarian biopsy to differentiate between the following "
                 "conditions.", {120, 0, 3855, 975}},
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

std::vector<TreeNode> ambiguousBranch()
{
    return {
        {
            .number = 14,
            .labels = {
                {"Label1", "Assess for the development of virilization with/without gynecomastia.",
                 {240, 0, 4215, 735}},
            },
            .options = {
                {"opt1", "Virilization", {240, 840, 1455, kH}, 3, Out::goTo(15)},
                {"opt2", "Virilization plus gynecomastia", {240, 1320, 2895, kH}, 4, Out::goTo(16)},
                {"opt3", "No virilization or gynecomastia", {240, 1800, 3015, kH}, 5,
                 Out::recommend(kFemalePseudohermaphroditismText)},
            },
            .buttons = {.ok = {3600, 960}, .exit = {3600, 1440}, .home = {3600, 1920}},
        },
        // Captions with a blank after the comma, unlike node 6.
        {
            .number = 15,
            .labels = {
                {"Label1", "Obtain the patient's karyotype to differentiate between the following conditions.",
                 {240, 120, 3615, 855}},
            },
            .options = {
                {"opt1", "46, XX", {360, 1200, 1095, kH}, 3, Out::recommend(kFemalePseudohermaphroditismText)},
                {"opt2", "46, XY", {360, 1680, 1335, kH}, 4, Out::recommend(kMalePseudohermaphroditismText)},
                {"opt3", "XO/XY", {360, 2160, 1095, kH}, 5, Out::recommend(kMixedGonadalDysgenesisText)},
            },
            .buttons = {.ok = {2880, 1200}, .exit = {2880, 1680}, .home = {2880, 2160}},
        },
        {
            .number = 16,
            .labels = {
                {"Label1", "Check the androgen binding capacity of the patient's skin fibroblasts.",
                 {120, 120, 4455, 615}},
            },
            .options = {
                {"opt1", "Normal", {240, 1200, 1095, kH}, 3, Out::recommend(kHsd17BetaDeficiencyText)},
                {"opt2", "Low", {240, 1800, 1335, kH}, 4, Out::recommend(kIncompleteAndrogenInsensitivityText)},
            },
            .buttons = {.ok = {3240, 960}, .exit = {3240, 1560}, .home = {3240, 2160}},
        },
    };
}

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
