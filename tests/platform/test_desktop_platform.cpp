// The desktop platform hands links and files to the desktop's handlers.
#include "platform/DesktopPlatform.h"
#include "support/TestEnv.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>
#include <gtest/gtest.h>

using namespace zorvak;

namespace {
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};
} // namespace

TEST(DesktopPlatform, OpensWebMailAndFileLinksThroughTheDesktop)
{
    UrlCatcher catcher;
    for (const char *scheme : {"https", "http", "mailto", "file"})
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &catcher, "open");
    test::TestEnv env;
    const QString file = env.path(QStringLiteral("a b.png"));
    test::WriteFile(file, "x");

    DesktopPlatform platform;
    EXPECT_TRUE(platform.OpenUrl(QStringLiteral("https://zorvak.example.org/help/")));
    EXPECT_TRUE(platform.OpenUrl(QStringLiteral("mailto:zorvak@example.org?subject=About Zorvak")));
    EXPECT_TRUE(platform.OpenUrl(file));
    const QString relative = QDir::current().relativeFilePath(file);
    EXPECT_TRUE(platform.OpenUrl(relative));
    for (const char *scheme : {"https", "http", "mailto", "file"})
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));

    ASSERT_EQ(catcher.urls.size(), 4);
    EXPECT_EQ(catcher.urls[0], QUrl(QStringLiteral("https://zorvak.example.org/help/")));
    EXPECT_EQ(catcher.urls[1].scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(catcher.urls[1].path(), QStringLiteral("zorvak@example.org"));
    EXPECT_EQ(catcher.urls[1].query(QUrl::FullyDecoded), QStringLiteral("subject=About Zorvak"));
    EXPECT_EQ(catcher.urls[2], QUrl::fromLocalFile(file));
    EXPECT_EQ(catcher.urls[3], QUrl::fromLocalFile(file));
}

#include "test_desktop_platform.moc"
