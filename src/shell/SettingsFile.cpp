#include "shell/SettingsFile.h"

#include "common/EmailId.h"
#include "common/Cp1252.h"
#include "common/Exceptions.h"
#include "common/unitString.h"
#include "platform/Platform.h"
#include "shell/uLanguage.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>

#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

namespace zorvak {

struct TIniFile::Impl {
    CSimpleIniA ini{false, false, false};
};

namespace {
std::string U8(const QString &s) { return s.toStdString(); }

void LoadIni(const QString &path, CSimpleIniA &ini)
{
    ini.Reset();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return;
    const QByteArray raw = f.readAll();
    const QByteArray utf8 = DecodeUtf8OrCp1252(raw).toUtf8();
    if (ini.LoadData(utf8.constData(), size_t(utf8.size())) < 0)
        ini.Reset();
}
} // namespace

TIniFile::TIniFile(QString path) : m_path(std::move(path)), d(std::make_unique<Impl>())
{
    d->ini.SetSpaces(false);
    d->ini.SetUnicode(true);
    LoadIni(m_path, d->ini);
}

TIniFile::~TIniFile() = default;

QString TIniFile::ReadString(const QString &section, const QString &key, const QString &def) const
{
    LoadIni(m_path, d->ini); // another writer may have changed the file, as the profile functions see it
    const char *v = d->ini.GetValue(U8(section).c_str(), U8(key).c_str(), nullptr);
    return v ? QString::fromUtf8(v) : def;
}

bool TIniFile::ReadBool(const QString &section, const QString &key, bool def) const
{
    const QString v = ReadString(section, key, QString()).trimmed();
    if (v.isEmpty())
        return def;
    if (v.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (v.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const long long n = v.toLongLong(&ok);
    return ok ? n != 0 : def;
}

void TIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    WriteStrings(section, {{key, value}});
}

void TIniFile::WriteStrings(const QString &section, const QList<std::pair<QString, QString>> &values)
{
    LoadIni(m_path, d->ini);
    for (const auto &[key, value] : values) {
        QString oneLine = value;
        oneLine.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        d->ini.SetValue(U8(section).c_str(), U8(key).c_str(), U8(oneLine).c_str());
    }
    std::string out;
    d->ini.Save(out);
    QSaveFile f(m_path);
    f.setDirectWriteFallback(true);
    if (!f.open(QIODevice::WriteOnly) || f.write(out.data(), qint64(out.size())) != qint64(out.size()) || !f.commit())
        throw Exception(QStringLiteral("Unable to write to %1").arg(m_path));
}

void TIniFile::DeleteKey(const QString &section, const QString &key)
{
    LoadIni(m_path, d->ini);
    if (!d->ini.Delete(U8(section).c_str(), U8(key).c_str()))
        return;
    std::string out;
    d->ini.Save(out);
    QSaveFile f(m_path);
    f.setDirectWriteFallback(true);
    if (f.open(QIODevice::WriteOnly) && f.write(out.data(), qint64(out.size())) == qint64(out.size()))
        f.commit();
}

TSettingsValues TSettingsValues::Defaults()
{
    TSettingsValues v;
    v.docSetDir = QStringLiteral("/mnt/c/Documents and Settings/");
    v.appDatDir = QStringLiteral("Application Data/");
    v.msnDatDir = QStringLiteral("Microsoft/MSN Messenger/");
    for (const auto &info : ContentTypes)
        v.Subdir(info.type) = QString::fromLatin1(info.defaultSubdir);
    return v;
}

QString &TSettingsValues::Subdir(ContentType type)
{
    switch (type) {
    case ContentType::Emot: return subdirEmot;
    case ContentType::Dp: return subdirDp;
    case ContentType::Bg: return subdirBg;
    case ContentType::Wink: return subdirWink;
    case ContentType::Ddp: return subdirDdp;
    case ContentType::Dbg: break;
    }
    return subdirDbg;
}

const QString &TSettingsValues::Subdir(ContentType type) const
{
    return const_cast<TSettingsValues *>(this)->Subdir(type);
}

namespace {
struct SettingsState {
    TSettingsValues values = TSettingsValues::Defaults();
    THash emailById;
    std::unique_ptr<TIniFile> file;
};
SettingsState &State()
{
    static SettingsState state;
    return state;
}
const QString kSection = QString::fromLatin1(SettingsSection);
constexpr int kMaxWindowPixels = 100000;

// A number of the window's keys; `fallback` when absent, not a number or beyond what any screen has.
int ReadPixels(const TIniFile &ini, const char *key, int fallback)
{
    bool ok = false;
    const int n = ini.ReadString(kSection, QLatin1String(key), QString()).trimmed().toInt(&ok);
    return ok && std::abs(n) <= kMaxWindowPixels ? n : fallback;
}

TWindowPlacement ReadWindowPlacement(const TIniFile &ini)
{
    TWindowPlacement p;
    const int width = ReadPixels(ini, "WindowWidth", 0);
    const int height = ReadPixels(ini, "WindowHeight", 0);
    if (width > 0 && height > 0)
        p.geometry = QRect(ReadPixels(ini, "WindowLeft", 0), ReadPixels(ini, "WindowTop", 0), width, height);
    p.maximized = ini.ReadBool(kSection, QStringLiteral("WindowMaximized"), false);
    p.folderWidth = std::max(0, ReadPixels(ini, "FolderWidth", 0));
    p.fileListWidth = std::max(0, ReadPixels(ini, "FileListWidth", 0));
    return p;
}
} // namespace

TSettingsValues &Settings() { return State().values; }
THash &EmailById() { return State().emailById; }
QString SettingsFilePath() { return Platform::Get().AppDir() + QString::fromLatin1(SettingsFileName); }
TIniFile *SettingsFile() { return State().file.get(); }

TIniFile &OpenSettingsFile()
{
    auto &file = State().file;
    if (!file)
        file = std::make_unique<TIniFile>(SettingsFilePath());
    return *file;
}

void CloseSettingsFile() { State().file.reset(); }

void ResetSettings()
{
    State().values = TSettingsValues::Defaults();
    State().emailById.Clear();
    State().file.reset();
}

void LoadSettings(const std::function<void(const QString &code)> &applyLanguage)
{
    TSettingsValues &v = Settings();
    if (QFile::exists(SettingsFilePath())) {
        TIniFile &ini = OpenSettingsFile();
        v.docSetDir = ini.ReadString(kSection, QStringLiteral("docSetDir"), v.docSetDir);
        v.appDatDir = ini.ReadString(kSection, QStringLiteral("appDatDir"), v.appDatDir);
        v.msnDatDir = ini.ReadString(kSection, QStringLiteral("msnDatDir"), v.msnDatDir);
        v.subdirEmot = ini.ReadString(kSection, QStringLiteral("subdirEmot"), v.subdirEmot);
        v.subdirDp = ini.ReadString(kSection, QStringLiteral("subdirDp"), v.subdirDp);
        v.subdirBg = ini.ReadString(kSection, QStringLiteral("subdirBg"), v.subdirBg);
        v.subdirWink = ini.ReadString(kSection, QStringLiteral("subdirWink"), v.subdirWink);
        v.subdirDdp = ini.ReadString(kSection, QStringLiteral("subdirDdp"), v.subdirDdp);
        v.subdirDbg = ini.ReadString(kSection, QStringLiteral("subdirDBg"), v.subdirDbg);
        const QString language = ini.ReadString(kSection, QStringLiteral("Language"), QString());
        static const QStringList codes{QStringLiteral("EN"), QStringLiteral("FR"), QStringLiteral("IT"),
                                       QStringLiteral("SP")};
        if (codes.contains(language) && applyLanguage)
            applyLanguage(language);
        const QStringList emails =
            SplitString(ini.ReadString(kSection, QStringLiteral("emailList"), QString()), QStringLiteral(";"), true);
        for (const QString &email : emails)
            EmailById().SetValue(EmailToId(email), email);
        // Files written before these keys existed list files as a list, at the default size.
        v.thumbnails = ini.ReadString(kSection, QStringLiteral("FileView"), QString())
                           .trimmed()
                           .compare(QLatin1String("Thumbnails"), Qt::CaseInsensitive)
                       == 0;
        bool sizeOk = false;
        const int size = ini.ReadString(kSection, QStringLiteral("ThumbnailSize"), QString()).trimmed().toInt(&sizeOk);
        if (sizeOk)
            v.thumbnailSize = std::clamp(size, kMinThumbnailSize, kMaxThumbnailSize);
        v.window = ReadWindowPlacement(ini);
    }
    for (QString *dir : {&v.docSetDir, &v.appDatDir, &v.msnDatDir})
        if (!dir->endsWith(QLatin1Char('/')))
            dir->append(QLatin1Char('/'));
}

void RememberEmail(const QString &email)
{
    TIniFile &ini = OpenSettingsFile();
    const QString current = ini.ReadString(kSection, QStringLiteral("emailList"), QString());
    QString updated;
    if (!current.isEmpty()) {
        for (const QString &item : SplitString(current, QStringLiteral(";"), true))
            if (item.compare(email, Qt::CaseInsensitive) == 0)
                return;
        updated = current + QLatin1Char(';') + email;
    } else {
        updated = email;
    }
    if (updated.size() == current.size())
        return;
    ini.WriteString(kSection, QStringLiteral("emailList"), updated);
    EmailById().SetValue(EmailToId(email), email);
}

void SaveFileView(bool thumbnails, int thumbnailSize)
{
    TIniFile &ini = OpenSettingsFile();
    ini.WriteString(kSection, QStringLiteral("FileView"),
                    thumbnails ? QStringLiteral("Thumbnails") : QStringLiteral("List"));
    ini.WriteString(kSection, QStringLiteral("ThumbnailSize"),
                    QString::number(std::clamp(thumbnailSize, kMinThumbnailSize, kMaxThumbnailSize)));
    Settings().thumbnails = thumbnails;
    Settings().thumbnailSize = std::clamp(thumbnailSize, kMinThumbnailSize, kMaxThumbnailSize);
}

void SaveWindowPlacement(const TWindowPlacement &placement)
{
    const QRect &g = placement.geometry;
    const auto number = [](const char *key, int value) { return std::pair(QString::fromLatin1(key), QString::number(value)); };
    OpenSettingsFile().WriteStrings(kSection, {number("WindowLeft", g.x()), number("WindowTop", g.y()),
        number("WindowWidth", g.width()), number("WindowHeight", g.height()),
        {QStringLiteral("WindowMaximized"), placement.maximized ? QStringLiteral("True") : QStringLiteral("False")},
        number("FolderWidth", placement.folderWidth), number("FileListWidth", placement.fileListWidth)});
    Settings().window = placement;
}

void SaveLanguage()
{
    OpenSettingsFile().WriteString(kSection, QStringLiteral("Language"), CurrentLanguage().Get(QStringLiteral("_ID")));
}

} // namespace zorvak
