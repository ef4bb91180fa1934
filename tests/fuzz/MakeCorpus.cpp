// Writes the seed corpus of the fuzz targets: small inputs of every parser, made here from the
// program's own writers (cabinets, master keys, CREDHIST, blobs) and hand-written texts.
//   zorvak-fuzz-corpus OUTPUT-FOLDER      (tests/fuzz/corpus is the committed copy)
#include "DpapiProtect.h"
#include "dpapi/WineVectors.h"
#include "cabinet/cabfiles.h"
#include "fuzz/FuzzKeys.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

using namespace zorvak;

namespace {

QString g_out;

void Put(const char *target, const char *name, const QByteArray &data)
{
    const QString folder = g_out + QLatin1Char('/') + QLatin1String(target);
    QDir().mkpath(folder);
    QFile f(folder + QLatin1Char('/') + QLatin1String(name));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(data) != data.size()) {
        std::fprintf(stderr, "cannot write %s/%s\n", target, name);
        std::exit(1);
    }
}

QByteArray Le16(quint16 v) { return QByteArray(1, char(v & 0xFF)) + char(v >> 8); }
QByteArray Le32(quint32 v) { return Le16(quint16(v)) + Le16(quint16(v >> 16)); }

// A SWF header: signature, version, length, then the frame rectangle, rate and count.
QByteArray Swf(bool compressed, int version, int widthTwips, int heightTwips)
{
    const int bits = 16;
    QByteArray rect;
    quint64 acc = 0;
    int have = 0;
    const auto put = [&](quint32 value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            acc = (acc << 1) | ((value >> i) & 1);
            if (++have == 8) {
                rect.append(char(acc));
                acc = 0;
                have = 0;
            }
        }
    };
    put(bits, 5);
    put(0, bits);
    put(quint32(widthTwips), bits);
    put(0, bits);
    put(quint32(heightTwips), bits);
    if (have)
        rect.append(char(acc << (8 - have)));
    const QByteArray body = rect + Le16(0x0C00) /* 12 fps */ + Le16(24) + QByteArray(16, '\0');
    QByteArray head = QByteArray(compressed ? "CWS" : "FWS") + char(version) + Le32(quint32(8 + body.size()));
    return head + (compressed ? qCompress(body).mid(4) : body);
}

void Cabinets(const QString &work)
{
    QDir().mkpath(work + QStringLiteral("/sub"));
    const auto write = [](const QString &path, const QByteArray &data) {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(data);
    };
    write(work + QStringLiteral("/a.txt"), QByteArray("hello, hello, hello, cabinet\n").repeated(20));
    write(work + QStringLiteral("/sub/b.bin"), QByteArray::fromHex("000102030405060708090a0b0c0d0e0f").repeated(8));
    const struct { const char *name; TCompressionType type; } kinds[] = {
        {"stored.cab", typNone}, {"mszip.cab", typMSZIP}, {"lzx.cab", typLZX}};
    for (const auto &k : kinds) {
        TCABFile cab;
        cab.CABFile = work + QLatin1Char('/') + QLatin1String(k.name);
        cab.CompressionType = k.type;
        cab.CABFileContents.Add().Name = work + QStringLiteral("/a.txt");
        TCABFileEntry &b = cab.CABFileContents.Add();
        b.Name = work + QStringLiteral("/sub/b.bin");
        b.RelPath = QStringLiteral("sub");
        cab.CreateCabinet();
        QFile f(cab.CABFile);
        f.open(QIODevice::ReadOnly);
        Put("cabinet", k.name, f.readAll());
    }

    // A wink: its cabinet with the movie and the manifest that names it.
    write(work + QStringLiteral("/content.xml"),
          "<?xml version=\"1.0\"?>\r\n<package xmlns=\"http://messenger.msn.com/messengercontent/1.0\" type=\"wink\">\r\n"
          "<item type=\"wink\" file=\"w.swf\" name=\"Big Wave\" keysequence=\"#wave\" />\r\n</package>\r\n");
    write(work + QStringLiteral("/w.swf"), QByteArray("FWS\x06") + QByteArray(40, '\0'));
    TCABFile wink;
    wink.CABFile = work + QStringLiteral("/wink.cab");
    wink.CABFileContents.Add().Name = work + QStringLiteral("/content.xml");
    wink.CABFileContents.Add().Name = work + QStringLiteral("/w.swf");
    wink.CreateCabinet();
    QFile w(wink.CABFile);
    w.open(QIODevice::ReadOnly);
    const QByteArray winkCab = w.readAll();
    Put("wink_manifest", "cabinet", winkCab);
    Put("place_heads", "package", winkCab);
    Put("place_heads", "table-cut", winkCab.left(60));
}

void Dpapi()
{
    using namespace dpapi;
    using namespace dpapi::protect;
    const QString guid = QStringLiteral("9fb6442f-626a-4e4e-a7b0-2fd8e5ea1f42");
    for (Flavour flavour : {Flavour::Xp, Flavour::Modern}) {
        MasterKeyParams p;
        p.sid = fuzz::FuzzSid();
        p.passwordHash = fuzz::FuzzPasswordHash();
        p.flavour = flavour;
        p.rounds = 17; // small, so the fuzzer opens the key quickly
        p.guid = guid;
        p.masterKey = fuzz::FuzzMasterKey();
        p.credhistGuid = flavour == Flavour::Xp ? QStringLiteral("11111111-2222-3333-4444-555555555555") : QString();
        const bool xp = flavour == Flavour::Xp;
        const MadeMasterKey mk = MakeMasterKeyFile(p);
        Put("dpapi_masterkey", xp ? "xp" : "modern", mk.file);
        Put("dpapi_blob", xp ? "xp" : "modern",
            MakeBlob(fuzz::FuzzMasterKey(), guid, QByteArrayLiteral("QQBCAAAA"), fuzz::FuzzEntropy(), flavour,
                     QStringLiteral("map")));
    }
    // A master key asking for a damaged round count.
    MasterKeyFile damaged = *MasterKeyFile::Parse(
        MakeMasterKeyFile({fuzz::FuzzSid(), fuzz::FuzzPasswordHash(), Flavour::Xp, 17, PolicyLocalBackup | PolicySha1,
                           guid, fuzz::FuzzMasterKey(), QString()}).file);
    MasterKey key = *damaged.masterKey();
    key.rounds = 0xFFFFFFFFu;
    damaged.masterKeySection = key.Serialize();
    Put("dpapi_masterkey", "rounds-damaged", damaged.Serialize());

    // Wine's blobs: one a real Wine wrote, and the old format with both RC2 key lengths.
    namespace wv = test::wine_vectors;
    Put("wine_blob", "3des-sha1", QByteArray::fromHex(wv::kVectors[1].blobHex));
    Put("wine_blob", "rc2-128-md5", QByteArray::fromHex(wv::kComputedOldVectors[2].blobHex));
    Put("wine_blob", "rc2-40-md5", QByteArray::fromHex(wv::kComputedOldVectors[3].blobHex));

    PasswordHashes oldest = PasswordHashes::Of(QStringLiteral("first"));
    PasswordHashes older = PasswordHashes::Of(QStringLiteral("second"));
    PasswordHashes current{fuzz::FuzzPasswordHash(), QByteArray(16, '\x42')};
    Put("dpapi_credhist", "two-entries", MakeCredhist({oldest, older, current}, fuzz::FuzzSid(), 17).file);
    Put("dpapi_credhist", "one-entry", MakeCredhist({older, current}, fuzz::FuzzSid(), 9).file);
    Put("dpapi_credhist", "empty", MakeCredhist({current}, fuzz::FuzzSid(), 9).file);
}

QByteArray Utf16LeOfMap()
{
    QByteArray wide;
    for (char c : QByteArray("Smile\tobj\t"))
        wide += QByteArray(1, c) + '\0';
    return (wide + QByteArray(2, '\0')).toBase64();
}

void Texts()
{
    Put("base64", "ab", "QQBCAAAA");
    Put("base64", "one-filler", "QUI=");
    Put("base64", "two-fillers", "QQ==");
    Put("base64", "junk-after-filler", "QQBCAA=~");
    Put("base64", "map", Utf16LeOfMap());

    Put("swf_header", "plain", Swf(false, 6, 11000, 8000));
    Put("swf_header", "compressed", Swf(true, 8, 2000, 2000));
    Put("swf_header", "short", "FWS\x06");

    Put("recognition", "gif", QByteArrayLiteral("GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00"));
    Put("recognition", "png", QByteArray::fromHex("89504e470d0a1a0a0000000d49484452"));
    Put("recognition", "jpeg", QByteArray::fromHex("ffd8ffe000104a46494600010100"));
    Put("recognition", "wave", QByteArrayLiteral("RIFF\x24\x00\x00\x00WAVEfmt "));
    Put("recognition", "swf", Swf(false, 6, 100, 100).left(15));
    Put("recognition", "cabinet", QByteArrayLiteral("MSCF\0\0\0\0\x44\x00\x00\x00\0\0\0"));
    Put("recognition", "bitmap", QByteArrayLiteral("BM\x36\x00\x00\x00\0\0\0\0\x36\0\0\0"));

    const QByteArray obj = "<msnobj Creator=\"a@b.c\" Size=\"100\" Type=\"2\" Location=\"TFR1.dat\" Friendly=\"AAA=\" stamp=\"st\" contenttype=\"D\"/>";
    Put("msn_map", "emoticons", QByteArray(1, 0x00) + ":-P\tTongue &amp; co\t" + obj + "\t;)\tWink\t" + obj + "\t");
    Put("msn_map", "pictures", QByteArray(1, 0x01) + "Orange Daisy\t" + obj + "\tMe\t" + obj + "\t");
    Put("msn_map", "lines", QByteArray(1, 0x02) + "Sky\t" + obj + "\tx\nSea\t" + obj + "\ty\n");
    Put("msn_map", "winks-skip", QByteArray(1, 0x23) + "Kiss\t" + obj + "\t\n");
    QByteArray wide;
    for (char c : QByteArray("Me\t") + obj + "\t")
        wide += QByteArray(1, c) + '\0';
    Put("msn_map", "pictures-utf16", QByteArray(1, 0x11) + wide);

    const QByteArray pkg = "<?xml version=\"1.0\"?>\n<package xmlns=\"http://messenger.msn.com/messengercontent/1.0\" version=\"1.0\">\n";
    Put("content_xml", "two-items", pkg + "<item type=\"emoticon\" file=\"a.png\" displayname=\"Smile\" keysequence=\":)\"/>\n"
                                          "<item type=\"usertile\" file=\"pics\\b.gif\" displayname=\"Me &amp; you\"/>\n</package>\n");
    Put("content_xml", "climbing", pkg + "<item type=\"usertile\" file=\"../a.png\"/><item type=\"background\" file=\"/etc/passwd\"/></package>");
    Put("content_xml", "names", pkg + "<item type=\"wink\" file=\"A.PNG\" displayname=\"../../x\"/><item type=\"x\" file=\"a.png\" displayname=\"/\"/></package>");
    Put("content_xml", "wrong-namespace", "<package xmlns=\"urn:other\"><item type=\"emoticon\" file=\"a.png\"/></package>");

    Put("wink_manifest", "named", "<?xml version=\"1.0\"?><package type=\"wink\"><item type=\"wink\" name=\"Big Wave\" keysequence=\"#wave\"/></package>");
    Put("wink_manifest", "prefixed", "<p xmlns:w=\"urn:w\"><item w:displayname=\" Tea &amp; cake\t\" w:shortcut=\"(t)\"/></p>");
    Put("wink_manifest", "doctype", "<!DOCTYPE p [<!ENTITY a \"aaaa\"><!ENTITY b \"&a;&a;&a;\">]><p name=\"&b;\"/>");
    Put("wink_manifest", "unclosed", "<package><item name=\"x\">");

    Put("place_heads", "conversation", "<?xml version=\"1.0\"?>\n<?xml-stylesheet type='text/xsl' href='MessageLog.xsl'?>\n"
                                       "<Log FirstSessionID=\"1\" LastSessionID=\"2\"><Message>");
    Put("place_heads", "doctype", "<!DOCTYPE Log [<!ENTITY a \"aaaa\">]><!-- c --><Log>&a;");

    Put("settings_ini", "plain", "[Common]\r\nLanguage=FR\r\nDocSetDir=/mnt/c/Documents and Settings/\r\n[Emails]\r\n1=a@b.c\r\n");
    Put("settings_ini", "cp1252", "[Common]\nSubdirEmot=\xc9motic\xf4nes\nFuzzKey=old\n");
    Put("settings_ini", "bom", "\xef\xbb\xbf[common]\nlanguage = IT\n;comment\n[Common]\nAppDatDir=x\n");

    for (const auto &[name, path] : std::initializer_list<std::pair<const char *, const char *>>{
             {"root", "/"}, {"index", "/index.html"}, {"file", "/sub/a.png"}, {"up", "/../secret.txt"},
             {"link", "/link.txt"}, {"sibling", "/sub/../../served2.txt"}, {"double", "//sub//a.png"},
             {"dots", "/sub/./../index.html"}, {"backslash", "/..\\secret.txt"}})
        Put("web_path", name, path);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: zorvak-fuzz-corpus OUTPUT-FOLDER\n");
        return 2;
    }
    g_out = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir work;
    Cabinets(work.path());
    Dpapi();
    Texts();
    return 0;
}
