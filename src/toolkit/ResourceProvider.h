#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A resource is addressed as "type:name"; type and name are compared without
// regard to case.
struct ResourceName {
    std::wstring type;
    std::wstring name;
};

// Splits "type:name" at its first colon; none when either part is empty.
std::optional<ResourceName> parseResourceName(std::wstring_view text);

// A source of resources (a package directory, the built-in system resources).
class IResProvider {
public:
    virtual ~IResProvider() = default;
    virtual bool hasResource(std::wstring_view type, std::wstring_view name) const = 0;
    // The resource's bytes; none when missing or unreadable.
    virtual std::optional<QByteArray> readResource(std::wstring_view type, std::wstring_view name) const = 0;
    // Where the resource comes from, for messages (a file path); empty when missing.
    virtual QString location(std::wstring_view type, std::wstring_view name) const = 0;
    // Names of every resource of one type, in index order.
    virtual std::vector<std::wstring> namesOfType(std::wstring_view type) const = 0;
};
