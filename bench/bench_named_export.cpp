// Named export benchmark: the export with names of the backup benchmark's profile (2,000 objects
// of all six content types, maps protected with DPAPI), through map decryption, recognition,
// copying with times kept and index.tsv. The master key is opened once before the timed runs, as
// in the backup benchmark. Each run writes into a new folder. The web page and the smiley theme
// (600 emoticons and their .tar.gz) are timed once each, for information.
#include "BenchProfile.h"
#include "dpapi/MapFileCrypt.h"
#include "export/NamedExport.h"
#include "platform/Platform.h"
#include "shell/DialogService.h"
#include "shell/uLanguage.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

using namespace zorvak;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    DialogService::Set(std::make_unique<BatchDialogService>());
    SetCurrentLanguage(LoadEnglish());
    QTemporaryDir dir;
    const bench::Profile p = bench::MakeProfile(dir.path());

    qint64 keyMs = 0;
    const DpapiKeyMaterial key = bench::OpenedKey(p, &keyMs);

    const auto run = [&](named::TNamedFormat format, const QString &out, named::TNamedExportResult *result) {
        named::TNamedExportRequest request;
        request.userFolder = p.user;
        request.output = dir.path() + QStringLiteral("/") + out;
        request.format = format;
        request.email = bench::kEmail;
        request.key = key;
        QElapsedTimer timer;
        timer.start();
        *result = named::RunNamedExport(request);
        return timer.nsecsElapsed() / 1e6;
    };

    QList<double> times;
    named::TNamedExportResult result;
    for (int i = 0; i < 5; ++i)
        times << run(named::TNamedFormat::Folder, QStringLiteral("folder%1").arg(i), &result);
    std::sort(times.begin(), times.end());
    const qsizetype objects = result.objects.size();
    const bool ok = result.Ok() && objects == 2000;
    std::printf("named export (folder) of %lld objects, 5 runs: median %.0f ms, best %.0f ms, worst %.0f ms "
                "(target: under 2000 ms)\n",
                static_cast<long long>(objects), times.at(2), times.first(), times.last());
    const double html = run(named::TNamedFormat::Html, QStringLiteral("html"), &result);
    std::printf("named export (html) of %lld objects: %.0f ms\n", static_cast<long long>(result.objects.size()), html);
    const double theme = run(named::TNamedFormat::Pidgin, QStringLiteral("theme"), &result);
    std::printf("named export (smiley theme and .tar.gz) of %lld emoticons: %.0f ms\n",
                static_cast<long long>(result.objects.size()), theme);
    std::printf("master key opened once beforehand: %lld ms (not counted)\n", static_cast<long long>(keyMs));
    return ok && result.Ok() ? 0 : 1;
}
