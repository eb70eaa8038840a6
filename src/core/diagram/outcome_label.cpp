#include "core/diagram/outcome_label.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace diagram {

namespace {

constexpr std::string_view kDiagnosis = "The diagnosis is ";

std::string_view trim(std::string_view s)
{
    constexpr std::string_view kBlanks = " \t\r\n";
    s.remove_prefix(std::min(s.find_first_not_of(kBlanks), s.size()));
    return s.substr(0, s.find_last_not_of(kBlanks) + 1);
}

// Sentences end at a full stop followed by a blank or the end; "45,X (Turner's syndrome)." stays whole.
std::vector<std::string_view> sentences(std::string_view text)
{
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '.' && (i + 1 == text.size() || text[i + 1] == ' ')) {
            out.push_back(trim(text.substr(start, i - start)));
            start = i + 1;
        }
    }
    if (const std::string_view rest = trim(text.substr(std::min(start, text.size()))); !rest.empty())
        out.push_back(rest);
    return out;
}

} // namespace

std::string outcomeLabel(std::string_view text)
{
    const std::vector<std::string_view> all = sentences(text);
    for (std::string_view sentence : all) {
        if (sentence.starts_with(kDiagnosis) && sentence.size() > kDiagnosis.size()) {
            std::string diagnosis(sentence.substr(kDiagnosis.size()));
            diagnosis[0] = char(std::toupper(static_cast<unsigned char>(diagnosis[0])));
            return diagnosis;
        }
    }
    return all.empty() ? std::string{} : std::string(all.front());
}

} // namespace diagram
