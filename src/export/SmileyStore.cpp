#include "export/SmileyStore.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace zorvak::named {

namespace {

const QString kSmiley = QStringLiteral("smiley");
const QString kSmileySet = QStringLiteral("smiley_set");
const QString kProfile = QStringLiteral("profile");
const QString kShortcut = QStringLiteral("shortcut");
const QString kChecksum = QStringLiteral("checksum");
const QString kFilename = QStringLiteral("filename");

// What the library writes for a store without entries.
const QByteArray kEmptyStore = QByteArrayLiteral("<?xml version='1.0' encoding='UTF-8' ?>\n\n"
                                                 "<smileys version='1.0'>\n"
                                                 "\t<profile name='Default'>\n"
                                                 "\t\t<smiley_set/>\n"
                                                 "\t</profile>\n"
                                                 "</smileys>\n");

QString Tabs(int n) { return QString(qMax(0, n), u'\t'); }

void WriteEntry(QXmlStreamWriter &xml, const TStoreSmiley &smiley)
{
    xml.writeEmptyElement(kSmiley);
    xml.writeAttribute(kShortcut, smiley.shortcut);
    xml.writeAttribute(kChecksum, smiley.checksum);
    xml.writeAttribute(kFilename, smiley.filename);
}

} // namespace

TSmileyStore ParseSmileyStore(const QByteArray &document, QString *error)
{
    TSmileyStore store;
    error->clear();
    if (document.size() > kMaxSmileyStoreBytes) {
        *error = QStringLiteral("the file is larger than %1 MB").arg(kMaxSmileyStoreBytes >> 20);
        return store;
    }
    if (document.trimmed().isEmpty())
        return store;
    QXmlStreamReader xml(document);
    bool root = false;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::DTD:
            *error = QStringLiteral("the file declares a document type, which a smiley store never does");
            return {};
        case QXmlStreamReader::StartElement: {
            root = true;
            if (xml.name() != kSmiley)
                break;
            const QXmlStreamAttributes attributes = xml.attributes();
            TStoreSmiley smiley{attributes.value(kShortcut).toString(), attributes.value(kChecksum).toString(),
                                attributes.value(kFilename).toString()};
            if (attributes.hasAttribute(kShortcut))
                store.shortcuts.insert(smiley.shortcut);
            if (!smiley.checksum.isEmpty())
                store.checksums.insert(smiley.checksum.toLower());
            if (!smiley.filename.isEmpty())
                store.filenames.insert(smiley.filename);
            store.smileys << smiley;
            break;
        }
        default:
            break;
        }
    }
    if (xml.hasError() || !root) {
        *error = xml.hasError() ? QStringLiteral("%1 (line %2)").arg(xml.errorString()).arg(xml.lineNumber())
                                : QStringLiteral("the file holds no element");
        return {};
    }
    store.document = document;
    return store;
}

QByteArray MergedSmileyStore(const TSmileyStore &store, const QList<TStoreSmiley> &added)
{
    QXmlStreamReader in(store.document.isEmpty() ? kEmptyStore : store.document);
    QByteArray out;
    QXmlStreamWriter xml(&out);
    int depth = 0;
    bool profileSeen = false, setSeen = false, inProfile = false, inSet = false, inserted = false;
    QString held; // white space inside the smiley set, written after the new entries
    const auto flush = [&] {
        if (!held.isEmpty())
            xml.writeCharacters(held);
        held.clear();
    };
    const auto entries = [&](int childDepth) {
        for (const TStoreSmiley &smiley : added) {
            xml.writeCharacters(u'\n' + Tabs(childDepth - 1));
            WriteEntry(xml, smiley);
        }
    };
    while (!in.atEnd()) {
        const QXmlStreamReader::TokenType token = in.readNext();
        switch (token) {
        case QXmlStreamReader::Invalid:
        case QXmlStreamReader::DTD:
            return {};
        case QXmlStreamReader::StartElement:
            flush();
            ++depth;
            if (depth == 2 && !profileSeen && in.name() == kProfile)
                profileSeen = inProfile = true;
            else if (inProfile && depth == 3 && !setSeen && in.name() == kSmileySet)
                setSeen = inSet = true;
            xml.writeCurrentToken(in);
            break;
        case QXmlStreamReader::Characters:
            if (inSet && depth == 3 && in.isWhitespace()) {
                held += in.text();
                break;
            }
            flush();
            xml.writeCurrentToken(in);
            break;
        case QXmlStreamReader::EndElement:
            if (inSet && depth == 3) {
                entries(4);
                if (held.isEmpty() && !added.isEmpty())
                    held = u'\n' + Tabs(2);
                flush();
                inSet = false;
                inserted = true;
            } else if (inProfile && depth == 2) {
                flush();
                if (!inserted) {
                    xml.writeCharacters(QStringLiteral("\t"));
                    xml.writeStartElement(kSmileySet);
                    entries(4);
                    xml.writeCharacters(u'\n' + Tabs(2));
                    xml.writeEndElement();
                    xml.writeCharacters(u'\n' + Tabs(1));
                    inserted = true;
                }
                inProfile = false;
            } else if (depth == 1 && !inserted) {
                flush();
                xml.writeCharacters(QStringLiteral("\t"));
                xml.writeStartElement(kProfile);
                xml.writeAttribute(QStringLiteral("name"), QStringLiteral("Default"));
                xml.writeCharacters(u'\n' + Tabs(2));
                xml.writeStartElement(kSmileySet);
                entries(4);
                xml.writeCharacters(u'\n' + Tabs(2));
                xml.writeEndElement();
                xml.writeCharacters(u'\n' + Tabs(1));
                xml.writeEndElement();
                xml.writeCharacters(QStringLiteral("\n"));
                inserted = true;
            } else {
                flush();
            }
            --depth;
            xml.writeCurrentToken(in);
            break;
        case QXmlStreamReader::StartDocument:
            xml.writeCurrentToken(in);
            xml.writeCharacters(QStringLiteral("\n")); // the reader reports no white space outside the root
            break;
        case QXmlStreamReader::EndDocument:
            flush();
            xml.writeCurrentToken(in);
            break;
        default:
            flush();
            xml.writeCurrentToken(in);
            break;
        }
    }
    if (in.hasError() || xml.hasError() || !inserted)
        return {};
    if (!out.endsWith('\n'))
        out += '\n';
    return out;
}

QString SmileyExtension(const QByteArray &head)
{
    if (head.size() >= 4) {
        if (head.startsWith("GIF8"))
            return QStringLiteral("gif");
        if (head.startsWith("\xff\xd8\xff"))
            return QStringLiteral("jpg");
        if (head.startsWith("\x89PNG"))
            return QStringLiteral("png");
        if (head.startsWith("MM") || head.startsWith("II"))
            return QStringLiteral("tif");
        if (head.startsWith("BM"))
            return QStringLiteral("bmp");
    }
    return QStringLiteral("icon");
}

bool IsStorableShortcut(const QString &shortcut)
{
    if (shortcut.isEmpty())
        return false;
    for (qsizetype i = 0; i < shortcut.size(); ++i) {
        const QChar c = shortcut.at(i);
        if (c.isHighSurrogate() && i + 1 < shortcut.size() && shortcut.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if (c.isSurrogate() || c.category() == QChar::Other_Control || c.unicode() == 0xFFFE || c.unicode() == 0xFFFF)
            return false;
    }
    return true;
}

} // namespace zorvak::named
