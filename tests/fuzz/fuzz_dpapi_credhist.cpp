// CREDHIST files: the chain of entries read from the end, each opened with a fixed pre-key.
#include "dpapi/Dpapi.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/FuzzKeys.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace zorvak::dpapi;
    const QByteArray bytes = zorvak::fuzz::Bytes(data, size);
    const std::optional<QList<CredhistEntry>> entries = ParseCredhist(bytes);
    if (!entries)
        return 0;
    // Every entry is at least its fixed part; together they fit in the file.
    FUZZ_CHECK(qsizetype(entries->size()) * 24 <= bytes.size());
    for (const CredhistEntry &e : *entries) {
        FUZZ_CHECK(e.rounds <= MaxKeyRounds);
        FUZZ_CHECK(e.salt.size() == 16);
        if (e.rounds > 2000)
            continue; // the derivation's cost grows with the rounds; the bound above is what matters
        const std::optional<CredhistEntry::Hashes> h = e.Decrypt(zorvak::fuzz::FuzzPreKey());
        if (h)
            FUZZ_CHECK(h->sha1.size() == 20 && h->nt.size() == 16);
    }
    return 0;
}
