#pragma once

#include "toolkit/AttrResult.h"
#include "toolkit/Skin.h"

#include <QPoint>
#include <QRect>

#include <memory>
#include <optional>
#include <string>

// The icon and text offsets that the extended check and radio boxes add to
// their base: "iconSkin", "iconPos" ("%d,%d"), "textX" and "textY".
struct IconTextFields {
    std::shared_ptr<ISkin> iconSkin;
    QPoint iconPos;
    int textX = 0;
    int textY = 0;

    // Takes one of the four attributes; none for any other name.
    std::optional<AttrResult> apply(const std::wstring& name, const std::wstring& value);
    QSize iconSize() const;
};
