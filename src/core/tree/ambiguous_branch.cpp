// The ambiguous-genitalia branch, nodes 14 to 16.
#include "core/tree/tree_node.h"
#include "core/tree/tree_texts.h"

namespace tree {

namespace {
constexpr int kH = kOptionHeight;
using Out = TreeOutcome;
using Role = TreeLabel::Role;
}

std::vector<TreeNode> ambiguousBranch()
{
    return {
        // Node 14: frmAmPrm14 (virilization)
        {
            .number = 14,
            .labels = {
                {"Label1", "Assess for the development of virilization with/without gynecomastia.", Role::Question,
                 {240, 0, 4215, 735}},
            },
            .options = {
                {"opt1", "Virilization", {240, 840, 1455, kH}, 3, Out::goTo(15)},
                {"opt2", "Virilization plus gynecomastia", {240, 1320, 2895, kH}, 4, Out::goTo(16)},
                // The same text object as node 15 "46, XX".
                {"opt3", "No virilization or gynecomastia", {240, 1800, 3015, kH}, 5,
                 Out::recommend(kFemalePseudohermaphroditismText)},
            },
            .buttons = {.ok = {3600, 960}, .exit = {3600, 1440}, .home = {3600, 1920}},
        },
        // Node 15: frmAmPrm15 (karyotype); captions with a blank after the comma, unlike node 6
        {
            .number = 15,
            .labels = {
                {"Label1", "Obtain the patient's karyotype to differentiate between the following conditions.",
                 Role::Question, {240, 120, 3615, 855}},
            },
            .options = {
                {"opt1", "46, XX", {360, 1200, 1095, kH}, 3, Out::recommend(kFemalePseudohermaphroditismText)},
                {"opt2", "46, XY", {360, 1680, 1335, kH}, 4, Out::recommend(kMalePseudohermaphroditismText)},
                {"opt3", "XO/XY", {360, 2160, 1095, kH}, 5, Out::recommend(kMixedGonadalDysgenesisText)},
            },
            .buttons = {.ok = {2880, 1200}, .exit = {2880, 1680}, .home = {2880, 2160}},
        },
        // Node 16: frmAmPrm16 (androgen binding of skin fibroblasts)
        {
            .number = 16,
            .labels = {
                {"Label1", "Check the androgen binding capacity of the patient's skin fibroblasts.", Role::Question,
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

} // namespace tree
