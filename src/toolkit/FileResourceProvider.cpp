#include "toolkit/FileResourceProvider.h"

#include "toolkit/TextUtil.h"

#include <QDir>
#include <QFile>

#include <algorithm>

std::optional<ResourceName> parseResourceName(std::wstring_view text)
{
    const size_t colon = text.find(L':');
    if (colon == std::wstring_view::npos || colon == 0 || colon + 1 == text.size()) {
        return std::nullopt;
    }
    return ResourceName{std::wstring(text.substr(0, colon)), std::wstring(text.substr(colon + 1))};
}

namespace {

QString foldedKey(const QString& type, const QString& name)
{
    return type.toCaseFolded() + QLatin1Char(':') + name.toCaseFolded();
}

// A relative path that stays inside the package.
bool isSafeRelativePath(const QString& path)
{
    if (path.isEmpty() || QDir::isAbsolutePath(path) || path.startsWith(QLatin1Char(':'))) {
        return false;
    }
    const QStringList parts = path.split(QLatin1Char('/'));
    return std::none_of(parts.begin(), parts.end(), [](const QString& p) { return p == QLatin1String(".."); });
}

}  // namespace

bool FileResourceProvider::init(const QString& directory)
{
    directory_ = directory;
    entries_.clear();
    byKey_.clear();
    errors_.clear();
    const QString indexPath = directory + QStringLiteral("/uires.idx");
    QFile file(indexPath);
    if (!file.open(QIODevice::ReadOnly)) {
        errors_.push_back(indexPath + QStringLiteral(": cannot be read"));
        return false;
    }
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        parseLine(lines[i].trimmed(), static_cast<int>(i + 1), indexPath);
    }
    return true;
}

void FileResourceProvider::parseLine(const QString& line, int lineNumber, const QString& indexPath)
{
    if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) {
        return;
    }
    auto fail = [&](const QString& why) {
        errors_.push_back(QStringLiteral("%1:%2: %3").arg(indexPath).arg(lineNumber).arg(why));
    };
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals < 0) {
        fail(QStringLiteral("expected \"type:name = path\""));
        return;
    }
    const QString resource = line.left(equals).trimmed();
    const QString path = line.mid(equals + 1).trimmed();
    const auto parsed = parseResourceName(resource.toStdWString());
    if (!parsed) {
        fail(QStringLiteral("resource name \"%1\" is not \"type:name\"").arg(resource));
        return;
    }
    if (!isSafeRelativePath(path)) {
        fail(QStringLiteral("path \"%1\" must be relative and stay inside the package").arg(path));
        return;
    }
    Entry entry{toQString(parsed->type), toQString(parsed->name), QString(), QString(), path};
    entry.foldedType = entry.type.toCaseFolded();
    entry.key = foldedKey(entry.type, entry.name);
    if (byKey_.contains(entry.key)) {
        fail(QStringLiteral("resource \"%1\" is listed twice").arg(resource));
        return;
    }
    byKey_.insert(entry.key, entries_.size());
    entries_.push_back(std::move(entry));
}

const FileResourceProvider::Entry* FileResourceProvider::find(std::wstring_view type, std::wstring_view name) const
{
    const auto it = byKey_.constFind(foldedKey(toQString(type), toQString(name)));
    return it == byKey_.constEnd() ? nullptr : &entries_[*it];
}

bool FileResourceProvider::hasResource(std::wstring_view type, std::wstring_view name) const
{
    return find(type, name) != nullptr;
}

std::optional<QByteArray> FileResourceProvider::readResource(std::wstring_view type, std::wstring_view name) const
{
    const Entry* entry = find(type, name);
    if (!entry) {
        return std::nullopt;
    }
    QFile file(directory_ + QLatin1Char('/') + entry->path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return file.readAll();
}

QString FileResourceProvider::location(std::wstring_view type, std::wstring_view name) const
{
    const Entry* entry = find(type, name);
    return entry ? directory_ + QLatin1Char('/') + entry->path : QString();
}

std::vector<std::wstring> FileResourceProvider::namesOfType(std::wstring_view type) const
{
    const QString folded = toQString(type).toCaseFolded();
    std::vector<std::wstring> names;
    for (const Entry& e : entries_) {
        if (e.foldedType == folded) {
            names.push_back(e.name.toStdWString());
        }
    }
    return names;
}
