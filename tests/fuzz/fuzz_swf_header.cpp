// The header of a Flash movie, from memory and from a file: never more than the header says,
// and the same answer both ways.
#include "browse/SwfInfo.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace zorvak;
    const QByteArray bytes = fuzz::Bytes(data, size);
    const TSwfInfo info = ParseSwfHeader(bytes);
    FUZZ_CHECK(info.valid == info.error.isEmpty());
    if (info.valid) {
        FUZZ_CHECK(info.width >= 0 && info.height >= 0 && info.frameRate >= 0 && info.frameCount >= 0);
        FUZZ_CHECK(info.version >= 0 && info.version <= 255);
    }
    (void)SwfInfoCard(info, QStringLiteral("movie.swf"));

    const QString path = fuzz::Scratch() + QStringLiteral("/movie.swf");
    FUZZ_CHECK(fuzz::WriteAll(path, bytes));
    const TSwfInfo fromFile = ReadSwfInfo(path);
    FUZZ_CHECK(fromFile.valid == info.valid);
    if (info.valid)
        FUZZ_CHECK(fromFile.frameCount == info.frameCount && fromFile.fileLength == info.fileLength);
    return 0;
}
