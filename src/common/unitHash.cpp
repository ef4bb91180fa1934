#include "common/unitHash.h"

#include "common/Exceptions.h"

namespace zorvak {

int THash::IndexOf(const QString &key) const
{
    for (int i = 0; i < m_keys.size(); ++i)
        if (m_keys.at(i).compare(key, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString THash::GetValue(const QString &key) const
{
    const int i = IndexOf(key);
    return i < 0 ? QString() : m_values.at(i);
}

void THash::SetValue(const QString &key, const QString &value)
{
    const int i = IndexOf(key);
    if (i < 0) {
        m_keys.append(key);
        m_values.append(value);
    } else {
        m_values[i] = value;
    }
    CheckLengths();
}

bool THash::Remove(const QString &key)
{
    const int i = IndexOf(key);
    if (i >= 0) {
        m_keys.removeAt(i);
        m_values.removeAt(i);
    }
    CheckLengths();
    return i >= 0;
}

void THash::Clear()
{
    m_keys.clear();
    m_values.clear();
}

void THash::CheckLengths() const
{
    if (m_keys.size() != m_values.size())
        throw Exception(QStringLiteral("Internal error. Num of keys not equals num of values."));
}

} // namespace zorvak
