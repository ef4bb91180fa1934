// A smiley store (smileys.xml) someone else wrote, as the merge reads it: an accepted store keeps
// every entry it had when two entries are added, the new ones land in the smiley set Pidgin reads,
// and the merged document is accepted in turn; a refused one yields nothing to merge.
#include "export/SmileyStore.h"
#include "fuzz/FuzzSupport.h"

#include <QXmlStreamReader>

namespace {

// The shortcuts of the smiley set Pidgin reads: the first smiley_set of the first profile.
QStringList ShortcutsPidginReads(const QByteArray &document)
{
    QXmlStreamReader xml(document);
    QStringList shortcuts;
    int depth = 0;
    bool profileSeen = false, setSeen = false, inProfile = false, inSet = false;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            if (depth == 2 && !profileSeen && xml.name() == QLatin1String("profile"))
                profileSeen = inProfile = true;
            else if (inProfile && depth == 3 && !setSeen && xml.name() == QLatin1String("smiley_set"))
                setSeen = inSet = true;
            else if (inSet && depth == 4 && xml.name() == QLatin1String("smiley"))
                shortcuts << xml.attributes().value(QLatin1String("shortcut")).toString();
        } else if (token == QXmlStreamReader::EndElement) {
            if (depth == 3)
                inSet = false;
            if (depth == 2)
                inProfile = false;
            --depth;
        }
    }
    return shortcuts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace zorvak::named;
    QString error;
    const TSmileyStore store = ParseSmileyStore(zorvak::fuzz::Bytes(data, size), &error);
    if (!error.isEmpty()) {
        FUZZ_CHECK(store.smileys.isEmpty() && store.document.isEmpty());
        return 0;
    }
    const QList<TStoreSmiley> added = {
        {QStringLiteral("\\o/ & <new>"), QStringLiteral("0123456789abcdef0123456789abcdef01234567"),
         QStringLiteral("0123456789abcdef0123456789abcdef01234567.png")},
        {QStringLiteral("\"'"), QStringLiteral("89abcdef0123456789abcdef0123456789abcdef"),
         QStringLiteral("89abcdef0123456789abcdef0123456789abcdef.gif")}};
    const QByteArray merged = MergedSmileyStore(store, added);
    FUZZ_CHECK(!merged.isEmpty());
    QString again;
    const TSmileyStore back = ParseSmileyStore(merged, &again);
    FUZZ_CHECK(again.isEmpty());
    // Every entry it had, unchanged, and the new ones.
    const auto keys = [](const QList<TStoreSmiley> &smileys) {
        QStringList keys;
        for (const TStoreSmiley &s : smileys)
            keys << s.shortcut + QChar(0x1F) + s.checksum + QChar(0x1F) + s.filename;
        keys.sort();
        return keys;
    };
    FUZZ_CHECK(keys(back.smileys) == keys(store.smileys + added));
    const QStringList read = ShortcutsPidginReads(merged);
    FUZZ_CHECK(read.size() >= 2 && read.mid(read.size() - 2) == QStringList({added.at(0).shortcut, added.at(1).shortcut}));
    return 0;
}
