// Backup benchmark: a whole run over a synthetic profile of 2,000 items (all six content types,
// maps protected with DPAPI under a Windows XP master key), through decryption, parsing,
// recognition, copying, eleven content.xml parts and eleven MSZIP cabinets. The master key is
// opened once before the timed runs (it is cached for the rest of a run); the figure is the time
// from the press of Backup to the final message.
#include "backup/BackupCore.h"
#include "dpapi/DpapiKeyMaterial.h"
#include "dpapi/MapFileCrypt.h"
#include "common/EmailId.h"
#include "platform/Platform.h"
#include "shell/DialogService.h"
#include "shell/uLanguage.h"
#include "BenchProfile.h"

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

namespace {

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

    const bench::Profile p = bench::MakeProfile(dir.path());

    qint64 keyMs = 0;
    const DpapiKeyMaterial key = bench::OpenedKey(p, &keyMs);

    const QString outDir = dir.path() + QStringLiteral("/out/");
    QDir().mkpath(outDir);
    QList<double> times;
    QElapsedTimer clock;
    QuietHost host;
    for (int run = 0; run < 5; ++run) {
        host = QuietHost();
        TBackupCore core(host);
        TBackupRequest request;
        request.folder = p.user;
        request.email = bench::kEmail;
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
