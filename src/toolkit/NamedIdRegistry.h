#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One row of a named-ID table: a widget name and its fixed numeric id.
struct NamedIdRow {
    const wchar_t* name;
    int32_t id;
};

// Widget names and their numeric ids, searched by halving. The table must be
// sorted by name in ordinal order of UTF-16 code units.
class NamedIdRegistry {
public:
    // Replaces the table. Refuses (returns false, keeps the old table) a table
    // that is not strictly sorted, since halving would then miss names.
    bool setTable(std::span<const NamedIdRow> rows);

    std::optional<int32_t> idOf(std::wstring_view name) const;
    // The name of an id; empty when no row has it.
    std::wstring nameOf(int32_t id) const;
    size_t size() const { return rows_.size(); }

    // Ordinal comparison by UTF-16 code units (wchar_t holds whole code points here).
    static int compareUtf16(std::wstring_view a, std::wstring_view b);

private:
    struct Row {
        std::wstring name;
        int32_t id;
    };
    std::vector<Row> rows_;
};
