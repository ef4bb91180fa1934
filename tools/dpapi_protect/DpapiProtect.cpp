#include "DpapiProtect.h"

#include "common/ByteOrder.h"
#include "common/Cp1252.h"


namespace zorvak::dpapi::protect {

namespace {

void PutSized(QByteArray &out, const QByteArray &data)
{
    byteorder::AppendLE32(out, quint32(data.size()));
    out.append(data);
}

QByteArray PadPkcs7(const QByteArray &data, int block)
{
    const int pad = block - int(data.size() % block);
    return data + QByteArray(pad, char(pad));
}

// 3DES keys carry odd parity in the low bit of each byte, as CryptDeriveKey sets it.
QByteArray WithDesParity(QByteArray key)
{
    for (char &c : key) {
        uchar b = uchar(c) & 0xFE;
        int ones = 0;
        for (int i = 1; i < 8; ++i)
            ones += (b >> i) & 1;
        c = char(b | ((ones % 2) ? 0 : 1));
    }
    return key;
}

} // namespace

QString RandomGuid()
{
    QByteArray raw = RandomBytes(16);
    raw[7] = char((raw[7] & 0x0F) | 0x40); // version 4 (Data3 is little-endian)
    raw[8] = char((raw[8] & 0x3F) | 0x80);
    return GuidToText(raw);
}

PasswordHashes PasswordHashes::Of(const QString &password)
{
    return {Sha1PasswordHash(password), NtPasswordHash(password)};
}

MadeMasterKey MakeMasterKeyFile(const MasterKeyParams &params)
{
    const bool xp = params.flavour == Flavour::Xp;
    MasterKey mk;
    mk.version = 2;
    mk.salt = RandomBytes(16);
    mk.rounds = params.rounds ? params.rounds : (xp ? 4000 : 8000);
    mk.hashAlg = xp ? CALG_HMAC : CALG_SHA_512;
    mk.cipherAlg = xp ? CALG_3DES : CALG_AES_256;
    const int kLen = CipherKeyLength(mk.cipherAlg), bLen = CipherBlockLength(mk.cipherAlg);

    MadeMasterKey made;
    made.guid = params.guid.isEmpty() ? RandomGuid() : params.guid.toLower();
    made.masterKey = params.masterKey.isEmpty() ? RandomBytes(64) : params.masterKey;

    const QByteArray preKey = PreKey(params.passwordHash, params.sid);
    const QByteArray hmacSalt = RandomBytes(16);
    const QByteArray mac = Hmac(mk.hashAlg, Hmac(mk.hashAlg, preKey, hmacSalt), made.masterKey);
    const QByteArray plain = hmacSalt + mac + (xp ? QByteArray(4, '\0') : QByteArray()) + made.masterKey;
    const QByteArray derived = DpapiPbkdf2(mk.hashAlg, preKey, mk.salt, mk.rounds, kLen + bLen);
    mk.encrypted = CbcEncrypt(mk.cipherAlg, derived.left(kLen), derived.mid(kLen, bLen), plain);

    MasterKeyFile file;
    file.guid = made.guid;
    file.policy = params.policy;
    file.masterKeySection = mk.Serialize();
    if (!params.credhistGuid.isEmpty()) {
        byteorder::AppendLE32(file.credhistSection, 3);
        file.credhistSection.append(GuidFromText(params.credhistGuid));
    }
    made.file = file.Serialize();
    return made;
}

QByteArray MakeBlob(const QByteArray &masterKey, const QString &masterKeyGuid, const QByteArray &plaintext,
                    const QByteArray &entropy, Flavour flavour, const QString &description)
{
    const bool xp = flavour == Flavour::Xp;
    const quint32 cipherAlg = xp ? CALG_3DES : CALG_AES_256;
    const quint32 hashAlg = xp ? CALG_SHA1 : CALG_SHA_512;
    const SessionKind kind = xp ? SessionKind::Xp : SessionKind::Hmac;
    const int kLen = CipherKeyLength(cipherAlg), bLen = CipherBlockLength(cipherAlg);
    const QByteArray mkHash = Hash(CALG_SHA1, masterKey);
    const QByteArray salt = RandomBytes(xp ? 16 : 32);
    const QByteArray nonce = RandomBytes(xp ? 16 : 32);

    QByteArray key = DeriveCipherKey(hashAlg, SessionKey(kind, hashAlg, mkHash, salt, entropy), kLen);
    if (xp)
        key = WithDesParity(key);
    const QByteArray cipherData = CbcEncrypt(cipherAlg, key, QByteArray(bLen, '\0'), PadPkcs7(plaintext, bLen));

    QByteArray signedRegion;
    byteorder::AppendLE32(signedRegion, 1);
    signedRegion.append(GuidFromText(masterKeyGuid));
    byteorder::AppendLE32(signedRegion, 0);
    PutSized(signedRegion, Utf16Le(description) + QByteArray(2, '\0'));
    byteorder::AppendLE32(signedRegion, cipherAlg);
    byteorder::AppendLE32(signedRegion, xp ? 168 : 256);
    PutSized(signedRegion, salt);
    PutSized(signedRegion, QByteArray());
    byteorder::AppendLE32(signedRegion, hashAlg);
    byteorder::AppendLE32(signedRegion, xp ? 160 : 512);
    PutSized(signedRegion, nonce);
    PutSized(signedRegion, cipherData);

    QByteArray blob;
    byteorder::AppendLE32(blob, 1);
    blob.append(ProviderGuid());
    blob.append(signedRegion);
    PutSized(blob, SessionKey(kind, hashAlg, mkHash, nonce, entropy, signedRegion));
    return blob;
}

QByteArray MakePreferred(const QString &guid, const QDateTime &expiry)
{
    // FILETIME: 100-ns intervals since 1601-01-01 UTC.
    const qint64 unixMs = expiry.toMSecsSinceEpoch();
    const quint64 fileTime = quint64(unixMs + 11644473600000LL) * 10000ULL;
    QByteArray out = GuidFromText(guid);
    byteorder::AppendLE64(out, fileTime);
    return out;
}

MadeCredhist MakeCredhist(const QList<PasswordHashes> &history, const QString &sid, quint32 rounds)
{
    MadeCredhist made;
    const QByteArray sidBinary = SidToBinary(sid);
    const auto footer = [](QByteArray &out, const QString &guid, quint32 length) {
        byteorder::AppendLE32(out, 1);
        out.append(GuidFromText(guid));
        byteorder::AppendLE32(out, length);
    };
    made.guids << RandomGuid();
    footer(made.file, made.guids[0], 0);
    for (int i = 1; i < history.size(); ++i) {
        const QString guid = RandomGuid();
        made.guids << guid;
        CredhistEntry e;
        e.rounds = rounds;
        e.salt = RandomBytes(16);
        QByteArray plain = history[i - 1].sha1 + history[i - 1].nt + QByteArray(4, '\0'); // 40 bytes, whole blocks
        const QByteArray preKey = PreKey(history[i].sha1, sid);
        const QByteArray derived = DpapiPbkdf2(e.hashAlg, preKey, e.salt, rounds, 32);
        e.encrypted = CbcEncrypt(e.cipherAlg, derived.left(24), derived.mid(24, 8), plain);

        QByteArray record;
        byteorder::AppendLE32(record, e.version);
        byteorder::AppendLE32(record, e.hashAlg);
        byteorder::AppendLE32(record, e.rounds);
        byteorder::AppendLE32(record, quint32(sidBinary.size()));
        byteorder::AppendLE32(record, e.cipherAlg);
        byteorder::AppendLE32(record, e.sha1Length);
        byteorder::AppendLE32(record, e.ntLength);
        record.append(e.salt);
        record.append(sidBinary);
        record.append(e.encrypted);
        footer(record, guid, quint32(record.size() + 24));
        made.file.append(record);
    }
    return made;
}

QByteArray MakeMapFile(const QString &text, const QString &email, const QByteArray &masterKey,
                       const QString &masterKeyGuid, Flavour flavour)
{
    const QByteArray payload = Utf16Le(text + QChar(u'\0')).toBase64() + QByteArray(1, '\0');
    return QByteArray(2, '\0') + MakeBlob(masterKey, masterKeyGuid, payload, ToCp1252(email), flavour);
}

} // namespace zorvak::dpapi::protect
