#include "toolkit/SkinPool.h"

bool SkinPool::add(const std::wstring& name, std::shared_ptr<ISkin> skin)
{
    const bool isNew = skins_.find(name) == skins_.end();
    skins_[name] = std::move(skin);
    return isNew;
}

std::shared_ptr<ISkin> SkinPool::get(std::wstring_view name) const
{
    const auto it = skins_.find(name);
    return it == skins_.end() ? nullptr : it->second;
}
