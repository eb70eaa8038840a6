// Every text that an outcome of the primary amenorrhea tree shows, a group a node, in node order.
// Shown word for word, typos included; each text held once and pointed at by its options.
#pragma once

#include <string_view>

namespace tree {

inline constexpr std::string_view kImperforateHymenText =
    "Excise the imperforate hymen by making a cruciate incision in it.";
inline constexpr std::string_view kTransverseVaginalSeptumText =
    "Treat a transverse vaginal septum by excision. A thick septum may leave behind a wide raw area, "
    "which may require skin grafting to cover it.";
inline constexpr std::string_view kVaginalAtresiaText =
    "Treat vaginal atresia by vaginoplasty.";
inline constexpr std::string_view kCervicalAtresiaText =
    "Treatment of cervical atresia by construction of a new cervix is usually not satisfactory. "
    "The new cervix usually closes down, and after multiple such attempts, one has to perform "
    "total abdominal hysterectomy.";

// Node 5 "Present" leads to no node of the tree: our own wording.
inline constexpr std::string_view kUterusPresentText =
    "This decision tree ends here. A patient with normal secondary sex characteristics and a "
    "functioning uterus without outflow tract obstruction is evaluated as for secondary amenorrhea. "
    "Exclude pregnancy with a pregnancy test first, then obtain serum TSH, prolactin, FSH and LH levels.";

inline constexpr std::string_view kMullerianAgenesisText =
    "The diagnosis is Mullerian agenesis or Rokitansky-Kuster-Hauser syndrome. Obtain an excretory "
    "urogram, as urinary tract malformations may be associated with it. After adequate counseling, "
    "perform a vaginoplasty if the patient is going to get married, or is already married and has "
    "dyspareunia.";
inline constexpr std::string_view kTotalAndrogenInsensitivityText =
    "The diagnosis is total androgen insensitivity or testicular feminization syndrome. Perform "
    "gonadectomy, as these gonads are likely to develop malignant testicular tumors. Perform a "
    "vaginoplasty if the patient is going to get married, or is already married and has dyspareunia.";

inline constexpr std::string_view kPureGonadalDysgenesisText =
    "Perform ultrasonography to visualize gonads. Obtain the patient's karyotype. The gonads are "
    "streak and the karyotype is 46,XX. The diagnosis is pure gonadal dysgenesis. Treat her with "
    "estrogen replacement therapy.";

inline constexpr std::string_view kTurnerSyndromeText =
    "The diagnosis is Turner's syndrome. Give the woman estrogen replacement therapy.";
inline constexpr std::string_view kNoonanSyndromeText =
    "The diagnosis is Noonan's syndrome, an autosomal dominant disorder. The gonads are normal. "
    "There is no treatment.";
// "ar" (not "are") is the text as written.
inline constexpr std::string_view kStreakGonadsText =
    "The gonads ar streak. Give the patient estrogen replacement therapy.";

inline constexpr std::string_view kEndocrineDisordersText =
    "Endocrine disorders like Cushing's syndrome and hypothyroidism can be responsible. Treat the "
    "patient in joint consultation with an endocrinologist.";
inline constexpr std::string_view kGastrointestinalDisordersText =
    "Regional enteritis and ulcerative colitis are chronic gastrointestinal disorders that can cause "
    "primary amenorrhea. Refer the patient to a gastrointestinal surgeon for management.";
inline constexpr std::string_view kNeurologicalDisordersText =
    "Primary amenorrhea may be due to neurologic deficit secondary to encephalocele, congenital "
    "hydrocephalus, birth asphyxia, head injury, or pituitary tumor. Treat the patient in joint "
    "consultation with a neurologist.";
inline constexpr std::string_view kKallmanSyndromeText =
    "Kallman syndrome is characterized by anosmia and LHRH deficiency. Treat the patient in joint "
    "consultation with a neurologist. She needs estrogen replacement therapy. When she desires a "
    "pregnancy, ovulation can be induced with gonadotropic hormones.";
inline constexpr std::string_view kLaurenceMoonBiedlText =
    "Laurence-Moon-Biedl syndrome is characterized by adiposity, genital atrophy, mental retardation, "
    "poly- or syndactyly, and retinitis pigmentosa. It is hereditary. Treat the patient with estrogen "
    "replacement therapy. When a pregnancy is desired, treat the patient with gonadotropic hormones.";

// No blank before the parenthesis: the text as written.
inline constexpr std::string_view kSwyerSyndromeText =
    "The diagnosis is Swyer's syndrome(46,XY pure gonadal dysgenesis) or 17 alpha hydroxylase "
    "deficiency in adrenals and gonads. Perform gonadectomy and give the patient estrogen replacement "
    "therapy.";
inline constexpr std::string_view kXIsochromosomeText =
    "Treat a case of X-isochromosome formation like a case of 45,X (Turner's syndrome).";

inline constexpr std::string_view kGonadalDamageText =
    "Gonadal damage due to rubella, radiation, and antimalignancy drugs is irreversible in these "
    "cases. Treat the patient with estrogen replacement therapy.";
inline constexpr std::string_view kFamilialGonadalFailureText =
    "Treat a patient with familial gonadal failure with estrogen replacement therapy.";
inline constexpr std::string_view kMedicalDisordersText =
    "Medical disorders like galactosemia, ataxia-telangiectasia, and myotonia dystrophica can cause "
    "gonadal failure. Treat the patient with estrogen replacement therapy.";

inline constexpr std::string_view kInfiltrativeOvarianDiseaseText =
    "Make a medical reference for appropriate therapy. Give the patient estrogen replacement therapy.";
inline constexpr std::string_view kSavageSyndromeText =
    "Gonadotropin resistance of the ovary is called Savage syndrome. Give the patient estrogen "
    "replacement therapy.";

// Shown by two options: node 14 "No virilization or gynecomastia" and node 15 "46, XX".
inline constexpr std::string_view kFemalePseudohermaphroditismText =
    "The diagnosis is female pseudohermaphroditism. Treat the patient with estrogen replacement "
    "therapy, and plastic surgery for ambiguous external genitalia.";
inline constexpr std::string_view kMalePseudohermaphroditismText =
    "The diagnosis is male pseudohermaphroditism due to incomplete Swyer's syndrome or pseudovaginal "
    "perineoscrotal hypospadias. Treat the patient with gonadectomy, estrogen replacement therapy, "
    "and plastic surgery for ambiguous external genitalia.";
inline constexpr std::string_view kMixedGonadalDysgenesisText =
    "The diagnosis is mixed gonadal dysgenesis. Treat the patient with gonadectomy, estrogen "
    "replacement therapy, and plastic surgery for ambiguous external genitalia.";

inline constexpr std::string_view kHsd17BetaDeficiencyText =
    "The diagnosis is 17 beta hydroxysteroid dehydrogenase deficiency. Treat the patient with "
    "gonadectomy, estrogen replacement therapy, and plastic surgery for ambiguous external genitalia.";
inline constexpr std::string_view kIncompleteAndrogenInsensitivityText =
    "The diagnosis is incomplete androgen insensitivity. Treat the patient with gonadectomy, estrogen "
    "replacement therapy, and plastic surgery for ambiguous external genitalia.";

} // namespace tree
