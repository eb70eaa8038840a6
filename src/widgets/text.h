// The core holds its texts as UTF-8 string views; the screens show them as QStrings.
#pragma once

#include <QString>

#include <string_view>

inline QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}
