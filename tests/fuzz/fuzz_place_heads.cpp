// What the disk search reads of a file: a cabinet's header and file table, a conversation file's
// first bytes. Never a read outside the file or past the bounds it promises, and the same answer
// whether the file comes in one piece or through reads at offsets.
#include "find/PlaceHeads.h"
#include "fuzz/FuzzSupport.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace zorvak;
    const QByteArray bytes = fuzz::Bytes(data, size);
    const bool package = find::IsPackageCabinet(bytes);
    qint64 total = 0;
    const bool throughReads = find::IsPackageCabinet(
        [&](qint64 offset, char *into, qint64 length) -> qint64 {
            FUZZ_CHECK(offset >= 0 && length >= 0 && offset + length <= bytes.size());
            total += length;
            std::memcpy(into, bytes.constData() + offset, size_t(length));
            return length;
        },
        bytes.size());
    FUZZ_CHECK(package == throughReads);
    FUZZ_CHECK(total <= 36 + find::kMaxFileTableBytes);
    if (package)
        FUZZ_CHECK(bytes.startsWith("MSCF"));
    (void)find::IsConversationHead(bytes.left(find::kConversationHeadBytes));
    return 0;
}
