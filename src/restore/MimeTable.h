#pragma once
// The file-extension -> MIME type table of the local web server, built once from the system's
// shared MIME database. It is complete when built and never changes afterwards, so lookups from
// several connection threads need no lock.
#include <QHash>
#include <QString>

namespace zorvak {

class TMimeTable {
public:
    // Fills the table from the system's MIME database (every suffix of every type; a type's
    // preferred suffix wins over another type that merely lists the same suffix).
    TMimeTable();
    // The type of a lower-case extension without its dot; empty when unknown.
    QString Lookup(const QString &extension) const;
    qsizetype Count() const { return m_types.size(); }

private:
    QHash<QString, QString> m_types;
};

// The process-wide table, built on first use (thread-safe).
const TMimeTable &MimeTable();

// The MIME type of a file by its extension (compared in lower case); "application/octet-stream"
// for an extension the table does not know, or none.
QString GetMimeType(const QString &fileName);

} // namespace zorvak
