// A short name for an outcome, taken from its own text so the drawing says nothing the
// recommendation does not.
#pragma once

#include <string>
#include <string_view>

namespace diagram {

// The diagnosis where the text names one ("The diagnosis is X." gives "X"), else its first
// sentence; without the closing full stop.
std::string outcomeLabel(std::string_view text);

} // namespace diagram
