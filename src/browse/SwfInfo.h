#pragma once
// The header of a Flash movie: frame size, rate, count and version. No Flash player exists here,
// so the preview shows these facts instead of playing the movie.
#include <QByteArray>
#include <QString>

namespace zorvak {

struct TSwfInfo {
    bool valid = false;
    bool compressed = false;   // "CWS": the body is a zlib stream
    int version = 0;
    quint32 fileLength = 0;    // uncompressed length stated by the header
    double width = 0;          // pixels (the header holds twips: 1/20 pixel)
    double height = 0;
    double frameRate = 0;      // frames per second
    int frameCount = 0;
    QString error;             // why the movie is not valid
};

TSwfInfo ReadSwfInfo(const QString &path);
TSwfInfo ParseSwfHeader(const QByteArray &data);
// The text of the preview's information card.
QString SwfInfoCard(const TSwfInfo &info, const QString &fileName);

} // namespace zorvak
