#include "BrowseFixtures.h"

#include <fcntl.h>
#include <ftw.h>
#include <cstdio>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

#include "common/EmailId.h"
#include "support/TestEnv.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QtEndian>
#include <algorithm>
#include <functional>

namespace zorvak::test {

namespace {
class BitWriter {
public:
    void Put(quint32 value, int bits)
    {
        for (int i = bits - 1; i >= 0; --i) {
            if (m_bit == 0)
                m_data.append('\0');
            if ((value >> i) & 1u)
                m_data[m_data.size() - 1] = char(quint8(m_data.back()) | (0x80 >> m_bit));
            m_bit = (m_bit + 1) % 8;
        }
    }
    QByteArray data() const { return m_data; }

private:
    QByteArray m_data;
    int m_bit = 0;
};

QByteArray Encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}
} // namespace

QByteArray KindBytes(const char *extension)
{
    const QByteArray e(extension);
    QByteArray head;
    if (e == ".jpg") head = Bytes({0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10}) + "JFIF";
    else if (e == ".gif") head = "GIF89a";
    else if (e == ".bmp") head = "BM";
    else if (e == ".png") head = Bytes({0x89}) + "PNG\r\n";
    else if (e == ".tif") head = Bytes({'I', 'I', 0x2A, 0});
    else if (e == ".cab") head = "MSCF";
    else if (e == ".swf") head = "CWS";
    else if (e == ".mid") head = "MThd";
    else if (e == ".wav") head = QByteArray("RIFF\x10\0\0\0WAVEfmt ", 16);
    else if (e == ".ico") head = Bytes({0, 0, 1, 0});
    else if (e == ".cur") head = Bytes({0, 0, 2, 0});
    else if (e == ".mp3") head = "ID3";
    else if (e == ".asf") head = Bytes({0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11});
    return head + QByteArray(32, 'z');
}

QByteArray PngPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    return Encoded(image, "PNG");
}

QByteArray JpegPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::yellow);
    return Encoded(image, "JPEG");
}

QByteArray GifPicture(int frames)
{
    QByteArray gif("GIF89a");
    gif += Bytes({1, 0, 1, 0, 0x80, 0, 0});                 // 1x1, global colour table of 2
    gif += Bytes({0xFF, 0xFF, 0xFF, 0, 0, 0});
    if (frames > 1)                                        // loop forever
        gif += Bytes({0x21, 0xFF, 0x0B}) + "NETSCAPE2.0" + Bytes({3, 1, 0, 0, 0});
    for (int i = 0; i < frames; ++i) {
        gif += Bytes({0x21, 0xF9, 4, 0, 10, 0, 0, 0});      // 0.1 s a frame
        gif += Bytes({0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0});     // image descriptor
        gif += Bytes({2, 2, i % 2 ? 0x4C : 0x44, 1, 0});     // LZW data of one pixel
    }
    gif += ';';
    return gif;
}

QByteArray SwfMovie(bool compressed, int width, int height, double rate, int frames, int version)
{
    BitWriter rect;
    rect.Put(15, 5);
    rect.Put(0, 15);
    rect.Put(quint32(width * 20), 15);
    rect.Put(0, 15);
    rect.Put(quint32(height * 20), 15);
    QByteArray body = rect.data();
    const int fixed = int(rate * 256);
    body += Bytes({fixed & 0xFF, (fixed >> 8) & 0xFF, frames & 0xFF, (frames >> 8) & 0xFF});
    body += Bytes({0x40, 0x00, 0x00, 0x00});                 // ShowFrame, End
    QByteArray header(compressed ? "CWS" : "FWS");
    header.append(char(version));
    const quint32 length = quint32(8 + body.size());
    header += Bytes({int(length & 0xFF), int((length >> 8) & 0xFF), int((length >> 16) & 0xFF), int(length >> 24)});
    return header + (compressed ? qCompress(body).mid(4) : body);
}

QByteArray GcabCabinet(const QString &workFolder, const QList<QPair<QString, QByteArray>> &files)
{
    QDir().mkpath(workFolder);
    QStringList args{QStringLiteral("-c"), QStringLiteral("-z"), QStringLiteral("-n"), workFolder + "/made.cab"};
    for (const auto &f : files) {
        WriteFile(workFolder + "/" + f.first, f.second);
        args << workFolder + "/" + f.first;
    }
    QProcess gcab;
    gcab.start(QStringLiteral("gcab"), args);
    if (!gcab.waitForFinished(30000) || gcab.exitCode() != 0)
        return {};
    return ReadFile(workFolder + "/made.cab");
}

QString TreeText(const TFolderForest &forest)
{
    QString out;
    std::function<void(const TFolderForest &, int)> print = [&](const TFolderForest &nodes, int depth) {
        std::vector<const TFolderNode *> sorted;
        for (const TFolderNode &n : nodes)
            sorted.push_back(&n);
        std::sort(sorted.begin(), sorted.end(), [](auto *a, auto *b) { return a->caption < b->caption; });
        for (const TFolderNode *n : sorted) {
            out += QString(depth, QLatin1Char('\t')) + n->caption + QLatin1Char(' ') + QString::number(n->icon)
                + QLatin1Char('\n');
            print(n->children, depth + 1);
        }
    };
    print(forest, 0);
    return out;
}

QString TSyntheticDisk::Messenger(const QString &user) const
{
    return docSet + user + QStringLiteral("/Application Data/Microsoft/MSN Messenger/");
}

TSyntheticDisk MakeSyntheticDisk(const QString &root)
{
    TSyntheticDisk d;
    d.root = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
    d.docSet = d.root + QStringLiteral("DS/");
    d.idAlice = EmailToId(QStringLiteral("alice@hotmail.com"));
    d.idBob = EmailToId(QStringLiteral("bob@example.com"));
    const QString a = d.Messenger(QStringLiteral("Alice")) + d.idAlice + QLatin1Char('/');
    WriteFile(a + "map.dat", "encrypted index");
    WriteFile(a + "CustomEmoticons/a.dat", JpegPicture(40, 30));
    WriteFile(a + "CustomEmoticons/b", PngPicture(20, 20));
    WriteFile(a + "CustomEmoticons/b.dat", GifPicture(2));
    WriteFile(a + "CustomEmoticons/map.dat", "encrypted");
    WriteFile(a + "CustomEmoticons/notes.txt", "notes");
    WriteFile(a + "UserTile/pic.png", PngPicture(96, 96));
    QDir().mkpath(a + "Backgrounds");
    WriteFile(a + "MapFile/x", "x");
    WriteFile(a + "DynamicBackgrounds/deeper/d.dat", KindBytes(".cab"));
    WriteFile(a + "VoiceClips/v.dat", KindBytes(".mp3"));
    WriteFile(a + "Winks3/w.dat", SwfMovie(true, 320, 240, 12, 48));
    const QString alice = d.Messenger(QStringLiteral("Alice"));
    WriteFile(alice + "22222222/only.dat", KindBytes(".gif"));
    WriteFile(alice + "33333333/Sub/Deeper/s.dat", KindBytes(".png"));
    WriteFile(alice + "12a45/f.dat", KindBytes(".png"));
    WriteFile(alice + "12a45/CustomEmoticons/f.dat", KindBytes(".png"));
    QDir().mkpath(alice + "44444444");
    WriteFile(d.Messenger(QStringLiteral("Bob")) + d.idBob + "/CustomEmoticons/e.dat", GifPicture(1));
    QDir().mkpath(d.Messenger(QStringLiteral("Carol")));
    WriteFile(d.docSet + "All Users/Application Data/other.txt", "x");
    WriteFile(d.docSet + "Alice/ntuser.dat", "profile");
    return d;
}

TFifoWatch::TFifoWatch(const QString &path) : m_path(QFile::encodeName(path))
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (::mkfifo(m_path.constData(), 0644) != 0)
        throw std::runtime_error("mkfifo failed");
    m_thread = std::thread([this] {
        while (!m_stop.load()) {
            const int fd = ::open(m_path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                m_opened = true;
                ::close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
}

TFifoWatch::~TFifoWatch()
{
    m_stop = true;
    m_thread.join();
    ::unlink(m_path.constData());
}

void WriteRawFile(const QByteArray &path, const QByteArray &data)
{
    for (qsizetype slash = path.indexOf('/', 1); slash > 0; slash = path.indexOf('/', slash + 1))
        ::mkdir(path.left(slash).constData(), 0777);
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    ASSERT_GE(fd, 0) << path.constData();
    ASSERT_EQ(::write(fd, data.constData(), size_t(data.size())), data.size());
    ::close(fd);
}

void RemoveRawTree(const QByteArray &path)
{
    ::nftw(path.constData(), [](const char *p, const struct stat *, int, struct FTW *) { std::remove(p); return 0; },
           16, FTW_DEPTH | FTW_PHYS);
}

} // namespace zorvak::test
