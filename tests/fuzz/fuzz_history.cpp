// A conversation history file as the reader and the page export read it: whatever the bytes, the
// reader ends, keeps each text within its limit, and the pages written hold no script and no
// event attribute, all inside the output folder.
#include "fuzz/FuzzSupport.h"
#include "history/HistoryExport.h"
#include "history/HistoryReader.h"

#include <QBuffer>
#include <QRegularExpression>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace zorvak::history;
    const QByteArray bytes = zorvak::fuzz::Bytes(data, size);
    {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        THistoryReader reader(&buffer);
        THistoryEntry e;
        qint64 n = 0;
        while (reader.Next(e)) {
            FUZZ_CHECK(e.text.size() <= kMaxFieldChars && e.file.size() <= kMaxFieldChars);
            FUZZ_CHECK(e.style.color.isEmpty() || QRegularExpression(QStringLiteral("^#[0-9a-f]{6}$")).match(e.style.color).hasMatch());
            ++n;
        }
        FUZZ_CHECK(n == reader.Count());
        FUZZ_CHECK((reader.Outcome() == TReadOutcome::Complete) == reader.Problem().isEmpty());
    }

    const QString root = zorvak::fuzz::Scratch();
    const QString source = root + QStringLiteral("/source/History");
    const QString out = root + QStringLiteral("/out");
    QDir(root + QStringLiteral("/source")).removeRecursively();
    QDir(out).removeRecursively();
    FUZZ_CHECK(QDir().mkpath(source));
    FUZZ_CHECK(zorvak::fuzz::WriteAll(source + QStringLiteral("/bob.demo3225867861.xml"), bytes));
    THistoryExportRequest request;
    request.source = source;
    request.output = out;
    request.format = THistoryFormat::Html;
    RunHistoryExport(request);
    static const QRegularExpression event(QStringLiteral("<[^>]*\\son[a-z]+\\s*="), QRegularExpression::CaseInsensitiveOption);
    for (const QString &entry : zorvak::fuzz::EntriesBelow(root)) {
        if (entry.startsWith(root + QStringLiteral("/source")))
            continue;
        if (entry != out && !entry.startsWith(out + QLatin1Char('/'))) {
            std::fprintf(stderr, "written outside the output: %s\n", qPrintable(entry));
            std::abort();
        }
        if (entry.endsWith(QLatin1String(".html"))) {
            QFile page(entry);
            FUZZ_CHECK(page.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(page.readAll());
            FUZZ_CHECK(!text.contains(QLatin1String("<script"), Qt::CaseInsensitive));
            FUZZ_CHECK(!event.match(text).hasMatch());
        }
    }
    return 0;
}
