#include "shell/uLanguage.h"

#include "common/Exceptions.h"

namespace zorvak {

namespace {
std::unique_ptr<TLanguage> &Current()
{
    static std::unique_ptr<TLanguage> current;
    return current;
}
} // namespace

QString TLanguage::Get(const QString &key) const
{
    const QString text = m_table.GetValue(key);
    if (text.isEmpty())
        throw Exception(QStringLiteral("Lang['") + key + QStringLiteral("'] not exists."));
    return text;
}

void TLanguage::Add(const QString &key, const QString &text)
{
    if (!m_table.GetValue(key).isEmpty())
        throw Exception(QStringLiteral("Lang['") + key + QStringLiteral("'] already exists."));
    m_table.SetValue(key, text);
}

std::unique_ptr<TLanguage> LoadLanguage(const QString &code)
{
    if (code == QLatin1String("EN"))
        return LoadEnglish();
    if (code == QLatin1String("FR"))
        return LoadFrench();
    if (code == QLatin1String("IT"))
        return LoadItalian();
    if (code == QLatin1String("SP"))
        return LoadSpanish();
    return nullptr;
}

TLanguage &CurrentLanguage()
{
    auto &current = Current();
    if (!current)
        current = LoadEnglish();
    return *current;
}

void SetCurrentLanguage(std::unique_ptr<TLanguage> language)
{
    Current().reset();
    Current() = std::move(language);
}

} // namespace zorvak
