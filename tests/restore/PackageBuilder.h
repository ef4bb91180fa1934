#pragma once
// Builds MCO packages for the restore tests the way the backup writes them: a folder with the
// object files and a windows-1252 content.xml, packed into an MSZIP cabinet.
#include <QByteArray>
#include <QList>
#include <QString>

namespace zorvak::test {

struct TestItem {
    QString type;      // emoticon, usertile, background, wink, dynamicpicture, dynamicbackground
    QString file;      // name inside the package
    QByteArray data;   // the object's bytes
    QString name;      // display name as written (already XML-escaped)
    QString key;       // emoticon shortcut as written (already XML-escaped)
    bool listedOnly = false; // listed in content.xml but not packed
};

// The manifest line of one item, in the backup's attribute order.
QString ManifestLine(const TestItem &item);
// Writes `items` into `work` (a scratch folder) and packs it into `package`. Returns false when
// the cabinet could not be made.
bool BuildPackage(const QString &work, const QString &package, const QList<TestItem> &items);
// A small PNG of a given shade, distinct per shade.
QByteArray TinyPng(int shade);

} // namespace zorvak::test
