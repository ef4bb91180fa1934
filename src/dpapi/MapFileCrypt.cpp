#include "dpapi/MapFileCrypt.h"
#include "common/PathBytes.h"

#include "dpapi/CryptUtil.h"
#include "dpapi/DpapiKeyMaterial.h"
#include "dpapi/uBase64Codec.h"
#include "common/Exceptions.h"
#include "shell/unitCustomDlg.h"

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

    const QByteArray payload = UnprotectBytes(blob, email, key, FindProtectDir(info.absolutePath()));
    const qsizetype nul = payload.indexOf('\0');
    return Base64ToWide(nul < 0 ? payload : payload.left(nul));
}

} // namespace zorvak
