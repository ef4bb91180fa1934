// The settings file: any bytes read (UTF-8 or Windows-1252), and writing one key keeps every
// other value as it was.
#include "common/Exceptions.h"
#include "fuzz/FuzzSupport.h"
#include "shell/SettingsFile.h"

#include <utility>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace zorvak;
    const QString path = fuzz::Scratch() + QStringLiteral("/Zorvak.ini");
    FUZZ_CHECK(fuzz::WriteAll(path, fuzz::Bytes(data, size)));

    static const std::pair<const char *, const char *> keys[] = {
        {"Common", "Language"}, {"Common", "DocSetDir"}, {"common", "msndatdir"}, {"Common", "SubdirEmot"},
        {"Emails", "1"}, {"", ""}, {"Common", "AppDatDir"}};
    TIniFile ini(path);
    QStringList before;
    for (const auto &[section, key] : keys) {
        before << ini.ReadString(QLatin1String(section), QLatin1String(key), QStringLiteral("<none>"));
        (void)ini.ReadBool(QLatin1String(section), QLatin1String(key), false);
    }

    const QString value = QStringLiteral("written \u00e9\u20ac value");
    try {
        ini.WriteString(QStringLiteral("Common"), QStringLiteral("FuzzKey"), value);
    } catch (const Exception &) {
        FUZZ_CHECK(!"the scratch file is writable");
    }
    FUZZ_CHECK(TIniFile(path).ReadString(QStringLiteral("Common"), QStringLiteral("FuzzKey"), QString()) == value);
    int i = 0;
    for (const auto &[section, key] : keys) {
        const QString after = ini.ReadString(QLatin1String(section), QLatin1String(key), QStringLiteral("<none>"));
        if (after != before[i]) {
            std::fprintf(stderr, "[%s] %s was \"%s\", is \"%s\"\n", section, key, qPrintable(before[i]), qPrintable(after));
            std::abort();
        }
        ++i;
    }
    ini.DeleteKey(QStringLiteral("Common"), QStringLiteral("FuzzKey"));
    return 0;
}
