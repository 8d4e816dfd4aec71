#pragma once

#include <QString>

#include <string>
#include <string_view>

// Conversions at the boundary between the toolkit's wide text and Qt.
inline QString toQString(std::wstring_view text)
{
    return QString::fromWCharArray(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::wstring toWString(const QString& text) { return text.toStdWString(); }

// Case-insensitive equality of names (attribute names, resource types and names).
inline bool equalsNoCase(std::wstring_view a, std::wstring_view b)
{
    return QString::compare(toQString(a), toQString(b), Qt::CaseInsensitive) == 0;
}
