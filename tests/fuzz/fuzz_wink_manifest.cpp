// The manifest inside a wink's cabinet, as text and as a whole cabinet: a name only when there is
// one, never longer than the limit, no control character, nothing written beside the cabinet.
#include "backup/StoreBackup.h"
#include "fuzz/FuzzSupport.h"

#include <QDir>

namespace {
void CheckManifest(const std::optional<zorvak::TWinkManifest> &manifest)
{
    if (!manifest)
        return;
    FUZZ_CHECK(!manifest->name.isEmpty());
    FUZZ_CHECK(manifest->name.size() <= zorvak::MaxWinkTextLength);
    FUZZ_CHECK(manifest->shortcut.size() <= zorvak::MaxWinkTextLength);
    for (const QString &text : {manifest->name, manifest->shortcut})
        for (QChar c : text)
            FUZZ_CHECK(c.unicode() >= 32 && c.unicode() != 0x7F);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace zorvak;
    const QByteArray bytes = fuzz::Bytes(data, size);
    CheckManifest(ParseWinkManifest(bytes));

    // The same bytes as a wink object on disk; its folder holds nothing else afterwards.
    const QString folder = fuzz::Scratch() + QStringLiteral("/wink");
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/object.dt2");
    FUZZ_CHECK(fuzz::WriteAll(path, bytes));
    CheckManifest(ReadWinkManifest(path));
    FUZZ_CHECK(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
               == QStringList{QStringLiteral("object.dt2")});
    return 0;
}
