#include "PackageBuilder.h"

#include "cabinet/CabinetTasks.h"
#include "common/Cp1252.h"
#include "support/TestEnv.h"

#include <QBuffer>
#include <QDir>
#include <QImage>

namespace zorvak::test {

namespace {
const QString kHost = QStringLiteral("http://messenger.msn.com");
}

QString ManifestLine(const TestItem &i)
{
    if (i.type == QLatin1String("emoticon"))
        return QStringLiteral("<item xmlns:emoticon=\"%1/emoticon/1.0\" contentid=\"%2\" contenttype=\"D\" type=\"emoticon\" "
                              "emoticon:namespaceprefix=\"Backup3\" mimetype=\"image/png\" file=\"%2\" "
                              "emoticon:displayname=\"%3\" emoticon:keysequence=\"%4\" />")
            .arg(kHost, i.file, i.name, i.key);
    if (i.type == QLatin1String("usertile"))
        return QStringLiteral("<item xmlns:usertile=\"%1/usertile/1.0\" contentid=\"%2\" contenttype=\"P\" usertile:version=\"1.0\" "
                              "type=\"usertile\" mimetype=\"image/png\" file=\"%2\" usertile:default=\"false\" "
                              "usertile:displayname=\"%3\" />")
            .arg(kHost, i.file, i.name);
    if (i.type == QLatin1String("background"))
        return QStringLiteral("<item xmlns:background=\"%1/background/1.0\" contentid=\"%2\" contenttype=\"P\" "
                              "background:version=\"1.0\" type=\"background\" mimetype=\"image/png\" file=\"%2\" "
                              "background:displayname=\"%3\" />")
            .arg(kHost, i.file, i.name);
    // wink, dynamicpicture: no name
    return QStringLiteral("<item contentid=\"%1\" type=\"%2\" contenttype=\"P\" mimetype=\"application/messengercontent\" "
                          "file=\"%1\" stamp=\"c3RhbXA=\" />")
        .arg(i.file, i.type);
}

bool BuildPackage(const QString &work, const QString &package, const QList<TestItem> &items)
{
    QDir(work).removeRecursively();
    QDir().mkpath(work);
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"windows-1252\" ?>\r\n"
                                 "<package xmlns=\"%1/messengercontent/1.0\" version=\"1.0\" type=\"theme\">\r\n")
                      .arg(kHost);
    for (const TestItem &item : items) {
        xml += ManifestLine(item) + QStringLiteral("\r\n");
        if (!item.listedOnly && !WriteFile(work + QLatin1Char('/') + item.file, item.data))
            return false;
    }
    xml += QStringLiteral("</package>\r\n");
    if (!WriteFile(work + QStringLiteral("/content.xml"), ToCp1252(xml)))
        return false;
    TCABFile cab;
    return PackFolder(cab, work, package, false);
}

QByteArray TinyPng(int shade)
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(QColor(shade % 256, (shade / 256) % 256, 77));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace zorvak::test
