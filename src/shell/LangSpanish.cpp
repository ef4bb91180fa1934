// The Spanish catalogue: the same keys, order, placeholders and composed entries as the English one.
#include "shell/uLanguage.h"

using namespace Qt::Literals::StringLiterals;

namespace zorvak {

std::unique_ptr<TLanguage> LoadSpanish()
{
    auto language = std::make_unique<TLanguage>();
    TLanguage &l = *language;

    // Dialog vocabulary
    l.Add(u"_ID"_s, u"SP"_s);
    l.Add(u"mbYes"_s, u"Si"_s);
    l.Add(u"mbNo"_s, u"No"_s);
    l.Add(u"mbOK"_s, u"OK"_s);
    l.Add(u"mbCancel"_s, u"Cancelar"_s);
    l.Add(u"mbAbort"_s, u"Abortar"_s);
    l.Add(u"mbRetry"_s, u"Reintentar"_s);
    l.Add(u"mbIgnore"_s, u"Ignorar"_s);
    l.Add(u"mbAll"_s, u"Todo"_s);
    l.Add(u"mbNoToAll"_s, u"No A Todo"_s);
    l.Add(u"mbYesToAll"_s, u"Si A Todo"_s);
    l.Add(u"mbHelp"_s, u"Ayuda"_s);
    l.Add(u"mtInformation"_s, u"Información"_s);
    l.Add(u"mtConfirmation"_s, u"Confirmación"_s);
    l.Add(u"mtWarning"_s, u"Aviso"_s);
    l.Add(u"mtError"_s, u"Error"_s);
    l.Add(u"Close"_s, u"Cerrar"_s);
    l.Add(u"files"_s, u"archivos"_s);
    l.Add(u"FileNotFound"_s, u"Archivo no encontrado:\r   %s"_s);
    l.Add(u"PassportId"_s, u"ID de Passport de MSN"_s);

    // Content types
    l.Add(u"Emot"_s, u"Emoticonos personalizados"_s);
    l.Add(u"Wink"_s, u"Guiños"_s);
    l.Add(u"Dp"_s, u"Imágenes para mostrar"_s);
    l.Add(u"Ddp"_s, u"Imágenes para mostrar de lujo"_s);
    l.Add(u"Bg"_s, u"Fondos"_s);
    l.Add(u"Dbg"_s, u"Fondos dinámicos"_s);

    // Main window
    l.Add(u"File"_s, u"&Archivo"_s);
    l.Add(u"Settings"_s, u"&Configuración"_s);
    l.Add(u"Exit"_s, u"&Salir"_s);
    l.Add(u"Language"_s, u"&Idioma"_s);
    l.Add(u"Tools"_s, u"&Herramientas"_s);
    l.Add(u"CalcId"_s, u"¿Cuál es mi carpeta?"_s);
    l.Add(u"Backup"_s, u"Copia de &seguridad de la carpeta seleccionada"_s);
    l.Add(u"Restore"_s, u"&Restaurar (instalar CAB/MCO)"_s);
    l.Add(u"Help"_s, u"A&yuda"_s);
    l.Add(u"HelpContent"_s, u"A&yuda (en línea)"_s);
    l.Add(u"About"_s, u"&Acerca de"_s);
    l.Add(u"FolderList"_s, u"Lista de carpetas"_s);
    l.Add(u"SelectFolder"_s, u"Opciones"_s);
    l.Add(u"Auto"_s, u"Búsqueda &automática en el disco duro"_s);
    l.Add(u"Current"_s, u"Búsqueda automática del usuario de Windows a&ctual"_s);
    l.Add(u"Manual"_s, u"Seleccionar carpeta &manualmente"_s);
    l.Add(u"CachedMSN75"_s, u"Imágenes de contactos en caché (MSN 7.5)"_s);
    l.Add(u"CachedWLM80"_s, u"Imágenes de contactos en caché (WLM)"_s);
    l.Add(u"HideEmpty"_s, u"&Ocultar las carpetas vacías en la Lista de carpetas"_s);
    l.Add(u"btBackup"_s, u"Copia de seguridad"_s);
    l.Add(u"btExploreFolder"_s, u"Abrir carpeta"_s);
    l.Add(u"ExploreFolderHint"_s, u"Abrir la carpeta\r   %s\ren el Explorador de Windows"_s);
    l.Add(u"KnownOnly"_s, u"Copiar sólo los archivos reconocidos"_s);
    l.Add(u"btSaveFolder"_s, u"Guardar carpeta como"_s);
    l.Add(u"SaveFolderHint"_s,
          u"Guarda la carpeta seleccionada, con sus subcarpetas (si las hay) y todos sus archivos,\r"
          u"aplicando la opción de arriba."_s);
    l.Add(u"FileList"_s, u"Lista de archivos"_s);
    l.Add(u"FileListHint"_s, u"Archivos mostrados de\r   %s"_s);
    l.Add(u"ShowKnownOnly"_s, u"Mostrar sólo los archivos reconocidos"_s);
    l.Add(u"Preview"_s, u"Vista previa"_s);
    l.Add(u"PreviewHint"_s, u"Vista previa de \r   %s"_s);
    l.Add(u"TotFiles"_s, u"%d archivos en total"_s);
    l.Add(u"TotRecog"_s, u"%d reconocidos"_s);
    l.Add(u"InCab"_s, u"Contenido del archivo CAB"_s);
    l.Add(u"Open"_s, u"Abrir"_s);
    l.Add(u"OpenWith"_s, u"Abrir con"_s);
    l.Add(u"SaveAs"_s, u"&Guardar como"_s);
    l.Add(u"SaveFolderTo"_s, u"Guardar %s en "_s);

    // Browsing messages
    l.Add(u"PleaseSelectMsnDatDir"_s,
          u"Seleccione una carpeta de datos de MSN (o una copia) para explorar.\r"
          u"Normalmente en: C:\\Documents and Settings\\{user}\\Application Data\\Microsoft\\MSN Messenger\\{id}"_s);
    l.Add(u"CannotFindMsnData"_s,
          u"Lo sentimos, Zorvak no encontró dónde guarda MSN su contenido.\r"
          u"Normalmente se guarda en\r"
          u"    C:\\Documents and Settings\\{user}\\Application Data\\Microsoft\\MSN Messenger\\{id}\r"
          u"(Windows XP, MSN Messenger 7.5)\r\r"
          u"Utilice "_s + l.Get(u"Settings"_s) + u" para cambiar las rutas de búsqueda,\r"
          u"   o elija "_s + l.Get(u"Manual"_s) + u" en "_s + l.Get(u"SelectFolder"_s) +
          u"\r\r"
          u"Le agradeceríamos mucho que nos dijera dónde los guarda MSN en su ordenador,\r"
          u"   para incluir esas ubicaciones en la búsqueda automática.\r\r"
          u"En Linux también busca en los discos de Windows montados (NTFS y FAT) y en los prefijos de Wine (~/.wine);\r"
          u"   para ver lo que muestra, inícielo con el perfil de demostración (ZORVAK_DEMO=1 scripts/run.sh en las fuentes).\r\r"
          u"Gracias por probar Zorvak."_s);
    l.Add(u"NoCdrom"_s,
          u"Lo sentimos. Zorvak no se puede ejecutar desde un medio de sólo lectura.\r\r"
          u"Cree una carpeta nueva en cualquier lugar de su disco duro,\r"
          u"   copie Zorvak en esa carpeta y ejecútelo desde allí."_s);
    l.Add(u"NotFixedDrive"_s,
          u"Zorvak funciona mejor desde un disco duro local, por los archivos temporales\r"
          u"  que crea durante la ejecución.\r\r"
          u"Para que Zorvak funcione correctamente, ejecútelo desde un disco fijo.\r\r"
          u"Gracias."_s);
    l.Add(u"PleaseSelectFolder"_s, u"Seleccione una carpeta de la "_s + l.Get(u"FolderList"_s));
    l.Add(u"SelectFolderThenFile"_s,
          u"Seleccione una carpeta de la "_s + l.Get(u"FolderList"_s) +
          u",\ry después un archivo de la "_s + l.Get(u"FileList"_s) + u"."_s);
    l.Add(u"PleaseSelectFile"_s, u"Seleccione un archivo de la "_s + l.Get(u"FileList"_s));
    l.Add(u"NFilesCopied"_s, u"Se han copiado %d archivos."_s);
    l.Add(u"NFilesNotCopied"_s, u"No se han podido copiar %d archivos:"_s);
    l.Add(u"FileExistsConfirmation"_s, u"El archivo ya existe:\r%s\r\r¿Sobrescribirlo?"_s);
    l.Add(u"MsnDatDirNotFound"_s,
          u"No se encuentra la carpeta %s\ren %s\r\rUtilice "_s + l.Get(u"Settings"_s) +
          u" para cambiar la ruta de: %s"_s);
    l.Add(u"ClearFolderListConfirmation"_s, u"¿Vaciar la "_s + l.Get(u"FolderList"_s) + u"?"_s);
    l.Add(u"IdNotFound"_s, u"%s no está en la "_s + l.Get(u"FolderList"_s));
    l.Add(u"SelectFolder4backup"_s,
          u"No se puede hacer copia de seguridad de la carpeta '%s'.\r"
          u"La carpeta debe ser un ID de Passport de MSN\r"
          u"   (p. ej. 157913456) o una de sus subcarpetas.\r\r"
          u"Seleccione otra carpeta de la "_s + l.Get(u"FolderList"_s) +
          u" para la copia de seguridad."_s);
    l.Add(u"RemovingEmpty"_s, u"Quitando las carpetas vacías"_s);
    l.Add(u"GettingCached"_s, u"Recogiendo los datos de la caché"_s);
    l.Add(u"UseProfileCache"_s, u"¿Mostrar las imágenes en caché del usuario de Windows %s?\r   %s"_s);
    l.Add(u"CopyingFiles"_s, u"Copiando archivos"_s);
    l.Add(u"MustSelectFolder"_s,
          u"Lo sentimos.\rPara hacer copia de seguridad de un contenido, primero debe mostrar y seleccionar\r"
          u"la carpeta correspondiente en la "_s + l.Get(u"FolderList"_s));
    l.Add(u"HideEffect"_s,
          u"El cambio se aplicará la próxima vez que seleccione una carpeta para mostrar.\r"
          u"La próxima vez que se busquen carpetas, no se ocultará ninguna."_s);
    l.Add(u"tiCalcId"_s, l.Get(u"CalcId"_s));
    l.Add(u"PleaseEnterEmail"_s,
          u"Escriba o seleccione una dirección de correo para averiguar su ID de Passport de MSN"_s);
    l.Add(u"OkToSelect"_s,
          u"Pulse OK para seleccionar este usuario en la "_s + l.Get(u"FolderList"_s));

    // Welcome
    l.Add(u"Welcome"_s, u"Bienvenido a Zorvak"_s);
    l.Add(u"FirstTimer"_s,
          u"Zorvak ha encontrado más de una carpeta de ID de Passport.\r\r"
          u"Para saber cuál es la suya, pulse OK para abrir '"_s + l.Get(u"tiCalcId"_s) +
          u"', y escriba su dirección de correo (su inicio de sesión de Messenger).\r\r"
          u"Puede abrirla en cualquier momento desde\r   "_s +
          l.Get(u"Tools"_s) + u" - "_s + l.Get(u"CalcId"_s) + u"... (F5)"_s);

    // Settings dialog
    l.Add(u"SetTabDir"_s, u"Carpetas"_s);
    l.Add(u"SetTabBackup"_s, u"Copia de seguridad"_s);
    l.Add(u"DocSetDir"_s, u"Carpeta 'Documents and Settings'"_s);
    l.Add(u"AppDatDir"_s, u"Carpeta 'Application Data'"_s);
    l.Add(u"MsnDatDir"_s, u"Carpeta de datos de MSN"_s);
    l.Add(u"eg"_s, u"p. ej."_s);
    l.Add(u"SetTabIns1"_s,
          u"Cambie estos ajustes sólo si la \"Búsqueda automática\" no funciona"_s);
    l.Add(u"SetTabIns2"_s,
          u"Con estos cambios, la \"Búsqueda automática\" mostrará lo siguiente en la "_s +
          l.Get(u"FolderList"_s));
    l.Add(u"SetLayout"_s, u"<Documents and Settings>/<usuario de Windows>/<Application Data>/<datos de MSN>/<ID de Passport>/%s"_s);
    l.Add(u"btRestoreCurrent"_s, u"Restaurar el actual"_s);
    l.Add(u"BakIns"_s,
          u"Si la copia de seguridad falla, compruebe que los nombres de carpeta de abajo son los que realmente tiene.\r"
          u"Puede ver sus carpetas en la Lista de carpetas."_s);
    l.Add(u"ChangeSubfolders"_s, u"Cambiar los nombres de carpeta en: "_s + l.Get(u"MsnDatDir"_s));
    l.Add(u"DirNotFound"_s, u"Carpeta no encontrada:\r   %s"_s);
    l.Add(u"SettingsSaved"_s,
          u"Configuración guardada.\r"
          u"Utilice la búsqueda automática para buscar el contenido de Messenger en su disco duro."_s);

    // Backup dialog
    l.Add(u"tiBackup"_s, u"Copia de seguridad (a un archivo MCO)"_s);
    l.Add(u"DirOfId"_s, u"Carpeta"_s);
    l.Add(u"Email4decrypting"_s, u"&Dirección de correo para descifrar los archivos map"_s);
    l.Add(u"DecryptIns"_s, u"El descifrado también requiere la cuenta de Windows correcta"_s);
    l.Add(u"DecryptInsHint"_s,
          u"Para descifrar los archivos map de MSN se necesita:\r"
          u"1. La dirección de correo correcta\r"
          u"2. Haber iniciado sesión con la misma cuenta de usuario de Windows\r"
          u"    (En la ventana principal, elija \""_s + l.Get(u"SelectFolder"_s) + u"\" - \""_s +
          l.Get(u"Current"_s) + u"\" para mostrar las carpetas que se pueden copiar)"_s);
    l.Add(u"SelectItems"_s, u"Seleccione el contenido que desea copiar"_s);
    l.Add(u"OutputCab"_s, u"Archivo MCO de &salida"_s);
    l.Add(u"chConfirm"_s, u"Confirmar los archivos que se copiarán"_s);
    l.Add(u"SkipDefault"_s, u"Ignorar el contenido predeterminado de Messenger"_s);
    l.Add(u"SkipDefaultHint"_s, u"No copiar el contenido predeterminado que todos tienen"_s);
    l.Add(u"EmailNotMatch"_s,
          u"El ID de la dirección de correo (%s) no coincide con la carpeta (%s).\r"
          u"Se necesita la dirección de correo correcta para descifrar los archivos map.\r\r"
          u"¿Continuar de todos modos?"_s);
    l.Add(u"FailTmpDir"_s, u"No se pudo crear la carpeta temporal"_s);
    l.Add(u"BackupCheckSettings"_s,
          u"Si cree que ha seleccionado la carpeta correcta y que el contenido existe,\r"
          u"compruebe "_s + l.Get(u"Settings"_s) + u", pestaña "_s + l.Get(u"SetTabBackup"_s) +
          u"."_s);
    l.Add(u"Retrieving"_s, u"Recuperando %s ..."_s);
    l.Add(u"NoFilesToCab"_s, u"No hay archivos que empaquetar. NO se ha creado el archivo MCO."_s);
    l.Add(u"GeneratingCab"_s, u"Generando el archivo MCO..."_s);
    l.Add(u"PackedNFiles"_s,
          u"Se han empaquetado %d archivos + content.xml en %s\r\r"
          u"¿Ver el archivo en el Explorador de Windows?"_s);
    l.Add(u"PackedNCabs"_s,
          u"Messenger no puede manejar un archivo MCO con demasiados elementos,\r"
          u"así que Zorvak los ha dividido automáticamente.\r\r"
          u"Se han empaquetado %d archivos en %d archivos MCO (%s)\r\r"
          u"¿Ver el archivo en el Explorador de Windows?"_s);
    l.Add(u"PackedPartly"_s,
          u"Se han empaquetado %d archivos en %s\r\r"
          u"NO creado (error al comprimir): %s\r\r"
          u"¿Ver el archivo en el Explorador de Windows?"_s);
    l.Add(u"PackedNone"_s, u"Error al comprimir en: %s\rNO se ha creado el archivo MCO."_s);
    l.Add(u"UnsafeLocations"_s,
          u"%s: el archivo map indica archivos fuera de su carpeta; se omiten:\r%s"_s);
    l.Add(u"NoFile2backup"_s, u"No hay archivos que copiar."_s);
    l.Add(u"Overwrite"_s, u"El archivo ya existe:\r   %s\r\r¿Sobrescribirlo?"_s);
    l.Add(u"Cancelled"_s, u"Cancelado"_s);

    // Backup confirmation and key validation
    l.Add(u"tiConfirm"_s, u"Confirmación de la copia de seguridad"_s);
    l.Add(u"ConfirmIns"_s,
          u"Los archivos de abajo se guardarán en el archivo MCO.\r"
          u"Puede quitar los archivos que no quiera poner en el archivo MCO.\r"
          u"Puede editar el Atajo o el Nombre cuando corresponda.\r"
          u"Ctrl+Z deshace la edición de una celda."_s);
    l.Add(u"Remove"_s, u"&Quitar"_s);
    l.Add(u"Continue"_s, u"&Continuar"_s);
    l.Add(u"btChkDupl"_s, u"Validar atajos"_s);
    l.Add(u"ContHint"_s, u"Alt+clic en este botón para omitir la validación de atajos"_s);
    l.Add(u"CheckinDupl"_s, u"Buscando atajos duplicados"_s);
    l.Add(u"NoDupl"_s, u"No se encontraron atajos duplicados."_s);
    l.Add(u"TotalContent"_s, u"Contenido confirmado"_s);
    l.Add(u"Removed"_s, u"Archivos quitados"_s);
    l.Add(u"btRestore"_s, u"Devolver"_s);
    l.Add(u"Filename"_s, u"Nombre de archivo"_s);
    l.Add(u"FSizeB"_s, u"Tamaño (bytes)"_s);
    l.Add(u"KeySequence"_s, u"Atajo"_s);
    l.Add(u"Name"_s, u"Nombre"_s);
    l.Add(u"tiDuplicateKey"_s, u"Atajos duplicados"_s);
    l.Add(u"tiOverlapKey"_s, u"Atajos superpuestos"_s);
    l.Add(u"Edit"_s, u"Editar"_s);
    l.Add(u"Ignore"_s, u"Ignorar"_s);
    l.Add(u"KeyBlank"_s, u"El atajo de %s está en blanco.\r\r¿Editar este atajo?"_s);
    l.Add(u"KeyTooLong"_s,
          u"El atajo %s es demasiado largo (más de 7 caracteres).\r\r¿Editar este atajo?"_s);
    l.Add(u"KeySpace"_s, u"El atajo \"%s\" contiene un espacio.\r\r¿Editar este atajo?"_s);
    l.Add(u"KeyExists"_s, u"El atajo %s no se puede usar porque es un atajo predeterminado."_s);
    l.Add(u"KeyOverlap"_s,
          u"El atajo %s puede no ser útil porque %s es un atajo predeterminado.\r\r"
          u"¿Editar este atajo?"_s);

    // Restore dialog
    l.Add(u"tiRestore"_s, u"Restaurar (desde un archivo CAB/MCO)"_s);
    l.Add(u"Advanced"_s, u"Avanzado"_s);
    l.Add(u"Simple"_s, u"Sencillo"_s);
    l.Add(u"ResIns1"_s, u"Primero inicie sesión en MSN/WLM."_s);
    l.Add(u"ResInsLibrary"_s, u"El contenido se instalará en la biblioteca de contenido:\r%s"_s);
    l.Add(u"Cab2install"_s, u"Archivo CAB/MCO que se instalará."_s);
    l.Add(u"ResIns"_s,
          u"La instalación necesita crear un servidor web temporal.\r"
          u"No necesita cambiar este ajuste salvo que un mensaje de error se lo indique.\r"
          u"El servidor web temporal se cerrará justo después de la instalación."_s);
    l.Add(u"Install"_s, u"Instalar"_s);
    l.Add(u"PortUsed"_s,
          u"Utilice el modo Avanzado para elegir un puerto libre.\r"
          u"(p. ej. pruebe el puerto 85 o cualquier número hasta 65535)"_s);
    l.Add(u"SelectCabFirst"_s, u"Seleccione un archivo CAB/MCO para instalar."_s);
    l.Add(u"InstallCabConfirm"_s,
          u"Se añadirá el contenido de %s a su Messenger.\r"
          u"Asegúrese de haber iniciado sesión en Messenger.\r\r"
          u"Pulse OK para continuar."_s);
    l.Add(u"InstallSuccess"_s, u"Contenido instalado correctamente."_s);
    l.Add(u"InstallError"_s,
          u"Se ha producido un error, probablemente causado por el archivo MCO.\r\r"
          u"Si el archivo MCO se creó con la copia de seguridad de Zorvak, comunique este problema. Gracias."_s);
    l.Add(u"InstallError2"_s,
          u"Se ha producido un error. Intente instalar de nuevo.\r\r"
          u"Si el error se repite, pruebe el modo Avanzado\r"
          u"   para elegir un puerto libre.\r"
          u"(p. ej. pruebe el puerto 85 o cualquier número hasta 65535)"_s);
    l.Add(u"EnsureSignedIn"_s,
          u"Asegúrese de haber iniciado sesión en MSN/WLM.\r"
          u"El contenido se instalará para el usuario que tenga la sesión iniciada."_s);
    l.Add(u"ContCabConf"_s, u"¿Continuar con la instalación de la parte siguiente (%s)?"_s);

    // About window
    l.Add(u"tiAbout"_s, u"Acerca de Zorvak"_s);
    l.Add(u"AboutNotice"_s, u"Software libre para su propio contenido de Messenger"_s);
    l.Add(u"by"_s, u"por el equipo de Zorvak"_s);
    l.Add(u"LastMod"_s, u"Última modificación"_s);
    l.Add(u"AboutVersion"_s, u"versión %s - freeware"_s);
    l.Add(u"Months"_s, u"ene\rfeb\rmar\rabr\rmay\rjun\rjul\rago\rsep\roct\rnov\rdic"_s);
    l.Add(u"SpcThx"_s, u"Agradecimientos"_s);
    l.Add(u"AboutDesc"_s,
          u"Recupera y guarda todos los emoticonos personalizados y demás contenido de MSN Messenger "
          u"y Windows Live Messenger 8.0 de su disco duro."_s);
    l.Add(u"TranslatedBy"_s, u"Traducción al español: el equipo de Zorvak"_s);
    l.Add(u"Website"_s, u"Sitio web"_s);
    l.Add(u"Email"_s, u"Correo"_s);
    l.Add(u"UseContactForm"_s, u"o utilice el formulario de contacto de la web"_s);
    l.Add(u"EmailIns"_s,
          u"Envíenos preguntas, sugerencias, informes de errores o lo que quiera."_s);
    l.Add(u"arrayThanks"_s,
          u"Qt\rlas ventanas, las imágenes y todo lo que hay entre ellas\r"
          u"libmspack\rla lectura de archivos cabinet\r"
          u"zlib\rla compresión de los paquetes nuevos\r"
          u"OpenSSL\rla criptografía que descifra los archivos map\r"
          u"cpp-httplib\rel servidor web temporal que instala el contenido\r"
          u"SimpleIni\rel archivo de configuración\r"
          u"GLib y GIO\rla integración con el escritorio: abrir cada archivo con el programa adecuado\r"
          u"GoogleTest\rlas pruebas de Zorvak\r"
          u"CMake\rla compilación de Zorvak\r"
          u"y todos los que han probado Zorvak\r¡Gracias por sus comentarios y su apoyo!"_s);
    l.Add(u"StoreItemNames"_s, u"Emoticono\rImagen para mostrar\rFondo\rGuiño\rImagen para mostrar de lujo\rFondo dinámico"_s);
    l.Add(u"StoreNamesNotRead"_s,
          u"Los nombres y atajos de esta versión de Messenger no se leen; los objetos se nombran por su posición."_s);

    // The export with names and the Windows account of a copied profile.
    l.Add(u"ExportNamed"_s, u"E&xportar con los nombres"_s);
    l.Add(u"NamedFormat"_s, u"&Formato"_s);
    l.Add(u"NamedFormats"_s, u"Una carpeta por tipo de contenido\rTema de emoticonos para Pidgin (emoticonos personalizados)\rPágina web\rEmoticonos personalizados de Pidgin (emoticonos personalizados)"_s);
    l.Add(u"NamedOutput"_s, u"Carpeta de des&tino"_s);
    l.Add(u"NamedIncludeDefault"_s, u"Incluir el contenido predeterminado de Messenger"_s);
    l.Add(u"btExport"_s, u"Exportar"_s);
    l.Add(u"NamedDone"_s, u"Se han escrito %d objetos en:"_s);
    l.Add(u"NamedByFileName"_s, u"Sin dirección de correo los archivos map no se descifran: los objetos llevan el nombre de su archivo."_s);
    l.Add(u"NamedNoMap"_s, u"Parte del contenido no tiene un archivo map legible: esos objetos llevan el nombre de su archivo."_s);
    l.Add(u"NamedLeftOut"_s, u"Se han omitido %d emoticonos: un tema de emoticonos no admite emoticonos sin atajo, ni atajos con un salto de línea o de más de 63 bytes."_s);
    l.Add(u"NamedLeftOutStore"_s, u"Se han omitido %d emoticonos: los emoticonos personalizados de Pidgin admiten una sola entrada por atajo y por imagen, y ninguna sin atajo."_s);
    l.Add(u"NamedFailed"_s, u"No se han podido escribir estos archivos:"_s);
    l.Add(u"WinPassword"_s, u"&Contraseña de la cuenta de Windows de este perfil"_s);
    l.Add(u"PasswordIsHash"_s, u"Hash (SHA-1 o NT, hexadecimal)"_s);
    l.Add(u"WinePasswordNotNeeded"_s, u"No hace falta: Wine protegió los archivos map de esta carpeta"_s);
    l.Add(u"ProtectDir"_s, u"Carpeta de claves &maestras (Microsoft/Protect)"_s);
    l.Add(u"SelectFolder4named"_s, u"Seleccione primero en la lista de carpetas una carpeta de usuario de Messenger (un ID de Passport como 157913456) o una de sus subcarpetas."_s);
    // The file list as thumbnails, its filter, and the names unlocked from the content maps.
    l.Add(u"View"_s, u"&Ver"_s);
    l.Add(u"ViewList"_s, u"&Lista"_s);
    l.Add(u"ViewThumbnails"_s, u"&Miniaturas"_s);
    l.Add(u"ThumbSize"_s, u"Tamaño de las miniaturas"_s);
    l.Add(u"FilterHint"_s, u"Filtrar por nombre de archivo, nombre o atajo"_s);
    l.Add(u"UnlockNames"_s, u"Desbloquear &nombres"_s);
    l.Add(u"UnlockNamesOffer"_s, u"Los nombres y atajos de este contenido están cifrados. Desbloquéelos con la dirección de correo y la contraseña de Windows."_s);
    l.Add(u"NamesNeedUserFolder"_s, u"Los nombres pertenecen a cada usuario de Messenger.\rSeleccione primero una carpeta de usuario (p. ej. 157913456) o una de sus subcarpetas."_s);
    l.Add(u"InstallWaiting"_s, u"Otra instalación está usando la biblioteca de contenido: esta espera a que termine."_s);

    l.Add(u"BrowseFolder"_s, u"Elegir una carpeta"_s);
    l.Add(u"BrowseFile"_s, u"Elegir un archivo"_s);
    l.Add(u"btBrowse"_s, u"&Examinar"_s);
    l.Add(u"HideNotice"_s, u"Ocultar este aviso"_s);
    l.Add(u"NamesUnlocked"_s, u"Nombres desbloqueados para %s"_s);
    l.Add(u"FlashMovie"_s, u"Película Flash"_s);
    l.Add(u"FlashDamaged"_s, u"Esta película está dañada:"_s);
    l.Add(u"FlashFacts"_s, u"%s \u00d7 %s píxeles\r%s fotogramas por segundo\r%d fotogramas\rFlash versión %d"_s);
    l.Add(u"MainSubtitle"_s, u"Explorador y copia de seguridad del contenido de Messenger"_s);
    l.Add(u"Port"_s, u"Puerto"_s);
    l.Add(u"SearchDisk"_s, u"Buscar en un &disco o una carpeta"_s);
    l.Add(u"SearchDiskPrompt"_s, u"Seleccione el disco o la carpeta donde buscar el contenido de MSN"_s);
    l.Add(u"SearchDiskFolders"_s, u"Carpetas recorridas: %s"_s);
    l.Add(u"SearchDiskFound"_s, u"Ubicaciones encontradas: %s"_s);
    l.Add(u"SearchDiskNothing"_s, u"No se encontró contenido de MSN en\r   %s"_s);
    l.Add(u"SearchDiskOffer"_s, u"¿Buscarlo ahora en un disco o una carpeta?"_s);
    l.Add(u"FoundPackages"_s, u"Paquetes"_s);
    l.Add(u"AccountEmail"_s, u"&Dirección de correo de la cuenta"_s);
    l.Add(u"HistoryFilterHint"_s, u"Buscar en la conversación"_s);
    l.Add(u"HistoryRow"_s, u"%s: %d mensajes, %s \u2013 %s"_s);
    l.Add(u"HistoryRowReading"_s, u"%s: leyendo..."_s);
    l.Add(u"HistoryRowRefused"_s, u"%s: ilegible"_s);
    l.Add(u"HistoryNoTime"_s, u"Fecha desconocida"_s);
    l.Add(u"HistoryCut"_s, u"Este archivo termina antes de tiempo (Messenger se cerró mientras lo escribía): se muestra lo que precede al corte.\r%s"_s);
    l.Add(u"HistoryDamaged"_s, u"Este archivo está dañado: se muestra lo que precede al daño.\r%s"_s);
    l.Add(u"HistorySaveFormat"_s, u"Guardar las conversaciones de %s como:"_s);
    l.Add(u"HistoryText"_s, u"Texto"_s);
    l.Add(u"HistoryExported"_s, u"%d conversaciones exportadas a\r   %s"_s);
    l.Add(u"HistoryProblems"_s, u"No todo se pudo leer o escribir:"_s);
    l.Add(u"HistoryExporting"_s, u"Exportando conversaciones"_s);
    l.Add(u"Colon"_s, u":"_s);

    return language;
}

} // namespace zorvak
