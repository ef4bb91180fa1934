#include "shell/uLanguage.h"

#include "common/Exceptions.h"
#include "common/ProcessService.h"

namespace zorvak {

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

TLanguage &CurrentLanguage() { return TProcessService<TLanguage>::Get(LoadEnglish); }

void SetCurrentLanguage(std::unique_ptr<TLanguage> language) { TProcessService<TLanguage>::Replace(std::move(language)); }

} // namespace zorvak
