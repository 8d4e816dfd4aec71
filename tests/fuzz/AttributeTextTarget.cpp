// The attribute values of layouts and tables, read on their own: integers,
// booleans, points, sizes, margins, edge offsets and colours. A strict
// reading agrees with the lenient one wherever both give a number.

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "FuzzTarget.h"

#include "toolkit/AttributeValue.h"
#include "toolkit/Color.h"

#include <QString>

#include <string>

FUZZ_TARGET(attribute_text)
{
    const std::string_view bytes = fuzzText(data, size);
    const std::wstring text =
        QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())).toStdWString();
    const auto strict = attrToStrictInt(text);
    if (strict)
        fuzzRequire(attrToInt(text) == *strict, "a strict integer reads the same leniently");
    static_cast<void>(attrToBool(text));
    static_cast<void>(attrToPoint(text));
    static_cast<void>(attrToSize(text));
    static_cast<void>(attrToMargins(text));
    static_cast<void>(attrToEdgeOffset(text));
    if (const auto color = parseColorText(text))
        fuzzRequire(color->isValid(), "a colour that reads is a valid colour");
}
