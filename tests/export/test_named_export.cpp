// The named export of the demo profile in its four layouts, read back by independent readers, and
// of hostile profiles: names that try to leave the folder, clash or break the files around them.
#include "NamedExportReaders.h"
#include "dpapi/DpapiKeyMaterial.h"
#include "backup/test_run_profile.h"
#include "common/EmailId.h"
#include "common/Exceptions.h"
#include "export/NamedExport.h"
#include "common/SafeName.h"
#include "export/NamedWriters.h"
#include "export/SmileyStore.h"
#include "support/Programs.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QSet>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace zorvak;
using namespace zorvak::named;
using namespace zorvak::test;

namespace {

QString S(const char *text) { return QString::fromUtf8(text); }

struct Expected {
    const char *file; // relative to the output folder
    const char *name;
    const char *shortcut;
};

// Alice's objects under their names, in the order of her maps; her "Orange Daisy" is Messenger's
// own picture and stays out; the icon and the cursor that no map names keep their file names.
const QList<Expected> kAliceNamed = {
    {"Emoticons/Blinking smile.gif", "Blinking smile", "(wink)"},
    {"Emoticons/Heart & _Soul_.png", "Heart & <Soul>", "<3"},
    {"Emoticons/_Hi_ there.jpg", "\"Hi\" there", "\"hi\""},
    {"Emoticons/Caf\u00e9 cr\u00e8me.bmp", "Caf\u00e9 cr\u00e8me", "(caf\u00e9)"},
    {"Emoticons/Gr\u00fc\u00dfe 'n' more.tif", "Gr\u00fc\u00dfe 'n' more", "(&)"},
    {"Display pictures/Me & my _bike_.png", "Me & my <bike>", ""},
    {"Display pictures/\u00c9t\u00e9 \u00e0 _Nice_.jpg", "\u00c9t\u00e9 \u00e0 \"Nice\"", ""},
    {"Backgrounds/Sunset & _Sea_.jpg", "Sunset & <Sea>", ""},
    {"Backgrounds/Ch\u00e2teau _Fort_.png", "Ch\u00e2teau \"Fort\"", ""},
    {"Winks/Dancing _Daisy_.cab", "Dancing <Daisy>", ""},
    {"Winks/Pl\u00e4tzchen & Tea.cab", "Pl\u00e4tzchen & Tea", ""},
    {"Dynamic display pictures/Waving 'me'.swf", "Waving 'me'", ""},
    {"Dynamic display pictures/Still & calm.png", "Still & calm", ""},
    {"Dynamic backgrounds/Aquarium _live_.swf", "Aquarium <live>", ""},
};

class DemoExportTest : public DemoProfileTest {
protected:
    QString user, email = kAliceEmail;
    void SetUp() override
    {
        DemoProfileTest::SetUp();
        if (HasFatalFailure())
            return;
        user = alice;
        // Old, distinct times, so that a copy made now could not pass for a kept one.
        int day = 0;
        for (QDirIterator it(user, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
            QFile f(it.next());
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            ASSERT_TRUE(f.setFileTime(QDateTime(QDate(2007, 5, 1).addDays(day++), QTime(12, 30, 15, 250), Qt::UTC),
                                      QFileDevice::FileModificationTime));
        }
    }
    void TearDown() override { ForgetOpenedMasterKeys(); }

    TNamedExportRequest Request(TNamedFormat format, const QString &out, bool credentials = true)
    {
        TNamedExportRequest r;
        r.userFolder = user;
        r.output = env.path(out);
        r.format = format;
        if (credentials) {
            r.email = email;
            r.key = DpapiCredentials(QString(), S("zorvak-demo"), false);
        }
        return r;
    }

    // Every written object has the bytes and the modification time of its source.
    void ExpectCopies(const TNamedExportResult &result)
    {
        for (const TExportedObject &o : result.objects) {
            const QString source = QDir(user).filePath(QString::fromLatin1(InfoOf(o.type).defaultSubdir) + u'/' + o.original);
            const QString written = result.output + u'/' + o.file;
            EXPECT_EQ(ReadFile(written), ReadFile(source)) << o.file.toStdString();
            EXPECT_EQ(QFileInfo(written).lastModified().toUTC(), QFileInfo(source).lastModified().toUTC())
                << o.file.toStdString();
            EXPECT_EQ(o.modified, QFileInfo(source).lastModified().toUTC());
            EXPECT_EQ(o.size, QFileInfo(source).size());
        }
    }

    // The files below a folder, relative, the marker left out.
    static QSet<QString> FilesBelow(const QString &folder)
    {
        QSet<QString> files;
        for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
            const QString path = QDir(folder).relativeFilePath(it.next());
            if (path != QLatin1String(kMarkerFile))
                files.insert(path);
        }
        return files;
    }
};

} // namespace

TEST_F(DemoExportTest, FolderLayoutNamesEveryObjectOnceWithItsBytesAndTime)
{
    QList<QPair<int, int>> progress;
    const TNamedExportResult r =
        RunNamedExport(Request(TNamedFormat::Folder, S("out")), [&](int done, int total, const QString &) {
            progress.append({done, total});
        });
    EXPECT_TRUE(r.Ok()) << r.failures.join(u';').toStdString();
    EXPECT_TRUE(r.credentials);
    EXPECT_TRUE(r.unnamedTypes.isEmpty());
    EXPECT_TRUE(r.problems.isEmpty()) << r.problems.join(u';').toStdString();
    EXPECT_EQ(r.defaultsLeftOut, 1);
    ASSERT_EQ(r.objects.size(), kAliceNamed.size() + 2);

    // Named objects in map order first, then the icon and the cursor no map names.
    QSet<QString> expectedFiles{S("index.tsv")};
    int i = 0;
    for (const TExportedObject &o : r.objects) {
        expectedFiles.insert(o.file);
        if (!o.named) {
            EXPECT_EQ(o.file, S("Emoticons/") + o.original + (o.file.endsWith(S(".ico")) ? S(".ico") : S(".cur")));
            EXPECT_EQ(o.name, o.original);
            continue;
        }
        ASSERT_LT(i, kAliceNamed.size());
        const Expected &e = kAliceNamed.at(i++);
        EXPECT_EQ(o.file, S(e.file));
        EXPECT_EQ(o.name, S(e.name));
        EXPECT_EQ(o.shortcut, S(e.shortcut));
    }
    EXPECT_EQ(i, kAliceNamed.size());
    EXPECT_EQ(FilesBelow(r.output), expectedFiles);
    ExpectCopies(r);

    // index.tsv: a header and one line of seven columns per object.
    const QStringList lines = QString::fromUtf8(ReadFile(r.output + S("/index.tsv"))).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), r.objects.size() + 1);
    EXPECT_EQ(lines.at(0), S("type\tfile\tname\tshortcut\toriginal file name\tsize\tmodified"));
    for (int k = 0; k < r.objects.size(); ++k) {
        const QStringList columns = lines.at(k + 1).split(u'\t');
        ASSERT_EQ(columns.size(), 7) << lines.at(k + 1).toStdString();
        const TExportedObject &o = r.objects.at(k);
        EXPECT_EQ(columns, (QStringList{QString::fromLatin1(InfoOf(o.type).code), o.file, o.name, o.shortcut, o.original,
                                        QString::number(o.size), o.modified.toString(Qt::ISODate)}));
    }

    // Progress: one call per object and one at the end.
    ASSERT_EQ(progress.size(), r.objects.size() + 1);
    EXPECT_EQ(progress.front(), qMakePair(0, int(r.objects.size())));
    EXPECT_EQ(progress.back(), qMakePair(int(r.objects.size()), int(r.objects.size())));

    // Messenger's default picture comes along when asked for.
    TNamedExportRequest withDefault = Request(TNamedFormat::Folder, S("with-default"));
    withDefault.includeDefault = true;
    withDefault.types = {false, true, false, false, false, false};
    const TNamedExportResult d = RunNamedExport(withDefault);
    EXPECT_EQ(d.defaultsLeftOut, 0);
    ASSERT_EQ(d.objects.size(), 3);
    EXPECT_EQ(d.objects.at(0).file, S("Display pictures/Orange Daisy.jpg"));
}

TEST_F(DemoExportTest, PidginThemeListsEveryEmoticonByItsShortcutAndIsArchived)
{
    const TNamedExportResult r = RunNamedExport(Request(TNamedFormat::Pidgin, S("theme")));
    EXPECT_TRUE(r.Ok()) << r.failures.join(u';').toStdString();
    ASSERT_FALSE(r.theme.isEmpty());
    EXPECT_FALSE(r.theme.contains(u' '));
    // Custom emoticons only; the icon and the cursor have no shortcut to be listed under.
    ASSERT_EQ(r.objects.size(), 5);
    ASSERT_EQ(r.leftOut.size(), 2);
    for (const TLeftOut &l : r.leftOut)
        EXPECT_EQ(l.reason, S("no shortcut"));
    ExpectCopies(r);

    const QString folder = r.output + u'/' + r.theme;
    const auto theme = ReadThemeFile(ReadFile(folder + S("/theme")));
    EXPECT_TRUE(theme.error.isEmpty()) << theme.error.toStdString();
    EXPECT_EQ(theme.header.value(S("Name")), S("Messenger emoticons of alice.demo@hotmail.com"));
    EXPECT_EQ(theme.header.value(S("Author")), S("alice.demo@hotmail.com"));
    EXPECT_FALSE(theme.header.value(S("Description")).isEmpty());
    EXPECT_TRUE(QFileInfo(folder + u'/' + theme.header.value(S("Icon"))).isFile());
    ASSERT_EQ(theme.lines.size(), 5);
    QStringList shortcuts;
    for (const auto &[file, keys] : theme.lines) {
        EXPECT_TRUE(QFileInfo(folder + u'/' + file).isFile()) << file.toStdString();
        ASSERT_EQ(keys.size(), 1) << file.toStdString();
        shortcuts << keys.first();
    }
    EXPECT_EQ(shortcuts, (QStringList{S("(wink)"), S("<3"), S("\"hi\""), S("(caf\u00e9)"), S("(&)")}));
    EXPECT_EQ(theme.lines.at(0).first, S("Blinking_smile.gif"));

    // The archive holds the folder, and nothing else, with the same bytes and times.
    ASSERT_EQ(r.archive, r.output + u'/' + r.theme + S(".tar.gz"));
    QString error;
    const QList<TarEntry> entries = ListTarGz(r.archive, &error);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    ASSERT_EQ(entries.size(), 7); // the folder, five pictures, theme
    EXPECT_TRUE(entries.at(0).folder);
    EXPECT_EQ(entries.at(0).path, r.theme + u'/');
    QSet<QString> inArchive;
    for (const TarEntry &e : entries.mid(1)) {
        ASSERT_TRUE(e.path.startsWith(r.theme + u'/')) << e.path.toStdString();
        const QString local = r.output + u'/' + e.path;
        EXPECT_EQ(e.data, ReadFile(local)) << e.path.toStdString();
        EXPECT_EQ(e.mtime, QFileInfo(local).lastModified().toSecsSinceEpoch()) << e.path.toStdString();
        inArchive.insert(QFileInfo(e.path).fileName());
    }
    QSet<QString> onDisk;
    for (const QString &name : QDir(folder).entryList(QDir::Files))
        onDisk.insert(name);
    EXPECT_EQ(inArchive, onDisk);
    EXPECT_TRUE(inArchive.contains(S("theme")));
}

TEST_F(DemoExportTest, HtmlPageIsWellFormedAndShowsEveryObject)
{
    const TNamedExportResult r = RunNamedExport(Request(TNamedFormat::Html, S("page")));
    EXPECT_TRUE(r.Ok());
    ExpectCopies(r);
    const HtmlPage page = ReadHtml(ReadFile(r.output + S("/index.html")));
    ASSERT_TRUE(page.error.isEmpty()) << page.error.toStdString();
    EXPECT_EQ(page.scripts, 0);
    EXPECT_EQ(page.sections.size(), 6);
    EXPECT_EQ(page.sections.first(), S("Emoticons (7)"));
    // Every object once, as a picture or a link that leads to its file.
    EXPECT_EQ(page.pictures.size() + page.links.size(), r.objects.size());
    for (const QString &target : page.pictures + page.links)
        EXPECT_TRUE(QFileInfo(r.output + u'/' + target).isFile()) << target.toStdString();
    EXPECT_TRUE(page.pictures.contains(S("Emoticons/Heart & _Soul_.png")));
    EXPECT_TRUE(page.links.contains(S("Winks/Dancing _Daisy_.cab")));
    // A TIFF is no picture to most browsers: a link, like the cursor.
    EXPECT_TRUE(page.links.contains(S("Emoticons/Gr\u00fc\u00dfe 'n' more.tif")));
    EXPECT_TRUE(page.pictures.contains(S("Emoticons/Caf\u00e9 cr\u00e8me.bmp")));
    for (const Expected &e : kAliceNamed) {
        EXPECT_TRUE(page.spans.contains(S(e.name))) << e.name;
        if (*e.shortcut) {
            EXPECT_TRUE(page.spans.contains(S(e.shortcut))) << e.shortcut;
        }
    }
    EXPECT_FALSE(QFileInfo::exists(r.output + S("/index.tsv")));
}

TEST_F(DemoExportTest, WithoutCredentialsObjectsKeepTheirFileNames)
{
    const TNamedExportResult r = RunNamedExport(Request(TNamedFormat::Folder, S("plain"), false));
    EXPECT_TRUE(r.Ok());
    EXPECT_FALSE(r.credentials);
    EXPECT_EQ(r.unnamedTypes.size(), 6);
    // No map is read, so Messenger's default picture cannot be told apart: it is exported too.
    EXPECT_EQ(r.objects.size(), kAliceNamed.size() + 3);
    for (const TExportedObject &o : r.objects) {
        EXPECT_FALSE(o.named);
        EXPECT_EQ(o.name, o.original);
        EXPECT_TRUE(QFileInfo(o.file).completeBaseName() == o.original) << o.file.toStdString();
    }
}

TEST_F(DemoExportTest, WrongKeyMaterialStopsBeforeAnythingIsWritten)
{
    TNamedExportRequest wrong = Request(TNamedFormat::Folder, S("wrong"));
    wrong.key = DpapiCredentials(QString(), S("not the password"), false);
    try {
        RunNamedExport(wrong);
        FAIL() << "a wrong password was accepted";
    } catch (const Exception &e) {
        EXPECT_TRUE(e.Message().startsWith(S("Failed to decrypt. "))) << e.Message().toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(env.path(S("wrong"))));
    TNamedExportRequest otherAddress = Request(TNamedFormat::Folder, S("wrong"));
    otherAddress.email = S("bob.demo@hotmail.com");
    EXPECT_THROW(RunNamedExport(otherAddress), Exception);
    EXPECT_FALSE(QFileInfo::exists(env.path(S("wrong"))));
}

namespace {

class HostileExportTest : public EnvTest {
protected:
    SyntheticProfile profile{env.path(S("profile"))};
    TNamedExportRequest Request(TNamedFormat format, const QString &out)
    {
        TNamedExportRequest r;
        r.userFolder = profile.root;
        r.output = env.path(out);
        r.format = format;
        r.email = profile.email;
        r.key = DpapiKeyMaterial{};
        r.decrypt = &ReadPlainMap;
        return r;
    }
    // An emoticon map of the given (shortcut, name) pairs over PNG files E0.dat, E1.dat, ..., E<i>
    // holding picture pictures[i] (i when not given).
    void Emoticons(const QList<QPair<QString, QString>> &entries, const QList<int> &pictures = {})
    {
        QString map;
        QList<QPair<QString, QByteArray>> files;
        for (int i = 0; i < entries.size(); ++i) {
            // TAB is the maps' separator: no name holds one.
            map += entries.at(i).first + u'\t' + entries.at(i).second
                   + QStringLiteral("\t<msnobj Location=\"E%1.dat\" Size=\"28\"/>\t").arg(i);
            files.append({QStringLiteral("E%1.dat").arg(i), PngBytes(pictures.value(i, i))});
        }
        profile.AddFolder(S("CustomEmoticons"), map, files);
    }
};

const QString kLong = QString(300, u'x');
const QList<QPair<QString, QString>> kHostile = {
    {S("(a)"), S("../../outside")},
    {S("(b)"), S("CON")},
    {S("(c)"), S("trailing dots...")},
    {S("(d)"), kLong},
    {S("(e)"), S("a/b")},
    {S("(f)"), S("ctl\x01\x02 and\nline\r")},
    {S("(g)"), S("Same")},
    {S("(h)"), S("same")},
    {S("(i)"), S("Same")},
    {S("(j)"), S("..")},
    {S("has space"), S("spaced shortcut")},
    {S("(k)"), S("C:\\Windows\\evil")},
    {QString(64, u's'), S("long shortcut")},
};

} // namespace

TEST_F(HostileExportTest, HostileNamesEndUpSafeDistinctAndInside)
{
    Emoticons(kHostile);
    for (TNamedFormat format : {TNamedFormat::Folder, TNamedFormat::Html, TNamedFormat::Pidgin}) {
        const QString out = S("out-") + FormatName(format);
        const TNamedExportResult r = RunNamedExport(Request(format, out));
        EXPECT_TRUE(r.Ok()) << r.failures.join(u';').toStdString();
        const bool theme = format == TNamedFormat::Pidgin;
        ASSERT_EQ(r.objects.size(), kHostile.size() - (theme ? 1 : 0)) << out.toStdString();
        QSet<QString> folded;
        for (const TExportedObject &o : r.objects) {
            const QString fileName = QFileInfo(o.file).fileName();
            EXPECT_TRUE(IsSafeFileName(fileName, theme ? kThemeNameRules : TSafeNameRules{})) << fileName.toStdString();
            EXPECT_EQ(o.file.count(u'/'), 1) << o.file.toStdString();
            EXPECT_FALSE(folded.contains(fileName.toCaseFolded())) << fileName.toStdString();
            folded.insert(fileName.toCaseFolded());
            EXPECT_TRUE(QFileInfo(r.output + u'/' + o.file).isFile());
        }
        // Nothing was written beside the output folder or into the profile.
        EXPECT_EQ(QDir(env.path(QString())).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).filter(S("outside")), QStringList());
        EXPECT_FALSE(QFileInfo::exists(env.path(S("profile/outside"))));
        if (format == TNamedFormat::Html) {
            const HtmlPage page = ReadHtml(ReadFile(r.output + S("/index.html")));
            EXPECT_TRUE(page.error.isEmpty()) << page.error.toStdString();
            EXPECT_EQ(page.pictures.size(), r.objects.size());
            for (const QString &picture : page.pictures)
                EXPECT_TRUE(QFileInfo(r.output + u'/' + picture).isFile()) << picture.toStdString();
        }
        if (theme) {
            ASSERT_EQ(r.leftOut.size(), 1);
            EXPECT_EQ(r.leftOut.first().shortcut, QString(64, u's'));
            EXPECT_EQ(r.leftOut.first().reason, S("the shortcut is longer than 63 bytes"));
            const auto file = ReadThemeFile(ReadFile(r.output + u'/' + r.theme + S("/theme")));
            EXPECT_EQ(file.lines.size(), r.objects.size());
            for (const auto &[name, keys] : file.lines)
                EXPECT_TRUE(QFileInfo(r.output + u'/' + r.theme + u'/' + name).isFile()) << name.toStdString();
        }
    }
    const TNamedExportResult r = RunNamedExport(Request(TNamedFormat::Folder, S("names")));
    QStringList names;
    for (const TExportedObject &o : r.objects)
        names << o.file;
    EXPECT_TRUE(names.contains(S("Emoticons/_.._outside.png")));
    EXPECT_TRUE(names.contains(S("Emoticons/CON_.png")));
    EXPECT_TRUE(names.contains(S("Emoticons/trailing dots.png")));
    EXPECT_TRUE(names.contains(S("Emoticons/a_b.png")));
    EXPECT_TRUE(names.contains(S("Emoticons/Same.png")));
    EXPECT_TRUE(names.contains(S("Emoticons/same (2).png")));
    EXPECT_TRUE(names.contains(S("Emoticons/Same (3).png")));
    EXPECT_TRUE(names.contains(S("Emoticons/E9.png"))); // ".." leaves nothing: the file name
    EXPECT_TRUE(names.contains(S("Emoticons/") + QString(116, u'x') + S(".png")));
}

TEST_F(HostileExportTest, ValuesWithTabsAndMarkupStayInTheirColumnAndElement)
{
    Emoticons({{S("<b>"), S("back \\ slash and new\nline")}, {S("]]>&amp;"), S("</span><script>alert(1)</script>")}});
    const TNamedExportResult tsv = RunNamedExport(Request(TNamedFormat::Folder, S("tsv")));
    const QStringList lines = QString::fromUtf8(ReadFile(tsv.output + S("/index.tsv"))).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines.at(1).split(u'\t').size(), 7);
    EXPECT_EQ(lines.at(1).split(u'\t').at(2), S("back \\\\ slash and new\\nline"));

    const TNamedExportResult html = RunNamedExport(Request(TNamedFormat::Html, S("html")));
    const HtmlPage page = ReadHtml(ReadFile(html.output + S("/index.html")));
    ASSERT_TRUE(page.error.isEmpty()) << page.error.toStdString();
    EXPECT_EQ(page.scripts, 0);
    EXPECT_TRUE(page.spans.contains(S("</span><script>alert(1)</script>"))) ;
    EXPECT_TRUE(page.spans.contains(S("]]>&amp;")));
    for (const QString &picture : page.pictures)
        EXPECT_TRUE(QFileInfo(html.output + u'/' + picture).isFile()) << picture.toStdString();
}

TEST_F(HostileExportTest, OutputFolderRules)
{
    Emoticons({{S("(a)"), S("One")}});
    // Inside the user folder, or around it: refused.
    EXPECT_THROW(RunNamedExport(Request(TNamedFormat::Folder, S("profile/") + EmailToId(profile.email) + S("/Out"))),
                 Exception);
    EXPECT_THROW(RunNamedExport(Request(TNamedFormat::Folder, S("profile"))), Exception);
    EXPECT_THROW(RunNamedExport(Request(TNamedFormat::Folder, S("profile/beside-the-users"))), Exception);
    EXPECT_FALSE(QFileInfo::exists(env.path(S("profile/beside-the-users"))));
    // A folder of someone else's files: refused, untouched.
    WriteFile(env.path(S("theirs/keep.txt")), "mine");
    EXPECT_THROW(RunNamedExport(Request(TNamedFormat::Folder, S("theirs"))), Exception);
    EXPECT_EQ(QDir(env.path(S("theirs"))).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{S("keep.txt")});
    // An empty folder is taken.
    QDir().mkpath(env.path(S("empty")));
    EXPECT_EQ(RunNamedExport(Request(TNamedFormat::Folder, S("empty"))).objects.size(), 1);

    // An earlier export is replaced: its files go, what the user added stays.
    const TNamedExportResult first = RunNamedExport(Request(TNamedFormat::Html, S("again")));
    ASSERT_EQ(first.objects.size(), 1);
    WriteFile(env.path(S("again/Emoticons/notes.txt")), "added by hand");
    WriteFile(env.path(S("outside.txt")), "beside the output");
    // A marker that names files outside its folder is not followed.
    QFile marker(env.path(S("again/")) + QLatin1String(kMarkerFile));
    ASSERT_TRUE(marker.open(QIODevice::Append));
    marker.write("../outside.txt\n/etc/hostname\nEmoticons/../../outside.txt\n");
    marker.close();
    Emoticons({{S("(a)"), S("Renamed")}});
    const TNamedExportResult second = RunNamedExport(Request(TNamedFormat::Folder, S("again")));
    ASSERT_EQ(second.objects.size(), 1);
    EXPECT_EQ(second.objects.first().file, S("Emoticons/Renamed.png"));
    EXPECT_FALSE(QFileInfo::exists(env.path(S("again/Emoticons/One.png"))));
    EXPECT_FALSE(QFileInfo::exists(env.path(S("again/index.html"))));
    EXPECT_TRUE(QFileInfo::exists(env.path(S("again/index.tsv"))));
    EXPECT_EQ(ReadFile(env.path(S("again/Emoticons/notes.txt"))), QByteArray("added by hand"));
    EXPECT_EQ(ReadFile(env.path(S("outside.txt"))), QByteArray("beside the output"));

    // A sub-folder of an earlier export replaced by a link: nothing is written through it.
    QDir().mkpath(env.path(S("elsewhere")));
    QDir(env.path(S("again/Emoticons"))).removeRecursively();
    ASSERT_TRUE(QFile::link(env.path(S("elsewhere")), env.path(S("again/Emoticons"))));
    const TNamedExportResult linked = RunNamedExport(Request(TNamedFormat::Folder, S("again")));
    EXPECT_FALSE(linked.Ok());
    EXPECT_TRUE(linked.objects.isEmpty());
    EXPECT_TRUE(QDir(env.path(S("elsewhere"))).isEmpty());

    // A file standing where the output folder should be.
    WriteFile(env.path(S("a-file")), "x");
    EXPECT_THROW(RunNamedExport(Request(TNamedFormat::Folder, S("a-file"))), Exception);
}

TEST_F(HostileExportTest, LinksFifosAndUnrecognisedFilesAreNotObjects)
{
    Emoticons({{S("(a)"), S("Real")}});
    const QString folder = profile.root + S("CustomEmoticons/");
    WriteFile(env.path(S("secret.png")), QByteArray("\x89PNG\r\n\x1a\nsecret", 14));
    ASSERT_TRUE(QFile::link(env.path(S("secret.png")), folder + S("Linked.dat")));
    WriteFile(folder + S("notes.dat"), "just text");
    ASSERT_EQ(mkfifo(QFile::encodeName(folder + S("fifo.dat")).constData(), 0600), 0);
    const TNamedExportResult r = RunNamedExport(Request(TNamedFormat::Folder, S("out")));
    ASSERT_EQ(r.objects.size(), 1);
    EXPECT_EQ(r.objects.first().file, S("Emoticons/Real.png"));
}

TEST_F(HostileExportTest, ThemeReadsBackAsPidginReadsIt)
{
    const QString cjk(30, QChar(0x4E2D)); // 90 bytes
    Emoticons({
        {S("\\o/"), S("Name=Evil theme")},
        {S("a b"), S("icon=x")},
        {S("back\\"), S("  Author=me")},
        {S("(d)"), S("DESCRIPTION=")},
        {S("(c1)"), cjk},
        {S("(c2)"), cjk},
        {QString(63, u's'), S("long")},
        {QString(22, QChar(0x4E2D)), S("too long")}, // 66 bytes
        {S("two\nlines"), S("broken")},
    });
    const TNamedExportResult r = RunNamedExport(Request(TNamedFormat::Pidgin, S("theme")));
    ASSERT_TRUE(r.Ok()) << r.failures.join(u';').toStdString();
    const QString cut = QString(19, QChar(0x4E2D));
    QStringList files;
    for (const TExportedObject &o : r.objects)
        files << QFileInfo(o.file).fileName();
    EXPECT_EQ(files, (QStringList{S("_Name=Evil_theme.png"), S("_icon=x.png"), S("__Author=me.png"), S("_DESCRIPTION=.png"),
                                  cut + S(".png"), cut + S("_2.png"), S("long.png")}));
    ASSERT_EQ(r.leftOut.size(), 2);
    EXPECT_EQ(r.leftOut.at(0).reason, S("the shortcut is longer than 63 bytes"));
    EXPECT_EQ(r.leftOut.at(1).reason, S("the shortcut contains a line break or a control character"));

    // Every line fits the reader, and it finds every file under its own shortcut and nothing else.
    const QString folder = r.output + u'/' + r.theme;
    const QByteArray text = ReadFile(folder + S("/theme"));
    for (const QByteArray &line : text.split('\n'))
        EXPECT_LE(line.size() + 1, 255) << line.constData();
    const auto theme = ReadThemeFile(text);
    EXPECT_TRUE(theme.error.isEmpty()) << theme.error.toStdString();
    EXPECT_EQ(theme.headerLines, 4);
    EXPECT_EQ(theme.header.value(S("Name")), S("Messenger emoticons of ") + profile.email);
    EXPECT_EQ(theme.header.value(S("Icon")), files.first());
    ASSERT_EQ(theme.lines.size(), r.objects.size());
    for (int i = 0; i < theme.lines.size(); ++i) {
        EXPECT_EQ(theme.lines.at(i).first, files.at(i));
        EXPECT_LE(files.at(i).toUtf8().size(), 63);
        EXPECT_TRUE(QFileInfo(folder + u'/' + files.at(i)).isFile()) << files.at(i).toStdString();
        EXPECT_EQ(theme.lines.at(i).second, QStringList{r.objects.at(i).shortcut}) << files.at(i).toStdString();
    }

    // Header values too long for a line are cut, between characters.
    const QByteArray longOwner = named::ThemeFile(r, profile.root, QString(300, QChar(0xE9)) + S("@example.com"));
    const auto cutTheme = ReadThemeFile(longOwner);
    EXPECT_EQ(cutTheme.headerLines, 4);
    EXPECT_EQ(cutTheme.lines.size(), r.objects.size());
    for (const QByteArray &line : longOwner.split('\n'))
        EXPECT_LE(line.size() + 1, 255);
    EXPECT_TRUE(cutTheme.header.value(S("Author")).startsWith(QString(120, QChar(0xE9))));
    EXPECT_FALSE(cutTheme.header.value(S("Author")).contains(QChar(0xFFFD)));
}

namespace {

QString Sha1(const QByteArray &data) { return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex()); }

} // namespace

TEST_F(DemoExportTest, SmileyStoreHoldsEveryEmoticonUnderItsSha1)
{
    const TNamedExportResult r = RunNamedExport(Request(TNamedFormat::PidginSmileys, S("store")));
    ASSERT_TRUE(r.Ok()) << r.failures.join(u';').toStdString();
    EXPECT_EQ(r.store, r.output + S("/smileys.xml"));
    EXPECT_TRUE(r.storeBackup.isEmpty());
    ExpectCopies(r);
    ASSERT_EQ(r.leftOut.size(), 2); // the icon and the cursor: no shortcut
    const SmileyStoreFile store = ReadSmileyStoreFile(ReadFile(r.store));
    ASSERT_TRUE(store.error.isEmpty()) << store.error.toStdString();
    ASSERT_EQ(store.entries.size(), 5);
    ASSERT_EQ(r.objects.size(), 5);
    const QStringList extensions = {S("gif"), S("png"), S("jpg"), S("bmp"), S("tif")};
    for (int i = 0; i < 5; ++i) {
        const StoreEntry &e = store.entries.at(i);
        EXPECT_EQ(e.shortcut, S(kAliceNamed.at(i).shortcut));
        const QByteArray bytes = ReadFile(r.output + S("/custom_smiley/") + e.filename);
        EXPECT_EQ(e.checksum, Sha1(bytes));
        EXPECT_EQ(e.filename, e.checksum + u'.' + extensions.at(i));
        EXPECT_EQ(r.objects.at(i).file, S("custom_smiley/") + e.filename);
        EXPECT_FALSE(r.objects.at(i).reused);
    }
    EXPECT_EQ(QDir(r.output + S("/custom_smiley")).entryList(QDir::Files).size(), 5);
    EXPECT_FALSE(QFile(r.store).permissions().testAnyFlags(QFileDevice::ReadOther | QFileDevice::ReadGroup));
}

TEST_F(DemoExportTest, MergingIntoAStoreKeepsEveryEntry)
{
    const TNamedExportResult fresh = RunNamedExport(Request(TNamedFormat::PidginSmileys, S("fresh")));
    ASSERT_EQ(fresh.objects.size(), 5);
    const auto fileOf = [&](int i) { return QFileInfo(fresh.objects.at(i).file).fileName(); };
    // A store as Pidgin left it: the shortcut of Alice's wink taken by another picture, her heart
    // under a shortcut of its own, the file of her "hi" there without an entry, a second profile.
    const QString purple = env.path(S("purple"));
    const QString other = QString(40, u'0');
    const QByteArray before = (S("<?xml version='1.0' encoding='UTF-8' ?>\n<!-- kept -->\n<smileys version='1.0'>\n"
                                 "\t<profile name='Default'>\n\t\t<smiley_set>\n"
                                 "\t\t\t<smiley shortcut='(wink)' checksum='") + other + S("' filename='") + other + S(".png'/>\n"
                                 "\t\t\t<smiley shortcut=':heart:' checksum='") + fileOf(1).left(40) + S("' filename='") + fileOf(1) + S("'/>\n"
                                 "\t\t\t<smiley shortcut='\u00e9 &amp; &lt;x&gt;' checksum='1111' filename='1111.gif'/>\n"
                                 "\t\t</smiley_set>\n\t</profile>\n"
                                 "\t<profile name='Other'><smiley_set><smiley shortcut='(o)' checksum='2222' filename='2222.png'/></smiley_set></profile>\n"
                                 "</smileys>\n")).toUtf8();
    WriteFile(purple + S("/smileys.xml"), before);
    WriteFile(purple + S("/custom_smiley/") + other + S(".png"), "someone else's picture");
    ASSERT_TRUE(QFile::copy(fresh.output + S("/custom_smiley/") + fileOf(1), purple + S("/custom_smiley/") + fileOf(1)));
    ASSERT_TRUE(QFile::copy(fresh.output + S("/custom_smiley/") + fileOf(2), purple + S("/custom_smiley/") + fileOf(2)));
    const SmileyStoreFile old = ReadSmileyStoreFile(before);
    ASSERT_EQ(old.entries.size(), 3);

    TNamedExportRequest request = Request(TNamedFormat::PidginSmileys, S("unused"));
    request.mergeInto = purple;
    const TNamedExportResult r = RunNamedExport(request);
    ASSERT_TRUE(r.Ok()) << r.failures.join(u';').toStdString();
    EXPECT_FALSE(QFileInfo::exists(env.path(S("unused"))));
    EXPECT_FALSE(QFileInfo::exists(purple + u'/' + QLatin1String(kMarkerFile)));
    EXPECT_EQ(r.storeBackup, purple + S("/smileys.xml.bak"));
    EXPECT_EQ(ReadFile(r.storeBackup), before);
    QStringList reasons;
    for (const TLeftOut &l : r.leftOut)
        reasons << l.shortcut + S(": ") + l.reason;
    EXPECT_EQ(reasons, (QStringList{S("(wink): the store already has this shortcut"),
                                    S("<3: the same picture is already in the store, under the shortcut :heart:"),
                                    S(": no shortcut"), S(": no shortcut")}));

    const QByteArray after = ReadFile(purple + S("/smileys.xml"));
    const SmileyStoreFile merged = ReadSmileyStoreFile(after);
    ASSERT_TRUE(merged.error.isEmpty()) << merged.error.toStdString();
    ASSERT_EQ(merged.entries.size(), 6);
    EXPECT_EQ(merged.entries.mid(0, 3), old.entries);
    EXPECT_EQ(merged.entries.at(3), (StoreEntry{S("\"hi\""), fileOf(2).left(40), fileOf(2)}));
    EXPECT_EQ(merged.entries.at(4).shortcut, S("(caf\u00e9)"));
    EXPECT_EQ(merged.entries.at(5).shortcut, S("(&)"));
    EXPECT_EQ(merged.allSmileys, 7);
    EXPECT_EQ(merged.comments, QStringList{S(" kept ")});
    ASSERT_EQ(r.objects.size(), 3);
    EXPECT_TRUE(r.objects.at(0).reused);
    EXPECT_FALSE(r.objects.at(1).reused);
    for (const StoreEntry &e : merged.entries.mid(3))
        EXPECT_EQ(Sha1(ReadFile(purple + S("/custom_smiley/") + e.filename)), e.checksum);
    EXPECT_EQ(ReadFile(purple + S("/custom_smiley/") + other + S(".png")), QByteArray("someone else's picture"));

    // Nothing left to add: the store and its backup stay as they are.
    const TNamedExportResult again = RunNamedExport(request);
    EXPECT_TRUE(again.Ok());
    EXPECT_TRUE(again.objects.isEmpty());
    EXPECT_EQ(ReadFile(purple + S("/smileys.xml")), after);
    EXPECT_EQ(ReadFile(purple + S("/smileys.xml.bak")), before);
}

TEST_F(HostileExportTest, StoreTakesOneEntryPerShortcutAndPictureAndLeavesUnreadableStoresAlone)
{
    Emoticons({{S("(a)"), S("A")}, {S("(a)"), S("B")}, {S("(c)"), S("C")}, {S("(d)"), S("D")}}, {0, 1, 0, 3});
    const TNamedExportResult r = RunNamedExport(Request(TNamedFormat::PidginSmileys, S("store")));
    ASSERT_TRUE(r.Ok()) << r.failures.join(u';').toStdString();
    ASSERT_EQ(r.objects.size(), 2);
    ASSERT_EQ(r.leftOut.size(), 2);
    EXPECT_EQ(r.leftOut.at(0).reason, S("another emoticon has the same shortcut"));
    EXPECT_EQ(r.leftOut.at(1).reason, S("the same picture is already in the store, under the shortcut (a)"));

    const QString target = env.path(S("purple"));
    QDir().mkpath(target);
    TNamedExportRequest merge = Request(TNamedFormat::PidginSmileys, S("unused"));
    merge.mergeInto = target;
    const QList<QByteArray> unreadable = {
        "<smileys><profile><smiley_set><smiley shortcut='x'/></smiley_set></profile>",     // cut short
        "<?xml version='1.0'?><!DOCTYPE smileys [<!ENTITY e 'x'>]><smileys>&e;</smileys>", // a DTD
        "<smileys><smiley shortcut='\x01'/></smileys>",                                      // not XML
        QByteArray(kMaxSmileyStoreBytes + 1, ' '),                                          // too big
    };
    for (const QByteArray &document : unreadable) {
        WriteFile(target + S("/smileys.xml"), document);
        EXPECT_THROW(RunNamedExport(merge), Exception) << document.left(60).constData();
        EXPECT_EQ(ReadFile(target + S("/smileys.xml")), document);
        EXPECT_EQ(QDir(target).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{S("smileys.xml")});
    }
    // A store that is a link, or beside a picture folder that is one, is not written through.
    QFile::remove(target + S("/smileys.xml"));
    WriteFile(env.path(S("elsewhere/smileys.xml")), "<smileys/>");
    ASSERT_TRUE(QFile::link(env.path(S("elsewhere/smileys.xml")), target + S("/smileys.xml")));
    EXPECT_THROW(RunNamedExport(merge), Exception);
    QFile::remove(target + S("/smileys.xml"));
    ASSERT_TRUE(QFile::link(env.path(S("elsewhere")), target + S("/custom_smiley")));
    EXPECT_THROW(RunNamedExport(merge), Exception);
    EXPECT_EQ(QDir(env.path(S("elsewhere"))).entryList(QDir::Files), QStringList{S("smileys.xml")});
    // Only an existing folder outside the user folder is merged into, and only as a store.
    merge.mergeInto = env.path(S("missing"));
    EXPECT_THROW(RunNamedExport(merge), Exception);
    merge.mergeInto = profile.root;
    EXPECT_THROW(RunNamedExport(merge), Exception);
    TNamedExportRequest folder = Request(TNamedFormat::Folder, S("f"));
    folder.mergeInto = env.path(S("purple"));
    EXPECT_THROW(RunNamedExport(folder), Exception);
}
