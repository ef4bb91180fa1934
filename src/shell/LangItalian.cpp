// The Italian catalogue: the same keys, order, placeholders and composed entries as the English one.
#include "shell/uLanguage.h"

using namespace Qt::Literals::StringLiterals;

namespace zorvak {

std::unique_ptr<TLanguage> LoadItalian()
{
    auto language = std::make_unique<TLanguage>();
    TLanguage &l = *language;

    // Dialog vocabulary
    l.Add(u"_ID"_s, u"IT"_s);
    l.Add(u"mbYes"_s, u"Sì"_s);
    l.Add(u"mbNo"_s, u"No"_s);
    l.Add(u"mbOK"_s, u"OK"_s);
    l.Add(u"mbCancel"_s, u"Annulla"_s);
    l.Add(u"mbAbort"_s, u"Termina"_s);
    l.Add(u"mbRetry"_s, u"Riprova"_s);
    l.Add(u"mbIgnore"_s, u"Ignora"_s);
    l.Add(u"mbAll"_s, u"Tutti"_s);
    l.Add(u"mbNoToAll"_s, u"No tutti"_s);
    l.Add(u"mbYesToAll"_s, u"Sì tutti"_s);
    l.Add(u"mbHelp"_s, u"Guida"_s);
    l.Add(u"mtInformation"_s, u"Informazioni"_s);
    l.Add(u"mtConfirmation"_s, u"Conferma"_s);
    l.Add(u"mtWarning"_s, u"Attenzione"_s);
    l.Add(u"mtError"_s, u"Errore"_s);
    l.Add(u"Close"_s, u"Chiudi"_s);
    l.Add(u"files"_s, u"file"_s);
    l.Add(u"FileNotFound"_s, u"File non trovato:\r   %s"_s);
    l.Add(u"PassportId"_s, u"ID Passport MSN"_s);

    // Content types
    l.Add(u"Emot"_s, u"Emoticon personalizzate"_s);
    l.Add(u"Wink"_s, u"Wink"_s);
    l.Add(u"Dp"_s, u"Immagini personali"_s);
    l.Add(u"Ddp"_s, u"Immagini personali deluxe"_s);
    l.Add(u"Bg"_s, u"Sfondi"_s);
    l.Add(u"Dbg"_s, u"Sfondi dinamici"_s);

    // Main window
    l.Add(u"File"_s, u"&File"_s);
    l.Add(u"Settings"_s, u"&Impostazioni"_s);
    l.Add(u"Exit"_s, u"&Esci"_s);
    l.Add(u"Language"_s, u"&Lingua"_s);
    l.Add(u"Tools"_s, u"S&trumenti"_s);
    l.Add(u"CalcId"_s, u"Qual è la mia cartella?"_s);
    l.Add(u"Backup"_s, u"&Backup della cartella selezionata"_s);
    l.Add(u"Restore"_s, u"&Ripristina (installa CAB/MCO)"_s);
    l.Add(u"Help"_s, u"&Guida"_s);
    l.Add(u"HelpContent"_s, u"&Guida (online)"_s);
    l.Add(u"About"_s, u"&Informazioni su"_s);
    l.Add(u"FolderList"_s, u"Elenco cartelle"_s);
    l.Add(u"SelectFolder"_s, u"Opzioni"_s);
    l.Add(u"Auto"_s, u"Scansione &automatica del disco"_s);
    l.Add(u"Current"_s, u"Scansione automatica dell'utente Windows &corrente"_s);
    l.Add(u"Manual"_s, u"Selezione &manuale della cartella"_s);
    l.Add(u"CachedMSN75"_s, u"Immagini dei contatti nella cache (MSN 7.5)"_s);
    l.Add(u"CachedWLM80"_s, u"Immagini dei contatti nella cache (WLM)"_s);
    l.Add(u"HideEmpty"_s, u"&Nascondi le cartelle vuote nell'Elenco cartelle"_s);
    l.Add(u"btBackup"_s, u"Backup"_s);
    l.Add(u"btExploreFolder"_s, u"Apri cartella"_s);
    l.Add(u"ExploreFolderHint"_s, u"Apri la cartella\r   %s\rin Esplora risorse"_s);
    l.Add(u"KnownOnly"_s, u"Copia solo i file riconosciuti"_s);
    l.Add(u"btSaveFolder"_s, u"Salva cartella con nome"_s);
    l.Add(u"SaveFolderHint"_s,
          u"Salva la cartella selezionata, con le sue sottocartelle (se ci sono) e tutti i file che contengono,\r"
          u"applicando l'opzione qui sopra."_s);
    l.Add(u"FileList"_s, u"Elenco file"_s);
    l.Add(u"FileListHint"_s, u"File mostrati di\r   %s"_s);
    l.Add(u"ShowKnownOnly"_s, u"Mostra solo i file riconosciuti"_s);
    l.Add(u"Preview"_s, u"Anteprima"_s);
    l.Add(u"PreviewHint"_s, u"Anteprima di \r   %s"_s);
    l.Add(u"TotFiles"_s, u"%d file in totale"_s);
    l.Add(u"TotRecog"_s, u"%d riconosciuti"_s);
    l.Add(u"InCab"_s, u"Contenuto del file CAB"_s);
    l.Add(u"Open"_s, u"Apri"_s);
    l.Add(u"OpenWith"_s, u"Apri con"_s);
    l.Add(u"SaveAs"_s, u"&Salva con nome"_s);
    l.Add(u"SaveFolderTo"_s, u"Salva %s in "_s);

    // Browsing messages
    l.Add(u"PleaseSelectMsnDatDir"_s,
          u"Selezionare una cartella dati di MSN (o una sua copia) da esplorare.\r"
          u"Di solito in: C:\\Documents and Settings\\{user}\\Application Data\\Microsoft\\MSN Messenger\\{id}"_s);
    l.Add(u"CannotFindMsnData"_s,
          u"Spiacenti, Zorvak non ha trovato dove MSN salva i suoi contenuti.\r"
          u"Di solito si trovano in\r"
          u"    C:\\Documents and Settings\\{user}\\Application Data\\Microsoft\\MSN Messenger\\{id}\r"
          u"(Windows XP, MSN Messenger 7.5)\r\r"
          u"Usare "_s + l.Get(u"Settings"_s) + u" per cambiare i percorsi da cercare,\r"
          u"   oppure scegliere "_s + l.Get(u"Manual"_s) + u" da "_s + l.Get(u"SelectFolder"_s) +
          u"\r\r"
          u"Ci farebbe molto piacere sapere dove MSN li salva sul vostro computer,\r"
          u"   per aggiungere quei percorsi alla scansione automatica.\r\r"
          u"In Linux cerca anche nei dischi Windows montati (NTFS e FAT) e nei prefissi Wine (~/.wine);\r"
          u"   per vedere che cosa mostra, avviarlo sul profilo dimostrativo (ZORVAK_DEMO=1 scripts/run.sh nei sorgenti).\r\r"
          u"Grazie per aver provato Zorvak."_s);
    l.Add(u"NoCdrom"_s,
          u"Spiacenti. Zorvak non può essere eseguito da un supporto di sola lettura.\r\r"
          u"Creare una nuova cartella in un punto qualsiasi del disco fisso,\r"
          u"   copiarvi Zorvak ed eseguirlo da lì."_s);
    l.Add(u"NotFixedDrive"_s,
          u"Zorvak funziona meglio da un disco fisso locale, a causa dei file temporanei\r"
          u"  che crea durante l'esecuzione.\r\r"
          u"Perché Zorvak funzioni correttamente, eseguirlo da un disco fisso.\r\r"
          u"Grazie."_s);
    l.Add(u"PleaseSelectFolder"_s, u"Selezionare una cartella dall'"_s + l.Get(u"FolderList"_s));
    l.Add(u"SelectFolderThenFile"_s,
          u"Selezionare una cartella dall'"_s + l.Get(u"FolderList"_s) +
          u",\rquindi selezionare un file dall'"_s + l.Get(u"FileList"_s) + u"."_s);
    l.Add(u"PleaseSelectFile"_s, u"Selezionare un file dall'"_s + l.Get(u"FileList"_s));
    l.Add(u"NFilesCopied"_s, u"%d file sono stati copiati."_s);
    l.Add(u"NFilesNotCopied"_s, u"%d file non sono stati copiati:"_s);
    l.Add(u"FileExistsConfirmation"_s, u"Il file esiste già:\r%s\r\rSovrascriverlo?"_s);
    l.Add(u"MsnDatDirNotFound"_s,
          u"Impossibile trovare la cartella %s\rin %s\r\rUsare "_s + l.Get(u"Settings"_s) +
          u" per cambiare il percorso di: %s"_s);
    l.Add(u"ClearFolderListConfirmation"_s, u"Svuotare l'"_s + l.Get(u"FolderList"_s) + u"?"_s);
    l.Add(u"IdNotFound"_s, u"%s non è presente nell'"_s + l.Get(u"FolderList"_s));
    l.Add(u"SelectFolder4backup"_s,
          u"Non è possibile eseguire il backup della cartella '%s'.\r"
          u"La cartella di cui eseguire il backup deve essere un ID Passport MSN\r"
          u"   (es. 157913456) o una sua sottocartella.\r\r"
          u"Selezionare un'altra cartella dall'"_s + l.Get(u"FolderList"_s) +
          u" per il backup."_s);
    l.Add(u"RemovingEmpty"_s, u"Rimozione delle cartelle vuote"_s);
    l.Add(u"GettingCached"_s, u"Raccolta dei dati nella cache"_s);
    l.Add(u"UseProfileCache"_s, u"Mostrare le immagini nella cache dell'utente Windows %s?\r   %s"_s);
    l.Add(u"CopyingFiles"_s, u"Copia dei file"_s);
    l.Add(u"MustSelectFolder"_s,
          u"Spiacenti.\rPer eseguire il backup di un contenuto, occorre prima mostrare e selezionare\r"
          u"la cartella associata nell'"_s + l.Get(u"FolderList"_s));
    l.Add(u"HideEffect"_s,
          u"La modifica avrà effetto la prossima volta che si seleziona una cartella da mostrare.\r"
          u"Alla prossima scansione delle cartelle, nessuna cartella sarà nascosta."_s);
    l.Add(u"tiCalcId"_s, l.Get(u"CalcId"_s));
    l.Add(u"PleaseEnterEmail"_s,
          u"Digitare o selezionare un indirizzo e-mail per trovare il suo ID Passport MSN"_s);
    l.Add(u"OkToSelect"_s,
          u"Fare clic su OK per selezionare questo utente nell'"_s + l.Get(u"FolderList"_s));

    // Welcome
    l.Add(u"Welcome"_s, u"Benvenuti in Zorvak"_s);
    l.Add(u"FirstTimer"_s,
          u"Zorvak ha trovato più di una cartella di ID Passport.\r\r"
          u"Per sapere qual è la vostra, fare clic su OK per aprire '"_s + l.Get(u"tiCalcId"_s) +
          u"', quindi digitare il proprio indirizzo e-mail (l'accesso a Messenger).\r\r"
          u"La si può aprire in qualsiasi momento da\r   "_s +
          l.Get(u"Tools"_s) + u" - "_s + l.Get(u"CalcId"_s) + u"... (F5)"_s);

    // Settings dialog
    l.Add(u"SetTabDir"_s, u"Cartelle"_s);
    l.Add(u"SetTabBackup"_s, u"Backup"_s);
    l.Add(u"DocSetDir"_s, u"Cartella 'Documents and Settings'"_s);
    l.Add(u"AppDatDir"_s, u"Cartella 'Application Data'"_s);
    l.Add(u"MsnDatDir"_s, u"Cartella dati di MSN"_s);
    l.Add(u"eg"_s, u"es."_s);
    l.Add(u"SetTabIns1"_s,
          u"Modificare queste impostazioni solo se \"Scansione automatica\" non funziona"_s);
    l.Add(u"SetTabIns2"_s,
          u"Con queste modifiche \"Scansione automatica\" mostrerà quanto segue nell'"_s +
          l.Get(u"FolderList"_s));
    l.Add(u"SetLayout"_s, u"<Documents and Settings>/<utente Windows>/<Application Data>/<dati di MSN>/<ID Passport>/%s"_s);
    l.Add(u"btRestoreCurrent"_s, u"Ripristina il valore attuale"_s);
    l.Add(u"BakIns"_s,
          u"Se il backup non riesce, controllare che i nomi delle cartelle qui sotto siano quelli reali.\r"
          u"Le cartelle presenti sono visibili nell'Elenco cartelle."_s);
    l.Add(u"ChangeSubfolders"_s, u"Cambia i nomi delle cartelle in: "_s + l.Get(u"MsnDatDir"_s));
    l.Add(u"DirNotFound"_s, u"Cartella non trovata:\r   %s"_s);
    l.Add(u"SettingsSaved"_s,
          u"Impostazioni salvate.\r"
          u"Usare la scansione automatica per cercare i contenuti di Messenger sul disco fisso."_s);

    // Backup dialog
    l.Add(u"tiBackup"_s, u"Backup (in un file MCO)"_s);
    l.Add(u"DirOfId"_s, u"Cartella"_s);
    l.Add(u"Email4decrypting"_s, u"&Indirizzo e-mail per decifrare i file map"_s);
    l.Add(u"DecryptIns"_s, u"La decifratura richiede anche l'account Windows corretto"_s);
    l.Add(u"DecryptInsHint"_s,
          u"Per decifrare i file map di MSN occorrono:\r"
          u"1. L'indirizzo e-mail corretto\r"
          u"2. L'accesso con lo stesso account utente di Windows\r"
          u"    (Nella finestra principale, scegliere \""_s + l.Get(u"SelectFolder"_s) +
          u"\" - \""_s + l.Get(u"Current"_s) +
          u"\" per mostrare le cartelle di cui si può fare il backup)"_s);
    l.Add(u"SelectItems"_s, u"Selezionare i contenuti di cui eseguire il backup"_s);
    l.Add(u"OutputCab"_s, u"&File MCO di destinazione"_s);
    l.Add(u"chConfirm"_s, u"Conferma i file da includere nel backup"_s);
    l.Add(u"SkipDefault"_s, u"Ignora i contenuti predefiniti di Messenger"_s);
    l.Add(u"SkipDefaultHint"_s, u"Non includere nel backup i contenuti predefiniti che hanno tutti"_s);
    l.Add(u"EmailNotMatch"_s,
          u"L'ID dell'indirizzo e-mail (%s) non corrisponde alla cartella (%s).\r"
          u"Per decifrare i file map serve l'indirizzo e-mail corretto.\r\r"
          u"Continuare comunque?"_s);
    l.Add(u"FailTmpDir"_s, u"Impossibile creare la cartella temporanea"_s);
    l.Add(u"BackupCheckSettings"_s,
          u"Se si è sicuri di aver selezionato la cartella giusta e che i contenuti esistano,\r"
          u"controllare "_s + l.Get(u"Settings"_s) + u", scheda "_s + l.Get(u"SetTabBackup"_s) +
          u"."_s);
    l.Add(u"Retrieving"_s, u"Recupero di %s ..."_s);
    l.Add(u"NoFilesToCab"_s, u"Nessun file da comprimere. Il file MCO NON è stato creato."_s);
    l.Add(u"GeneratingCab"_s, u"Creazione del file MCO..."_s);
    l.Add(u"PackedNFiles"_s,
          u"%d file + content.xml compressi in %s\r\rMostrare il file in Esplora risorse?"_s);
    l.Add(u"PackedNCabs"_s,
          u"Messenger non gestisce un file MCO con troppi elementi,\r"
          u"perciò Zorvak li ha divisi automaticamente.\r\r"
          u"%d file compressi in %d file MCO (%s)\r\r"
          u"Mostrare il file in Esplora risorse?"_s);
    l.Add(u"PackedPartly"_s,
          u"%d file compressi in %s\r\r"
          u"NON creato (errore durante la compressione): %s\r\r"
          u"Mostrare il file in Esplora risorse?"_s);
    l.Add(u"PackedNone"_s, u"Errore durante la compressione in: %s\rIl file MCO NON è stato creato."_s);
    l.Add(u"UnsafeLocations"_s,
          u"%s: il file map indica file fuori dalla sua cartella; vengono ignorati:\r%s"_s);
    l.Add(u"NoFile2backup"_s, u"Nessun file di cui eseguire il backup."_s);
    l.Add(u"Overwrite"_s, u"Il file esiste già:\r   %s\r\rSovrascriverlo?"_s);
    l.Add(u"Cancelled"_s, u"Annullato"_s);

    // Backup confirmation and key validation
    l.Add(u"tiConfirm"_s, u"Conferma del backup"_s);
    l.Add(u"ConfirmIns"_s,
          u"I file qui sotto saranno inclusi nel file MCO.\r"
          u"Si possono rimuovere i file da non mettere nel file MCO.\r"
          u"Si possono modificare la Scorciatoia o il Nome, se previsti.\r"
          u"Ctrl+Z annulla la modifica di una cella."_s);
    l.Add(u"Remove"_s, u"&Rimuovi"_s);
    l.Add(u"Continue"_s, u"&Continua"_s);
    l.Add(u"btChkDupl"_s, u"Verifica scorciatoie"_s);
    l.Add(u"ContHint"_s, u"Alt+clic su questo pulsante per saltare la verifica delle scorciatoie"_s);
    l.Add(u"CheckinDupl"_s, u"Ricerca di scorciatoie duplicate"_s);
    l.Add(u"NoDupl"_s, u"Nessuna scorciatoia duplicata."_s);
    l.Add(u"TotalContent"_s, u"Contenuti confermati"_s);
    l.Add(u"Removed"_s, u"File rimossi"_s);
    l.Add(u"btRestore"_s, u"Rimetti"_s);
    l.Add(u"Filename"_s, u"Nome file"_s);
    l.Add(u"FSizeB"_s, u"Dimensione (byte)"_s);
    l.Add(u"KeySequence"_s, u"Scorciatoia"_s);
    l.Add(u"Name"_s, u"Nome"_s);
    l.Add(u"tiDuplicateKey"_s, u"Scorciatoie duplicate"_s);
    l.Add(u"tiOverlapKey"_s, u"Scorciatoie sovrapposte"_s);
    l.Add(u"Edit"_s, u"Modifica"_s);
    l.Add(u"Ignore"_s, u"Ignora"_s);
    l.Add(u"KeyBlank"_s, u"La scorciatoia di %s è vuota.\r\rModificarla?"_s);
    l.Add(u"KeyTooLong"_s, u"La scorciatoia %s è troppo lunga (più di 7 caratteri).\r\rModificarla?"_s);
    l.Add(u"KeySpace"_s, u"La scorciatoia \"%s\" contiene uno spazio.\r\rModificarla?"_s);
    l.Add(u"KeyExists"_s,
          u"La scorciatoia %s non può essere usata perché è una scorciatoia predefinita."_s);
    l.Add(u"KeyOverlap"_s,
          u"La scorciatoia %s potrebbe non servire perché %s è una scorciatoia predefinita.\r\r"
          u"Modificarla?"_s);

    // Restore dialog
    l.Add(u"tiRestore"_s, u"Ripristino (da file CAB/MCO)"_s);
    l.Add(u"Advanced"_s, u"Avanzata"_s);
    l.Add(u"Simple"_s, u"Semplice"_s);
    l.Add(u"ResIns1"_s, u"Accedere prima a MSN/WLM."_s);
    l.Add(u"ResInsLibrary"_s, u"Il contenuto verrà installato nella raccolta dei contenuti:\r%s"_s);
    l.Add(u"Cab2install"_s, u"File CAB/MCO da installare."_s);
    l.Add(u"ResIns"_s,
          u"L'installazione richiede la creazione di un server web temporaneo.\r"
          u"Non occorre cambiare questa impostazione, a meno che un messaggio di errore lo chieda.\r"
          u"Il server web temporaneo sarà chiuso subito dopo l'installazione."_s);
    l.Add(u"Install"_s, u"Installa"_s);
    l.Add(u"PortUsed"_s,
          u"Usare la modalità Avanzata per scegliere una porta libera.\r"
          u"(es. provare la porta 85 o un numero qualsiasi fino a 65535)"_s);
    l.Add(u"SelectCabFirst"_s, u"Selezionare un file CAB/MCO da installare."_s);
    l.Add(u"InstallCabConfirm"_s,
          u"Il contenuto di %s sarà aggiunto a Messenger.\r"
          u"Assicurarsi di aver eseguito l'accesso a Messenger.\r\r"
          u"Fare clic su OK per continuare."_s);
    l.Add(u"InstallSuccess"_s, u"Contenuto installato correttamente."_s);
    l.Add(u"InstallError"_s,
          u"Si è verificato un errore, probabilmente causato dal file MCO.\r\r"
          u"Se il file MCO è stato creato con il backup di Zorvak, segnalate il problema. Grazie."_s);
    l.Add(u"InstallError2"_s,
          u"Si è verificato un errore. Riprovare l'installazione.\r\r"
          u"Se l'errore si ripete, provare la modalità Avanzata\r"
          u"   per scegliere una porta libera.\r"
          u"(es. provare la porta 85 o un numero qualsiasi fino a 65535)"_s);
    l.Add(u"EnsureSignedIn"_s,
          u"Assicurarsi di aver eseguito l'accesso a MSN/WLM.\r"
          u"Il contenuto sarà installato per l'utente connesso in quel momento."_s);
    l.Add(u"ContCabConf"_s, u"Continuare con l'installazione della parte successiva (%s)?"_s);

    // About window
    l.Add(u"tiAbout"_s, u"Informazioni su Zorvak"_s);
    l.Add(u"AboutNotice"_s, u"Software libero per i vostri contenuti di Messenger"_s);
    l.Add(u"by"_s, u"a cura del team di Zorvak"_s);
    l.Add(u"LastMod"_s, u"Ultima modifica"_s);
    l.Add(u"AboutVersion"_s, u"versione %s - freeware"_s);
    l.Add(u"Months"_s, u"gen\rfeb\rmar\rapr\rmag\rgiu\rlug\rago\rset\rott\rnov\rdic"_s);
    l.Add(u"SpcThx"_s, u"Ringraziamenti"_s);
    l.Add(u"AboutDesc"_s,
          u"Recupera ed esegue il backup di tutte le emoticon personalizzate e degli altri contenuti "
          u"di MSN Messenger e Windows Live Messenger 8.0 presenti sul disco fisso."_s);
    l.Add(u"TranslatedBy"_s, u"Traduzione italiana: il team di Zorvak"_s);
    l.Add(u"Website"_s, u"Sito web"_s);
    l.Add(u"Email"_s, u"E-mail"_s);
    l.Add(u"UseContactForm"_s, u"oppure usate il modulo di contatto sul sito"_s);
    l.Add(u"EmailIns"_s,
          u"Scriveteci pure per domande, suggerimenti, segnalazioni di errori o altro."_s);
    l.Add(u"arrayThanks"_s,
          u"Qt\rle finestre, le immagini e tutto ciò che sta in mezzo\r"
          u"libmspack\rla lettura dei file cabinet\r"
          u"zlib\rla compressione dei nuovi pacchetti\r"
          u"OpenSSL\rla crittografia che decifra i file map\r"
          u"cpp-httplib\ril server web temporaneo che installa i contenuti\r"
          u"SimpleIni\ril file delle impostazioni\r"
          u"GLib e GIO\rl'integrazione con il desktop: aprire ogni file con il programma giusto\r"
          u"GoogleTest\ri test di Zorvak\r"
          u"CMake\rla compilazione di Zorvak\r"
          u"e tutti quelli che hanno provato Zorvak\rGrazie per i commenti e il sostegno!"_s);
    l.Add(u"StoreItemNames"_s, u"Emoticon\rImmagine personale\rSfondo\rWink\rImmagine personale deluxe\rSfondo dinamico"_s);
    l.Add(u"StoreNamesNotRead"_s,
          u"I nomi e le scorciatoie di questa versione di Messenger non vengono letti; gli oggetti prendono il nome dalla loro posizione."_s);

    // The export with names and the Windows account of a copied profile.
    l.Add(u"ExportNamed"_s, u"E&sporta con i nomi"_s);
    l.Add(u"NamedFormat"_s, u"F&ormato"_s);
    l.Add(u"NamedFormats"_s, u"Una cartella per tipo di contenuto\rTema di faccine per Pidgin (emoticon personali)\rPagina web\rFaccine personalizzate di Pidgin (emoticon personali)"_s);
    l.Add(u"NamedOutput"_s, u"Cartella di &destinazione"_s);
    l.Add(u"NamedIncludeDefault"_s, u"Includi il contenuto predefinito di Messenger"_s);
    l.Add(u"btExport"_s, u"Esporta"_s);
    l.Add(u"NamedDone"_s, u"%d oggetti sono stati scritti in:"_s);
    l.Add(u"NamedByFileName"_s, u"Senza indirizzo e-mail i file map non vengono decifrati: gli oggetti prendono il nome del loro file."_s);
    l.Add(u"NamedNoMap"_s, u"Parte del contenuto non ha un file map leggibile: quegli oggetti prendono il nome del loro file."_s);
    l.Add(u"NamedLeftOut"_s, u"%d emoticon sono state escluse: un tema di faccine non accetta emoticon senza scorciatoia, né scorciatoie con un a capo o più lunghe di 63 byte."_s);
    l.Add(u"NamedLeftOutStore"_s, u"%d emoticon sono state escluse: le faccine personalizzate di Pidgin accettano una sola voce per scorciatoia e per immagine, e nessuna senza scorciatoia."_s);
    l.Add(u"NamedFailed"_s, u"Non è stato possibile scrivere questi file:"_s);
    l.Add(u"WinPassword"_s, u"&Password dell'account Windows di questo profilo"_s);
    l.Add(u"PasswordIsHash"_s, u"Hash (SHA-1 o NT, esadecimale)"_s);
    l.Add(u"WinePasswordNotNeeded"_s, u"Non serve: Wine ha protetto i file map di questa cartella"_s);
    l.Add(u"ProtectDir"_s, u"Cartella delle chiavi &master (Microsoft/Protect)"_s);
    l.Add(u"SelectFolder4named"_s, u"Selezionare prima nell'elenco delle cartelle una cartella utente di Messenger (un ID Passport come 157913456) o una sua sottocartella."_s);
    // The file list as thumbnails, its filter, and the names unlocked from the content maps.
    l.Add(u"View"_s, u"&Visualizza"_s);
    l.Add(u"ViewList"_s, u"&Elenco"_s);
    l.Add(u"ViewThumbnails"_s, u"&Miniature"_s);
    l.Add(u"ThumbSize"_s, u"Dimensione delle miniature"_s);
    l.Add(u"FilterHint"_s, u"Filtra per nome file, nome o scorciatoia"_s);
    l.Add(u"UnlockNames"_s, u"Sblocca i &nomi"_s);
    l.Add(u"UnlockNamesOffer"_s, u"I nomi e le scorciatoie di questi contenuti sono cifrati. Sbloccarli con l'indirizzo e-mail e la password di Windows."_s);
    l.Add(u"NamesNeedUserFolder"_s, u"I nomi appartengono a ciascun utente di Messenger.\rSelezionare prima una cartella utente (es. 157913456) o una sua sottocartella."_s);
    l.Add(u"InstallWaiting"_s, u"Un'altra installazione sta usando la libreria dei contenuti: questa attende che finisca."_s);

    l.Add(u"BrowseFolder"_s, u"Scegliere una cartella"_s);
    l.Add(u"BrowseFile"_s, u"Scegliere un file"_s);
    l.Add(u"btBrowse"_s, u"&Sfoglia"_s);
    l.Add(u"HideNotice"_s, u"Nascondere questo avviso"_s);
    l.Add(u"NamesUnlocked"_s, u"Nomi sbloccati per %s"_s);
    l.Add(u"FlashMovie"_s, u"Filmato Flash"_s);
    l.Add(u"FlashDamaged"_s, u"Questo filmato è danneggiato:"_s);
    l.Add(u"FlashFacts"_s, u"%s \u00d7 %s pixel\r%s fotogrammi al secondo\r%d fotogrammi\rFlash versione %d"_s);
    l.Add(u"MainSubtitle"_s, u"Esplorazione e backup dei contenuti di Messenger"_s);
    l.Add(u"Port"_s, u"Porta"_s);
    l.Add(u"SearchDisk"_s, u"&Cerca in un disco o in una cartella"_s);
    l.Add(u"SearchDiskPrompt"_s, u"Seleziona il disco o la cartella in cui cercare il contenuto MSN"_s);
    l.Add(u"SearchDiskFolders"_s, u"Cartelle esaminate: %s"_s);
    l.Add(u"SearchDiskFound"_s, u"Posizioni trovate: %s"_s);
    l.Add(u"SearchDiskNothing"_s, u"Nessun contenuto MSN trovato in\r   %s"_s);
    l.Add(u"SearchDiskOffer"_s, u"Cercarlo ora in un disco o in una cartella?"_s);
    l.Add(u"FoundPackages"_s, u"Pacchetti"_s);
    l.Add(u"AccountEmail"_s, u"&Indirizzo e-mail dell'account"_s);
    l.Add(u"HistoryFilterHint"_s, u"Cerca nella conversazione"_s);
    l.Add(u"HistoryRow"_s, u"%s: %d messaggi, %s \u2013 %s"_s);
    l.Add(u"HistoryRowReading"_s, u"%s: lettura..."_s);
    l.Add(u"HistoryRowRefused"_s, u"%s: illeggibile"_s);
    l.Add(u"HistoryNoTime"_s, u"Data sconosciuta"_s);
    l.Add(u"HistoryCut"_s, u"Questo file finisce prima del previsto (Messenger è stato chiuso mentre lo scriveva): è mostrato ciò che precede l'interruzione.\r%s"_s);
    l.Add(u"HistoryDamaged"_s, u"Questo file è danneggiato: è mostrato ciò che precede il danno.\r%s"_s);
    l.Add(u"HistorySaveFormat"_s, u"Salva le conversazioni di %s come:"_s);
    l.Add(u"HistoryText"_s, u"Testo"_s);
    l.Add(u"HistoryExported"_s, u"%d conversazioni esportate in\r   %s"_s);
    l.Add(u"HistoryProblems"_s, u"Non tutto è stato letto o scritto:"_s);
    l.Add(u"HistoryExporting"_s, u"Esportazione delle conversazioni"_s);
    l.Add(u"Colon"_s, u":"_s);

    return language;
}

} // namespace zorvak
