#pragma once

#include <string>

// Told when a row of the macro-group list is clicked.
class IOnMacroGroupClickedListener {
public:
    virtual void onMacroGroupClicked(int index, const std::wstring& name) = 0;

protected:
    ~IOnMacroGroupClickedListener() = default;
};
