// The French catalogue: the same keys, order, placeholders and composed entries as the English one.
#include "shell/uLanguage.h"

using namespace Qt::Literals::StringLiterals;

namespace zorvak {

std::unique_ptr<TLanguage> LoadFrench()
{
    auto language = std::make_unique<TLanguage>();
    TLanguage &l = *language;

    // Dialog vocabulary
    l.Add(u"_ID"_s, u"FR"_s);
    l.Add(u"mbYes"_s, u"Oui"_s);
    l.Add(u"mbNo"_s, u"Non"_s);
    l.Add(u"mbOK"_s, u"OK"_s);
    l.Add(u"mbCancel"_s, u"Annuler"_s);
    l.Add(u"mbAbort"_s, u"Arrêter"_s);
    l.Add(u"mbRetry"_s, u"Réessayer"_s);
    l.Add(u"mbIgnore"_s, u"Ignorer"_s);
    l.Add(u"mbAll"_s, u"Tout"_s);
    l.Add(u"mbNoToAll"_s, u"Non pour tous"_s);
    l.Add(u"mbYesToAll"_s, u"Oui pour tous"_s);
    l.Add(u"mbHelp"_s, u"Aide"_s);
    l.Add(u"mtInformation"_s, u"Information"_s);
    l.Add(u"mtConfirmation"_s, u"Confirmation"_s);
    l.Add(u"mtWarning"_s, u"Avertissement"_s);
    l.Add(u"mtError"_s, u"Erreur"_s);
    l.Add(u"Close"_s, u"Fermer"_s);
    l.Add(u"files"_s, u"fichiers"_s);
    l.Add(u"FileNotFound"_s, u"Fichier introuvable\u00a0:\r   %s"_s);
    l.Add(u"PassportId"_s, u"ID Passport MSN"_s);

    // Content types
    l.Add(u"Emot"_s, u"Émoticônes personnalisées"_s);
    l.Add(u"Wink"_s, u"Clins d'œil"_s);
    l.Add(u"Dp"_s, u"Images perso"_s);
    l.Add(u"Ddp"_s, u"Images perso de luxe"_s);
    l.Add(u"Bg"_s, u"Arrière-plans"_s);
    l.Add(u"Dbg"_s, u"Arrière-plans dynamiques"_s);

    // Main window
    l.Add(u"File"_s, u"&Fichier"_s);
    l.Add(u"Settings"_s, u"&Paramètres"_s);
    l.Add(u"Exit"_s, u"&Quitter"_s);
    l.Add(u"Language"_s, u"&Langue"_s);
    l.Add(u"Tools"_s, u"&Outils"_s);
    l.Add(u"CalcId"_s, u"Quel est mon dossier ?"_s);
    l.Add(u"Backup"_s, u"&Sauvegarder le dossier sélectionné"_s);
    l.Add(u"Restore"_s, u"&Restaurer (installer un CAB/MCO)"_s);
    l.Add(u"Help"_s, u"A&ide"_s);
    l.Add(u"HelpContent"_s, u"&Aide (en ligne)"_s);
    l.Add(u"About"_s, u"À &propos"_s);
    l.Add(u"FolderList"_s, u"Liste des dossiers"_s);
    l.Add(u"SelectFolder"_s, u"Options"_s);
    l.Add(u"Auto"_s, u"Analyse &automatique du disque dur"_s);
    l.Add(u"Current"_s, u"Analyse automatique de l'utilisateur Windows &courant"_s);
    l.Add(u"Manual"_s, u"Choix &manuel du dossier"_s);
    l.Add(u"CachedMSN75"_s, u"Images des contacts en cache (MSN 7.5)"_s);
    l.Add(u"CachedWLM80"_s, u"Images des contacts en cache (WLM)"_s);
    l.Add(u"HideEmpty"_s, u"&Masquer les dossiers vides de la Liste des dossiers"_s);
    l.Add(u"btBackup"_s, u"Sauvegarder"_s);
    l.Add(u"btExploreFolder"_s, u"Ouvrir le dossier"_s);
    l.Add(u"ExploreFolderHint"_s, u"Ouvrir le dossier\r   %s\rdans l'Explorateur Windows"_s);
    l.Add(u"KnownOnly"_s, u"Copier seulement les fichiers reconnus"_s);
    l.Add(u"btSaveFolder"_s, u"Enregistrer le dossier sous"_s);
    l.Add(u"SaveFolderHint"_s,
          u"Enregistre le dossier sélectionné, avec ses sous-dossiers (s'il y en a) et tous leurs fichiers,\r"
          u"en appliquant l'option ci-dessus."_s);
    l.Add(u"FileList"_s, u"Liste des fichiers"_s);
    l.Add(u"FileListHint"_s, u"Fichiers affichés de\r   %s"_s);
    l.Add(u"ShowKnownOnly"_s, u"Afficher seulement les fichiers reconnus"_s);
    l.Add(u"Preview"_s, u"Aperçu"_s);
    l.Add(u"PreviewHint"_s, u"Aperçu de \r   %s"_s);
    l.Add(u"TotFiles"_s, u"%d fichiers au total"_s);
    l.Add(u"TotRecog"_s, u"%d reconnus"_s);
    l.Add(u"InCab"_s, u"Contenu du fichier CAB"_s);
    l.Add(u"Open"_s, u"Ouvrir"_s);
    l.Add(u"OpenWith"_s, u"Ouvrir avec"_s);
    l.Add(u"SaveAs"_s, u"&Enregistrer sous"_s);
    l.Add(u"SaveFolderTo"_s, u"Enregistrer %s dans "_s);

    // Browsing messages
    l.Add(u"PleaseSelectMsnDatDir"_s,
          u"Veuillez choisir un dossier de données MSN (ou sa copie) à explorer.\r"
          u"Le plus souvent dans\u00a0: C:\\Documents and Settings\\{user}\\Application Data\\Microsoft\\MSN Messenger\\{id}"_s);
    l.Add(u"CannotFindMsnData"_s,
          u"Désolé, Zorvak n'a pas trouvé où MSN enregistre son contenu.\r"
          u"Il se trouve habituellement sous\r"
          u"    C:\\Documents and Settings\\{user}\\Application Data\\Microsoft\\MSN Messenger\\{id}\r"
          u"(Windows XP, MSN Messenger 7.5)\r\r"
          u"Veuillez utiliser "_s + l.Get(u"Settings"_s) + u" pour changer les chemins à parcourir,\r"
          u"   ou choisir "_s + l.Get(u"Manual"_s) + u" dans "_s + l.Get(u"SelectFolder"_s) +
          u"\r\r"
          u"Nous aimerions beaucoup savoir où MSN les enregistre sur votre ordinateur,\r"
          u"   afin d'ajouter ces emplacements à l'analyse automatique.\r\r"
          u"Sous Linux, il cherche aussi dans les disques Windows montés (NTFS et FAT) et dans les préfixes Wine (~/.wine) ;\r"
          u"   pour voir ce qu'il affiche, lancez-le sur le profil de démonstration (ZORVAK_DEMO=1 scripts/run.sh dans les sources).\r\r"
          u"Merci d'avoir essayé Zorvak."_s);
    l.Add(u"NoCdrom"_s,
          u"Désolé. Zorvak ne peut pas être lancé depuis un support en lecture seule.\r\r"
          u"Veuillez créer un nouveau dossier n'importe où sur votre disque dur,\r"
          u"   y copier Zorvak et le lancer depuis ce dossier."_s);
    l.Add(u"NotFixedDrive"_s,
          u"Zorvak fonctionne mieux depuis un disque dur local, à cause des fichiers temporaires\r"
          u"  qu'il crée pendant son exécution.\r\r"
          u"Pour que Zorvak fonctionne correctement, veuillez le lancer depuis un disque fixe.\r\r"
          u"Merci."_s);
    l.Add(u"PleaseSelectFolder"_s, u"Veuillez choisir un dossier dans la "_s + l.Get(u"FolderList"_s));
    l.Add(u"SelectFolderThenFile"_s,
          u"Veuillez choisir un dossier dans la "_s + l.Get(u"FolderList"_s) +
          u",\rpuis un fichier dans la "_s + l.Get(u"FileList"_s) + u"."_s);
    l.Add(u"PleaseSelectFile"_s, u"Veuillez choisir un fichier dans la "_s + l.Get(u"FileList"_s));
    l.Add(u"NFilesCopied"_s, u"%d fichiers ont été copiés."_s);
    l.Add(u"NFilesNotCopied"_s, u"%d fichiers n'ont pas pu être copiés\u00a0:"_s);
    l.Add(u"FileExistsConfirmation"_s, u"Le fichier existe déjà\u00a0:\r%s\r\rLe remplacer ?"_s);
    l.Add(u"MsnDatDirNotFound"_s,
          u"Impossible de trouver le répertoire %s\rsous %s\r\rVeuillez utiliser "_s +
          l.Get(u"Settings"_s) + u" pour changer le chemin de\u00a0: %s"_s);
    l.Add(u"ClearFolderListConfirmation"_s, u"Vider la "_s + l.Get(u"FolderList"_s) + u" ?"_s);
    l.Add(u"IdNotFound"_s, u"%s est introuvable dans la "_s + l.Get(u"FolderList"_s));
    l.Add(u"SelectFolder4backup"_s,
          u"Le dossier '%s' ne peut pas être sauvegardé.\r"
          u"Le dossier à sauvegarder doit être un ID Passport MSN\r"
          u"   (ex. 157913456) ou l'un de ses sous-dossiers.\r\r"
          u"Veuillez choisir un autre dossier à sauvegarder dans la "_s + l.Get(u"FolderList"_s) +
          u"."_s);
    l.Add(u"RemovingEmpty"_s, u"Suppression des dossiers vides"_s);
    l.Add(u"GettingCached"_s, u"Collecte des données en cache"_s);
    l.Add(u"UseProfileCache"_s, u"Afficher les images en cache de l'utilisateur Windows %s ?\r   %s"_s);
    l.Add(u"CopyingFiles"_s, u"Copie des fichiers"_s);
    l.Add(u"MustSelectFolder"_s,
          u"Désolé.\rPour sauvegarder un contenu, vous devez d'abord afficher et sélectionner\r"
          u"le dossier associé dans la "_s + l.Get(u"FolderList"_s));
    l.Add(u"HideEffect"_s,
          u"Ce choix prendra effet la prochaine fois que vous choisirez un dossier à afficher.\r"
          u"À la prochaine analyse des dossiers, aucun dossier ne sera masqué."_s);
    l.Add(u"tiCalcId"_s, l.Get(u"CalcId"_s));
    l.Add(u"PleaseEnterEmail"_s,
          u"Veuillez saisir ou choisir une adresse e-mail pour trouver son ID Passport MSN"_s);
    l.Add(u"OkToSelect"_s,
          u"Cliquez sur OK pour sélectionner cet utilisateur dans la "_s + l.Get(u"FolderList"_s));

    // Welcome
    l.Add(u"Welcome"_s, u"Bienvenue dans Zorvak"_s);
    l.Add(u"FirstTimer"_s,
          u"Zorvak a trouvé plusieurs dossiers d'ID Passport.\r\r"
          u"Pour savoir lequel est le vôtre, cliquez sur OK pour ouvrir '"_s + l.Get(u"tiCalcId"_s) +
          u"', puis saisissez votre adresse e-mail (votre identifiant Messenger).\r\r"
          u"Vous pouvez l'ouvrir à tout moment depuis\r   "_s +
          l.Get(u"Tools"_s) + u" - "_s + l.Get(u"CalcId"_s) + u"... (F5)"_s);

    // Settings dialog
    l.Add(u"SetTabDir"_s, u"Répertoires"_s);
    l.Add(u"SetTabBackup"_s, u"Sauvegarde"_s);
    l.Add(u"DocSetDir"_s, u"Répertoire 'Documents and Settings'"_s);
    l.Add(u"AppDatDir"_s, u"Répertoire 'Application Data'"_s);
    l.Add(u"MsnDatDir"_s, u"Répertoire des données MSN"_s);
    l.Add(u"eg"_s, u"ex."_s);
    l.Add(u"SetTabIns1"_s,
          u"Ne modifiez ces paramètres que si \"Analyse automatique\" ne fonctionne pas"_s);
    l.Add(u"SetTabIns2"_s,
          u"Avec ces changements, \"Analyse automatique\" affichera ceci dans la "_s +
          l.Get(u"FolderList"_s));
    l.Add(u"SetLayout"_s, u"<Documents and Settings>/<utilisateur Windows>/<Application Data>/<données MSN>/<ID Passport>/%s"_s);
    l.Add(u"btRestoreCurrent"_s, u"Rétablir la valeur actuelle"_s);
    l.Add(u"BakIns"_s,
          u"Si la sauvegarde échoue, vérifiez que les noms de dossiers ci-dessous sont bien ceux que vous avez.\r"
          u"Vous pouvez voir vos dossiers dans la Liste des dossiers."_s);
    l.Add(u"ChangeSubfolders"_s, u"Changer les noms des dossiers sous\u00a0: "_s + l.Get(u"MsnDatDir"_s));
    l.Add(u"DirNotFound"_s, u"Répertoire introuvable\u00a0:\r   %s"_s);
    l.Add(u"SettingsSaved"_s,
          u"Paramètres enregistrés.\r"
          u"Veuillez lancer l'analyse automatique pour rechercher le contenu Messenger sur votre disque dur."_s);

    // Backup dialog
    l.Add(u"tiBackup"_s, u"Sauvegarde (vers un fichier MCO)"_s);
    l.Add(u"DirOfId"_s, u"Répertoire"_s);
    l.Add(u"Email4decrypting"_s, u"&Adresse e-mail pour déchiffrer les fichiers map"_s);
    l.Add(u"DecryptIns"_s, u"Le déchiffrement exige aussi le bon compte Windows"_s);
    l.Add(u"DecryptInsHint"_s,
          u"Pour déchiffrer les fichiers map de MSN, il faut\u00a0:\r"
          u"1. La bonne adresse e-mail\r"
          u"2. Être connecté sous le même compte utilisateur Windows\r"
          u"    (Dans la fenêtre principale, choisissez \""_s + l.Get(u"SelectFolder"_s) +
          u"\" - \""_s + l.Get(u"Current"_s) + u"\" pour afficher les dossiers à sauvegarder)"_s);
    l.Add(u"SelectItems"_s, u"Veuillez choisir le contenu à sauvegarder"_s);
    l.Add(u"OutputCab"_s, u"&Fichier MCO de sortie"_s);
    l.Add(u"chConfirm"_s, u"Confirmer les fichiers à sauvegarder"_s);
    l.Add(u"SkipDefault"_s, u"Ignorer le contenu Messenger par défaut"_s);
    l.Add(u"SkipDefaultHint"_s, u"Ne pas sauvegarder le contenu par défaut que tout le monde possède"_s);
    l.Add(u"EmailNotMatch"_s,
          u"L'ID de l'adresse e-mail (%s) ne correspond pas au répertoire (%s).\r"
          u"La bonne adresse e-mail est nécessaire pour déchiffrer les fichiers map.\r\r"
          u"Continuer quand même ?"_s);
    l.Add(u"FailTmpDir"_s, u"Impossible de créer le dossier temporaire"_s);
    l.Add(u"BackupCheckSettings"_s,
          u"Si vous pensez avoir choisi le bon dossier et que le contenu existe bien,\r"
          u"veuillez vérifier "_s + l.Get(u"Settings"_s) + u", onglet "_s +
          l.Get(u"SetTabBackup"_s) + u"."_s);
    l.Add(u"Retrieving"_s, u"Récupération\u00a0: %s ..."_s);
    l.Add(u"NoFilesToCab"_s, u"Aucun fichier à empaqueter. Le fichier MCO n'a PAS été créé."_s);
    l.Add(u"GeneratingCab"_s, u"Création du fichier MCO..."_s);
    l.Add(u"PackedNFiles"_s,
          u"%d fichiers + content.xml empaquetés dans %s\r\r"
          u"Afficher le fichier dans l'Explorateur Windows ?"_s);
    l.Add(u"PackedNCabs"_s,
          u"Messenger ne sait pas traiter un fichier MCO qui contient trop d'éléments,\r"
          u"Zorvak les a donc répartis automatiquement.\r\r"
          u"%d fichiers empaquetés dans %d fichiers MCO (%s)\r\r"
          u"Afficher le fichier dans l'Explorateur Windows ?"_s);
    l.Add(u"PackedPartly"_s,
          u"%d fichiers empaquetés dans %s\r\r"
          u"NON créé (erreur lors de la compression)\u00a0: %s\r\r"
          u"Afficher le fichier dans l'Explorateur Windows ?"_s);
    l.Add(u"PackedNone"_s, u"Erreur lors de la compression dans\u00a0: %s\rLe fichier MCO n'a PAS été créé."_s);
    l.Add(u"UnsafeLocations"_s,
          u"%s\u00a0: le fichier map désigne des fichiers hors de son dossier ; ils sont ignorés\u00a0:\r%s"_s);
    l.Add(u"NoFile2backup"_s, u"Aucun fichier à sauvegarder."_s);
    l.Add(u"Overwrite"_s, u"Le fichier existe déjà\u00a0:\r   %s\r\rLe remplacer ?"_s);
    l.Add(u"Cancelled"_s, u"Annulé"_s);

    // Backup confirmation and key validation
    l.Add(u"tiConfirm"_s, u"Confirmation de la sauvegarde"_s);
    l.Add(u"ConfirmIns"_s,
          u"Les fichiers ci-dessous seront sauvegardés dans le fichier MCO.\r"
          u"Vous pouvez retirer les fichiers que vous ne voulez pas y mettre.\r"
          u"Vous pouvez modifier le Raccourci ou le Nom le cas échéant.\r"
          u"Ctrl+Z annule la modification d'une cellule."_s);
    l.Add(u"Remove"_s, u"&Retirer"_s);
    l.Add(u"Continue"_s, u"&Continuer"_s);
    l.Add(u"btChkDupl"_s, u"Valider les raccourcis"_s);
    l.Add(u"ContHint"_s, u"Alt+clic sur ce bouton pour sauter la validation des raccourcis"_s);
    l.Add(u"CheckinDupl"_s, u"Recherche des raccourcis en double"_s);
    l.Add(u"NoDupl"_s, u"Aucun raccourci en double."_s);
    l.Add(u"TotalContent"_s, u"Contenu confirmé"_s);
    l.Add(u"Removed"_s, u"Fichiers retirés"_s);
    l.Add(u"btRestore"_s, u"Remettre"_s);
    l.Add(u"Filename"_s, u"Nom du fichier"_s);
    l.Add(u"FSizeB"_s, u"Taille (octets)"_s);
    l.Add(u"KeySequence"_s, u"Raccourci"_s);
    l.Add(u"Name"_s, u"Nom"_s);
    l.Add(u"tiDuplicateKey"_s, u"Raccourcis en double"_s);
    l.Add(u"tiOverlapKey"_s, u"Raccourcis qui se chevauchent"_s);
    l.Add(u"Edit"_s, u"Modifier"_s);
    l.Add(u"Ignore"_s, u"Ignorer"_s);
    l.Add(u"KeyBlank"_s, u"Le raccourci de %s est vide.\r\rModifier ce raccourci ?"_s);
    l.Add(u"KeyTooLong"_s,
          u"Le raccourci %s est trop long (plus de 7 caractères).\r\rModifier ce raccourci ?"_s);
    l.Add(u"KeySpace"_s, u"Le raccourci \"%s\" contient une espace.\r\rModifier ce raccourci ?"_s);
    l.Add(u"KeyExists"_s,
          u"Le raccourci %s ne peut pas être utilisé car c'est un raccourci par défaut."_s);
    l.Add(u"KeyOverlap"_s,
          u"Le raccourci %s risque d'être inutile car %s est un raccourci par défaut.\r\r"
          u"Modifier ce raccourci ?"_s);

    // Restore dialog
    l.Add(u"tiRestore"_s, u"Restauration (depuis un fichier CAB/MCO)"_s);
    l.Add(u"Advanced"_s, u"Avancé"_s);
    l.Add(u"Simple"_s, u"Simple"_s);
    l.Add(u"ResIns1"_s, u"Veuillez d'abord vous connecter à MSN/WLM."_s);
    l.Add(u"ResInsLibrary"_s, u"Le contenu sera installé dans la bibliothèque de contenu\u00a0:\r%s"_s);
    l.Add(u"Cab2install"_s, u"Fichier CAB/MCO à installer."_s);
    l.Add(u"ResIns"_s,
          u"L'installation nécessite la création d'un serveur web temporaire.\r"
          u"Vous n'avez pas à modifier ce réglage, sauf si un message d'erreur vous l'a demandé.\r"
          u"Le serveur web temporaire sera arrêté dès la fin de l'installation."_s);
    l.Add(u"Install"_s, u"Installer"_s);
    l.Add(u"PortUsed"_s,
          u"Veuillez utiliser le mode Avancé pour choisir un port libre.\r"
          u"(ex. essayez le port 85 ou tout nombre jusqu'à 65535)"_s);
    l.Add(u"SelectCabFirst"_s, u"Veuillez choisir un fichier CAB/MCO à installer."_s);
    l.Add(u"InstallCabConfirm"_s,
          u"Le contenu de %s va être ajouté à votre Messenger.\r"
          u"Assurez-vous d'être connecté à votre Messenger.\r\r"
          u"Cliquez sur OK pour continuer."_s);
    l.Add(u"InstallSuccess"_s, u"Contenu installé avec succès."_s);
    l.Add(u"InstallError"_s,
          u"Une erreur s'est produite, probablement à cause du fichier MCO.\r\r"
          u"Si le fichier MCO a été créé par la sauvegarde de Zorvak, merci de signaler ce problème."_s);
    l.Add(u"InstallError2"_s,
          u"Une erreur s'est produite. Veuillez relancer l'installation.\r\r"
          u"Si cette erreur se répète, essayez le mode Avancé\r"
          u"   pour choisir un port libre.\r"
          u"(ex. essayez le port 85 ou tout nombre jusqu'à 65535)"_s);
    l.Add(u"EnsureSignedIn"_s,
          u"Assurez-vous d'être connecté à MSN/WLM.\r"
          u"Le contenu sera installé pour l'utilisateur actuellement connecté."_s);
    l.Add(u"ContCabConf"_s, u"Continuer avec l'installation de la partie suivante (%s) ?"_s);

    // About window
    l.Add(u"tiAbout"_s, u"À propos de Zorvak"_s);
    l.Add(u"AboutNotice"_s, u"Logiciel libre pour votre propre contenu Messenger"_s);
    l.Add(u"by"_s, u"par l'équipe Zorvak"_s);
    l.Add(u"LastMod"_s, u"Dernière modification"_s);
    l.Add(u"AboutVersion"_s, u"version %s - logiciel gratuit"_s);
    l.Add(u"Months"_s, u"janv.\rfévr.\rmars\ravr.\rmai\rjuin\rjuil.\raoût\rsept.\roct.\rnov.\rdéc."_s);
    l.Add(u"SpcThx"_s, u"Remerciements"_s);
    l.Add(u"AboutDesc"_s,
          u"Retrouve et sauvegarde toutes les émoticônes personnalisées et les autres contenus de "
          u"MSN Messenger et Windows Live Messenger 8.0 présents sur votre disque dur."_s);
    l.Add(u"TranslatedBy"_s, u"Traduction française\u00a0: l'équipe Zorvak"_s);
    l.Add(u"Website"_s, u"Site web"_s);
    l.Add(u"Email"_s, u"E-mail"_s);
    l.Add(u"UseContactForm"_s, u"ou utilisez le formulaire de contact du site"_s);
    l.Add(u"EmailIns"_s,
          u"N'hésitez pas à envoyer questions, suggestions, rapports de bogues ou autres."_s);
    l.Add(u"arrayThanks"_s,
          u"Qt\rles fenêtres, les images et tout ce qui les relie\r"
          u"libmspack\rla lecture des fichiers cabinet\r"
          u"zlib\rla compression des nouveaux paquets\r"
          u"OpenSSL\rla cryptographie qui déchiffre les fichiers map\r"
          u"cpp-httplib\rle serveur web temporaire qui installe le contenu\r"
          u"SimpleIni\rle fichier des paramètres\r"
          u"GLib et GIO\rl'intégration au bureau\u00a0: ouvrir chaque fichier avec le bon programme\r"
          u"GoogleTest\rles tests de Zorvak\r"
          u"CMake\rla construction de Zorvak\r"
          u"et tous ceux qui ont essayé Zorvak\rMerci de vos remarques et de votre soutien !"_s);
    l.Add(u"StoreItemNames"_s, u"Émoticône\rImage perso\rArrière-plan\rClin d'œil\rImage perso de luxe\rArrière-plan dynamique"_s);
    l.Add(u"StoreNamesNotRead"_s,
          u"Les noms et raccourcis de cette version de Messenger ne sont pas lus ; les objets sont nommés d'après leur position."_s);

    // The export with names and the Windows account of a copied profile.
    l.Add(u"ExportNamed"_s, u"E&xporter avec les noms"_s);
    l.Add(u"NamedFormat"_s, u"&Format"_s);
    l.Add(u"NamedFormats"_s, u"Un dossier par type de contenu\rThème de smileys pour Pidgin (émoticônes perso)\rPage web\rSmileys personnalisés de Pidgin (émoticônes perso)"_s);
    l.Add(u"NamedOutput"_s, u"&Dossier de sortie"_s);
    l.Add(u"NamedIncludeDefault"_s, u"Inclure le contenu Messenger par défaut"_s);
    l.Add(u"btExport"_s, u"Exporter"_s);
    l.Add(u"NamedDone"_s, u"%d objets ont été écrits dans\u00a0:"_s);
    l.Add(u"NamedByFileName"_s, u"Sans adresse e-mail, les fichiers map ne sont pas déchiffrés\u00a0: les objets portent le nom de leur fichier."_s);
    l.Add(u"NamedNoMap"_s, u"Une partie du contenu n'a pas de fichier map lisible\u00a0: ces objets portent le nom de leur fichier."_s);
    l.Add(u"NamedLeftOut"_s, u"%d émoticônes ont été laissées de côté\u00a0: un thème de smileys n'accepte ni émoticône sans raccourci, ni raccourci avec un saut de ligne ou de plus de 63 octets."_s);
    l.Add(u"NamedLeftOutStore"_s, u"%d émoticônes ont été laissées de côté\u00a0: les smileys personnalisés de Pidgin n'acceptent qu'une entrée par raccourci et par image, et aucune sans raccourci."_s);
    l.Add(u"NamedFailed"_s, u"Ces fichiers n'ont pas pu être écrits\u00a0:"_s);
    l.Add(u"WinPassword"_s, u"Mot de &passe du compte Windows de ce profil"_s);
    l.Add(u"PasswordIsHash"_s, u"Hachage (SHA-1 ou NT, hex)"_s);
    l.Add(u"WinePasswordNotNeeded"_s, u"Inutile\u00a0: Wine a protégé les fichiers map de ce dossier"_s);
    l.Add(u"ProtectDir"_s, u"Dossier des clés &maîtres (Microsoft/Protect)"_s);
    l.Add(u"SelectFolder4named"_s, u"Sélectionnez d'abord dans la liste des dossiers un dossier d'utilisateur Messenger (un ID Passport comme 157913456) ou l'un de ses sous-dossiers."_s);
    // The file list as thumbnails, its filter, and the names unlocked from the content maps.
    l.Add(u"View"_s, u"&Affichage"_s);
    l.Add(u"ViewList"_s, u"&Liste"_s);
    l.Add(u"ViewThumbnails"_s, u"&Miniatures"_s);
    l.Add(u"ThumbSize"_s, u"Taille des miniatures"_s);
    l.Add(u"FilterHint"_s, u"Filtrer par nom de fichier, nom ou raccourci"_s);
    l.Add(u"UnlockNames"_s, u"Déverrouiller les &noms"_s);
    l.Add(u"UnlockNamesOffer"_s, u"Les noms et les raccourcis de ce contenu sont chiffrés. Déverrouillez-les avec l'adresse e-mail et le mot de passe Windows."_s);
    l.Add(u"NamesNeedUserFolder"_s, u"Les noms sont propres à chaque utilisateur de Messenger.\rSélectionnez d'abord un dossier d'utilisateur (ex. 157913456) ou l'un de ses sous-dossiers."_s);
    l.Add(u"InstallWaiting"_s, u"Une autre installation utilise la bibliothèque de contenu\u00a0: celle-ci attend qu'elle se termine."_s);

    l.Add(u"BrowseFolder"_s, u"Choisir un dossier"_s);
    l.Add(u"BrowseFile"_s, u"Choisir un fichier"_s);
    l.Add(u"btBrowse"_s, u"&Parcourir"_s);
    l.Add(u"HideNotice"_s, u"Masquer cet avis"_s);
    l.Add(u"NamesUnlocked"_s, u"Noms déverrouillés pour %s"_s);
    l.Add(u"FlashMovie"_s, u"Animation Flash"_s);
    l.Add(u"FlashDamaged"_s, u"Cette animation est endommagée\u00a0:"_s);
    l.Add(u"FlashFacts"_s, u"%s \u00d7 %s pixels\r%s images par seconde\r%d images\rFlash version %d"_s);
    l.Add(u"MainSubtitle"_s, u"Explorateur et sauvegarde du contenu Messenger"_s);
    l.Add(u"Port"_s, u"Port"_s);
    l.Add(u"SearchDisk"_s, u"&Chercher sur un disque ou dans un dossier"_s);
    l.Add(u"SearchDiskPrompt"_s, u"Sélectionnez le disque ou le dossier où chercher le contenu MSN"_s);
    l.Add(u"SearchDiskFolders"_s, u"Dossiers parcourus : %s"_s);
    l.Add(u"SearchDiskFound"_s, u"Emplacements trouvés : %s"_s);
    l.Add(u"SearchDiskNothing"_s, u"Aucun contenu MSN n'a été trouvé dans\r   %s"_s);
    l.Add(u"SearchDiskOffer"_s, u"Le chercher maintenant sur un disque ou dans un dossier ?"_s);
    l.Add(u"FoundPackages"_s, u"Paquets"_s);
    l.Add(u"AccountEmail"_s, u"&Adresse e-mail du compte"_s);
    l.Add(u"HistoryFilterHint"_s, u"Chercher dans la conversation"_s);
    l.Add(u"HistoryRow"_s, u"%s : %d messages, %s \u2013 %s"_s);
    l.Add(u"HistoryRowReading"_s, u"%s : lecture..."_s);
    l.Add(u"HistoryRowRefused"_s, u"%s : illisible"_s);
    l.Add(u"HistoryNoTime"_s, u"Date inconnue"_s);
    l.Add(u"HistoryCut"_s, u"Ce fichier s'arrête avant la fin (Messenger a été arrêté pendant son écriture) : ce qui précède la coupure est affiché.\r%s"_s);
    l.Add(u"HistoryDamaged"_s, u"Ce fichier est endommagé : ce qui précède le dommage est affiché.\r%s"_s);
    l.Add(u"HistorySaveFormat"_s, u"Enregistrer les conversations de %s en :"_s);
    l.Add(u"HistoryText"_s, u"Texte"_s);
    l.Add(u"HistoryExported"_s, u"%d conversations exportées dans\r   %s"_s);
    l.Add(u"HistoryProblems"_s, u"Tout n'a pas pu être lu ou écrit :"_s);
    l.Add(u"HistoryExporting"_s, u"Exportation des conversations"_s);
    l.Add(u"Colon"_s, u"\u00A0:"_s);

    return language;
}

} // namespace zorvak
