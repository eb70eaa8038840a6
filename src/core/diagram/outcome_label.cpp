#include "core/diagram/outcome_label.h"

#include <cctype>
#include <vector>

namespace diagram {

namespace {

constexpr std::string_view kDiagnosis = "The diagnosis is ";

std::string_view trim(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
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
