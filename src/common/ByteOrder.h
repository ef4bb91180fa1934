#pragma once
// Little-endian fields of binary formats (cabinets, master keys, DPAPI blobs, pictures): writers
// that patch or append, and a reader that never reads past its data.
#include <QByteArray>
#include <QByteArrayView>
#include <QtEndian>

namespace zorvak::byteorder {

template <typename T> void PutLE(QByteArray &data, qsizetype at, T value)
{
    Q_ASSERT(at >= 0 && at + qsizetype(sizeof(T)) <= data.size());
    qToLittleEndian(value, data.data() + at);
}
inline void PutLE16(QByteArray &data, qsizetype at, quint16 v) { PutLE(data, at, v); }
inline void PutLE32(QByteArray &data, qsizetype at, quint32 v) { PutLE(data, at, v); }
inline void PutLE64(QByteArray &data, qsizetype at, quint64 v) { PutLE(data, at, v); }

template <typename T> void AppendLE(QByteArray &data, T value)
{
    char bytes[sizeof(T)];
    qToLittleEndian(value, bytes);
    data.append(bytes, qsizetype(sizeof(T)));
}
inline void AppendLE16(QByteArray &data, quint16 v) { AppendLE(data, v); }
inline void AppendLE32(QByteArray &data, quint32 v) { AppendLE(data, v); }
inline void AppendLE64(QByteArray &data, quint64 v) { AppendLE(data, v); }

// Reads fields in order. A read past the end fails, leaves the output as it was and makes every
// later read fail too, so a parser may check `ok()` once after a group of reads.
class LeReader {
public:
    explicit LeReader(QByteArrayView data) : m_data(data) {}

    template <typename T> bool Read(T &value)
    {
        if (!Has(qsizetype(sizeof(T))))
            return false;
        value = qFromLittleEndian<T>(m_data.data() + m_pos);
        m_pos += qsizetype(sizeof(T));
        return true;
    }
    bool U8(quint8 &v) { return Read(v); }
    bool U16(quint16 &v) { return Read(v); }
    bool U32(quint32 &v) { return Read(v); }
    bool U64(quint64 &v) { return Read(v); }
    // `count` bytes as a copy. A negative count fails like one past the end.
    bool Bytes(qsizetype count, QByteArray &out)
    {
        if (!Has(count))
            return false;
        out = m_data.sliced(m_pos, count).toByteArray();
        m_pos += count;
        return true;
    }
    bool Skip(qsizetype count)
    {
        if (!Has(count))
            return false;
        m_pos += count;
        return true;
    }

    bool ok() const { return m_ok; }
    qsizetype pos() const { return m_pos; }
    qsizetype remaining() const { return m_ok ? m_data.size() - m_pos : 0; }

private:
    bool Has(qsizetype count)
    {
        if (m_ok && count >= 0 && count <= m_data.size() - m_pos)
            return true;
        m_ok = false;
        return false;
    }
    QByteArrayView m_data;
    qsizetype m_pos = 0;
    bool m_ok = true;
};

} // namespace zorvak::byteorder
