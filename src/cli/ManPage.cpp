#include "cli/ManPage.h"

#include <QStringList>

namespace zorvak::cli {

QString RoffLine(const QString &line)
{
    QString out;
    out.reserve(line.size() + 8);
    if (line.startsWith(QLatin1Char('.')) || line.startsWith(QLatin1Char('\'')))
        out += QStringLiteral("\\&");
    for (const char32_t c : line.toUcs4()) {
        if (c == U'\\')
            out += QStringLiteral("\\e");
        else if (c == U'-')
            out += QStringLiteral("\\-");
        else if (c == U'\t')
            out += QLatin1Char(' ');
        else if (c < 0x20 || c == 0x7f)
            continue; // a control character has no place on a page
        else if (c > 0x7e)
            out += QStringLiteral("\\[u%1]").arg(QString::number(quint32(c), 16).toUpper().rightJustified(4, QLatin1Char('0')));
        else
            out += QChar(char16_t(c));
    }
    return out;
}

namespace {
// Lines shown as they are; an empty line stays an empty line.
QString Verbatim(const QString &text)
{
    QString out = QStringLiteral(".nf\n");
    for (const QString &line : text.split(QLatin1Char('\n')))
        out += line.trimmed().isEmpty() ? QStringLiteral("\\&\n") : RoffLine(line) + QLatin1Char('\n');
    out += QStringLiteral(".fi\n");
    return out;
}

QString TrimmedEnd(QString text)
{
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}
} // namespace

QString RenderManPage(const ManPageText &page)
{
    QString out;
    out += QStringLiteral(".TH %1 1 \"\" \"Zorvak %2\" \"User Commands\"\n")
               .arg(RoffLine(page.program.toUpper()), RoffLine(page.version));
    out += QStringLiteral(".SH NAME\n") + RoffLine(page.program) + QStringLiteral(" \\- ") + RoffLine(page.summary)
           + QLatin1Char('\n');
    out += QStringLiteral(".SH SYNOPSIS\n") + Verbatim(TrimmedEnd(page.synopsis));
    for (const ManSection &section : page.sections) {
        out += QStringLiteral(".SH ") + RoffLine(section.title) + QLatin1Char('\n');
        for (const ManSection::Block &block : section.blocks) {
            if (!block.heading.isEmpty())
                out += QStringLiteral(".SS ") + RoffLine(block.heading) + QLatin1Char('\n');
            else
                out += QStringLiteral(".PP\n");
            if (!block.lead.isEmpty())
                out += RoffLine(block.lead) + (block.text.isEmpty() ? QStringLiteral("\n") : QStringLiteral("\n.PP\n"));
            if (!block.text.isEmpty())
                out += Verbatim(TrimmedEnd(block.text));
        }
    }
    return out;
}

} // namespace zorvak::cli
