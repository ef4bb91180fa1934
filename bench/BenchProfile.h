#pragma once
// The synthetic profile of the backup and named-export benchmarks: one Messenger user with 2,000
// objects of all six content types (600 emoticons, 500 display pictures, 400 backgrounds, 250
// winks, 150 dynamic display pictures, 100 dynamic backgrounds), maps protected with DPAPI under a
// Windows XP master key.
#include "dpapi/DpapiKeyMaterial.h"
#include "dpapi/MapFileCrypt.h"
#include "common/EmailId.h"
#include "DpapiProtect.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>

namespace zorvak::bench {

namespace protect = zorvak::dpapi::protect;

inline const QString kEmail = QStringLiteral("bench.user@hotmail.com");
inline const QString kPassword = QStringLiteral("bench-password");
inline const QString kSid = QStringLiteral("S-1-5-21-1111111111-2222222222-3333333333-1001");

inline bool Write(const QString &path, const QByteArray &data)
{
    QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// An object of about 4 KB whose first bytes make it a picture or a cabinet.
inline QByteArray Object(int i, const QByteArray &head)
{
    QByteArray data = head;
    QRandomGenerator gen{quint32(i)};
    while (data.size() < 2048 + (i % 7) * 512)
        data.append(char(gen.bounded(32) + 64));
    return data;
}

struct Profile {
    QString appData, user;
    protect::MadeMasterKey key;

    void Map(const QString &folder, const QString &text)
    {
        const QString name = folder + QStringLiteral(".dat");
        Write(user + folder + QStringLiteral("/map.dat"),
              protect::MakeMapFile(QStringLiteral("<msnobj Creator=\"%1\" Size=\"0\" Type=\"0\" Location=\"%2\" "
                                                  "Friendly=\"AAA=\" SHA1D=\"x\"/>")
                                       .arg(kEmail, name),
                                   kEmail, key.masterKey, key.guid, protect::Flavour::Xp));
        Write(user + QStringLiteral("MapFile/") + name,
              protect::MakeMapFile(text, kEmail, key.masterKey, key.guid, protect::Flavour::Xp));
    }

    // n objects of one folder; `emoticons` selects the emoticon layout, `lines` the line layout.
    void Folder(const QString &folder, int n, int first, const QByteArray &head, int layout)
    {
        QString map;
        for (int i = first; i < first + n; ++i) {
            const QString file = QStringLiteral("%1%2.dat").arg(folder.left(2)).arg(i, 5, 10, QLatin1Char('0'));
            const QByteArray data = Object(i, head);
            Write(user + folder + QLatin1Char('/') + file, data);
            const QString object = QStringLiteral("<msnobj Creator=\"%1\" Size=\"%2\" Type=\"2\" Location=\"%3\" "
                                                  "Friendly=\"AAA=\" SHA1D=\"%4\" stamp=\"%4\"/>")
                                       .arg(kEmail)
                                       .arg(data.size())
                                       .arg(file)
                                       .arg(QString::fromLatin1(
                                           QCryptographicHash::hash(data, QCryptographicHash::Sha1).toBase64()));
            if (layout == 0)
                map += QStringLiteral("(e%1)\tEmoticon %1 & co\t%2\t").arg(i).arg(object);
            else if (layout == 1)
                map += QStringLiteral("Picture %1\t%2\t").arg(i).arg(object);
            else
                map += QStringLiteral("%1 %2\t%3\t\r\n").arg(folder).arg(i).arg(object);
        }
        Map(folder, map);
    }
};

// Writes the whole profile below `dir`; returns it with its user folder set.
inline Profile MakeProfile(const QString &dir)
{
    Profile p;
    p.appData = dir + QStringLiteral("/Documents and Settings/Bench/Application Data/");
    p.user = p.appData + QStringLiteral("Microsoft/MSN Messenger/") + EmailToId(kEmail) + QLatin1Char('/');
    protect::MasterKeyParams params;
    params.sid = kSid;
    params.passwordHash = protect::PasswordHashes::Of(kPassword).sha1;
    p.key = protect::MakeMasterKeyFile(params);
    Write(p.appData + QStringLiteral("Microsoft/Protect/") + kSid + QLatin1Char('/') + p.key.guid, p.key.file);

    const QByteArray png("\x89PNG\r\n\x1a\n", 8), gif("GIF89a"), jpg("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10),
        cab("MSCF\0\0\0\0", 8);
    p.Folder(QStringLiteral("CustomEmoticons"), 600, 0, png, 0);
    p.Folder(QStringLiteral("UserTile"), 500, 1000, gif, 1);
    p.Folder(QStringLiteral("Backgrounds"), 400, 2000, jpg, 2);
    p.Folder(QStringLiteral("Winks3"), 250, 3000, cab, 2);
    p.Folder(QStringLiteral("DeluxeDisplayPictures"), 150, 4000, cab, 2);
    p.Folder(QStringLiteral("DynamicBackgrounds"), 100, 5000, cab, 2);
    return p;
}

// The key material of the profile's password with its master key already opened: one map is
// decrypted first, which opens and caches the key, so that the timed runs leave that out.
// `openMs` receives the time the opening took.
inline DpapiKeyMaterial OpenedKey(const Profile &p, qint64 *openMs)
{
    const DpapiKeyMaterial key = DpapiCredentials(QString(), kPassword, false);
    QElapsedTimer clock;
    clock.start();
    DecryptMapFile(p.user + QStringLiteral("UserTile/map.dat"), kEmail, key);
    *openMs = clock.elapsed();
    return key;
}

} // namespace zorvak::bench
