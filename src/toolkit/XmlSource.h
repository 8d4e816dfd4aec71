#pragma once

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

#include <vector>

// A parsed XML resource that can say where a node stands ("file:line"),
// computed from the parser's byte offsets.
class XmlSource {
public:
    // Parses `data`; on failure error() tells where and why.
    bool parse(const QByteArray& data, const QString& label);
    const pugi::xml_document& document() const { return document_; }
    pugi::xml_node root() const { return document_.document_element(); }
    const QString& label() const { return label_; }
    const QString& error() const { return error_; }

    int lineOf(const pugi::xml_node& node) const;
    // "label:line".
    QString where(const pugi::xml_node& node) const;

private:
    int lineAtOffset(ptrdiff_t offset) const;

    QString label_;
    QString error_;
    QByteArray text_;
    std::vector<ptrdiff_t> lineStarts_;
    pugi::xml_document document_;
};
