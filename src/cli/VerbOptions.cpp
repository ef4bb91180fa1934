#include "cli/VerbOptions.h"

#include "cli/CliCommand.h"
#include "cli/Progress.h"

namespace zorvak::cli {

VerbOptions::VerbOptions(const char *verb) : m_verb(verb)
{
    // "-abc" stays three short options, which no verb declares: it is refused as unknown rather
    // than read as "--abc".
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    m_parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    Flag(QStringLiteral("quiet"));
}

VerbOptions &VerbOptions::Flag(const QString &name)
{
    if (m_flags.contains(name))
        return *this;
    m_parser.addOption(QCommandLineOption(name));
    m_flags << name;
    return *this;
}

VerbOptions &VerbOptions::Value(const QString &name, const QString &valueName, const QString &needs)
{
    m_parser.addOption(QCommandLineOption(name, QString(), valueName));
    m_needs.append({name, needs.isEmpty() ? QStringLiteral("a value") : needs});
    return *this;
}

bool VerbOptions::Parse(const QStringList &args)
{
    if (m_parser.parse(QStringList{QStringLiteral("zorvak-cli")} + args)) {
        Progress::SetQuiet(IsSet(QStringLiteral("quiet")));
        return true;
    }
    Usage(WhyRefused(args));
    return false;
}

QString VerbOptions::WhyRefused(const QStringList &args) const
{
    const QStringList unknown = m_parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        const QString &name = unknown.first();
        return QStringLiteral("unknown option: ") + (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"))
               + name;
    }
    // The parser's other refusals: a flag given a value, or a value option as the last argument.
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--"))
            break;
        if (!a.startsWith(QLatin1String("--")))
            continue;
        const QString name = a.mid(2).section(QLatin1Char('='), 0, 0);
        if (m_flags.contains(name) && a.contains(QLatin1Char('=')))
            return QStringLiteral("--%1 takes no value").arg(name);
        for (const auto &[option, needs] : m_needs)
            if (option == name && !a.contains(QLatin1Char('=')) && i + 1 == args.size())
                return QStringLiteral("--%1 needs %2").arg(name, needs);
    }
    return m_parser.errorText();
}

std::optional<QString> VerbOptions::OnlyArgument(const QString &missing, int *status) const
{
    const QStringList positional = Positional();
    if (positional.size() == 1)
        return positional.first();
    *status = Usage(positional.isEmpty() ? missing : QStringLiteral("unexpected argument: ") + positional.at(1));
    return std::nullopt;
}

int VerbOptions::Usage(const QString &message) const { return UsageError(m_verb, message); }

int VerbOptions::Fail(const QString &message) const { return PrintError(m_verb, message); }

} // namespace zorvak::cli
