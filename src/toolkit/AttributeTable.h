#pragma once

#include "toolkit/AttrResult.h"

#include <cwctype>
#include <optional>
#include <string>
#include <string_view>

// The attributes a widget class takes, as one table per class:
//
//   const AttributeRow<SButton> kButtonAttributes[] = {
//       {L"accel", [](SButton& w, const std::wstring& v, bool loading) { ...; return AttrResult::Applied; }},
//   };
//   AttrResult SButton::setAttribute(const std::wstring& n, const std::wstring& v, bool loading) {
//       if (auto r = applyAttribute(kButtonAttributes, *this, n, v, loading)) return *r;
//       return SWindow::setAttribute(n, v, loading);
//   }
//
// `loading` is true while the layout is being built.
template <class W>
struct AttributeRow {
    const wchar_t* name;
    AttrResult (*apply)(W& widget, const std::wstring& value, bool loading);
};

// Attribute names are compared without regard to case.
inline bool attributeNameIs(std::wstring_view name, std::wstring_view expected)
{
    if (name.size() != expected.size()) {
        return false;
    }
    for (size_t i = 0; i < name.size(); ++i) {
        if (std::towlower(name[i]) != std::towlower(expected[i])) {
            return false;
        }
    }
    return true;
}

// Applies the row whose name matches; none when the table has no such row.
template <class W, size_t N>
std::optional<AttrResult> applyAttribute(const AttributeRow<W> (&table)[N], W& widget, const std::wstring& name,
                                         const std::wstring& value, bool loading)
{
    for (const AttributeRow<W>& row : table) {
        if (attributeNameIs(name, row.name)) {
            return row.apply(widget, value, loading);
        }
    }
    return std::nullopt;
}
