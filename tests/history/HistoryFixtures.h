#pragma once
// Hand-made history files and the folders Messenger keeps them in.
#include "common/EmailId.h"
#include "support/TestEnv.h"

#include <QString>

namespace zorvak::test {

inline QByteArray HistoryLog(const QByteArray &entries)
{
    return "<?xml version=\"1.0\"?>\r\n<?xml-stylesheet type='text/xsl' href='MessageLog.xsl'?>\r\n<Log FirstSessionID=\"1\" "
           "LastSessionID=\"2\">" + entries + "</Log>\r\n";
}

inline QByteArray HistoryMessage(const char *utc, int session, const char *from, const char *to, const QByteArray &text,
                                 const char *style = "font-family:Arial; color:#000000; ")
{
    return QByteArray("<Message Date=\"x\" Time=\"y\" DateTime=\"") + utc + "\" SessionID=\"" + QByteArray::number(session)
           + "\"><From><User FriendlyName=\"" + from + "\"/></From><To><User FriendlyName=\"" + to
           + "\"/></To><Text Style=\"" + style + "\">" + text + "</Text></Message>";
}

// "<profile>/<documents>/My Received Files/<local part><ID>/History/", made; the user's address
// is local@hotmail.com.
inline QString MakeHistoryFolder(const QString &profile, const QString &documents, const QString &local)
{
    const QString folder = profile + u'/' + documents + QStringLiteral("/My Received Files/") + local
        + EmailToId(local + QStringLiteral("@hotmail.com")) + QStringLiteral("/History");
    QDir().mkpath(folder);
    return folder;
}

} // namespace zorvak::test
