#include "find/FoundGroups.h"

#include <QStringList>
#include <map>

namespace zorvak::find {

namespace {
bool IsProfilesFolder(const QString &name)
{
    // "Documents and Settings.bak", "Users (old)": a copy keeps the start of the name.
    return name.startsWith(QStringLiteral("Documents and Settings"), Qt::CaseInsensitive)
        || name.compare(QStringLiteral("Users"), Qt::CaseInsensitive) == 0;
}
} // namespace

QString WindowsProfileOf(const QString &path)
{
    const QStringList parts = path.split(QLatin1Char('/'));
    // The deepest profiles folder with a name after it and something below that.
    for (int i = int(parts.size()) - 3; i >= 0; --i) {
        if (IsProfilesFolder(parts.at(i)) && !parts.at(i + 1).isEmpty() && !parts.at(i + 2).isEmpty())
            return QStringList(parts.mid(0, i + 2)).join(QLatin1Char('/'));
    }
    return {};
}

TFoundGroups GroupFoundPlaces(const std::vector<TFoundPlace> &found)
{
    TFoundGroups out;
    std::map<QString, std::vector<TFoundPlace>> byProfile;
    std::vector<TFoundPlace> loose;
    for (const TFoundPlace &place : found) {
        if (place.kind == TPlaceKind::Package) {
            out.packages.push_back(place);
            continue;
        }
        if (place.kind == TPlaceKind::MasterKeys)
            out.masterKeys.push_back(place);
        const QString profile = WindowsProfileOf(place.path);
        (profile.isEmpty() ? loose : byProfile[profile]).push_back(place);
    }
    for (auto &[profile, places] : byProfile)
        out.profiles.push_back({profile, std::move(places)});
    if (!loose.empty())
        out.profiles.push_back({QString(), std::move(loose)});
    return out;
}

} // namespace zorvak::find
