#pragma once

#include "toolkit/ResourceProvider.h"

#include <QHash>
#include <QString>

#include <vector>

// Resources of a directory listed by its index file "uires.idx": one
// "type:name = relative/path" per line, '#' comments. Works on disk paths and
// on Qt resource paths (":/...").
class FileResourceProvider : public IResProvider {
public:
    // Reads the index of `directory`; false when the index is missing.
    // Malformed lines are skipped and listed in errors() with their line numbers.
    bool init(const QString& directory);
    const std::vector<QString>& errors() const { return errors_; }
    const QString& directory() const { return directory_; }

    bool hasResource(std::wstring_view type, std::wstring_view name) const override;
    std::optional<QByteArray> readResource(std::wstring_view type, std::wstring_view name) const override;
    QString location(std::wstring_view type, std::wstring_view name) const override;
    std::vector<std::wstring> namesOfType(std::wstring_view type) const override;

private:
    struct Entry {
        QString type;        // as written
        QString name;
        QString foldedType;  // type folded to lower case, for listing by type
        QString key;         // "type:name" folded to lower case
        QString path;        // relative to the directory
    };
    const Entry* find(std::wstring_view type, std::wstring_view name) const;
    void parseLine(const QString& line, int lineNumber, const QString& indexPath);

    QString directory_;
    std::vector<Entry> entries_;
    QHash<QString, size_t> byKey_;
    std::vector<QString> errors_;
};
