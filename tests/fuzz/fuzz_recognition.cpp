// Signature recognition: the kind of a file depends only on its first bytes, read from memory or
// from disk alike, and always is one of the known extensions or nothing.
#include "browse/Recognition.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace zorvak;
    const QByteArray bytes = fuzz::Bytes(data, size);
    const QString ext = RecognizeBytes(bytes);
    FUZZ_CHECK(ext.isEmpty() || (ext.startsWith(QLatin1Char('.')) && ext == ext.toLower()));
    FUZZ_CHECK(RecognizeBytes(bytes.left(15)) == ext);
    if (!ext.isEmpty())
        (void)PreviewKind(ext);

    const QString path = fuzz::Scratch() + QStringLiteral("/head.dat");
    FUZZ_CHECK(fuzz::WriteAll(path, bytes));
    FUZZ_CHECK(RecognizeFile(path) == ext);
    return 0;
}
