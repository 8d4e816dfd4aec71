#pragma once

#include "toolkit/Skin.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>

// Skins by name (names compared exactly). Filled from the skin tables of the
// UI definitions and the toolkit's system skins.
class SkinPool {
public:
    // Adds or replaces a skin; true when the name was new.
    bool add(const std::wstring& name, std::shared_ptr<ISkin> skin);
    // The skin of that name, or null.
    std::shared_ptr<ISkin> get(std::wstring_view name) const;
    bool contains(std::wstring_view name) const { return get(name) != nullptr; }
    size_t size() const { return skins_.size(); }
    void clear() { skins_.clear(); }

private:
    std::map<std::wstring, std::shared_ptr<ISkin>, std::less<>> skins_;
};
