#pragma once
// THash: text keys to text values in insertion order, keys compared without letter case.
#include <QString>
#include <QStringList>

namespace zorvak {

class THash {
public:
    QString GetValue(const QString &key) const;
    void SetValue(const QString &key, const QString &value);
    bool Remove(const QString &key);
    int Count() const { return int(m_keys.size()); }
    QString KeyAt(int index) const { return m_keys.at(index); }
    QString ValueAt(int index) const { return m_values.at(index); }
    bool Contains(const QString &key) const { return IndexOf(key) >= 0; }
    int IndexOf(const QString &key) const;
    void Clear();

private:
    void CheckLengths() const;
    QStringList m_keys;
    QStringList m_values;
};

} // namespace zorvak
