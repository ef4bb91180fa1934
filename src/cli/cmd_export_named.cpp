// zorvak-cli export USERFOLDER OUT --named: every object of a user folder under its own name.
#include "dpapi/DpapiKeyMaterial.h"
#include "dpapi/MapFileCrypt.h"
#include "cli/CliCommand.h"
#include "cli/CliSecrets.h"
#include "cli/ExportNamed.h"
#include "cli/Progress.h"
#include "common/Exceptions.h"
#include "export/NamedExport.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace zorvak::cli {

namespace {

const QString kEmail = QStringLiteral("email");
const QString kFormat = QStringLiteral("format");
const QString kTypes = QStringLiteral("types");
const QString kIncludeDefault = QStringLiteral("include-default");
const QString kJson = QStringLiteral("json");
const QString kQuiet = QStringLiteral("quiet");
const QString kMergeInto = QStringLiteral("merge-into");

QString Code(ContentType type) { return QString::fromLatin1(InfoOf(type).code); }

QJsonDocument JsonOf(const named::TNamedExportResult &result)
{
    QJsonArray objects;
    for (const named::TExportedObject &o : result.objects)
        objects.append(QJsonObject{{QStringLiteral("type"), Code(o.type)},
                                   {QStringLiteral("file"), o.file},
                                   {QStringLiteral("path"), result.output + u'/' + o.file},
                                   {QStringLiteral("name"), o.name},
                                   {QStringLiteral("shortcut"), o.shortcut},
                                   {QStringLiteral("original"), o.original},
                                   {QStringLiteral("named"), o.named},
                                   {QStringLiteral("reused"), o.reused},
                                   {QStringLiteral("size"), double(o.size)},
                                   {QStringLiteral("modified"), o.modified.toUTC().toString(Qt::ISODateWithMs)}});
    QJsonArray leftOut;
    for (const named::TLeftOut &l : result.leftOut)
        leftOut.append(QJsonObject{{QStringLiteral("type"), Code(l.type)},
                                   {QStringLiteral("original"), l.original},
                                   {QStringLiteral("name"), l.name},
                                   {QStringLiteral("shortcut"), l.shortcut},
                                   {QStringLiteral("reason"), l.reason}});
    QJsonArray unnamed;
    for (ContentType type : result.unnamedTypes)
        unnamed.append(Code(type));
    QJsonObject root{{QStringLiteral("output"), result.output},
                     {QStringLiteral("format"), named::FormatName(result.format)},
                     {QStringLiteral("credentials"), result.credentials},
                     {QStringLiteral("unnamedTypes"), unnamed},
                     {QStringLiteral("objects"), objects},
                     {QStringLiteral("leftOut"), leftOut},
                     {QStringLiteral("defaultsLeftOut"), result.defaultsLeftOut},
                     {QStringLiteral("problems"), QJsonArray::fromStringList(result.problems)},
                     {QStringLiteral("failures"), QJsonArray::fromStringList(result.failures)},
                     {QStringLiteral("ok"), result.Ok()}};
    if (result.format == named::TNamedFormat::Pidgin) {
        root.insert(QStringLiteral("theme"), result.output + u'/' + result.theme);
        root.insert(QStringLiteral("archive"), result.archive);
    }
    if (result.format == named::TNamedFormat::PidginSmileys) {
        root.insert(QStringLiteral("store"), result.store);
        root.insert(QStringLiteral("backup"), result.storeBackup);
    }
    return QJsonDocument(root);
}

void Note(const QString &text)
{
    Progress::ClearCurrent();
    Err() << "zorvak-cli export: " << TerminalText(text) << "\n";
}

} // namespace

void AddNamedExportOptions(VerbOptions &options)
{
    options.Flag(QStringLiteral("named"))
        .Value(kEmail, QStringLiteral("ADDRESS"), QStringLiteral("an e-mail address"))
        .Value(kFormat, QStringLiteral("FORMAT"), QStringLiteral("folder, pidgin, html or pidgin-smileys"))
        .Value(kMergeInto, QStringLiteral("DIR"), QStringLiteral("a folder"))
        .Value(kTypes, QStringLiteral("LIST"), QStringLiteral("a list of content types"))
        .Flag(kIncludeDefault)
        .Flag(kJson)
        .Flag(kQuiet);
    AddKeyOptions(options);
}

QStringList NamedExportOnlyOptions()
{
    return {kEmail, kFormat, kTypes, kIncludeDefault, kJson, kQuiet, kMergeInto, QStringLiteral("password"), QStringLiteral("password-file"),
            QStringLiteral("hash"), QStringLiteral("hash-file"), QStringLiteral("protect-dir")};
}

int RunNamedExportVerb(const VerbOptions &options)
{
    using namespace zorvak::named;
    const QStringList positional = options.Positional();
    const bool merge = options.IsSet(kMergeInto);
    if (merge && positional.size() != 1)
        return options.Usage(QStringLiteral("give a user folder only: --merge-into names the folder written"));
    if (!merge && positional.size() != 2)
        return options.Usage(QStringLiteral("give a user folder and an output folder"));
    if (options.IsSet(QStringLiteral("all")) || options.IsSet(QStringLiteral("overwrite")))
        return options.Usage(QStringLiteral("--all and --overwrite do not go with --named"));
    TNamedExportRequest request;
    request.userFolder = positional.at(0);
    if (!merge)
        request.output = positional.at(1);
    if (options.IsSet(kFormat)) {
        const std::optional<TNamedFormat> format = FormatByName(options.Get(kFormat));
        if (!format)
            return options.Usage(QStringLiteral("unknown format %1 (folder, pidgin, html or pidgin-smileys)").arg(options.Get(kFormat)));
        request.format = *format;
    }
    if (merge) {
        if (request.format != TNamedFormat::PidginSmileys)
            return options.Usage(QStringLiteral("--merge-into goes with --format pidgin-smileys only"));
        request.mergeInto = options.Get(kMergeInto);
        if (request.mergeInto.isEmpty())
            return options.Usage(QStringLiteral("give the folder to merge into"));
    }
    if (options.IsSet(kTypes)) {
        request.types.fill(false);
        for (const QString &code : options.Get(kTypes).split(u',', Qt::SkipEmptyParts)) {
            const ContentTypeInfo *info = FindContentType(code.trimmed());
            if (!info)
                return options.Usage(QStringLiteral("unknown content type %1").arg(code));
            request.types[size_t(info->type)] = true;
        }
    }
    request.includeDefault = options.IsSet(kIncludeDefault);
    bool secretGiven = false;
    for (const QString &name : {QStringLiteral("password"), QStringLiteral("password-file"), QStringLiteral("hash"),
                                QStringLiteral("hash-file"), QStringLiteral("protect-dir")})
        secretGiven = secretGiven || options.IsSet(name);
    if (secretGiven && !options.IsSet(kEmail))
        return options.Usage(QStringLiteral("give --email ADDRESS with the password"));
    if (!QFileInfo(request.userFolder).isDir())
        return options.Fail(QStringLiteral("not a folder: ") + request.userFolder);
    if (options.IsSet(kEmail)) {
        int status = 0;
        const std::optional<DpapiKeyMaterial> key = KeyOrReport(options, &status, AllMapsProtectedByWine(request.userFolder));
        if (!key)
            return status;
        request.email = options.Get(kEmail);
        request.key = *key;
    }
    struct Cleanup {
        ~Cleanup() { ForgetOpenedMasterKeys(); }
    } cleanup;

    TNamedExportResult result;
    {
        Progress progress(Progress::Wanted(options.IsSet(kQuiet)));
        try {
            result = RunNamedExport(request, [&progress](int done, int total, const QString &current) {
                progress.Update(done, total, current);
            });
        } catch (const Exception &e) {
            progress.Clear();
            return options.Fail(e.Message());
        }
    }

    if (!result.credentials)
        Note(QStringLiteral("no e-mail address and password given: objects are named by their file names"));
    else if (!result.unnamedTypes.isEmpty()) {
        QStringList codes;
        for (ContentType type : result.unnamedTypes)
            codes << Code(type);
        Note(QStringLiteral("no map for %1: those objects are named by their file names").arg(codes.join(QStringLiteral(", "))));
    }
    for (const QString &problem : result.problems)
        Note(QStringLiteral("warning: ") + problem);
    for (const TLeftOut &l : result.leftOut) {
        QString what = l.original;
        if (!l.name.isEmpty())
            what += QStringLiteral(" \"%1\"").arg(l.name);
        if (!l.shortcut.isEmpty())
            what += QStringLiteral(" (shortcut \"%1\")").arg(l.shortcut);
        const QString where = result.format == TNamedFormat::PidginSmileys ? QStringLiteral("the smiley store") : QStringLiteral("the theme");
        Note(QStringLiteral("left out of %1: %2: %3").arg(where, what, l.reason));
    }
    if (result.defaultsLeftOut > 0)
        Note(QStringLiteral("%1 of Messenger's default objects left out (--include-default keeps them)").arg(result.defaultsLeftOut));
    for (const QString &failure : result.failures)
        Note(QStringLiteral("could not write ") + failure);

    if (options.IsSet(kJson)) {
        Out() << JsonOf(result).toJson(QJsonDocument::Indented);
    } else {
        for (const TExportedObject &o : result.objects)
            Out() << Code(o.type) << '\t' << TsvValue(result.output + u'/' + o.file) << '\t' << TsvValue(o.name) << '\t'
                  << TsvValue(o.shortcut) << '\n';
        if (!result.archive.isEmpty())
            Out() << "archive\t" << TsvValue(result.archive) << '\n';
        if (!result.store.isEmpty())
            Out() << "store\t" << TsvValue(result.store) << '\n';
        if (!result.storeBackup.isEmpty())
            Out() << "backup\t" << TsvValue(result.storeBackup) << '\n';
    }
    Out().flush();
    return result.Ok() ? 0 : 1;
}

} // namespace zorvak::cli
