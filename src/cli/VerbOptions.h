#pragma once
// The options of one zorvak-cli verb, parsed with QCommandLineParser so that every verb reads its
// command line the same way:
//   --name VALUE and --name=VALUE are the same; options may come before, between or after the
//   other arguments; "--" ends the options (what follows is taken as it is, even "-x");
//   an unknown option, a missing value or a value given to a flag is wrong usage (exit status 2),
//   reported as "zorvak-cli VERB: ..." in the same words by every verb;
//   every verb takes --quiet (no progress line), declared here.
//
// Typical use in a verb:
//   VerbOptions options("scan");
//   options.Flag("show-empty").Value("docset", "DIR", "a folder");
//   if (!options.Parse(args))
//       return options.UsageStatus();
//   if (options.IsSet("show-empty")) ...; options.Get("docset"); options.Positional();
#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <optional>

namespace zorvak::cli {

class VerbOptions {
public:
    explicit VerbOptions(const char *verb);

    // A flag: present or not, no value ("--all").
    VerbOptions &Flag(const QString &name);
    // An option with a value ("--docset DIR"). `needs` words what is missing when the value is
    // left out: "--docset needs a folder"; by default "a value".
    VerbOptions &Value(const QString &name, const QString &valueName, const QString &needs = QString());

    // Parses the verb's arguments (the verb itself excluded). On wrong usage, prints the error on
    // standard error and returns false; the verb then returns UsageStatus().
    bool Parse(const QStringList &args);
    int UsageStatus() const { return 2; }

    bool IsSet(const QString &name) const { return m_parser.isSet(name); }
    // The value of an option (the last one when it is given more than once); empty when not given.
    QString Get(const QString &name) const { return m_parser.value(name); }
    QStringList Positional() const { return m_parser.positionalArguments(); }
    // The argument of a verb that takes exactly one. With none, wrong usage worded `missing`; with
    // more, "unexpected argument: SECOND". Nothing is returned then, and `*status` is the status.
    std::optional<QString> OnlyArgument(const QString &missing, int *status) const;

    // Prints "zorvak-cli VERB: message" and returns the wrong-usage status, for checks of the
    // verb's own (a missing argument, a value out of range).
    int Usage(const QString &message) const;
    // Prints "zorvak-cli VERB: message" and returns the failure status (1), for an operation that
    // could not be done although the usage was right.
    int Fail(const QString &message) const;
    const char *Verb() const { return m_verb; }

private:
    QString WhyRefused(const QStringList &args) const;

    const char *m_verb;
    QCommandLineParser m_parser;
    QStringList m_flags;
    QList<QPair<QString, QString>> m_needs; // option with a value -> what its missing value is
};

} // namespace zorvak::cli
