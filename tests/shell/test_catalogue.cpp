// The four catalogues: keys, order, placeholders, composed entries and the fixed dialog vocabulary.
#include "common/Exceptions.h"
#include "common/unitString.h"
#include "shell/uLanguage.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringConverter>
#include <gtest/gtest.h>

using namespace zorvak;
using namespace Qt::Literals::StringLiterals;

namespace {

const QStringList &TableOrder()
{
    static const QStringList keys = QStringLiteral(
        "_ID mbYes mbNo mbOK mbCancel mbAbort mbRetry mbIgnore mbAll mbNoToAll mbYesToAll mbHelp "
        "mtInformation mtConfirmation mtWarning mtError Close files FileNotFound PassportId Emot Wink "
        "Dp Ddp Bg Dbg File Settings Exit Language Tools CalcId Backup Restore Help HelpContent About "
        "FolderList SelectFolder Auto Current Manual CachedMSN75 CachedWLM80 HideEmpty btBackup "
        "btExploreFolder ExploreFolderHint KnownOnly btSaveFolder SaveFolderHint FileList FileListHint "
        "ShowKnownOnly Preview PreviewHint TotFiles TotRecog InCab Open OpenWith SaveAs SaveFolderTo "
        "PleaseSelectMsnDatDir CannotFindMsnData NoCdrom NotFixedDrive PleaseSelectFolder "
        "SelectFolderThenFile PleaseSelectFile NFilesCopied NFilesNotCopied FileExistsConfirmation MsnDatDirNotFound "
        "ClearFolderListConfirmation IdNotFound SelectFolder4backup RemovingEmpty GettingCached "
        "UseProfileCache CopyingFiles MustSelectFolder HideEffect tiCalcId PleaseEnterEmail OkToSelect Welcome "
        "FirstTimer SetTabDir SetTabBackup DocSetDir AppDatDir MsnDatDir eg SetTabIns1 SetTabIns2 SetLayout "
        "btRestoreCurrent BakIns ChangeSubfolders DirNotFound SettingsSaved tiBackup DirOfId "
        "Email4decrypting DecryptIns DecryptInsHint SelectItems OutputCab chConfirm SkipDefault "
        "SkipDefaultHint EmailNotMatch FailTmpDir BackupCheckSettings Retrieving NoFilesToCab "
        "GeneratingCab PackedNFiles PackedNCabs PackedPartly PackedNone UnsafeLocations NoFile2backup Overwrite Cancelled tiConfirm ConfirmIns "
        "Remove Continue btChkDupl ContHint CheckinDupl NoDupl TotalContent Removed btRestore Filename "
        "FSizeB KeySequence Name tiDuplicateKey tiOverlapKey Edit Ignore KeyBlank KeyTooLong KeySpace "
        "KeyExists KeyOverlap tiRestore Advanced Simple ResIns1 ResInsLibrary Cab2install ResIns Install PortUsed "
        "SelectCabFirst InstallCabConfirm InstallSuccess InstallError InstallError2 EnsureSignedIn "
        "ContCabConf tiAbout AboutNotice by LastMod AboutVersion Months SpcThx AboutDesc TranslatedBy Website Email UseContactForm "
        "EmailIns arrayThanks StoreItemNames StoreNamesNotRead ExportNamed NamedFormat NamedFormats NamedOutput NamedIncludeDefault btExport "
        "NamedDone NamedByFileName NamedNoMap NamedLeftOut NamedLeftOutStore NamedFailed WinPassword PasswordIsHash WinePasswordNotNeeded ProtectDir SelectFolder4named "
        "View ViewList ViewThumbnails ThumbSize FilterHint UnlockNames UnlockNamesOffer NamesNeedUserFolder InstallWaiting "
        "BrowseFolder BrowseFile btBrowse HideNotice NamesUnlocked FlashMovie FlashDamaged FlashFacts MainSubtitle Port "
        "SearchDisk SearchDiskPrompt SearchDiskFolders SearchDiskFound SearchDiskNothing SearchDiskOffer FoundPackages AccountEmail "
        "HistoryFilterHint HistoryRow HistoryRowReading HistoryRowRefused HistoryNoTime HistoryCut HistoryDamaged "
        "HistorySaveFormat HistoryText HistoryExported HistoryProblems HistoryExporting Colon")
        .split(u' ');
    return keys;
}

// Each composed entry and the entries its text is built from.
const QList<QPair<QString, QStringList>> &ComposedEntries()
{
    static const QList<QPair<QString, QStringList>> entries = {
        {u"CannotFindMsnData"_s, {u"Settings"_s, u"Manual"_s, u"SelectFolder"_s}},
        {u"PleaseSelectFolder"_s, {u"FolderList"_s}},
        {u"SelectFolderThenFile"_s, {u"FolderList"_s, u"FileList"_s}},
        {u"PleaseSelectFile"_s, {u"FileList"_s}},
        {u"MsnDatDirNotFound"_s, {u"Settings"_s}},
        {u"ClearFolderListConfirmation"_s, {u"FolderList"_s}},
        {u"IdNotFound"_s, {u"FolderList"_s}},
        {u"SelectFolder4backup"_s, {u"FolderList"_s}},
        {u"MustSelectFolder"_s, {u"FolderList"_s}},
        {u"OkToSelect"_s, {u"FolderList"_s}},
        {u"tiCalcId"_s, {u"CalcId"_s}}, // the window has the name of the command that opens it
        {u"FirstTimer"_s, {u"tiCalcId"_s, u"Tools"_s, u"CalcId"_s}},
        {u"SetTabIns2"_s, {u"FolderList"_s}},
        {u"ChangeSubfolders"_s, {u"MsnDatDir"_s}},
        {u"DecryptInsHint"_s, {u"SelectFolder"_s, u"Current"_s}},
        {u"BackupCheckSettings"_s, {u"Settings"_s, u"SetTabBackup"_s}},
    };
    return entries;
}

QStringList Placeholders(const QString &text)
{
    static const QRegularExpression placeholder(u"%[sd]"_s);
    QStringList found;
    for (const auto &match : placeholder.globalMatch(text))
        found << match.captured();
    return found;
}

struct Catalogue {
    const char *code;
    std::unique_ptr<TLanguage> (*load)();
};

void PrintTo(const Catalogue &catalogue, std::ostream *os) { *os << catalogue.code; }

class CatalogueTest : public ::testing::TestWithParam<Catalogue> {
protected:
    void SetUp() override
    {
        language = GetParam().load();
        english = LoadEnglish();
    }
    QString Text(const QString &key) const { return language->Table().GetValue(key); }
    std::unique_ptr<TLanguage> language;
    std::unique_ptr<TLanguage> english;
};

TEST_P(CatalogueTest, HoldsEveryKeyOnceInTableOrder)
{
    const THash &table = language->Table();
    QStringList keys;
    for (int i = 0; i < table.Count(); ++i)
        keys << table.KeyAt(i);
    EXPECT_EQ(table.Count(), 239);
    EXPECT_EQ(keys, TableOrder());
    QSet<QString> folded;
    for (const QString &key : keys) {
        EXPECT_FALSE(folded.contains(key.toCaseFolded())) << "duplicate ignoring case: " << key.toStdString();
        folded.insert(key.toCaseFolded());
    }
    EXPECT_EQ(Text(u"_ID"_s), QString::fromLatin1(GetParam().code));
}

TEST_P(CatalogueTest, PlaceholdersAndAcceleratorsMatchEnglish)
{
    for (const QString &key : TableOrder()) {
        const QString text = Text(key);
        const QString reference = english->Table().GetValue(key);
        EXPECT_EQ(Placeholders(text), Placeholders(reference)) << key.toStdString();
        // FormatText counts every "%", so a translation may hold no other one.
        EXPECT_EQ(text.count(u'%'), reference.count(u'%')) << key.toStdString();
        EXPECT_EQ(text.count(u'&'), reference.count(u'&')) << key.toStdString();
    }
}

TEST_P(CatalogueTest, EveryTemplateFormatsWithItsOwnArguments)
{
    for (const QString &key : TableOrder()) {
        const QString templ = Text(key);
        QVariantList arguments;
        for (const QString &placeholder : Placeholders(templ))
            arguments << (placeholder == u"%d"_s ? QVariant(42) : QVariant(u"<arg>"_s));
        QString shown;
        ASSERT_NO_THROW(shown = FormatText(templ, arguments)) << key.toStdString();
        EXPECT_FALSE(shown.contains(u'&')) << key.toStdString();
        EXPECT_FALSE(shown.contains(u'%')) << key.toStdString();
    }
}

TEST_P(CatalogueTest, TextsArePresentAndFitTheWesternCodePage)
{
    const bool isEnglish = Text(u"_ID"_s) == u"EN"_s;
    for (const QString &key : TableOrder()) {
        const QString text = Text(key);
        if (key == u"TranslatedBy"_s && isEnglish)
            EXPECT_TRUE(text.isEmpty());
        else
            EXPECT_FALSE(text.isEmpty()) << key.toStdString();
        QStringEncoder latin1(QStringConverter::Latin1);
        (void)latin1.encode(text);
        EXPECT_FALSE(latin1.hasError()) << key.toStdString();
        EXPECT_FALSE(text.contains(u'\n')) << "line breaks are carriage returns: " << key.toStdString();
        EXPECT_FALSE(text.contains(u'\t')) << key.toStdString();
    }
    // The six content-type names tell the types apart in the backup run.
    QSet<QString> typeNames;
    for (const char *key : {"Emot", "Dp", "Bg", "Wink", "Ddp", "Dbg"})
        typeNames.insert(Text(QString::fromLatin1(key)));
    EXPECT_EQ(typeNames.size(), 6);
    // Twelve short month names, all different (the About window's date).
    const QStringList months = Text(u"Months"_s).split(u'\r');
    EXPECT_EQ(QSet<QString>(months.cbegin(), months.cend()).size(), 12);
    // The restore dialog's mode button is told apart by its caption.
    EXPECT_NE(Text(u"Advanced"_s), Text(u"Simple"_s));
}

TEST_P(CatalogueTest, ComposedEntriesHoldTheTextsTheyReference)
{
    const THash &table = language->Table();
    for (const auto &[key, references] : ComposedEntries()) {
        const QString text = Text(key);
        for (const QString &reference : references) {
            EXPECT_LT(table.IndexOf(reference), table.IndexOf(key)) << key.toStdString();
            EXPECT_TRUE(text.contains(Text(reference)))
                << key.toStdString() << " lacks the text of " << reference.toStdString();
        }
    }
    // The first-run text names the "Which is my folder?" window twice.
    EXPECT_EQ(Text(u"FirstTimer"_s).count(Text(u"tiCalcId"_s)), 2);
}

TEST_P(CatalogueTest, ThanksAreTenPairsOfLinesAndTranslatorCreditNamesTheTeam)
{
    const QStringList lines = Text(u"arrayThanks"_s).split(u'\r');
    ASSERT_EQ(lines.size(), 20);
    for (const QString &line : lines)
        EXPECT_FALSE(line.trimmed().isEmpty());
    EXPECT_EQ(lines.first(), u"Qt"_s);
    if (Text(u"_ID"_s) != u"EN"_s) {
        EXPECT_TRUE(Text(u"TranslatedBy"_s).contains(u"Zorvak"_s));
    }
}

INSTANTIATE_TEST_SUITE_P(AllLanguages, CatalogueTest,
                         ::testing::Values(Catalogue{"EN", &LoadEnglish}, Catalogue{"FR", &LoadFrench},
                                           Catalogue{"IT", &LoadItalian}, Catalogue{"SP", &LoadSpanish}),
                         [](const auto &info) { return std::string(info.param.code); });

TEST(CatalogueVocabulary, DialogWordsOfTheFourLanguages)
{
    // key, English, French, Italian, Spanish
    const QList<QStringList> rows = {
        {u"_ID"_s, u"EN"_s, u"FR"_s, u"IT"_s, u"SP"_s},
        {u"mbYes"_s, u"Yes"_s, u"Oui"_s, u"Sì"_s, u"Si"_s},
        {u"mbNo"_s, u"No"_s, u"Non"_s, u"No"_s, u"No"_s},
        {u"mbOK"_s, u"OK"_s, u"OK"_s, u"OK"_s, u"OK"_s},
        {u"mbCancel"_s, u"Cancel"_s, u"Annuler"_s, u"Annulla"_s, u"Cancelar"_s},
        {u"mbAbort"_s, u"Abort"_s, u"Arrêter"_s, u"Termina"_s, u"Abortar"_s},
        {u"mbRetry"_s, u"Retry"_s, u"Réessayer"_s, u"Riprova"_s, u"Reintentar"_s},
        {u"mbIgnore"_s, u"Ignore"_s, u"Ignorer"_s, u"Ignora"_s, u"Ignorar"_s},
        {u"mbAll"_s, u"All"_s, u"Tout"_s, u"Tutti"_s, u"Todo"_s},
        {u"mbNoToAll"_s, u"No To All"_s, u"Non pour tous"_s, u"No tutti"_s, u"No A Todo"_s},
        {u"mbYesToAll"_s, u"Yes To All"_s, u"Oui pour tous"_s, u"Sì tutti"_s, u"Si A Todo"_s},
        {u"mbHelp"_s, u"Help"_s, u"Aide"_s, u"Guida"_s, u"Ayuda"_s},
        {u"mtInformation"_s, u"Information"_s, u"Information"_s, u"Informazioni"_s, u"Información"_s},
        {u"mtConfirmation"_s, u"Confirmation"_s, u"Confirmation"_s, u"Conferma"_s, u"Confirmación"_s},
        {u"mtWarning"_s, u"Warning"_s, u"Avertissement"_s, u"Attenzione"_s, u"Aviso"_s},
        {u"mtError"_s, u"Error"_s, u"Erreur"_s, u"Errore"_s, u"Error"_s},
    };
    const std::unique_ptr<TLanguage> languages[] = {LoadEnglish(), LoadFrench(), LoadItalian(),
                                                    LoadSpanish()};
    for (const QStringList &row : rows)
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(languages[i]->Get(row.at(0)), row.at(i + 1))
                << row.at(0).toStdString() << " in " << languages[i]->Get(u"_ID"_s).toStdString();
}

TEST(CatalogueEnglish, ComposedTextsAsTheWindowsShowThem)
{
    const auto en = LoadEnglish();
    EXPECT_EQ(StripAmpersands(en->Get(u"FirstTimer"_s)),
              u"Zorvak has found more than one Passport ID folders.\r\rTo find out which is yours, click OK "
              "to open 'Which is my folder?', and then enter your email address (your "
              "Messenger login).\r\rYou can open it anytime from\r   "
              "Tools - Which is my folder?... (F5)"_s);
    EXPECT_EQ(en->Get(u"SetTabIns2"_s),
              u"Changes to the above will make \"Auto scan\" to show the following into Folder List"_s);
    EXPECT_EQ(en->Get(u"ChangeSubfolders"_s), u"Change the folder names under MSN data directory"_s);
    EXPECT_EQ(FormatText(en->Get(u"MsnDatDirNotFound"_s),
                         {u"Microsoft\\MSN Messenger\\"_s, u"C:\\A\\"_s, en->Get(u"MsnDatDir"_s)}),
              u"Cannot find directory Microsoft\\MSN Messenger\\\runder C:\\A\\\r\rPlease use Settings "
              "to change the path of MSN data directory"_s);
    EXPECT_EQ(en->Get(u"DecryptInsHint"_s),
              u"To decrypt MSN map files, you need:\r1. Correct email address\r2. Logged in under the same "
              "Windows user account\r    (In main window, select \"Options\" - \"Auto scan &current "
              "Windows user\" to show backupable folders)"_s);
    EXPECT_TRUE(en->Get(u"CannotFindMsnData"_s)
                    .contains(u"\r\rPlease use &Settings to change the paths to search,\r   or select "
                              "&Manually select folder from Options\r\r"_s));
    EXPECT_EQ(en->Get(u"BackupCheckSettings"_s),
              u"If you think you have selected the right folder and the content does exist,\rPlease check "
              "&Settings, Backup tab."_s);
}

TEST(CatalogueLookup, KeysIgnoreCaseAndMissingOrEmptyEntriesRaise)
{
    const auto en = LoadEnglish();
    EXPECT_EQ(en->Get(u"mbOk"_s), u"OK"_s);
    EXPECT_EQ(en->Get(u"FOLDERLIST"_s), u"Folder List"_s);
    try {
        en->Get(u"NoSuchKey"_s);
        FAIL() << "a missing key must raise";
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message(), u"Lang['NoSuchKey'] not exists."_s);
    }
    // English keeps an empty translator credit, which reads as missing.
    EXPECT_THROW(en->Get(u"TranslatedBy"_s), Exception);
    try {
        en->Add(u"MBOK"_s, u"Okay"_s);
        FAIL() << "a key that has a text must not be added again";
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message(), u"Lang['MBOK'] already exists."_s);
    }
    // An empty entry may be filled in afterwards; it keeps its place.
    const int position = en->Table().IndexOf(u"TranslatedBy"_s);
    en->Add(u"translatedby"_s, u"credit"_s);
    EXPECT_EQ(en->Get(u"TranslatedBy"_s), u"credit"_s);
    EXPECT_EQ(en->Table().IndexOf(u"TranslatedBy"_s), position);
    EXPECT_EQ(en->Table().Count(), 239);
}

TEST(CatalogueLookup, LanguageCodesAreExact)
{
    EXPECT_EQ(LoadLanguage(u"FR"_s)->Get(u"_ID"_s), u"FR"_s);
    EXPECT_EQ(LoadLanguage(u"SP"_s)->Get(u"_ID"_s), u"SP"_s);
    EXPECT_EQ(LoadLanguage(u"fr"_s), nullptr);
    EXPECT_EQ(LoadLanguage(u"ES"_s), nullptr);
    EXPECT_EQ(LoadLanguage(QString()), nullptr);
}

TEST(CatalogueSwitch, MessagesUseTheCurrentLanguage)
{
    SetCurrentLanguage(LoadFrench());
    const QString folderList = CurrentLanguage().Get(u"FolderList"_s);
    EXPECT_EQ(folderList, u"Liste des dossiers"_s);
    const QString question = CurrentLanguage().Get(u"ClearFolderListConfirmation"_s);
    EXPECT_TRUE(question.contains(folderList));
    EXPECT_FALSE(question.contains(u"Folder List"_s));
    EXPECT_EQ(question, u"Vider la Liste des dossiers ?"_s);

    SetCurrentLanguage(LoadSpanish());
    EXPECT_EQ(FormatText(CurrentLanguage().Get(u"IdNotFound"_s), {u"12345"_s}),
              u"12345 no está en la Lista de carpetas"_s);
    SetCurrentLanguage(LoadEnglish());
    EXPECT_EQ(CurrentLanguage().Get(u"ClearFolderListConfirmation"_s), u"Clear Folder List?"_s);
}

TEST(CatalogueFormat, TemplatesOfTheFileList)
{
    const auto en = LoadEnglish();
    EXPECT_THROW(FormatText(en->Get(u"TotFiles"_s), {}), Exception);
    EXPECT_EQ(FormatText(en->Get(u"TotFiles"_s), {7}), u"7 files total"_s);
    EXPECT_EQ(FormatText(en->Get(u"SaveFolderTo"_s), {u"\"12345678\""_s}), u"Save \"12345678\" to "_s);
    EXPECT_EQ(StripAmpersands(en->Get(u"Exit"_s)), u"Exit"_s);
    EXPECT_EQ(StripAmpersands(en->Get(u"Backup"_s)), u"Backup selected folder"_s);
}

} // namespace
