// File names made from names in content maps, packages and disks, by the rules of every caller
// (named exports, smiley themes, saves, the content library): whatever the name, the file name is
// safe on every common file system, stays one path component, holds no direction mark, is stable
// when made safe again, and numbering never hands out a name twice; under a smiley theme's rules it
// is also one word of at most 63 bytes that the theme reader takes as a picture. The input is split
// at the first zero byte: the name (UTF-8), then an extension.
#include "browse/FolderExport.h"
#include "common/SafeName.h"
#include "restore/ContentLibrary.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace zorvak::named;
    const QByteArray bytes = zorvak::fuzz::Bytes(data, size);
    const qsizetype zero = bytes.indexOf('\0');
    const QString name = QString::fromUtf8(zero < 0 ? bytes : bytes.left(zero));
    const QString ext = zero < 0 ? QStringLiteral(".png") : QString::fromUtf8(bytes.mid(zero + 1));

    for (const TSafeNameRules rules : {TSafeNameRules{false}, TSafeNameRules{true}, kThemeNameRules,
                                       zorvak::kSaveAsNameRules, zorvak::kLibraryNameRules}) {
        const QString stem = SafeStem(name, rules);
        if (!stem.isEmpty()) {
            FUZZ_CHECK(IsSafeFileName(stem, rules));
            FUZZ_CHECK(SafeStem(stem, rules) == stem);
        }
        TNameSet set;
        QStringList claimed;
        for (int i = 0; i < 4; ++i) {
            const QString file = set.Claim(name, ext, QStringLiteral("fallback"), rules);
            FUZZ_CHECK(IsSafeFileName(file, rules));
            FUZZ_CHECK(!file.contains(QLatin1Char('/')) && !file.contains(QLatin1Char('\\')));
            FUZZ_CHECK(file != QLatin1String(".") && file != QLatin1String(".."));
            for (const QString &earlier : claimed)
                FUZZ_CHECK(earlier.toCaseFolded() != file.toCaseFolded());
            claimed << file;
        }
    }
    return 0;
}
