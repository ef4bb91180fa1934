#pragma once
// The progress of a long verb (a backup, a cabinet written or extracted, several parts installed)
// on standard error: one line that rewrites itself, "DONE/TOTAL ITEM". It is shown only when
// standard error is a terminal and --quiet was not given, so that scripts and logs never see it.
// A message printed while the line is up clears it first (PrintError does), so that the two do
// not run into each other.
#include <QString>
#include <QTextStream>
#include <optional>

namespace zorvak::cli {

class Progress {
public:
    // `shown` false: the object does nothing. `out` receives the line; `width` is the number of
    // columns the line may take (0: the terminal's width, 80 when unknown).
    explicit Progress(bool shown, QTextStream *out = nullptr, int width = 0);
    ~Progress();
    Progress(const Progress &) = delete;
    Progress &operator=(const Progress &) = delete;

    // Shows "done/total item". The line is rewritten only when its text changes; an item too long
    // for the line keeps its end (the file name), its start replaced by "...".
    void Update(qint64 done, qint64 total, const QString &item);
    // The same with another text in front of the item ("120 folders, 2 found"), for work whose
    // total is not known beforehand.
    void Show(const QString &head, const QString &item);
    // Removes the line; the next Update draws it again.
    void Clear();
    bool Shown() const { return m_shown; }

    // Whether a verb shows its progress: standard error is a terminal that can rewrite a line
    // (TERM is not "dumb"), and neither `quiet` nor the verb's --quiet (SetQuiet) says otherwise.
    static bool Wanted(bool quiet = false);
    // Every verb's --quiet, set when its options are read.
    static void SetQuiet(bool quiet);
    // Replaces the terminal check of Wanted (tests); nothing puts the real check back.
    static void SetTerminalOverride(std::optional<bool> terminal);
    // Clears the line of the progress being shown, if there is one.
    static void ClearCurrent();

    // The text of the line for these values, at most `width` - 1 characters (the last column is
    // left free so that the terminal does not wrap).
    static QString Line(qint64 done, qint64 total, const QString &item, int width);
    static QString Line(const QString &line, const QString &item, int width);

private:
    bool m_shown;
    QTextStream *m_out;
    int m_width;
    QString m_line; // the line on the screen; empty when none
    Progress *m_previous = nullptr;
};

} // namespace zorvak::cli
