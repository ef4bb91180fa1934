// content.xml as the content installer reads it: the input is packed with two pictures into a
// package and installed into a fresh library. Whatever the manifest names, nothing is written
// outside the library (and the installer's own temporary folder).
#include "cabinet/cabfiles.h"
#include "common/ContentTypes.h"
#include "fuzz/FuzzSupport.h"
#include "restore/ContentLibrary.h"

namespace {
const QByteArray kPng = QByteArray::fromHex(
    "89504e470d0a1a0a0000000d4948445200000001000000010806000000"
    "1f15c4890000000d49444154789c63000100000500010d0a2db40000000049454e44ae426082");
const QByteArray kGif = QByteArray::fromHex("4749463839610100010000000021f90401000000002c00000000010001000002024401003b");
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace zorvak;
    const QString root = fuzz::Scratch();
    const QString source = root + QStringLiteral("/source");
    const QString package = root + QStringLiteral("/package.mco");
    const QString library = root + QStringLiteral("/library/");
    QDir(source).removeRecursively();
    QDir(library).removeRecursively();
    FUZZ_CHECK(QDir().mkpath(source + QStringLiteral("/pics")));
    FUZZ_CHECK(fuzz::WriteAll(source + QStringLiteral("/content.xml"), fuzz::Bytes(data, size)));
    FUZZ_CHECK(fuzz::WriteAll(source + QStringLiteral("/a.png"), kPng));
    FUZZ_CHECK(fuzz::WriteAll(source + QStringLiteral("/pics/b.gif"), kGif));

    TCABFile cab;
    cab.CABFile = package;
    cab.CompressionType = typNone;
    cab.CABFileContents.Add().Name = source + QStringLiteral("/content.xml");
    cab.CABFileContents.Add().Name = source + QStringLiteral("/a.png");
    TCABFileEntry &gif = cab.CABFileContents.Add();
    gif.Name = source + QStringLiteral("/pics/b.gif");
    gif.RelPath = QStringLiteral("pics");
    FUZZ_CHECK(cab.CreateCabinet());

    QMap<ContentType, QString> subdirs;
    subdirs[ContentType::Emot] = QStringLiteral("CustomEmoticons");
    subdirs[ContentType::Dp] = QStringLiteral("DisplayPictures");
    subdirs[ContentType::Bg] = QStringLiteral("Backgrounds");
    subdirs[ContentType::Wink] = QStringLiteral("Winks");
    subdirs[ContentType::Ddp] = QStringLiteral("DynamicPictures");
    subdirs[ContentType::Dbg] = QStringLiteral("DynamicBackgrounds");
    TContentLibrary lib(library, subdirs);
    const qint32 result = lib.InstallPackage(package);
    FUZZ_CHECK(result == InstallOk || result == InstallFailed || result == TooManyItems);

    for (const QString &entry : fuzz::EntriesBelow(root)) {
        if (entry == package || entry == source || entry.startsWith(source + QLatin1Char('/'))
            || entry + QLatin1Char('/') == library || entry.startsWith(library))
            continue;
        std::fprintf(stderr, "written outside the library: %s\n", qPrintable(entry));
        std::abort();
    }
    // Every entry of the index names a file of the library.
    for (const TLibraryEntry &e : lib.ReadIndex()) {
        FUZZ_CHECK(!e.file.startsWith(QLatin1Char('/')) && QDir::cleanPath(library + e.file).startsWith(library));
        FUZZ_CHECK(QFileInfo(library + e.file).isFile());
    }
    return 0;
}
