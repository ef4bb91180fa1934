#include "browse/FolderChoice.h"

#include "browse/ObjectStore.h"
#include "common/ContentTypes.h"
#include "common/EmailId.h"
#include "common/unitString.h"
#include "platform/Platform.h"
#include "shell/SettingsFile.h"

#include <QDir>
#include <QFileInfo>

namespace zorvak {

namespace {

bool AllDigits(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (!IsDigit(c))
            return false;
    return true;
}

} // namespace

TFolderChoice ChooseFolder(const QString &path)
{
    TFolderChoice choice;
    choice.dir = path;
    if (const std::optional<objstore::TStorePlace> place = objstore::PlaceOf(path)) {
        choice.dir = place->account;
        choice.store = true;
        choice.email = place->email;
        choice.folderId = EmailToId(place->email);
        if (place->kind)
            choice.ticked[size_t(*place->kind)] = true;
        else if (LastPathElement(path).compare(QLatin1String("ObjectStore"), Qt::CaseInsensitive) == 0
                 || WithSeparator(QDir::cleanPath(path)) == place->account)
            choice.ticked.fill(true);
        return choice;
    }
    const QString p = WithoutTrailingSeparators(path);
    const QString name = LastPathElement(p);
    if (AllDigits(name)) {
        choice.ticked.fill(true);
        choice.folderId = name;
        return choice;
    }
    const QString parent = QFileInfo(p).path();
    const QString parentName = LastPathElement(parent);
    if (AllDigits(parentName)) {
        choice.dir = WithSeparator(parent);
        for (const ContentTypeInfo &info : ContentTypes)
            if (Settings().Subdir(info.type) == name) {
                choice.ticked[size_t(info.type)] = true;
                break;
            }
        choice.folderId = parentName;
    }
    return choice;
}

QString UserFolderOf(const QString &folder)
{
    if (folder.isEmpty())
        return {};
    const TFolderChoice choice = ChooseFolder(folder);
    return choice.folderId.isEmpty() ? QString() : WithSeparator(QDir::cleanPath(choice.dir));
}

bool HasContentMaps(const QString &userFolder)
{
    const QDir user(userFolder);
    for (const ContentTypeInfo &info : ContentTypes)
        if (QFileInfo(QDir(user.filePath(Settings().Subdir(info.type))).filePath(QStringLiteral("map.dat"))).isFile())
            return true;
    return false;
}

} // namespace zorvak
