// Opening a master key: ours against impacket's, on the same files in the same run.
//   XP key: 3DES + HMAC-SHA1, 4000 rounds. Windows 8 key: AES-256 + HMAC-SHA512, 8000 rounds.
// Ours: dpapi::OpenMasterKeyFile (read, parse, pre-key, DPAPI-PBKDF2, decrypt, HMAC check).
// impacket: the same steps with its library (impacket.dpapi) inside one Python process, import
// excluded; and, for reference, one run of its dpapi.py example as a user would run it.
#include "DpapiProtect.h"
#include "dpapi/Dpapi.h"
#include "dpapi/DpapiKeyMaterial.h"
#include "support/Impacket.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

using namespace zorvak;
using namespace zorvak::dpapi;
using namespace zorvak::dpapi::protect;

namespace {
const QString kSid = QStringLiteral("S-1-5-21-1085031214-1563985344-725345543-1003");
const QString kPassword = QStringLiteral("zorvak-demo");
const int kRuns = 15;

const char *kImpacketTimer = R"(
import sys, time, statistics
from impacket.dpapi import MasterKeyFile, MasterKey
from Cryptodome.Hash import HMAC, SHA1
path, sid, password, runs = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
times = []
for _ in range(runs):
    t = time.perf_counter()
    data = open(path, 'rb').read()
    mkf = MasterKeyFile(data)
    data = data[len(mkf):]
    mk = MasterKey(data[:mkf['MasterKeyLen']])
    key1 = HMAC.new(SHA1.new(password.encode('utf-16le')).digest(), (sid + '\0').encode('utf-16le'), SHA1).digest()
    key = mk.decrypt(key1)
    times.append((time.perf_counter() - t) * 1000)
    assert key is not None
print('%.3f %s' % (statistics.median(times), key.hex()))
)";

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const bool haveImpacket = test::HaveImpacket();
    std::printf("%-22s %6s %12s %14s %9s %18s\n", "master key", "rounds", "ours (ms)", "impacket (ms)", "ratio",
                "dpapi.py run (ms)");
    struct Case { const char *name; Flavour flavour; quint32 rounds; };
    for (const Case &c : {Case{"XP (3DES/SHA-1)", Flavour::Xp, 4000}, Case{"Windows 8 (AES/SHA-512)", Flavour::Modern, 8000}}) {
        MasterKeyParams params;
        params.sid = kSid;
        params.passwordHash = Sha1PasswordHash(kPassword);
        params.flavour = c.flavour;
        params.rounds = c.rounds;
        const MadeMasterKey mk = MakeMasterKeyFile(params);
        const QString folder = dir.filePath(kSid);
        QDir().mkpath(folder);
        const QString path = folder + "/" + mk.guid;
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(mk.file) != mk.file.size())
            return 1;
        f.close();

        std::vector<double> ours;
        const DpapiSecret secret = DpapiSecret::FromPassword(kPassword);
        for (int i = 0; i < kRuns; ++i) {
            QElapsedTimer t;
            t.start();
            const QByteArray key = OpenMasterKeyFile(path, secret);
            ours.push_back(t.nsecsElapsed() / 1e6);
            if (key != mk.masterKey) {
                std::fprintf(stderr, "our master key is wrong\n");
                return 1;
            }
        }
        double theirs = -1, scriptRun = -1;
        if (haveImpacket) {
            QProcess py;
            py.start(test::kImpacketPython, {"-c", QString::fromLatin1(kImpacketTimer), path, kSid, kPassword, QString::number(kRuns)});
            py.waitForFinished(600000);
            const QList<QByteArray> out = py.readAllStandardOutput().trimmed().split(' ');
            if (out.size() == 2 && out[1] == mk.masterKey.toHex())
                theirs = out[0].toDouble();
            else
                std::fprintf(stderr, "impacket: %s\n", py.readAllStandardError().constData());
            QElapsedTimer t;
            t.start();
            py.start(test::kImpacketPython, {test::kImpacketDpapi, "masterkey", "-file", path, "-sid", kSid, "-password", kPassword});
            py.waitForFinished(600000);
            scriptRun = t.nsecsElapsed() / 1e6;
            if (!py.readAllStandardOutput().contains("Decrypted key: 0x" + mk.masterKey.toHex()))
                scriptRun = -1;
        }
        const double m = Median(ours);
        std::printf("%-22s %6u %12.2f %14.2f %8.1fx %18.0f\n", c.name, c.rounds, m, theirs, theirs > 0 ? theirs / m : 0.0,
                    scriptRun);
    }
    std::printf("(median of %d runs each; impacket timed inside Python, import excluded)\n", kRuns);
    return 0;
}
