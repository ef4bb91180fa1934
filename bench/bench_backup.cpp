// Backup benchmark: a whole run over a synthetic profile of 2,000 items (all six content types,
// maps protected with DPAPI under a Windows XP master key), through decryption, parsing,
// recognition, copying, eleven content.xml parts and eleven MSZIP cabinets. The master key is
// opened once before the timed runs (it is cached for the rest of a run); the figure is the time
// from the press of Backup to the final message.
#include "backup/BackupCore.h"
#include "backup/DpapiKeyMaterial.h"
#include "backup/MapFileCrypt.h"
#include "browse/EmailId.h"
#include "platform/Platform.h"
#include "shell/DialogService.h"
#include "shell/uLanguage.h"
#include "DpapiProtect.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

using namespace zorvak;
namespace protect = zorvak::dpapi::protect;

namespace {

const QString kEmail = QStringLiteral("bench.user@hotmail.com");
const QString kPassword = QStringLiteral("bench-password");
const QString kSid = QStringLiteral("S-1-5-21-1111111111-2222222222-3333333333-1001");

class BenchPlatform : public PosixPlatform {
public:
    QString dir;
    QString AppDir() override { return dir; }
    bool ShowInFileManager(const QString &) override { return true; }
};

class QuietHost : public TBackupHost {
public:
    int packages = 0, items = 0;
    std::optional<int> ConfirmItems(ContentType, const QString &, const TMsnArr &items, const TDefaultTable &,
                                    int) override
    {
        return int(items->size());
    }
    int Ask(TBackupQuestion, const QString &, TMsgDlgType, TMsgDlgButtons) override { return mrNo; }
    void PackageWritten(const QString &, int n) override
    {
        ++packages;
        items += n;
    }
};

bool Write(const QString &path, const QByteArray &data)
{
    QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// An object of about 4 KB whose first bytes make it a picture or a cabinet.
QByteArray Object(int i, const QByteArray &head)
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

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    DialogService::Set(std::make_unique<BatchDialogService>());
    SetCurrentLanguage(LoadEnglish());
    QTemporaryDir dir;
    auto platform = std::make_unique<BenchPlatform>();
    platform->dir = dir.path() + QStringLiteral("/app/");
    QDir().mkpath(platform->dir);
    Platform::Set(std::move(platform));

    Profile p;
    p.appData = dir.path() + QStringLiteral("/Documents and Settings/Bench/Application Data/");
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

    const DpapiKeyMaterial key = DpapiCredentials(QString(), kPassword, false);
    QElapsedTimer clock;
    clock.start();
    DecryptMapFile(p.user + QStringLiteral("UserTile/map.dat"), kEmail, key); // opens and caches the master key
    const qint64 keyMs = clock.elapsed();

    const QString outDir = dir.path() + QStringLiteral("/out/");
    QDir().mkpath(outDir);
    QList<double> times;
    QuietHost host;
    for (int run = 0; run < 5; ++run) {
        host = QuietHost();
        TBackupCore core(host);
        TBackupRequest request;
        request.folder = p.user;
        request.email = kEmail;
        request.output = outDir + QStringLiteral("Backup1.mco");
        request.types.fill(true);
        request.confirm = false;
        request.outputChosen = true;
        request.key = key;
        clock.restart();
        core.Run(request);
        times << clock.nsecsElapsed() / 1e6;
    }
    std::sort(times.begin(), times.end());
    std::printf("backup of %d items into %d MCO files (MSZIP), 5 runs: median %.0f ms, best %.0f ms, worst %.0f ms\n",
                host.items, host.packages, times.at(2), times.first(), times.last());
    std::printf("master key opened once beforehand: %lld ms (not counted)\n", static_cast<long long>(keyMs));
    return host.items == 2000 ? 0 : 1;
}
