#include "ui/widgets/IconTextFields.h"

#include "ui/widgets/DecimalList.h"

#include "toolkit/AttributeTable.h"
#include "toolkit/AttributeValue.h"
#include "toolkit/SWindow.h"

#include <array>

namespace {

const AttributeRow<IconTextFields> kIconTextAttributes[] = {
    {L"iconSkin",
     [](IconTextFields& f, const std::wstring& v, bool) {
         f.iconSkin = SWindow::skinByName(v);
         return AttrResult::Applied;
     }},
    {L"iconPos",
     [](IconTextFields& f, const std::wstring& v, bool) {
         // Like "%d,%d": a field that is not read keeps its value.
         std::array<std::int32_t, 2> xy{f.iconPos.x(), f.iconPos.y()};
         scanDecimalList(v, xy);
         f.iconPos = QPoint(xy[0], xy[1]);
         return AttrResult::Applied;
     }},
    {L"textX",
     [](IconTextFields& f, const std::wstring& v, bool) {
         f.textX = attrToInt(v);
         return AttrResult::Applied;
     }},
    {L"textY",
     [](IconTextFields& f, const std::wstring& v, bool) {
         f.textY = attrToInt(v);
         return AttrResult::Applied;
     }},
};

} // namespace

std::optional<AttrResult> IconTextFields::apply(const std::wstring& name, const std::wstring& value)
{
    return applyAttribute(kIconTextAttributes, *this, name, value, false);
}

QSize IconTextFields::iconSize() const
{
    return iconSkin ? iconSkin->size() : QSize(0, 0);
}
