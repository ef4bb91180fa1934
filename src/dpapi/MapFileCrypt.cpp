#include "dpapi/MapFileCrypt.h"
#include "common/PathBytes.h"

#include "dpapi/CryptUtil.h"
#include "dpapi/DpapiKeyMaterial.h"
#include "dpapi/WineProtect.h"
#include "dpapi/uBase64Codec.h"
#include "common/Cp1252.h"
#include "common/Exceptions.h"
#include "common/FileOps.h"
#include "shell/unitCustomDlg.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zorvak {

QString DecryptMapFile(const QString &path, const QString &email, const DpapiKeyMaterial &key)
{
    QFileInfo info(path);
    if (!fsys::IsFile(path)) {
        LangMessageDlg(QStringLiteral("File not found: \r") + path, TMsgDlgType::mtError, mbOK);
        return {};
    }
    QFile file;
    QString reason;
    if (!fsys::Open(file, path, QIODevice::ReadOnly, &reason))
        throw EInOutError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason));
    const QByteArray blob = file.readAll().mid(2);
    file.close();

    const QByteArray payload = wine::IsWineBlob(blob)
                                   ? UnprotectWineBytes(blob, ToCp1252(email), key, info.absoluteFilePath())
                                   : UnprotectBytes(blob, email, key, FindProtectDir(info.absolutePath()));
    const qsizetype nul = payload.indexOf('\0');
    return Base64ToWide(nul < 0 ? payload : payload.left(nul));
}

namespace {
// A map file begins with two bytes of its own before the blob.
constexpr int kMapHeader = 2;
} // namespace

bool IsWineMapFile(const QString &path)
{
    if (!fileops::IsRegularFile(path))
        return false;
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && wine::IsWineBlob(file.read(kMapHeader + wine::kSignatureLength).mid(kMapHeader));
}

namespace {
QStringList MapFilesOf(const QString &userFolder)
{
    const QDir user(userFolder);
    QStringList maps;
    const QDir::Filters folders = QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System;
    for (const QString &folder : user.entryList(folders)) {
        const QString mapDat = user.filePath(folder + QStringLiteral("/map.dat"));
        if (fileops::IsRegularFile(mapDat))
            maps << mapDat;
    }
    const QDir mapFolder(user.filePath(QStringLiteral("MapFile")));
    for (const QString &name : mapFolder.entryList(QDir::Files | QDir::Hidden | QDir::System))
        maps << mapFolder.filePath(name);
    return maps;
}
} // namespace

bool AllMapsProtectedByWine(const QString &userFolder)
{
    const QStringList maps = MapFilesOf(userFolder);
    for (const QString &map : maps)
        if (!IsWineMapFile(map))
            return false;
    return !maps.isEmpty();
}

bool HasMapFiles(const QString &userFolder) { return !MapFilesOf(userFolder).isEmpty(); }

} // namespace zorvak
