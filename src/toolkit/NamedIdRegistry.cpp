#include "toolkit/NamedIdRegistry.h"

#include <algorithm>

namespace {

// The first UTF-16 code unit of a code point, which decides its UTF-16 order.
uint32_t leadUnit(wchar_t c)
{
    const auto cp = static_cast<uint32_t>(c);
    return cp >= 0x10000 ? 0xD800 + ((cp - 0x10000) >> 10) : cp;
}

}  // namespace

int NamedIdRegistry::compareUtf16(std::wstring_view a, std::wstring_view b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        if (a[i] == b[i]) {
            continue;
        }
        const uint32_t ua = leadUnit(a[i]);
        const uint32_t ub = leadUnit(b[i]);
        if (ua != ub) {
            return ua < ub ? -1 : 1;
        }
        return static_cast<uint32_t>(a[i]) < static_cast<uint32_t>(b[i]) ? -1 : 1;
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

bool NamedIdRegistry::setTable(std::span<const NamedIdRow> rows)
{
    std::vector<Row> table;
    table.reserve(rows.size());
    for (const NamedIdRow& row : rows) {
        if (!row.name) {
            return false;
        }
        if (!table.empty() && compareUtf16(table.back().name, row.name) >= 0) {
            return false;
        }
        table.push_back(Row{row.name, row.id});
    }
    rows_ = std::move(table);
    return true;
}

std::optional<int32_t> NamedIdRegistry::idOf(std::wstring_view name) const
{
    size_t low = 0;
    size_t high = rows_.size();
    while (low < high) {
        const size_t mid = low + (high - low) / 2;
        const int order = compareUtf16(rows_[mid].name, name);
        if (order == 0) {
            return rows_[mid].id;
        }
        if (order < 0) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    return std::nullopt;
}

std::wstring NamedIdRegistry::nameOf(int32_t id) const
{
    const auto it = std::find_if(rows_.begin(), rows_.end(), [id](const Row& r) { return r.id == id; });
    return it == rows_.end() ? std::wstring() : it->name;
}
