// Cabinets through the cabinet component: listing, checking and extraction of hostile bytes.
// Extraction may write only below its target folder, whatever names the cabinet stores.
#include "cabinet/cabfiles.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace zorvak;
    const QString root = fuzz::Scratch();
    const QString cabPath = root + QStringLiteral("/input.cab");
    const QString target = root + QStringLiteral("/out");
    FUZZ_CHECK(fuzz::WriteAll(cabPath, fuzz::Bytes(data, size)));
    QDir(target).removeRecursively();
    FUZZ_CHECK(QDir().mkpath(target));

    TCABFile cab;
    cab.CABFile = cabPath;
    cab.ListContents();
    for (int i = 0; i < cab.CABFileContents.Count(); ++i)
        FUZZ_CHECK(cab.CABFileContents[i].Size >= 0);
    // A failure always says why. (Success may carry a note too: the skipped unsafe names.)
    const bool tested = cab.TestAll();
    FUZZ_CHECK(tested || !cab.LastError().isEmpty());

    cab.TargetPath = target + QLatin1Char('/');
    const bool extracted = cab.ExtractAll();
    FUZZ_CHECK(extracted || !cab.LastError().isEmpty());
    // A cabinet that tests fine may still fail to extract (a file and a folder of the same name,
    // a name the file system refuses): that is reported, not a fault.
    (void)extracted;
    for (const QString &entry : fuzz::EntriesBelow(root)) {
        if (entry == cabPath || entry == target || entry.startsWith(target + QLatin1Char('/')))
            continue;
        std::fprintf(stderr, "written outside the target folder: %s\n", qPrintable(entry));
        std::abort();
    }
    // Nothing below the target is a link: extraction makes plain files and folders only.
    for (const QString &entry : fuzz::EntriesBelow(target))
        FUZZ_CHECK(!QFileInfo(entry).isSymLink());
    QDir(target).removeRecursively();
    return 0;
}
