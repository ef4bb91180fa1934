#pragma once
#include "dpapi/DpapiKeyMaterial.h"
// A synthetic Messenger user folder for backup tests. Maps are stored as plain text and read back
// through the run's decryption seam, so that tests of collection and splitting need no key.
#include "backup/BackupCore.h"
#include "common/EmailId.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <ostream>

// Readable QString values in test failures.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace zorvak::test {

// The first bytes of a PNG / GIF / compressed Flash file, padded to make distinct contents.
inline QByteArray PngBytes(int i) { return QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray::number(i).repeated(20); }
inline QByteArray GifBytes(int i) { return QByteArray("GIF89a") + QByteArray::number(i).repeated(20); }
inline QByteArray CabBytes(int i) { return QByteArray("MSCF") + QByteArray(4, '\0') + QByteArray::number(i); }

struct SyntheticProfile {
    QString root;     // the user folder, with a trailing '/'
    QString email;

    SyntheticProfile(const QString &parent, const QString &address = QStringLiteral("someone@example.com"))
        : email(address)
    {
        root = parent + QLatin1Char('/') + EmailToId(address) + QLatin1Char('/');
        QDir().mkpath(root + QStringLiteral("MapFile"));
    }

    // Writes map.dat pointing at MapFile/<type>.map, the map text, and the object files.
    void AddFolder(const QString &subFolder, const QString &mapText, const QList<QPair<QString, QByteArray>> &files)
    {
        const QString folder = root + subFolder + QLatin1Char('/');
        WriteFile(folder + QStringLiteral("map.dat"),
                  QStringLiteral("<msnobj Creator=\"x\" Location=\"%1.map\" Size=\"0\"/>").arg(subFolder).toUtf8());
        WriteFile(root + QStringLiteral("MapFile/") + subFolder + QStringLiteral(".map"), mapText.toUtf8());
        for (const auto &[name, data] : files)
            WriteFile(folder + name, data);
    }

    // n custom emoticons: "E<i>.tmp" recognised as PNG, shortcut "k<i>", name "Emoticon <i>".
    void AddEmoticons(int n, int first = 0)
    {
        QString map;
        QList<QPair<QString, QByteArray>> files;
        for (int i = first; i < first + n; ++i) {
            map += QStringLiteral("k%1\tEmoticon %1\t<msnobj Location=\"E%1.tmp\" Size=\"28\"/>\t").arg(i);
            files.append({QStringLiteral("E%1.tmp").arg(i), PngBytes(i)});
        }
        AddFolder(QStringLiteral("CustomEmoticons"), map, files);
    }

    // n display pictures "D<i>.dat" recognised as GIF.
    void AddPictures(int n)
    {
        QString map;
        QList<QPair<QString, QByteArray>> files;
        for (int i = 0; i < n; ++i) {
            map += QStringLiteral("Picture %1\t<msnobj Location=\"D%1.dat\" Size=\"30\" stamp=\"S%1\"/>\t").arg(i);
            files.append({QStringLiteral("D%1.dat").arg(i), GifBytes(i)});
        }
        AddFolder(QStringLiteral("UserTile"), map, files);
    }

    // A line-map folder of n objects recognised as cabinets.
    void AddLineFolder(const QString &subFolder, int n)
    {
        QString map;
        QList<QPair<QString, QByteArray>> files;
        for (int i = 0; i < n; ++i) {
            map += QStringLiteral("%1 %2\t<msnobj Location=\"%1%2.dat\" Size=\"40\" stamp=\"ST%2=\"/>\t\r\n")
                       .arg(subFolder.left(3))
                       .arg(i);
            files.append({QStringLiteral("%1%2.dat").arg(subFolder.left(3)).arg(i), CabBytes(i)});
        }
        AddFolder(subFolder, map, files);
    }
};

// Reads a plain map file: the decryption seam of the tests.
inline QString ReadPlainMap(const QString &path, const QString &, const DpapiKeyMaterial &)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace zorvak::test
