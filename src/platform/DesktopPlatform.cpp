#include "platform/DesktopPlatform.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QUrl>

namespace zorvak {

bool DesktopPlatform::OpenUrl(const QString &urlOrPath)
{
    const bool isLink = urlOrPath.contains(QLatin1String("://")) || urlOrPath.startsWith(QLatin1String("mailto:"));
    const QUrl url = isLink ? QUrl(urlOrPath, QUrl::TolerantMode)
                            : QUrl::fromLocalFile(QFileInfo(urlOrPath).absoluteFilePath());
    return QDesktopServices::openUrl(url);
}

bool DesktopPlatform::AltHeld() { return QGuiApplication::queryKeyboardModifiers() & Qt::AltModifier; }

} // namespace zorvak
