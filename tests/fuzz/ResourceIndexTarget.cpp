// The index of a resource package, "uires.idx". Whatever it lists, a
// resource it keeps lies inside the package directory, and the lookups of
// every name agree with each other.

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "FuzzScratch.h"
#include "FuzzTarget.h"

#include "toolkit/FileResourceProvider.h"

#include <QSet>
#include <QString>
#include <QStringList>

FUZZ_TARGET(resource_index)
{
    const std::filesystem::path directory = fuzzScratchDirectory() / "package";
    writeScratchFile(directory / "uires.idx", fuzzText(data, size));
    const QString root = QString::fromStdString(directory.string());
    FileResourceProvider provider;
    fuzzRequire(provider.init(root), "an index that exists is read");

    const QStringList lines = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size))
                                  .split(QLatin1Char('\n'));
    QSet<QString> types;
    for (const QString& line : lines) {
        const QString resource = line.section(QLatin1Char('='), 0, 0).trimmed();
        const auto name = parseResourceName(resource.toStdWString());
        if (!name)
            continue;
        const QString location = provider.location(name->type, name->name);
        fuzzRequire(provider.hasResource(name->type, name->name) == !location.isEmpty(),
                    "a resource has a location exactly when it is listed");
        if (location.isEmpty())
            continue;
        fuzzRequire(location.startsWith(root + QLatin1Char('/')), "a resource lies in the package directory");
        fuzzRequire(!location.mid(root.size()).split(QLatin1Char('/')).contains(QStringLiteral("..")),
                    "a resource path never leaves the package");
        const auto bytes = provider.readResource(name->type, name->name);
        if (location == root + QStringLiteral("/uires.idx")) {
            fuzzRequire(bytes.has_value() && bytes->size() == static_cast<qsizetype>(size),
                        "a resource listed as the index reads as the index");
        }
        types.insert(QString::fromStdWString(name->type).toCaseFolded());
    }
    for (const QString& type : types) {
        for (const std::wstring& listed : provider.namesOfType(type.toStdWString()))
            fuzzRequire(provider.hasResource(type.toStdWString(), listed), "every name of a type is found");
    }
}
