// Wine's data-protection blobs: parsing, then decryption as the Wine user of the seed blobs and
// their entropy (the seeds decrypt, so the fuzzer reaches the cipher and the padding).
#include "dpapi/WineProtect.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace zorvak::wine;
    const QByteArray bytes = zorvak::fuzz::Bytes(data, size);
    const std::optional<Blob> blob = Blob::Parse(bytes);
    FUZZ_CHECK(!blob || IsWineBlob(bytes));
    if (!blob)
        return 0;
    FUZZ_CHECK(blob->salt.size() + blob->cipherData.size() + blob->fingerprint.size() < bytes.size());
    const std::optional<QByteArray> plain = Decrypt(*blob, "dana", "alice@example.com");
    if (plain)
        FUZZ_CHECK(plain->size() < blob->cipherData.size());
    return 0;
}
