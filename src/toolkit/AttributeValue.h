#pragma once

#include <QMargins>
#include <QPoint>
#include <QSize>

#include <cstdint>
#include <optional>
#include <string_view>

// Parsing of attribute values. Integers follow the rule used by every widget:
// decimal, or hexadecimal after "0x"; leading white space and a sign are
// allowed; text that is not a number gives 0.
int32_t attrToInt(std::wstring_view text);

// "1"/"true"/"yes" (any case) give true, "0"/"false"/"no" false; else none.
std::optional<bool> attrToBool(std::wstring_view text);

// A strict integer: the whole text (spaces around allowed) must be a number.
std::optional<int32_t> attrToStrictInt(std::wstring_view text);

// "x,y" with strict integers; spaces are ignored.
std::optional<QPoint> attrToPoint(std::wstring_view text);
// "w,h".
std::optional<QSize> attrToSize(std::wstring_view text);
// "all", "horizontal,vertical" or "left,top,right,bottom".
std::optional<QMargins> attrToMargins(std::wstring_view text);

// A coordinate of a position: "12" from the left/top edge, "-12" (also "-0")
// from the right/bottom edge to the widget's far edge.
struct EdgeOffset {
    int value = 0;
    bool fromFarEdge = false;
};
std::optional<EdgeOffset> attrToEdgeOffset(std::wstring_view text);
