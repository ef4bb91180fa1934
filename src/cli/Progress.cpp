#include "cli/Progress.h"

#include "cli/CliCommand.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace zorvak::cli {

namespace {
std::optional<bool> &TerminalOverride()
{
    static std::optional<bool> terminal;
    return terminal;
}

bool &Quiet()
{
    static bool quiet = false;
    return quiet;
}

Progress *&Current()
{
    static Progress *current = nullptr;
    return current;
}

int TerminalWidth()
{
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

// Erases from the cursor to the end of the line.
const char *const kEraseLine = "\x1b[K";
} // namespace

Progress::Progress(bool shown, QTextStream *out, int width)
    : m_shown(shown), m_out(out ? out : &Err()), m_width(width > 0 ? width : (shown ? TerminalWidth() : 80))
{
    if (m_shown) {
        m_previous = Current();
        Current() = this;
    }
}

Progress::~Progress()
{
    if (!m_shown)
        return;
    Clear();
    Current() = m_previous;
}

QString Progress::Line(qint64 done, qint64 total, const QString &item, int width)
{
    return Line(QStringLiteral("%1/%2").arg(done).arg(total), item, width);
}

QString Progress::Line(const QString &line, const QString &item, int width)
{
    // Control characters of a hostile name would move the cursor or colour the terminal.
    QString shown = item;
    for (QChar &c : shown)
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            c = QLatin1Char('?');
    if (shown.isEmpty())
        return line.left(qMax(1, width - 1));
    const qsizetype room = qMax(0, width - 1) - line.size() - 1;
    if (room <= 0)
        return line.left(qMax(1, width - 1));
    if (shown.size() > room)
        shown = room > 3 ? QStringLiteral("...") + shown.right(room - 3) : shown.right(room);
    return line + QLatin1Char(' ') + shown;
}

void Progress::Update(qint64 done, qint64 total, const QString &item)
{
    if (m_shown)
        Show(QStringLiteral("%1/%2").arg(done).arg(total), item);
}

void Progress::Show(const QString &head, const QString &item)
{
    if (!m_shown)
        return;
    const QString line = Line(head, item, m_width);
    if (line == m_line)
        return;
    m_line = line;
    *m_out << '\r' << line << kEraseLine;
    m_out->flush();
}

void Progress::Clear()
{
    if (!m_shown || m_line.isEmpty())
        return;
    m_line.clear();
    *m_out << '\r' << kEraseLine;
    m_out->flush();
}

bool Progress::Wanted(bool quiet)
{
    if (quiet || Quiet())
        return false;
    if (TerminalOverride())
        return *TerminalOverride();
    return isatty(STDERR_FILENO) == 1 && qgetenv("TERM") != "dumb";
}

void Progress::SetQuiet(bool quiet) { Quiet() = quiet; }

void Progress::SetTerminalOverride(std::optional<bool> terminal) { TerminalOverride() = terminal; }

void Progress::ClearCurrent()
{
    if (Current())
        Current()->Clear();
}

} // namespace zorvak::cli
