#include "toolkit/Color.h"

#include "toolkit/AttributeValue.h"
#include "toolkit/TextUtil.h"

#include <QRegularExpression>

namespace {

std::optional<QColor> fromHex(const QString& hex)
{
    bool ok = false;
    const uint value = hex.toUInt(&ok, 16);
    if (!ok) {
        return std::nullopt;
    }
    switch (hex.size()) {
    case 3:
        return QColor(((value >> 8) & 0xF) * 17, ((value >> 4) & 0xF) * 17, (value & 0xF) * 17);
    case 6:
        return QColor((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
    case 8:
        return QColor((value >> 24) & 0xFF, (value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
    default:
        return std::nullopt;
    }
}

std::optional<QColor> fromFunction(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral(R"(^rgba?\(([^)]*)\)$)"));
    const auto match = pattern.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const QStringList parts = match.captured(1).split(QLatin1Char(','));
    const bool withAlpha = text.startsWith(QLatin1String("rgba"));
    if (parts.size() != (withAlpha ? 4 : 3)) {
        return std::nullopt;
    }
    int channel[4] = {0, 0, 0, 255};
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const auto value = attrToStrictInt(parts[i].toStdWString());
        if (!value || *value < 0 || *value > 255) {
            return std::nullopt;
        }
        channel[i] = *value;
    }
    return QColor(channel[0], channel[1], channel[2], channel[3]);
}

}  // namespace

std::optional<QColor> parseColorText(std::wstring_view text)
{
    const QString t = toQString(text).trimmed().toLower();
    if (t.startsWith(QLatin1Char('#'))) {
        return fromHex(t.mid(1));
    }
    return fromFunction(QString(t).remove(QLatin1Char(' ')));
}
