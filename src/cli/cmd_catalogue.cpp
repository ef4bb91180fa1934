// zorvak-cli catalogue [--language EN|FR|IT|SP]: every key and text of a catalogue in table order.
#include "cli/CliCommand.h"
#include "cli/VerbOptions.h"
#include "shell/uLanguage.h"

namespace {
int Run(const QStringList &args)
{
    using namespace zorvak::cli;
    VerbOptions options("catalogue");
    options.Value(QStringLiteral("language"), QStringLiteral("CODE"), QStringLiteral("a language code"));
    if (!options.Parse(args))
        return options.UsageStatus();
    if (!options.Positional().isEmpty())
        return options.Usage(QStringLiteral("usage: zorvak-cli catalogue [--language EN|FR|IT|SP]"));
    const QString code = options.IsSet(QStringLiteral("language")) ? options.Get(QStringLiteral("language"))
                                                                   : QStringLiteral("EN");

    const std::unique_ptr<zorvak::TLanguage> language = zorvak::LoadLanguage(code);
    if (!language)
        return options.Usage(QStringLiteral("unknown language \"%1\" (EN, FR, IT or SP)").arg(code));

    const zorvak::THash &table = language->Table();
    for (int i = 0; i < table.Count(); ++i) {
        QString text = table.ValueAt(i);
        text.replace(QLatin1Char('\r'), QLatin1String("\\r"));
        Out() << table.KeyAt(i) << '\t' << text << '\n';
    }
    return 0;
}
} // namespace

ZORVAK_CLI_COMMAND("catalogue", "the texts of a language, key and text",
                   "Usage: zorvak-cli catalogue [--language EN|FR|IT|SP]\n"
                   "Prints every key of the catalogue (English by default) in table order: the key,\n"
                   "a tab, the text, one entry a line; a carriage return is written as \\r.",
                   Run);
