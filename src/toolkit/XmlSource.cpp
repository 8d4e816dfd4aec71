#include "toolkit/XmlSource.h"

#include <algorithm>

bool XmlSource::parse(const QByteArray& data, const QString& label)
{
    label_ = label;
    text_ = data;
    error_.clear();
    lineStarts_.assign(1, 0);
    for (qsizetype i = 0; i < text_.size(); ++i) {
        if (text_[i] == '\n') {
            lineStarts_.push_back(i + 1);
        }
    }
    const pugi::xml_parse_result result = document_.load_buffer(text_.constData(), static_cast<size_t>(text_.size()));
    if (!result) {
        error_ = QStringLiteral("%1:%2: %3").arg(label_).arg(lineAtOffset(result.offset)).arg(QString::fromUtf8(result.description()));
        return false;
    }
    if (!document_.document_element()) {
        error_ = QStringLiteral("%1: no root element").arg(label_);
        return false;
    }
    return true;
}

int XmlSource::lineAtOffset(ptrdiff_t offset) const
{
    const auto it = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset);
    return static_cast<int>(it - lineStarts_.begin());
}

int XmlSource::lineOf(const pugi::xml_node& node) const
{
    const ptrdiff_t offset = node.offset_debug();
    return offset < 0 ? 0 : lineAtOffset(offset);
}

QString XmlSource::where(const pugi::xml_node& node) const
{
    return QStringLiteral("%1:%2").arg(label_).arg(lineOf(node));
}
