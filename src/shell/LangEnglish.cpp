// The English catalogue. Entries are added in table order; the composed entries read the texts
// of earlier entries of this same catalogue, accelerator marks included.
#include "shell/uLanguage.h"

using namespace Qt::Literals::StringLiterals;

namespace zorvak {

std::unique_ptr<TLanguage> LoadEnglish()
{
    auto language = std::make_unique<TLanguage>();
    TLanguage &l = *language;

    // Dialog vocabulary
    l.Add(u"_ID"_s, u"EN"_s);
    l.Add(u"mbYes"_s, u"Yes"_s);
    l.Add(u"mbNo"_s, u"No"_s);
    l.Add(u"mbOK"_s, u"OK"_s);
    l.Add(u"mbCancel"_s, u"Cancel"_s);
    l.Add(u"mbAbort"_s, u"Abort"_s);
    l.Add(u"mbRetry"_s, u"Retry"_s);
    l.Add(u"mbIgnore"_s, u"Ignore"_s);
    l.Add(u"mbAll"_s, u"All"_s);
    l.Add(u"mbNoToAll"_s, u"No To All"_s);
    l.Add(u"mbYesToAll"_s, u"Yes To All"_s);
    l.Add(u"mbHelp"_s, u"Help"_s);
    l.Add(u"mtInformation"_s, u"Information"_s);
    l.Add(u"mtConfirmation"_s, u"Confirmation"_s);
    l.Add(u"mtWarning"_s, u"Warning"_s);
    l.Add(u"mtError"_s, u"Error"_s);
    l.Add(u"Close"_s, u"Close"_s);
    l.Add(u"files"_s, u"files"_s);
    l.Add(u"FileNotFound"_s, u"File not found:\r   %s"_s);
    l.Add(u"PassportId"_s, u"MSN Passport ID"_s);

    // Content types
    l.Add(u"Emot"_s, u"Custom Emoticons"_s);
    l.Add(u"Wink"_s, u"Winks"_s);
    l.Add(u"Dp"_s, u"Display Pictures"_s);
    l.Add(u"Ddp"_s, u"Deluxe Display Pictures"_s);
    l.Add(u"Bg"_s, u"Backgrounds"_s);
    l.Add(u"Dbg"_s, u"Dynamic Backgrounds"_s);

    // Main window
    l.Add(u"File"_s, u"&File"_s);
    l.Add(u"Settings"_s, u"&Settings"_s);
    l.Add(u"Exit"_s, u"E&xit"_s);
    l.Add(u"Language"_s, u"&Language"_s);
    l.Add(u"Tools"_s, u"&Tools"_s);
    l.Add(u"CalcId"_s, u"Which is my folder?"_s);
    l.Add(u"Backup"_s, u"&Backup selected folder"_s);
    l.Add(u"Restore"_s, u"&Restore (Install CAB/MCO)"_s);
    l.Add(u"Help"_s, u"&Help"_s);
    l.Add(u"HelpContent"_s, u"&Help (online)"_s);
    l.Add(u"About"_s, u"&About"_s);
    l.Add(u"FolderList"_s, u"Folder List"_s);
    l.Add(u"SelectFolder"_s, u"Options"_s);
    l.Add(u"Auto"_s, u"&Auto scan harddrive"_s);
    l.Add(u"Current"_s, u"Auto scan &current Windows user"_s);
    l.Add(u"Manual"_s, u"&Manually select folder"_s);
    l.Add(u"CachedMSN75"_s, u"Cached MSN 7.5 contacts pics"_s);
    l.Add(u"CachedWLM80"_s, u"Cached WLM contacts pics"_s);
    l.Add(u"HideEmpty"_s, u"&Hide empty folders in Folder List"_s);
    l.Add(u"btBackup"_s, u"Backup"_s);
    l.Add(u"btExploreFolder"_s, u"Open Folder"_s);
    l.Add(u"ExploreFolderHint"_s, u"Open the folder\r   %s\rin Windows Explorer"_s);
    l.Add(u"KnownOnly"_s, u"Only copy recognized files"_s);
    l.Add(u"btSaveFolder"_s, u"Save folder as"_s);
    l.Add(u"SaveFolderHint"_s,
          u"Save the selected folder, with the its subfolders (if any) and all files in them,\r"
          u"applying the above option."_s);
    l.Add(u"FileList"_s, u"File List"_s);
    l.Add(u"FileListHint"_s, u"Showing files in\r   %s"_s);
    l.Add(u"ShowKnownOnly"_s, u"Only show recognized files"_s);
    l.Add(u"Preview"_s, u"Preview"_s);
    l.Add(u"PreviewHint"_s, u"Preview of \r   %s"_s);
    l.Add(u"TotFiles"_s, u"%d files total"_s);
    l.Add(u"TotRecog"_s, u"%d recognized"_s);
    l.Add(u"InCab"_s, u"Inside CAB File"_s);
    l.Add(u"Open"_s, u"Open"_s);
    l.Add(u"OpenWith"_s, u"Open with"_s);
    l.Add(u"SaveAs"_s, u"&Save as"_s);
    l.Add(u"SaveFolderTo"_s, u"Save %s to "_s);

    // Browsing messages
    l.Add(u"PleaseSelectMsnDatDir"_s,
          u"Please select an MSN data folder (or its copy) to explore.\r"
          u"Most commonly in: C:\\Documents and Settings\\{user}\\Application Data\\Microsoft\\MSN Messenger\\{id}"_s);
    l.Add(u"CannotFindMsnData"_s,
          u"Sorry, Zorvak could not find where MSN saves its content.\r"
          u"It is commonly stored under\r"
          u"    C:\\Documents and Settings\\{user}\\Application Data\\Microsoft\\MSN Messenger\\{id}\r"
          u"(Windows XP, MSN Messenger 7.5)\r\r"
          u"Please use "_s + l.Get(u"Settings"_s) + u" to change the paths to search,\r"
          u"   or select "_s + l.Get(u"Manual"_s) + u" from "_s + l.Get(u"SelectFolder"_s) +
          u"\r\r"
          u"We would really appreciate if you can tell us where MSN saves them on your computer,\r"
          u"   so that we can include those locations in auto scan.\r\r"
          u"On Linux it also looks in mounted Windows disks (NTFS and FAT) and in Wine prefixes (~/.wine);\r"
          u"   to see what it shows, start it on the demo profile (ZORVAK_DEMO=1 scripts/run.sh in the sources).\r\r"
          u"Thank you for trying Zorvak."_s);
    l.Add(u"NoCdrom"_s,
          u"Sorry. Zorvak cannot be run from a read-only media.\r\r"
          u"Please make a new folder anywhere on your harddrive,\r"
          u"   copy Zorvak into that folder, and run it from there."_s);
    l.Add(u"NotFixedDrive"_s,
          u"Zorvak is best run from a local harddrive, due to the temporary files\r"
          u"  it creates at run time.\r\r"
          u"To make sure Zorvak works properly, please run Zorvak from a fixed drive.\r\r"
          u"Thank you."_s);
    l.Add(u"PleaseSelectFolder"_s, u"Please select a folder from the "_s + l.Get(u"FolderList"_s));
    l.Add(u"SelectFolderThenFile"_s,
          u"Please select a folder from the "_s + l.Get(u"FolderList"_s) +
          u",\rthen select a file from the "_s + l.Get(u"FileList"_s) + u"."_s);
    l.Add(u"PleaseSelectFile"_s, u"Please select a file from the "_s + l.Get(u"FileList"_s));
    l.Add(u"NFilesCopied"_s, u"%d files has been copied."_s);
    l.Add(u"NFilesNotCopied"_s, u"%d files could not be copied:"_s);
    l.Add(u"FileExistsConfirmation"_s, u"File already exists:\r%s\r\rOverwrite?"_s);
    l.Add(u"MsnDatDirNotFound"_s,
          u"Cannot find directory %s\runder %s\r\rPlease use "_s + l.Get(u"Settings"_s) +
          u" to change the path of %s"_s);
    l.Add(u"ClearFolderListConfirmation"_s, u"Clear "_s + l.Get(u"FolderList"_s) + u"?"_s);
    l.Add(u"IdNotFound"_s, u"%s is not found in "_s + l.Get(u"FolderList"_s));
    l.Add(u"SelectFolder4backup"_s,
          u"The folder '%s' cannot be backed up.\r"
          u"The folder to be backed up has to be an MSN Passport ID\r"
          u"   (e.g. 157913456) or its subfolder.\r\r"
          u"Please select another folder from "_s + l.Get(u"FolderList"_s) + u" to backup."_s);
    l.Add(u"RemovingEmpty"_s, u"Removing empty folders"_s);
    l.Add(u"GettingCached"_s, u"Collecting cached data"_s);
    l.Add(u"UseProfileCache"_s, u"Show the cached pictures of the Windows user %s?\r   %s"_s);
    l.Add(u"CopyingFiles"_s, u"Copying files"_s);
    l.Add(u"MustSelectFolder"_s,
          u"Sorry.\rIn order to backup a content, first you need to show and select\r"
          u"the associated folder in "_s + l.Get(u"FolderList"_s));
    l.Add(u"HideEffect"_s,
          u"This will take effect the next time you select a folder to show.\r"
          u"The next time folders are scanned, no folders will be hidden."_s);
    l.Add(u"tiCalcId"_s, l.Get(u"CalcId"_s));
    l.Add(u"PleaseEnterEmail"_s,
          u"Please enter or select an email address to find out its MSN Passport ID"_s);
    l.Add(u"OkToSelect"_s, u"Click OK to select this user on the "_s + l.Get(u"FolderList"_s));

    // Welcome
    l.Add(u"Welcome"_s, u"Welcome to Zorvak"_s);
    l.Add(u"FirstTimer"_s,
          u"Zorvak has found more than one Passport ID folders.\r\r"
          u"To find out which is yours, click OK to open '"_s + l.Get(u"tiCalcId"_s) +
          u"', and then enter your email address (your Messenger login).\r\r"
          u"You can open it anytime from\r   "_s +
          l.Get(u"Tools"_s) + u" - "_s + l.Get(u"CalcId"_s) + u"... (F5)"_s);

    // Settings dialog
    l.Add(u"SetTabDir"_s, u"Directories"_s);
    l.Add(u"SetTabBackup"_s, u"Backup"_s);
    l.Add(u"DocSetDir"_s, u"'Documents and Settings' directory"_s);
    l.Add(u"AppDatDir"_s, u"'Application Data' directory"_s);
    l.Add(u"MsnDatDir"_s, u"MSN data directory"_s);
    l.Add(u"eg"_s, u"e.g."_s);
    l.Add(u"SetTabIns1"_s, u"Change these settings only if \"Auto scan\" does not work"_s);
    l.Add(u"SetTabIns2"_s,
          u"Changes to the above will make \"Auto scan\" to show the following into "_s +
          l.Get(u"FolderList"_s));
    l.Add(u"SetLayout"_s, u"<Documents and Settings>/<Windows user>/<Application Data>/<MSN data dir>/<Passport ID>/%s"_s);
    l.Add(u"btRestoreCurrent"_s, u"Restore current one"_s);
    l.Add(u"BakIns"_s,
          u"If backup fails, please check if the folder names below are what you really have.\r"
          u"You can see the folders you have in Folder List."_s);
    l.Add(u"ChangeSubfolders"_s, u"Change the folder names under "_s + l.Get(u"MsnDatDir"_s));
    l.Add(u"DirNotFound"_s, u"Directory not found:\r   %s"_s);
    l.Add(u"SettingsSaved"_s,
          u"Settings saved.\rPlease use the Auto scan to scan your hard-drive for Messenger content."_s);

    // Backup dialog
    l.Add(u"tiBackup"_s, u"Backup (to MCO File)"_s);
    l.Add(u"DirOfId"_s, u"Directory"_s);
    l.Add(u"Email4decrypting"_s, u"&Email address for decrypting map files"_s);
    l.Add(u"DecryptIns"_s, u"Decryption process also requires correct Windows account"_s);
    l.Add(u"DecryptInsHint"_s,
          u"To decrypt MSN map files, you need:\r"
          u"1. Correct email address\r"
          u"2. Logged in under the same Windows user account\r"
          u"    (In main window, select \""_s + l.Get(u"SelectFolder"_s) + u"\" - \""_s +
          l.Get(u"Current"_s) + u"\" to show backupable folders)"_s);
    l.Add(u"SelectItems"_s, u"Please select the content you wish to backup"_s);
    l.Add(u"OutputCab"_s, u"&Output MCO file"_s);
    l.Add(u"chConfirm"_s, u"Confirm the files to backup"_s);
    l.Add(u"SkipDefault"_s, u"Ignore default Messenger content"_s);
    l.Add(u"SkipDefaultHint"_s, u"Do not backup default content that everyone has"_s);
    l.Add(u"EmailNotMatch"_s,
          u"The ID of the email (%s) does not match the directory (%s).\r"
          u"Correct email address is necessary to decrypt the map files.\r\r"
          u"Continue anyway?"_s);
    l.Add(u"FailTmpDir"_s, u"Failed to create temporary folder"_s);
    l.Add(u"BackupCheckSettings"_s,
          u"If you think you have selected the right folder and the content does exist,\r"
          u"Please check "_s + l.Get(u"Settings"_s) + u", "_s + l.Get(u"SetTabBackup"_s) +
          u" tab."_s);
    l.Add(u"Retrieving"_s, u"Retrieving %s ..."_s);
    l.Add(u"NoFilesToCab"_s, u"No files to pack. MCO file has NOT been created."_s);
    l.Add(u"GeneratingCab"_s, u"Generating MCO file..."_s);
    l.Add(u"PackedNFiles"_s,
          u"Packed %d files + content.xml into %s\r\rView the file in Windows Explorer?"_s);
    l.Add(u"PackedNCabs"_s,
          u"Messenger cannot handle an MCO file with too many items,\r"
          u"so Zorvak has automatically split them.\r\r"
          u"Packed %d files into %d MCO files (%s)\r\r"
          u"View the file in Windows Explorer?"_s);
    l.Add(u"PackedPartly"_s,
          u"Packed %d files into %s\r\r"
          u"NOT created (error compressing files): %s\r\r"
          u"View the file in Windows Explorer?"_s);
    l.Add(u"PackedNone"_s, u"Error compressing files into: %s\rMCO file has NOT been created."_s);
    l.Add(u"UnsafeLocations"_s,
          u"%s: the map names files outside its folder; they are left out:\r%s"_s);
    l.Add(u"NoFile2backup"_s, u"No files to backup."_s);
    l.Add(u"Overwrite"_s, u"File already exists:\r   %s\r\rOverwrite?"_s);
    l.Add(u"Cancelled"_s, u"Cancelled"_s);

    // Backup confirmation and key validation
    l.Add(u"tiConfirm"_s, u"Backup Confirmation"_s);
    l.Add(u"ConfirmIns"_s,
          u"These files below will be backed up into the MCO file.\r"
          u"You may remove the files you do not want to be put in the MCO file.\r"
          u"You may edit the Key or Name if applicable.\r"
          u"Use Ctrl+Z to undo a cell edit."_s);
    l.Add(u"Remove"_s, u"&Remove"_s);
    l.Add(u"Continue"_s, u"&Continue"_s);
    l.Add(u"btChkDupl"_s, u"Validate keys"_s);
    l.Add(u"ContHint"_s, u"Alt+click this button to skip key validation"_s);
    l.Add(u"CheckinDupl"_s, u"Checking for duplicate keys"_s);
    l.Add(u"NoDupl"_s, u"No duplicate keys found."_s);
    l.Add(u"TotalContent"_s, u"Confirmed content"_s);
    l.Add(u"Removed"_s, u"Removed files"_s);
    l.Add(u"btRestore"_s, u"Restore"_s);
    l.Add(u"Filename"_s, u"Filename"_s);
    l.Add(u"FSizeB"_s, u"Size (bytes)"_s);
    l.Add(u"KeySequence"_s, u"Key"_s);
    l.Add(u"Name"_s, u"Name"_s);
    l.Add(u"tiDuplicateKey"_s, u"Duplicate Keys"_s);
    l.Add(u"tiOverlapKey"_s, u"Overlapping Keys"_s);
    l.Add(u"Edit"_s, u"Edit"_s);
    l.Add(u"Ignore"_s, u"Ignore"_s);
    l.Add(u"KeyBlank"_s, u"The key for %s is blank.\r\rEdit this key?"_s);
    l.Add(u"KeyTooLong"_s, u"The key %s is too long (more than 7 characters).\r\rEdit this key?"_s);
    l.Add(u"KeySpace"_s, u"The key \"%s\" contains space.\r\rEdit this key?"_s);
    l.Add(u"KeyExists"_s, u"The key %s cannot be used because it is a default shortcut."_s);
    l.Add(u"KeyOverlap"_s,
          u"The key %s may not be useful because %s is a default shortcut.\r\rEdit this key?"_s);

    // Restore dialog
    l.Add(u"tiRestore"_s, u"Restore (from CAB/MCO file)"_s);
    l.Add(u"Advanced"_s, u"Advanced"_s);
    l.Add(u"Simple"_s, u"Simple"_s);
    l.Add(u"ResIns1"_s, u"Please sign in to your MSN/WLM first."_s);
    l.Add(u"ResInsLibrary"_s, u"The content will be installed into the content library:\r%s"_s);
    l.Add(u"Cab2install"_s, u"CAB/MCO file to install."_s);
    l.Add(u"ResIns"_s,
          u"The installation process will require a temporary web server to be created.\r"
          u"You do not need to change this setting unless an error message told you to do so.\r"
          u"The temporary web server will be shutdown immediately after installation."_s);
    l.Add(u"Install"_s, u"Install"_s);
    l.Add(u"PortUsed"_s,
          u"Please use the Advanced mode to change the port to a free one.\r"
          u"(e.g. Try port 85 or any number up to 65535)"_s);
    l.Add(u"SelectCabFirst"_s, u"Please select a CAB/MCO file to install."_s);
    l.Add(u"InstallCabConfirm"_s,
          u"This will add the content of %s into your Messenger.\r"
          u"Make sure you are signed in to your Messenger.\r\r"
          u"Click OK to continue."_s);
    l.Add(u"InstallSuccess"_s, u"Content installed successfully."_s);
    l.Add(u"InstallError"_s,
          u"An error has occured, which is probably caused by the MCO file.\r\r"
          u"If the MCO file was created with Zorvak Backup, please report this problem. Thank you."_s);
    l.Add(u"InstallError2"_s,
          u"An error occured. Please try Install once again.\r\r"
          u"If this error occurs more than once, you may try using the Advanced mode\r"
          u"   to change the port to a free one.\r"
          u"(e.g. Try port 85 or any number up to 65535)"_s);
    l.Add(u"EnsureSignedIn"_s,
          u"Make sure you are signed in to your MSN/WLM.\r"
          u"The content will be installed for the currently signed-in user."_s);
    l.Add(u"ContCabConf"_s, u"Continue installing the next part (%s)?"_s);

    // About window
    l.Add(u"tiAbout"_s, u"About Zorvak"_s);
    l.Add(u"AboutNotice"_s, u"Free software for your own Messenger content"_s);
    // The whole line under the notice: the maker named in the sentence of each language.
    l.Add(u"by"_s, u"by the Zorvak team"_s);
    l.Add(u"LastMod"_s, u"Last modified"_s);
    l.Add(u"AboutVersion"_s, u"version %s - Freeware"_s);
    l.Add(u"Months"_s, u"Jan\rFeb\rMar\rApr\rMay\rJun\rJul\rAug\rSep\rOct\rNov\rDec"_s);
    l.Add(u"SpcThx"_s, u"Special thanks to"_s);
    l.Add(u"AboutDesc"_s,
          u"Retrieves and backup all custom emoticons and other contents of MSN Messenger and "
          u"Windows Live Messenger 8.0 from your hard disk."_s);
    // Read only by the other languages; an empty text behaves as a missing entry.
    l.Add(u"TranslatedBy"_s, QString());
    l.Add(u"Website"_s, u"Website"_s);
    l.Add(u"Email"_s, u"Email"_s);
    l.Add(u"UseContactForm"_s, u"or use the contact form on the web"_s);
    l.Add(u"EmailIns"_s, u"Feel free to send questions, suggestions, bug reports or anything."_s);
    // Pairs of lines: what a label shows, then its tooltip.
    l.Add(u"arrayThanks"_s,
          u"Qt\rthe windows, pictures and everything in between\r"
          u"libmspack\rreading cabinet files\r"
          u"zlib\rthe compression inside new packages\r"
          u"OpenSSL\rthe cryptography behind map-file decryption\r"
          u"cpp-httplib\rthe temporary web server that installs content\r"
          u"SimpleIni\rthe settings file\r"
          u"GLib and GIO\rthe desktop integration: opening files with the right program\r"
          u"GoogleTest\rkeeping Zorvak tested\r"
          u"CMake\rbuilding Zorvak\r"
          u"and everyone who tried Zorvak\rThank you for your feedback and support!"_s);
    l.Add(u"StoreItemNames"_s, u"Emoticon\rDisplay picture\rBackground\rWink\rDeluxe display picture\rDynamic background"_s);
    l.Add(u"StoreNamesNotRead"_s,
          u"Names and shortcuts of this Messenger version are not read; the objects are named by position."_s);

    // The export with names and the Windows account of a copied profile.
    l.Add(u"ExportNamed"_s, u"E&xport with names"_s);
    l.Add(u"NamedFormat"_s, u"&Format"_s);
    l.Add(u"NamedFormats"_s, u"One folder for each content type\rSmiley theme for Pidgin (custom emoticons)\rWeb page\rPidgin custom smileys (custom emoticons)"_s);
    l.Add(u"NamedOutput"_s, u"&Output folder"_s);
    l.Add(u"NamedIncludeDefault"_s, u"Include default Messenger content"_s);
    l.Add(u"btExport"_s, u"Export"_s);
    l.Add(u"NamedDone"_s, u"%d objects have been written to:"_s);
    l.Add(u"NamedByFileName"_s, u"Without an email address the map files are not decrypted: the objects are named by their file names."_s);
    l.Add(u"NamedNoMap"_s, u"Some content has no readable map file: those objects are named by their file names."_s);
    l.Add(u"NamedLeftOut"_s, u"%d emoticons were left out: a smiley theme cannot hold an emoticon without a shortcut, nor a shortcut with a line break or longer than 63 bytes."_s);
    l.Add(u"NamedLeftOutStore"_s, u"%d emoticons were left out: Pidgin's custom smileys take one entry for each shortcut and for each picture, and none without a shortcut."_s);
    l.Add(u"NamedFailed"_s, u"These files could not be written:"_s);
    l.Add(u"WinPassword"_s, u"Windows account &password of this profile"_s);
    l.Add(u"PasswordIsHash"_s, u"Hash (SHA-1 or NT, hex)"_s);
    l.Add(u"WinePasswordNotNeeded"_s, u"Not needed: Wine protected the map files of this folder"_s);
    l.Add(u"ProtectDir"_s, u"&Master-key folder (Microsoft/Protect)"_s);
    l.Add(u"SelectFolder4named"_s, u"Select a Messenger user folder (a Passport ID such as 157913456) or one of its subfolders in the folder list first."_s);
    // The file list as thumbnails, its filter, and the names unlocked from the content maps.
    l.Add(u"View"_s, u"&View"_s);
    l.Add(u"ViewList"_s, u"&List"_s);
    l.Add(u"ViewThumbnails"_s, u"&Thumbnails"_s);
    l.Add(u"ThumbSize"_s, u"Thumbnail size"_s);
    l.Add(u"FilterHint"_s, u"Filter by file name, name or shortcut"_s);
    l.Add(u"UnlockNames"_s, u"Unlock &names"_s);
    l.Add(u"UnlockNamesOffer"_s, u"The names and shortcuts of this content are encrypted. Unlock them with the email address and the Windows password."_s);
    l.Add(u"NamesNeedUserFolder"_s, u"Names belong to each Messenger user.\rPlease select a user folder (e.g. 157913456) or one of its subfolders first."_s);
    l.Add(u"InstallWaiting"_s, u"Another installation is using the content library: this one waits for it to finish."_s);

    l.Add(u"BrowseFolder"_s, u"Choose a folder"_s);
    l.Add(u"BrowseFile"_s, u"Choose a file"_s);
    l.Add(u"btBrowse"_s, u"&Browse"_s);
    l.Add(u"HideNotice"_s, u"Hide this notice"_s);
    l.Add(u"NamesUnlocked"_s, u"Names unlocked for %s"_s);
    l.Add(u"FlashMovie"_s, u"Flash movie"_s);
    l.Add(u"FlashDamaged"_s, u"This movie is damaged:"_s);
    l.Add(u"FlashFacts"_s, u"%s \u00d7 %s pixels\r%s frames per second\r%d frames\rFlash version %d"_s);
    l.Add(u"MainSubtitle"_s, u"Messenger content browser and backup"_s);
    l.Add(u"Port"_s, u"Port"_s);
    l.Add(u"SearchDisk"_s, u"Search a &disk or folder"_s);
    l.Add(u"SearchDiskPrompt"_s, u"Select the disk or folder to search for MSN content"_s);
    l.Add(u"SearchDiskFolders"_s, u"Folders searched: %s"_s);
    l.Add(u"SearchDiskFound"_s, u"Places found: %s"_s);
    l.Add(u"SearchDiskNothing"_s, u"No MSN content was found in\r   %s"_s);
    l.Add(u"SearchDiskOffer"_s, u"Search a disk or folder for it now?"_s);
    l.Add(u"FoundPackages"_s, u"Packages"_s);
    l.Add(u"AccountEmail"_s, u"Account &e-mail address"_s);
    l.Add(u"HistoryFilterHint"_s, u"Search the conversation"_s);
    l.Add(u"HistoryRow"_s, u"%s: %d messages, %s \u2013 %s"_s);
    l.Add(u"HistoryRowReading"_s, u"%s: reading..."_s);
    l.Add(u"HistoryRowRefused"_s, u"%s: unreadable"_s);
    l.Add(u"HistoryNoTime"_s, u"Unknown date"_s);
    l.Add(u"HistoryCut"_s, u"This file ends early (Messenger stopped while writing it): what precedes the cut is shown.\r%s"_s);
    l.Add(u"HistoryDamaged"_s, u"This file is damaged: what precedes the damage is shown.\r%s"_s);
    l.Add(u"HistorySaveFormat"_s, u"Save the conversations of %s as:"_s);
    l.Add(u"HistoryText"_s, u"Text"_s);
    l.Add(u"HistoryExported"_s, u"%d conversations exported to\r   %s"_s);
    l.Add(u"HistoryProblems"_s, u"Not everything could be read or written:"_s);
    l.Add(u"HistoryExporting"_s, u"Exporting conversations"_s);
    l.Add(u"Colon"_s, u":"_s);

    return language;
}

} // namespace zorvak
