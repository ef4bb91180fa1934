#include "support/TestEnv.h"

#include "common/Exceptions.h"
#include "shell/SettingsFile.h"
#include "shell/uLanguage.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace zorvak::test {

TestEnv::TestEnv()
{
    auto platform = std::make_unique<FakePlatform>();
    m_platform = platform.get();
    QDir().mkpath(appDir());
    m_platform->appDir = appDir();
    m_oldPlatform = Platform::Set(std::move(platform));
    auto dialogs = std::make_unique<ScriptedDialogService>();
    m_dialogs = dialogs.get();
    m_oldDialogs = DialogService::Set(std::move(dialogs));
    ResetSettings();
    SetCurrentLanguage(LoadEnglish());
}

TestEnv::~TestEnv()
{
    ResetSettings();
    SetCurrentLanguage(LoadEnglish());
    DialogService::Set(std::move(m_oldDialogs));
    Platform::Set(std::move(m_oldPlatform));
}

QString TestEnv::appDir() const { return m_dir.path() + QStringLiteral("/app/"); }

QString TestEnv::path(const QString &relative) const { return m_dir.path() + QLatin1Char('/') + relative; }

bool WriteFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray TreeChecksum(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString &f : files) {
        const QFileInfo info(f);
        hash.addData(f.toUtf8());
        hash.addData(QByteArray::number(info.isDir() ? -1 : info.size()));
        hash.addData(QByteArray::number(info.lastModified().toMSecsSinceEpoch()));
        if (info.isFile())
            hash.addData(ReadFile(f));
    }
    return hash.result().toHex();
}

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

QString ErrorOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const Exception &e) {
        return e.Message();
    }
    return QStringLiteral("(no error)");
}

} // namespace zorvak::test
