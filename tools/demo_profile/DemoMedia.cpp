#include "DemoMedia.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QtEndian>
#include <QtMath>

namespace zorvak::demo {

namespace {

void Le16(QByteArray &out, quint16 v)
{
    out.append(char(v & 0xFF));
    out.append(char(v >> 8));
}

void Le32(QByteArray &out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

void Be32(QByteArray &out, quint32 v)
{
    char b[4];
    qToBigEndian(v, b);
    out.append(b, 4);
}

QImage Draw(int width, int height, QColor base, int seed, bool alpha)
{
    QImage image(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    image.fill(alpha ? Qt::transparent : base.lighter(170));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = width, h = height;
    // A flower, a face or stripes, after the seed.
    switch (seed % 3) {
    case 0: {
        p.setPen(Qt::NoPen);
        p.setBrush(base);
        for (int i = 0; i < 10; ++i) {
            p.save();
            p.translate(w / 2, h / 2);
            p.rotate(i * 36.0);
            p.drawEllipse(QRectF(-w * 0.08, -h * 0.45, w * 0.16, h * 0.36));
            p.restore();
        }
        p.setBrush(QColor(250, 200, 40));
        p.drawEllipse(QPointF(w / 2, h / 2), w * 0.13, h * 0.13);
        break;
    }
    case 1:
        p.setPen(QPen(Qt::black, qMax(1.0, w / 40)));
        p.setBrush(base);
        p.drawEllipse(QRectF(w * 0.05, h * 0.05, w * 0.9, h * 0.9));
        p.setBrush(Qt::black);
        p.drawEllipse(QPointF(w * 0.35, h * 0.38), w * 0.06, h * 0.08);
        p.drawEllipse(QPointF(w * 0.65, h * 0.38), w * 0.06, h * 0.08);
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(w * 0.27, h * 0.35, w * 0.46, h * 0.4), 200 * 16, 140 * 16);
        break;
    default:
        for (int i = 0; i < 8; ++i)
            p.fillRect(QRectF(0, i * h / 8, w, h / 8), i % 2 ? base : base.darker(130 + seed % 40));
        p.setPen(QPen(Qt::white, qMax(1.0, w / 30)));
        p.drawLine(QPointF(0, 0), QPointF(w, h));
        break;
    }
    return image;
}

QByteArray Write(const QImage &image, const char *format, int quality = -1)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0)
        writer.setQuality(quality);
    if (!writer.write(image))
        qFatal("cannot write a %s picture: %s", format, qPrintable(writer.errorString()));
    return data;
}

// GIF LZW with the code table kept below 9-bit codes: every pixel is sent as its own code and a
// clear code follows every 250 pixels, which any decoder reads.
QByteArray LzwNoGrowth(const QByteArray &indices)
{
    QByteArray packed;
    quint32 acc = 0;
    int bits = 0;
    const auto put = [&](int code) {
        acc |= quint32(code) << bits;
        bits += 9;
        while (bits >= 8) {
            packed.append(char(acc & 0xFF));
            acc >>= 8;
            bits -= 8;
        }
    };
    for (qsizetype i = 0; i < indices.size(); ++i) {
        if (i % 250 == 0)
            put(256);
        put(uchar(indices[i]));
    }
    put(257);
    if (bits > 0)
        packed.append(char(acc & 0xFF));
    QByteArray blocks;
    blocks.append(char(8)); // minimum code size
    for (qsizetype i = 0; i < packed.size(); i += 255) {
        const QByteArray part = packed.mid(i, 255);
        blocks.append(char(part.size()));
        blocks.append(part);
    }
    blocks.append(char(0));
    return blocks;
}

} // namespace

QByteArray MakeAnimatedGif(int size, QColor face)
{
    // Palette: 0 transparent-ish background, 1 outline, 2 face, 3 eyes.
    const QColor palette[4] = {QColor(255, 255, 255), QColor(0, 0, 0), face, QColor(40, 40, 40)};
    QByteArray gif("GIF89a");
    Le16(gif, quint16(size));
    Le16(gif, quint16(size));
    gif.append(char(0xF7)); // global colour table of 256 entries
    gif.append(char(0));
    gif.append(char(0));
    for (int i = 0; i < 256; ++i) {
        const QColor c = i < 4 ? palette[i] : QColor(0, 0, 0);
        gif.append(char(c.red()));
        gif.append(char(c.green()));
        gif.append(char(c.blue()));
    }
    gif.append(QByteArray::fromHex("21ff0b4e45545343415045322e300301000000")); // loop for ever
    for (int frame = 0; frame < 2; ++frame) {
        gif.append(QByteArray::fromHex("21f904"));
        gif.append(char(0x09)); // restore to background, transparent colour
        Le16(gif, 50);          // half a second
        gif.append(char(0));    // transparent index
        gif.append(char(0));
        QByteArray indices(size * size, char(0));
        const double r = size * 0.45, c = (size - 1) / 2.0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const double d = std::hypot(x - c, y - c);
                char v = 0;
                if (d <= r)
                    v = d > r - 1.5 ? 1 : 2;
                const double ex = size * 0.16, ey = size * 0.14;
                const bool eye = std::hypot(x - (c - ex), (y - (c - ey)) * (frame ? 4.0 : 1.0)) < size * 0.07
                                 || std::hypot(x - (c + ex), (y - (c - ey)) * (frame ? 4.0 : 1.0)) < size * 0.07;
                if (eye)
                    v = 3;
                if (d < r * 0.6 && y > c + size * 0.12 && std::abs(d - r * 0.5) < 1.2)
                    v = 1;
                indices[y * size + x] = v;
            }
        gif.append(char(0x2C));
        Le16(gif, 0);
        Le16(gif, 0);
        Le16(gif, quint16(size));
        Le16(gif, quint16(size));
        gif.append(char(0));
        gif.append(LzwNoGrowth(indices));
    }
    gif.append(char(0x3B));
    return gif;
}

QByteArray MakePicture(const char *format, int width, int height, QColor base, int seed)
{
    const QByteArray f(format);
    const bool alpha = f == "png" || f == "ico";
    return Write(Draw(width, height, base, seed, alpha), f == "jpg" ? "jpeg" : format, f == "jpg" ? 85 : -1);
}

QByteArray MakeCursor(int size, QColor base)
{
    QByteArray data = MakePicture("ico", size, size, base, 1);
    // ICONDIR type 2; the entry's planes and bit count become the hot spot (the centre).
    data[2] = 2;
    const quint16 hot = quint16(size / 2);
    qToLittleEndian(hot, data.data() + 6 + 4);
    qToLittleEndian(hot, data.data() + 6 + 6);
    return data;
}

QByteArray MakeJpegOfSize(int width, int height, QColor base, int seed, int size)
{
    const QByteArray jpeg = Write(Draw(width, height, base, seed, false), "jpeg", 90);
    // FF D8, then the JFIF APP0 segment (FF E0, its length) stays first: the comment goes after it.
    if (jpeg.size() < 4 + 2 || uchar(jpeg[2]) != 0xFF || uchar(jpeg[3]) != 0xE0)
        return {};
    const int app0End = 4 + qFromBigEndian<quint16>(jpeg.constData() + 4);
    int padding = size - int(jpeg.size());
    QByteArray comments;
    while (padding > 0) {
        if (padding < 4)
            return {}; // a segment needs at least four bytes
        int segment = qMin(padding, 65535 + 2);
        if (padding - segment > 0 && padding - segment < 4)
            segment -= 4;
        const quint16 length = quint16(segment - 2);
        comments.append(char(0xFF));
        comments.append(char(0xFE));
        comments.append(char(length >> 8));
        comments.append(char(length & 0xFF));
        QByteArray text = QByteArray("Zorvak demo picture. ").repeated(segment / 21 + 1).left(segment - 4);
        comments.append(text);
        padding -= segment;
    }
    if (padding < 0)
        return {};
    return jpeg.left(app0End) + comments + jpeg.mid(app0End);
}

QByteArray MakeFlash(int width, int height, int frames, QColor background)
{
    QByteArray body;
    // RECT with 15-bit fields, in twips.
    {
        const int nbits = 15;
        const quint32 fields[4] = {0, quint32(width * 20), 0, quint32(height * 20)};
        quint64 acc = 0;
        int bits = 0;
        QByteArray rect;
        const auto put = [&](quint32 value, int n) {
            for (int i = n - 1; i >= 0; --i) {
                acc = (acc << 1) | ((value >> i) & 1);
                if (++bits == 8) {
                    rect.append(char(acc & 0xFF));
                    acc = 0;
                    bits = 0;
                }
            }
        };
        put(nbits, 5);
        for (quint32 f : fields)
            put(f, nbits);
        if (bits)
            rect.append(char((acc << (8 - bits)) & 0xFF));
        body.append(rect);
    }
    Le16(body, 12 << 8); // 12 frames a second
    Le16(body, quint16(frames));
    Le16(body, (9 << 6) | 3); // SetBackgroundColor
    body.append(char(background.red()));
    body.append(char(background.green()));
    body.append(char(background.blue()));
    for (int i = 0; i < frames; ++i)
        Le16(body, 1 << 6); // ShowFrame
    Le16(body, 0);          // End
    QByteArray swf("CWS");
    swf.append(char(8));
    Le32(swf, quint32(8 + body.size()));
    swf.append(qCompress(body, 9).mid(4)); // a zlib stream without Qt's length prefix
    return swf;
}

QByteArray MakeWave(double seconds, int frequency)
{
    const int rate = 8000;
    const int samples = int(seconds * rate);
    QByteArray pcm;
    for (int i = 0; i < samples; ++i) {
        const double envelope = qMin(1.0, qMin(i, samples - i) / 400.0);
        pcm.append(char(128 + int(100 * envelope * std::sin(2 * M_PI * frequency * i / rate))));
    }
    QByteArray wav("RIFF");
    Le32(wav, quint32(36 + pcm.size()));
    wav.append("WAVEfmt ");
    Le32(wav, 16);
    Le16(wav, 1);
    Le16(wav, 1);
    Le32(wav, rate);
    Le32(wav, rate);
    Le16(wav, 1);
    Le16(wav, 8);
    wav.append("data");
    Le32(wav, quint32(pcm.size()));
    wav.append(pcm);
    return wav;
}

QByteArray MakeMidi()
{
    QByteArray track;
    const int notes[] = {60, 64, 67, 72};
    for (int n : notes) {
        track.append(QByteArray::fromHex("00 90").append(char(n)).append(char(100)));
        track.append(QByteArray::fromHex("60 80").append(char(n)).append(char(0)));
    }
    track.append(QByteArray::fromHex("00ff2f00"));
    QByteArray midi("MThd");
    Be32(midi, 6);
    midi.append(QByteArray::fromHex("000000010060"));
    midi.append("MTrk");
    Be32(midi, quint32(track.size()));
    midi.append(track);
    return midi;
}

QByteArray MakeMp3()
{
    // An ID3v2.3 tag with a title, then MPEG-1 layer III frames of silence (128 kbit/s, 44.1 kHz).
    QByteArray frame("TIT2");
    const QByteArray title = QByteArray(1, '\0') + "Zorvak demo";
    Be32(frame, quint32(title.size()));
    frame.append(QByteArray(2, '\0'));
    frame.append(title);
    QByteArray mp3("ID3");
    mp3.append(QByteArray::fromHex("030000"));
    const quint32 n = quint32(frame.size());
    mp3.append(char((n >> 21) & 0x7F));
    mp3.append(char((n >> 14) & 0x7F));
    mp3.append(char((n >> 7) & 0x7F));
    mp3.append(char(n & 0x7F));
    mp3.append(frame);
    for (int i = 0; i < 8; ++i) {
        mp3.append(QByteArray::fromHex("fffb9064"));
        mp3.append(QByteArray(417 - 4, '\0'));
    }
    return mp3;
}

QByteArray MakeAsf()
{
    // The ASF header object: its GUID, its size and no sub-objects.
    QByteArray asf = QByteArray::fromHex("3026b2758e66cf11a6d900aa0062ce6c");
    char size[8];
    qToLittleEndian(quint64(30), size);
    asf.append(size, 8);
    Le32(asf, 0);
    asf.append(char(1));
    asf.append(char(2));
    return asf;
}

} // namespace zorvak::demo
