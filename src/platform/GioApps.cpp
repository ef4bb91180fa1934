// Applications registered for a MIME type, from the freedesktop desktop entries through GIO.
// GLib headers come before any Qt header: they use "signals" as a name.
#include <gio/gio.h>
#include <gio/gdesktopappinfo.h>

#include "platform/Platform.h"

#include <QFile>
#include <QUrl>

namespace zorvak {

namespace {
QString ContentTypeOf(const QString &filePath)
{
    const QByteArray name = QFile::encodeName(filePath);
    gboolean uncertain = FALSE;
    gchar *type = g_content_type_guess(name.constData(), nullptr, 0, &uncertain);
    QString result = QString::fromUtf8(type ? type : "");
    g_free(type);
    return result;
}

QString ExecutableOf(GAppInfo *info)
{
    const char *exe = g_app_info_get_executable(info);
    return QString::fromUtf8(exe ? exe : "");
}
} // namespace

QString PosixPlatform::DefaultOpenCommand(const QString &filePath)
{
    const QByteArray type = ContentTypeOf(filePath).toUtf8();
    GAppInfo *info = g_app_info_get_default_for_type(type.constData(), FALSE);
    if (!info)
        return {};
    QString exe = ExecutableOf(info);
    g_object_unref(info);
    return exe;
}

QList<Platform::AppInfo> PosixPlatform::AppsForFile(const QString &filePath)
{
    QList<AppInfo> apps;
    const QByteArray type = ContentTypeOf(filePath).toUtf8();
    GList *all = g_app_info_get_all_for_type(type.constData());
    for (GList *l = all; l; l = l->next) {
        auto *info = G_APP_INFO(l->data);
        const char *id = g_app_info_get_id(info);
        apps.append({QString::fromUtf8(id ? id : ""), QString::fromUtf8(g_app_info_get_display_name(info)),
                     ExecutableOf(info)});
    }
    g_list_free_full(all, g_object_unref);
    return apps;
}

bool PosixPlatform::LaunchApp(const QString &appId, const QString &filePath)
{
    const QByteArray id = appId.toUtf8();
    GDesktopAppInfo *info = g_desktop_app_info_new(id.constData());
    GAppInfo *app = info ? G_APP_INFO(info) : nullptr;
    if (!app && QFile::exists(appId)) {
        // A program chosen by path: run it with the file.
        app = g_app_info_create_from_commandline(QFile::encodeName(appId).constData(), nullptr,
                                                 G_APP_INFO_CREATE_NONE, nullptr);
    }
    if (!app)
        return false;
    const QByteArray uri = QUrl::fromLocalFile(filePath).toEncoded();
    GList *uris = g_list_append(nullptr, const_cast<char *>(uri.constData()));
    const gboolean ok = g_app_info_launch_uris(app, uris, nullptr, nullptr);
    g_list_free(uris);
    g_object_unref(app);
    return ok;
}

} // namespace zorvak
