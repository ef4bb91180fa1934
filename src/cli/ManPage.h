#pragma once
// Manual pages (roff, the man macros) made from the texts that --help prints, so that a page and
// the help cannot say different things. The help texts are laid out by hand, line by line, so they
// are kept as they are (no filling), escaped for roff.
#include <QList>
#include <QString>

namespace zorvak::cli {

struct ManSection {
    struct Block {
        QString heading;  // a sub-section title (".SS"); empty for none
        QString lead;     // a filled paragraph before the text; empty for none
        QString text;     // lines shown as they are
    };
    QString title;        // upper case by custom: "DESCRIPTION"
    QList<Block> blocks;
};

struct ManPageText {
    QString program;      // "zorvak-cli"
    QString summary;      // what the NAME section says after the program's name
    QString version;      // "2.1.0"
    QString synopsis;     // one line a form
    QList<ManSection> sections;
};

// The whole page.
QString RenderManPage(const ManPageText &page);
// One line of text made safe for roff: backslashes, hyphen-minus signs, a leading dot or
// apostrophe (which would start a request) and characters outside ASCII are escaped.
QString RoffLine(const QString &line);

} // namespace zorvak::cli
