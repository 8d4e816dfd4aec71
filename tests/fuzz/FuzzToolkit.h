#pragma once

#include "toolkit/ResourceProvider.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <string_view>

class SApplication;

// Resources held in memory, so that a target hands the toolkit its input as
// the files of a package without touching the disk.
class FuzzResources : public IResProvider {
public:
    // Adds or replaces the resource "type:name".
    void set(const QString& resource, std::string_view bytes);
    void clear() { resources_.clear(); }

    bool hasResource(std::wstring_view type, std::wstring_view name) const override;
    std::optional<QByteArray> readResource(std::wstring_view type, std::wstring_view name) const override;
    QString location(std::wstring_view type, std::wstring_view name) const override;
    std::vector<std::wstring> namesOfType(std::wstring_view type) const override;

private:
    QHash<QString, QByteArray> resources_;  // by "type:name" folded to lower case
};

// The toolkit as the window program starts it, made once per process on the
// offscreen platform: standard and custom widgets, named ids, the system
// resources, and the project's UI definitions with their skins. The package
// itself is not kept among the providers, so that a lookup of a name the
// input makes up stays cheap; the input's own resources come from
// fuzzResources(), searched first and emptied by each call of this function.
SApplication& fuzzToolkit();
FuzzResources& fuzzResources();
