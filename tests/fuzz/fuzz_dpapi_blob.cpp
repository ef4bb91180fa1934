// DPAPI blobs: parsing, then decryption under a fixed master key and entropy.
#include "dpapi/Dpapi.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/FuzzKeys.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace zorvak::dpapi;
    const QByteArray bytes = zorvak::fuzz::Bytes(data, size);
    const std::optional<Blob> blob = Blob::Parse(bytes);
    if (!blob)
        return 0;
    FUZZ_CHECK(blob->provider == ProviderGuid());
    FUZZ_CHECK(blob->signedRegion.size() <= bytes.size());
    FUZZ_CHECK(blob->masterKeyGuid.size() == 36);
    const std::optional<QByteArray> plain = DecryptBlob(*blob, zorvak::fuzz::FuzzMasterKey(), zorvak::fuzz::FuzzEntropy());
    if (plain)
        FUZZ_CHECK(plain->size() < blob->cipherData.size());
    return 0;
}
