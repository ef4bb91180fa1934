// Decrypted map text of every layout, and the Messenger objects inside map.dat. The first byte
// picks the content type, whether defaults are skipped and how the rest is read (UTF-16 as the
// decryption gives it, or UTF-8).
#include "backup/MsnMap.h"
#include "common/Exceptions.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace zorvak;
    if (size < 1)
        return 0;
    const uint8_t mode = data[0];
    const QByteArray rest = fuzz::Bytes(data + 1, size - 1);
    const QString text = (mode & 0x10)
        ? QString::fromUtf16(reinterpret_cast<const char16_t *>(rest.constData()), rest.size() / 2)
        : QString::fromUtf8(rest);
    static const ContentType types[] = {ContentType::Emot, ContentType::Dp, ContentType::Bg,
                                        ContentType::Wink, ContentType::Ddp, ContentType::Dbg};
    const ContentType type = types[(mode & 0x0F) % 6];
    const bool skipDefault = mode & 0x20;

    // A malformed map or object raises the program's own exception, which the backup reports;
    // anything else escaping is a fault.
    try {
        const TMsnArr list = ParseContentMap(type, text, skipDefault);
        FUZZ_CHECK(list != nullptr);
        for (const TMsnStuff &s : *list)
            (void)UnescapeXml(s.Name);
    } catch (const Exception &) {
    }
    try {
        (void)ParseEmoticonMap(text);
    } catch (const Exception &) {
    }
    try {
        (void)ParsePictureMap(text, DefaultDp(), skipDefault);
    } catch (const Exception &) {
    }
    try {
        (void)ParseLineMap(text, DefaultsOf(type), skipDefault);
    } catch (const Exception &) {
    }
    try {
        (void)MsnObjectLocation(text);
        THash table;
        ParseMsnObject(text, table);
    } catch (const Exception &) {
    }
    try {
        (void)StrToInt(text.left(32));
    } catch (const Exception &) {
    }
    const QString escaped = EscapeXml(text);
    FUZZ_CHECK(UnescapeXml(escaped) == text);
    return 0;
}
