// Master-key files: parsing, writing back, and opening with a fixed pre-key. A damaged round
// count is refused when read, so no input can keep the key derivation busy.
#include "dpapi/Dpapi.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/FuzzKeys.h"

namespace {
// Opening runs the key derivation once per round; small counts keep the fuzzer fast, the refusal
// of large ones is checked by the parser's bound.
constexpr quint32 kRoundsTried = 2000;

void TryKey(const std::optional<zorvak::dpapi::MasterKey> &mk)
{
    using namespace zorvak::dpapi;
    if (!mk)
        return;
    FUZZ_CHECK(mk->rounds <= MaxKeyRounds);
    if (mk->rounds > kRoundsTried)
        return;
    const QByteArray key = mk->Decrypt(zorvak::fuzz::FuzzPreKey());
    FUZZ_CHECK(key.isEmpty() || key.size() == 64);
    const std::optional<MasterKey> again = MasterKey::Parse(mk->Serialize());
    FUZZ_CHECK(again && again->encrypted == mk->encrypted && again->rounds == mk->rounds && again->salt == mk->salt);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace zorvak::dpapi;
    const QByteArray bytes = zorvak::fuzz::Bytes(data, size);
    const std::optional<MasterKeyFile> file = MasterKeyFile::Parse(bytes);
    // A lone MasterKey structure too: the fuzzer reaches its fields sooner this way.
    TryKey(MasterKey::Parse(bytes));
    if (!file)
        return 0;
    // The header's GUID is text as stored (lower-casing may change its length); the CREDHIST
    // section's is binary, so always 36 characters when present.
    const QString credhist = file->credhistGuid();
    FUZZ_CHECK(credhist.isEmpty() || credhist.size() == 36);
    TryKey(file->masterKey());
    TryKey(MasterKey::Parse(file->backupKeySection));
    const std::optional<MasterKeyFile> again = MasterKeyFile::Parse(file->Serialize());
    FUZZ_CHECK(again && again->masterKeySection == file->masterKeySection
               && again->backupKeySection == file->backupKeySection
               && again->credhistSection == file->credhistSection && again->domainKeySection == file->domainKeySection
               && again->policy == file->policy);
    return 0;
}
