#include "dpapi/Dpapi.h"

#include "common/ByteOrder.h"

#include <QCryptographicHash>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <limits>
#include <memory>

namespace zorvak::dpapi {

namespace {

const EVP_MD *Md(quint32 hashAlg)
{
    switch (hashAlg) {
    case CALG_SHA1:
    case CALG_HMAC:
        return EVP_sha1();
    case CALG_SHA_256:
        return EVP_sha256();
    case CALG_SHA_384:
        return EVP_sha384();
    case CALG_SHA_512:
        return EVP_sha512();
    default:
        return nullptr;
    }
}

const EVP_CIPHER *Cipher(quint32 cipherAlg)
{
    switch (cipherAlg) {
    case CALG_3DES:
        return EVP_des_ede3_cbc();
    case CALG_AES_128:
        return EVP_aes_128_cbc();
    case CALG_AES_192:
        return EVP_aes_192_cbc();
    case CALG_AES_256:
        return EVP_aes_256_cbc();
    default:
        return nullptr;
    }
}

using MdCtx = std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)>;
MdCtx NewMdCtx() { return MdCtx(EVP_MD_CTX_new(), &EVP_MD_CTX_free); }

const uchar *U(const QByteArray &b) { return reinterpret_cast<const uchar *>(b.constData()); }

// HMAC with the padded key hashed once: each message then costs two context copies and the
// hashing of the message. DPAPI's PBKDF2 runs thousands of these.
class HmacKey {
public:
    HmacKey(const EVP_MD *md, const QByteArray &key) : m_inner(NewMdCtx()), m_outer(NewMdCtx()), m_work(NewMdCtx())
    {
        const int block = EVP_MD_get_block_size(md);
        QByteArray k = key;
        if (k.size() > block) {
            uchar digest[EVP_MAX_MD_SIZE];
            unsigned len = 0;
            EVP_Digest(k.constData(), size_t(k.size()), digest, &len, md, nullptr);
            k = QByteArray(reinterpret_cast<const char *>(digest), int(len));
        }
        k.resize(block, '\0');
        QByteArray ipad(block, '\0'), opad(block, '\0');
        for (int i = 0; i < block; ++i) {
            ipad[i] = char(k[i] ^ 0x36);
            opad[i] = char(k[i] ^ 0x5c);
        }
        EVP_DigestInit_ex(m_inner.get(), md, nullptr);
        EVP_DigestUpdate(m_inner.get(), ipad.constData(), size_t(block));
        EVP_DigestInit_ex(m_outer.get(), md, nullptr);
        EVP_DigestUpdate(m_outer.get(), opad.constData(), size_t(block));
        OPENSSL_cleanse(k.data(), size_t(k.size()));
        OPENSSL_cleanse(ipad.data(), size_t(block));
        OPENSSL_cleanse(opad.data(), size_t(block));
        m_size = EVP_MD_get_size(md);
    }
    int size() const { return m_size; }
    // out receives size() bytes.
    void Mac(const uchar *message, size_t length, uchar *out)
    {
        unsigned len = 0;
        EVP_MD_CTX_copy_ex(m_work.get(), m_inner.get());
        EVP_DigestUpdate(m_work.get(), message, length);
        EVP_DigestFinal_ex(m_work.get(), out, &len);
        EVP_MD_CTX_copy_ex(m_work.get(), m_outer.get());
        EVP_DigestUpdate(m_work.get(), out, len);
        EVP_DigestFinal_ex(m_work.get(), out, &len);
    }

private:
    MdCtx m_inner, m_outer, m_work;
    int m_size = 0;
};

QByteArray CbcRun(quint32 cipherAlg, const QByteArray &key, const QByteArray &iv, const QByteArray &data, bool encrypt)
{
    const EVP_CIPHER *cipher = Cipher(cipherAlg);
    if (!cipher || key.size() != CipherKeyLength(cipherAlg) || iv.size() != CipherBlockLength(cipherAlg)
        || data.size() % CipherBlockLength(cipherAlg) != 0)
        return {};
    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    QByteArray out(data.size() + CipherBlockLength(cipherAlg), '\0');
    int len1 = 0, len2 = 0;
    if (EVP_CipherInit_ex(ctx.get(), cipher, nullptr, U(key), U(iv), encrypt ? 1 : 0) != 1
        || EVP_CIPHER_CTX_set_padding(ctx.get(), 0) != 1
        || EVP_CipherUpdate(ctx.get(), reinterpret_cast<uchar *>(out.data()), &len1, U(data), int(data.size())) != 1
        || EVP_CipherFinal_ex(ctx.get(), reinterpret_cast<uchar *>(out.data()) + len1, &len2) != 1)
        return {};
    out.resize(len1 + len2);
    return out;
}

// The parsers' field reads over the shared bounds-checked reader: a read past the end gives 0 or
// nothing and leaves ok() false for good.
class Reader {
public:
    explicit Reader(const QByteArray &data) : m_reader(data) {}
    bool ok() const { return m_reader.ok(); }
    qsizetype pos() const { return m_reader.pos(); }
    qsizetype remaining() const { return m_reader.remaining(); }
    quint32 u32()
    {
        quint32 v = 0;
        m_reader.U32(v);
        return v;
    }
    quint64 u64()
    {
        quint64 v = 0;
        m_reader.U64(v);
        return v;
    }
    // A length beyond what any array can hold fails like one beyond the data.
    QByteArray bytes(quint64 n)
    {
        QByteArray b;
        m_reader.Bytes(n > quint64(std::numeric_limits<qsizetype>::max()) ? qsizetype(-1) : qsizetype(n), b);
        return b;
    }
    QByteArray sized() { return bytes(u32()); }

private:
    byteorder::LeReader m_reader;
};

QByteArray Pad(const QByteArray &key, int block, char value)
{
    QByteArray p = key.left(block);
    p.resize(block, '\0');
    for (char &c : p)
        c = char(c ^ value);
    return p;
}

} // namespace

int DigestLength(quint32 hashAlg)
{
    const EVP_MD *md = Md(hashAlg);
    return md ? EVP_MD_get_size(md) : 0;
}

int HashBlockLength(quint32 hashAlg)
{
    const EVP_MD *md = Md(hashAlg);
    return md ? EVP_MD_get_block_size(md) : 0;
}

int CipherKeyLength(quint32 cipherAlg)
{
    const EVP_CIPHER *c = Cipher(cipherAlg);
    return c ? EVP_CIPHER_get_key_length(c) : 0;
}

int CipherBlockLength(quint32 cipherAlg)
{
    const EVP_CIPHER *c = Cipher(cipherAlg);
    return c ? EVP_CIPHER_get_block_size(c) : 0;
}

QByteArray Hash(quint32 hashAlg, const QByteArray &data)
{
    const EVP_MD *md = Md(hashAlg);
    if (!md)
        return {};
    uchar digest[EVP_MAX_MD_SIZE];
    unsigned len = 0;
    EVP_Digest(data.constData(), size_t(data.size()), digest, &len, md, nullptr);
    return QByteArray(reinterpret_cast<const char *>(digest), int(len));
}

QByteArray Hmac(quint32 hashAlg, const QByteArray &key, const QByteArray &message)
{
    const EVP_MD *md = Md(hashAlg);
    if (!md)
        return {};
    HmacKey h(md, key);
    QByteArray out(h.size(), '\0');
    h.Mac(U(message), size_t(message.size()), reinterpret_cast<uchar *>(out.data()));
    return out;
}

QByteArray DpapiPbkdf2(quint32 hashAlg, const QByteArray &key, const QByteArray &salt, quint32 rounds, int length)
{
    const EVP_MD *md = Md(hashAlg);
    if (!md || length <= 0)
        return {};
    HmacKey h(md, key);
    const int n = h.size();
    QByteArray out;
    uchar t[EVP_MAX_MD_SIZE], u[EVP_MAX_MD_SIZE];
    for (quint32 block = 1; out.size() < length; ++block) {
        QByteArray first = salt;
        char be[4];
        qToBigEndian(block, be);
        first.append(be, 4);
        h.Mac(U(first), size_t(first.size()), t);
        for (quint32 r = 1; r < rounds; ++r) {
            h.Mac(t, size_t(n), u);
            for (int i = 0; i < n; ++i)
                t[i] ^= u[i];
        }
        out.append(reinterpret_cast<const char *>(t), n);
    }
    OPENSSL_cleanse(t, sizeof t);
    OPENSSL_cleanse(u, sizeof u);
    out.truncate(length);
    return out;
}

QByteArray CbcDecrypt(quint32 cipherAlg, const QByteArray &key, const QByteArray &iv, const QByteArray &data)
{
    return CbcRun(cipherAlg, key, iv, data, false);
}

QByteArray CbcEncrypt(quint32 cipherAlg, const QByteArray &key, const QByteArray &iv, const QByteArray &data)
{
    return CbcRun(cipherAlg, key, iv, data, true);
}

bool ConstantTimeEqual(const QByteArray &a, const QByteArray &b)
{
    return a.size() == b.size() && CRYPTO_memcmp(a.constData(), b.constData(), size_t(a.size())) == 0;
}

QByteArray RandomBytes(int count)
{
    QByteArray out(count, '\0');
    if (RAND_bytes(reinterpret_cast<uchar *>(out.data()), count) != 1)
        qFatal("no random bytes");
    return out;
}

QByteArray Utf16Le(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

QString GuidToText(const QByteArray &b)
{
    if (b.size() != 16)
        return {};
    const auto hex = [](const QByteArray &x) { return QString::fromLatin1(x.toHex()); };
    QByteArray d1 = b.mid(0, 4), d2 = b.mid(4, 2), d3 = b.mid(6, 2);
    std::reverse(d1.begin(), d1.end());
    std::reverse(d2.begin(), d2.end());
    std::reverse(d3.begin(), d3.end());
    return hex(d1) + u'-' + hex(d2) + u'-' + hex(d3) + u'-' + hex(b.mid(8, 2)) + u'-' + hex(b.mid(10, 6));
}

QByteArray GuidFromText(const QString &text)
{
    QString t = text.trimmed();
    if (t.startsWith(u'{') && t.endsWith(u'}'))
        t = t.mid(1, t.size() - 2);
    const QStringList parts = t.split(u'-');
    static const int lengths[5] = {8, 4, 4, 4, 12};
    if (parts.size() != 5)
        return {};
    QByteArray raw[5];
    for (int i = 0; i < 5; ++i) {
        if (parts[i].size() != lengths[i])
            return {};
        for (QChar c : parts[i])
            if (!isxdigit(c.toLatin1()))
                return {};
        raw[i] = QByteArray::fromHex(parts[i].toLatin1());
    }
    std::reverse(raw[0].begin(), raw[0].end());
    std::reverse(raw[1].begin(), raw[1].end());
    std::reverse(raw[2].begin(), raw[2].end());
    return raw[0] + raw[1] + raw[2] + raw[3] + raw[4];
}

QByteArray SidToBinary(const QString &sid)
{
    const QStringList parts = sid.split(u'-');
    if (parts.size() < 3 || parts[0].compare(QLatin1String("S"), Qt::CaseInsensitive) != 0 || parts.size() - 3 > 15)
        return {};
    bool ok = false;
    const uint revision = parts[1].toUInt(&ok);
    if (!ok || revision > 255)
        return {};
    const quint64 authority = parts[2].toULongLong(&ok);
    if (!ok || authority >= (quint64(1) << 48))
        return {};
    QByteArray out;
    out.append(char(revision));
    out.append(char(parts.size() - 3));
    for (int shift = 40; shift >= 0; shift -= 8)
        out.append(char((authority >> shift) & 0xFF));
    for (int i = 3; i < parts.size(); ++i) {
        const quint32 sub = parts[i].toUInt(&ok);
        if (!ok)
            return {};
        byteorder::AppendLE32(out, sub);
    }
    return out;
}

QString SidFromBinary(const QByteArray &sid)
{
    if (sid.size() < 8 || sid.size() != 8 + 4 * uchar(sid[1]))
        return {};
    quint64 authority = 0;
    for (int i = 2; i < 8; ++i)
        authority = (authority << 8) | uchar(sid[i]);
    QString text = QStringLiteral("S-%1-%2").arg(uchar(sid[0])).arg(authority);
    byteorder::LeReader subAuthorities(QByteArrayView(sid).sliced(8));
    quint32 sub = 0;
    while (subAuthorities.U32(sub))
        text += QStringLiteral("-%1").arg(sub);
    return text;
}

QByteArray Sha1PasswordHash(const QString &password) { return Hash(CALG_SHA1, Utf16Le(password)); }

QByteArray NtPasswordHash(const QString &password)
{
    // MD4 is only in OpenSSL's legacy provider; Qt carries its own.
    return QCryptographicHash::hash(Utf16Le(password), QCryptographicHash::Md4);
}

QByteArray SecureCredKey(const QByteArray &ntHash, const QString &sid)
{
    const QByteArray s = Utf16Le(sid);
    uchar t[32], out[16];
    if (PKCS5_PBKDF2_HMAC(ntHash.constData(), int(ntHash.size()), U(s), int(s.size()), 10000, EVP_sha256(), 32, t) != 1
        || PKCS5_PBKDF2_HMAC(reinterpret_cast<const char *>(t), 32, U(s), int(s.size()), 1, EVP_sha256(), 16, out) != 1)
        return {};
    return QByteArray(reinterpret_cast<const char *>(out), 16);
}

QByteArray PreKey(const QByteArray &passwordHash, const QString &sid)
{
    return Hmac(CALG_SHA1, passwordHash, Utf16Le(sid) + QByteArray(2, '\0'));
}

// ---- master keys ----

std::optional<MasterKey> MasterKey::Parse(const QByteArray &section)
{
    Reader r(section);
    MasterKey mk;
    mk.version = r.u32();
    mk.salt = r.bytes(16);
    mk.rounds = r.u32();
    mk.hashAlg = r.u32();
    mk.cipherAlg = r.u32();
    if (!r.ok() || mk.rounds > MaxKeyRounds)
        return std::nullopt;
    mk.encrypted = section.mid(r.pos());
    return mk;
}

QByteArray MasterKey::Serialize() const
{
    QByteArray out;
    byteorder::AppendLE32(out, version);
    out.append(salt);
    byteorder::AppendLE32(out, rounds);
    byteorder::AppendLE32(out, hashAlg);
    byteorder::AppendLE32(out, cipherAlg);
    out.append(encrypted);
    return out;
}

QByteArray MasterKey::Decrypt(const QByteArray &preKey) const
{
    const int kLen = CipherKeyLength(cipherAlg), bLen = CipherBlockLength(cipherAlg);
    const int dLen = DigestLength(hashAlg);
    if (!kLen || !dLen || rounds == 0 || rounds > MaxKeyRounds || encrypted.isEmpty() || encrypted.size() % bLen != 0
        || encrypted.size() < 16 + dLen + 64)
        return {};
    const QByteArray derived = DpapiPbkdf2(hashAlg, preKey, salt, rounds, kLen + bLen);
    QByteArray plain = CbcDecrypt(cipherAlg, derived.left(kLen), derived.mid(kLen, bLen), encrypted);
    if (plain.isEmpty())
        return {};
    const QByteArray hmacSalt = plain.left(16);
    const QByteArray stored = plain.mid(16, dLen);
    QByteArray key = plain.right(64);
    const QByteArray mac = Hmac(hashAlg, Hmac(hashAlg, preKey, hmacSalt), key);
    OPENSSL_cleanse(plain.data(), size_t(plain.size()));
    if (!ConstantTimeEqual(mac, stored)) {
        OPENSSL_cleanse(key.data(), size_t(key.size()));
        return {};
    }
    return key;
}

std::optional<MasterKeyFile> MasterKeyFile::Parse(const QByteArray &data)
{
    Reader r(data);
    MasterKeyFile f;
    f.version = r.u32();
    r.u32();
    r.u32();
    const QByteArray guidField = r.bytes(80);
    f.policy = r.u32();
    const quint64 l1 = r.u64(), l2 = r.u64(), l3 = r.u64(), l4 = r.u64();
    f.masterKeySection = r.bytes(l1);
    f.backupKeySection = r.bytes(l2);
    f.credhistSection = r.bytes(l3);
    f.domainKeySection = r.bytes(l4);
    if (!r.ok())
        return std::nullopt;
    // The 36 characters of the GUID text; the rest of the field may hold junk.
    for (int i = 0; i < 36; ++i)
        f.guid.append(QChar(char16_t(uchar(guidField[2 * i]) | (uchar(guidField[2 * i + 1]) << 8))));
    f.guid = f.guid.toLower();
    return f;
}

QByteArray MasterKeyFile::Serialize() const
{
    QByteArray out;
    byteorder::AppendLE32(out, version);
    byteorder::AppendLE32(out, 0);
    byteorder::AppendLE32(out, 0);
    QByteArray guidField = Utf16Le(guid);
    guidField.resize(80, '\0');
    out.append(guidField);
    byteorder::AppendLE32(out, policy);
    byteorder::AppendLE64(out, quint64(masterKeySection.size()));
    byteorder::AppendLE64(out, quint64(backupKeySection.size()));
    byteorder::AppendLE64(out, quint64(credhistSection.size()));
    byteorder::AppendLE64(out, quint64(domainKeySection.size()));
    out.append(masterKeySection);
    out.append(backupKeySection);
    out.append(credhistSection);
    out.append(domainKeySection);
    return out;
}

QString MasterKeyFile::credhistGuid() const
{
    return credhistSection.size() >= 20 ? GuidToText(credhistSection.mid(4, 16)) : QString();
}

// ---- CREDHIST ----

std::optional<CredhistEntry::Hashes> CredhistEntry::Decrypt(const QByteArray &preKey) const
{
    const int kLen = CipherKeyLength(cipherAlg), bLen = CipherBlockLength(cipherAlg);
    if (!kLen || !DigestLength(hashAlg) || rounds == 0 || rounds > MaxKeyRounds || sha1Length != 20 || ntLength < 16
        || quint64(sha1Length) + ntLength > quint64(encrypted.size()))
        return std::nullopt;
    const QByteArray derived = DpapiPbkdf2(hashAlg, preKey, salt, rounds, kLen + bLen);
    QByteArray plain = CbcDecrypt(cipherAlg, derived.left(kLen), derived.mid(kLen, bLen), encrypted);
    if (plain.isEmpty())
        return std::nullopt;
    // Everything after the 20-byte SHA-1 and the 16 bytes of the NT hash is zero.
    for (qsizetype i = 20 + 16; i < plain.size(); ++i)
        if (plain[i] != 0)
            return std::nullopt;
    Hashes h{plain.left(20), plain.mid(20, 16)};
    OPENSSL_cleanse(plain.data(), size_t(plain.size()));
    return h;
}

std::optional<QList<CredhistEntry>> ParseCredhist(const QByteArray &data)
{
    QList<CredhistEntry> entries;
    qsizetype end = data.size();
    for (;;) {
        if (end < 24)
            return std::nullopt;
        quint32 len = 0;
        byteorder::LeReader(QByteArrayView(data).sliced(end - 4, 4)).U32(len);
        if (len == 0)
            return end == 24 ? std::optional(entries) : std::nullopt;
        if (len < 24 || len > quint64(end))
            return std::nullopt;
        const QByteArray record = data.mid(end - len, len);
        Reader r(record);
        CredhistEntry e;
        e.version = r.u32();
        e.hashAlg = r.u32();
        e.rounds = r.u32();
        const quint32 sidLength = r.u32();
        e.cipherAlg = r.u32();
        e.sha1Length = r.u32();
        e.ntLength = r.u32();
        e.salt = r.bytes(16);
        e.sid = r.bytes(sidLength);
        const int bLen = CipherBlockLength(e.cipherAlg);
        if (!r.ok() || bLen == 0 || e.rounds > MaxKeyRounds)
            return std::nullopt;
        quint64 n = quint64(e.sha1Length) + e.ntLength;
        n += (bLen - n % bLen) % bLen;
        e.encrypted = r.bytes(n);
        r.u32(); // the footer's version
        e.guid = GuidToText(r.bytes(16));
        if (!r.ok() || r.remaining() != 4)
            return std::nullopt;
        entries.append(e);
        end -= len;
    }
}

// ---- blobs ----

QByteArray ProviderGuid() { return QByteArray::fromHex("d08c9ddf0115d1118c7a00c04fc297eb"); }

std::optional<Blob> Blob::Parse(const QByteArray &data)
{
    Reader r(data);
    Blob b;
    b.version = r.u32();
    b.provider = r.bytes(16);
    if (!r.ok() || b.version != 1 || b.provider != ProviderGuid())
        return std::nullopt;
    const qsizetype signedStart = r.pos();
    b.masterKeyVersion = r.u32();
    b.masterKeyGuid = GuidToText(r.bytes(16));
    b.flags = r.u32();
    const QByteArray description = r.sized();
    b.cipherAlg = r.u32();
    b.cipherBits = r.u32();
    b.salt = r.sized();
    b.strong = r.sized();
    b.hashAlg = r.u32();
    b.hashBits = r.u32();
    b.hmacNonce = r.sized();
    b.cipherData = r.sized();
    const qsizetype signedEnd = r.pos();
    b.sign = r.sized();
    if (!r.ok())
        return std::nullopt;
    b.signedRegion = data.mid(signedStart, signedEnd - signedStart);
    b.description = DescriptionText(description);
    return b;
}

QByteArray SessionKey(SessionKind kind, quint32 hashAlg, const QByteArray &mkHash, const QByteArray &salt,
                      const QByteArray &entropy, const QByteArray &signedData)
{
    if (kind == SessionKind::Hmac)
        return Hmac(hashAlg, mkHash, salt + entropy + signedData);
    const int block = HashBlockLength(hashAlg);
    if (!block)
        return {};
    const QByteArray inner = Hash(hashAlg, Pad(mkHash, block, 0x36) + salt);
    return Hash(hashAlg, Pad(mkHash, block, 0x5c) + inner + entropy + signedData);
}

QByteArray DeriveCipherKey(quint32 hashAlg, const QByteArray &sessionKey, int keyLength)
{
    if (sessionKey.size() >= keyLength)
        return sessionKey.left(keyLength);
    const int block = HashBlockLength(hashAlg);
    if (!block)
        return {};
    const QByteArray x = Hash(hashAlg, Pad(sessionKey, block, 0x36)) + Hash(hashAlg, Pad(sessionKey, block, 0x5c));
    return x.left(keyLength);
}

std::optional<QByteArray> DecryptBlob(const Blob &blob, const QByteArray &masterKey, const QByteArray &entropy)
{
    const int kLen = CipherKeyLength(blob.cipherAlg), bLen = CipherBlockLength(blob.cipherAlg);
    if (!kLen || !DigestLength(blob.hashAlg) || blob.cipherData.isEmpty() || blob.cipherData.size() % bLen != 0)
        return std::nullopt;
    const QByteArray mkHash = masterKey.size() == 20 ? masterKey : Hash(CALG_SHA1, masterKey);
    const SessionKind preferred = DigestLength(blob.hashAlg) == 20 ? SessionKind::Xp : SessionKind::Hmac;
    for (SessionKind kind : {preferred, preferred == SessionKind::Xp ? SessionKind::Hmac : SessionKind::Xp}) {
        const QByteArray sign = SessionKey(kind, blob.hashAlg, mkHash, blob.hmacNonce, entropy, blob.signedRegion);
        if (!ConstantTimeEqual(sign, blob.sign))
            continue;
        QByteArray key = DeriveCipherKey(blob.hashAlg, SessionKey(kind, blob.hashAlg, mkHash, blob.salt, entropy), kLen);
        QByteArray plain = CbcDecrypt(blob.cipherAlg, key, QByteArray(bLen, '\0'), blob.cipherData);
        OPENSSL_cleanse(key.data(), size_t(key.size()));
        if (plain.isEmpty())
            return std::nullopt;
        const int pad = uchar(plain.back());
        bool padded = pad >= 1 && pad <= bLen;
        for (int i = 1; padded && i <= pad; ++i)
            padded = uchar(plain[plain.size() - i]) == pad;
        if (!padded)
            return std::nullopt;
        plain.chop(pad);
        return plain;
    }
    return std::nullopt;
}

QString DescriptionText(const QByteArray &utf16le)
{
    QString text;
    for (qsizetype i = 0; i + 1 < utf16le.size(); i += 2) {
        const char16_t unit = char16_t(uchar(utf16le[i]) | (uchar(utf16le[i + 1]) << 8));
        if (unit == 0)
            break;
        text.append(QChar(unit));
    }
    return text;
}

} // namespace zorvak::dpapi
