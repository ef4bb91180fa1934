#include "browse/SwfInfo.h"

#include "common/unitString.h"
#include "shell/uLanguage.h"

#include <QFile>
#include <QFileInfo>
#include <zlib.h>

namespace zorvak {

namespace {

// The frame rectangle needs at most 17 bytes, rate and count 4 more.
constexpr int kBodyNeeded = 21;

bool Inflate(const QByteArray &in, QByteArray &out, QString &error)
{
    z_stream z{};
    if (inflateInit(&z) != Z_OK) {
        error = QStringLiteral("cannot start zlib");
        return false;
    }
    out.resize(kBodyNeeded);
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(in.constData()));
    z.avail_in = uInt(in.size());
    z.next_out = reinterpret_cast<Bytef *>(out.data());
    z.avail_out = uInt(out.size());
    int rc = Z_OK;
    while (z.avail_out > 0 && rc == Z_OK)
        rc = inflate(&z, Z_NO_FLUSH);
    const int produced = out.size() - int(z.avail_out);
    inflateEnd(&z);
    out.resize(produced);
    if (rc != Z_OK && rc != Z_STREAM_END) {
        error = QStringLiteral("the compressed body is damaged");
        return false;
    }
    return true;
}

class BitReader {
public:
    explicit BitReader(const QByteArray &d) : m_data(d) {}
    bool Read(int bits, quint32 &value)
    {
        value = 0;
        for (int i = 0; i < bits; ++i) {
            const int byte = m_pos / 8;
            if (byte >= m_data.size())
                return false;
            const int bit = 7 - (m_pos % 8);
            value = (value << 1) | ((quint8(m_data.at(byte)) >> bit) & 1u);
            ++m_pos;
        }
        return true;
    }
    int BytesUsed() const { return (m_pos + 7) / 8; }

private:
    const QByteArray &m_data;
    int m_pos = 0;
};

qint32 SignExtend(quint32 v, int bits)
{
    if (bits == 0)
        return 0;
    if (v & (1u << (bits - 1)))
        return qint32(v | ~((1u << bits) - 1u));
    return qint32(v);
}

} // namespace

TSwfInfo ParseSwfHeader(const QByteArray &data)
{
    TSwfInfo info;
    if (data.size() < 8) {
        info.error = QStringLiteral("the file is too short");
        return info;
    }
    const QByteArray sig = data.left(3);
    if (sig != "CWS" && sig != "FWS") {
        info.error = sig == "ZWS" ? QStringLiteral("LZMA-compressed movies are not supported")
                                  : QStringLiteral("not a Flash movie");
        return info;
    }
    info.compressed = sig == "CWS";
    info.version = quint8(data.at(3));
    info.fileLength = quint32(quint8(data.at(4))) | (quint32(quint8(data.at(5))) << 8)
        | (quint32(quint8(data.at(6))) << 16) | (quint32(quint8(data.at(7))) << 24);
    QByteArray body;
    if (info.compressed) {
        if (!Inflate(data.mid(8), body, info.error))
            return info;
    } else {
        body = data.mid(8, kBodyNeeded);
    }
    BitReader bits(body);
    quint32 nbits = 0, xmin = 0, xmax = 0, ymin = 0, ymax = 0;
    if (!bits.Read(5, nbits) || !bits.Read(int(nbits), xmin) || !bits.Read(int(nbits), xmax)
        || !bits.Read(int(nbits), ymin) || !bits.Read(int(nbits), ymax)) {
        info.error = QStringLiteral("the header is cut short");
        return info;
    }
    const int n = int(nbits);
    const int off = bits.BytesUsed();
    if (body.size() < off + 4) {
        info.error = QStringLiteral("the header is cut short");
        return info;
    }
    info.width = (SignExtend(xmax, n) - SignExtend(xmin, n)) / 20.0;
    info.height = (SignExtend(ymax, n) - SignExtend(ymin, n)) / 20.0;
    // Frame rate: 8.8 fixed point, low byte first.
    info.frameRate = quint8(body.at(off + 1)) + quint8(body.at(off)) / 256.0;
    info.frameCount = quint8(body.at(off + 2)) | (quint8(body.at(off + 3)) << 8);
    if (info.width <= 0 || info.height <= 0) {
        info.error = QStringLiteral("the frame size is invalid");
        return info;
    }
    info.valid = true;
    return info;
}

TSwfInfo ReadSwfInfo(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        TSwfInfo info;
        info.error = QStringLiteral("the file cannot be read");
        return info;
    }
    // A compressed header's first 21 bytes come out of a few hundred input bytes at most.
    return ParseSwfHeader(f.read(4096));
}

QString SwfInfoCard(const TSwfInfo &info, const QString &fileName)
{
    const QString head = Lang("FlashMovie") + QLatin1Char('\n') + fileName + QStringLiteral("\n\n");
    if (!info.valid)
        return head + Lang("FlashDamaged") + QLatin1Char('\n') + info.error;
    const QString facts = FormatText(Lang("FlashFacts"), {QString::number(info.width, 'g', 6),
                                                          QString::number(info.height, 'g', 6),
                                                          QString::number(info.frameRate, 'g', 4),
                                                          int(info.frameCount), int(info.version)});
    return head + QString(facts).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

} // namespace zorvak
