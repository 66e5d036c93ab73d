// The program's own texts, in the ANSI code page 1252 that the boxes and
// failure messages use. Umlauts are written as escapes so the bytes do not
// depend on the source file's encoding.
#pragma once

namespace msg {

// Streams and value streams
inline constexpr char ReadError[] = "Stream-Lesefehler";
inline constexpr char InvalidStreamFormat[] = "Ung\xFC" "ltiges Stream-Format";
inline constexpr char InvalidPropertyValue[] = "Ung\xFC" "ltiger Eigenschaftswert";
inline constexpr char FOpenError[] = "Datei %s kann nicht ge\xF6" "ffnet werden. %s";

// Pictures
inline constexpr char UnknownExtension[] = "Unbekannte Bilddateierweiterung (.%s)";
inline constexpr char InvalidBitmap[] = "Bitmap ist ung\xFC" "ltig";
inline constexpr char InvalidMetafile[] = "Metadatei ist ung\xFC" "ltig";
inline constexpr char OSError[] = "Systemfehler.  Code: %d.\r\n%s";
inline constexpr char JPEGError[] = "JPEG-Fehler #%d";
inline constexpr char PictureKindUnsupported[] = "Bildformat wird nicht unterst\xFC" "tzt";
inline constexpr char FormatMetafiles[] = "Metadateien";
inline constexpr char FormatEnhancedMetafiles[] = "Erweiterte Metadateien";
inline constexpr char FormatIcons[] = "Symbole";
inline constexpr char FormatBitmaps[] = "Bitmaps";
inline constexpr char FormatJPEG[] = "JPEG-Grafikdatei";
inline constexpr char JPEGResize[] = "Die Gr\xF6\xDF" "e einer JPEG-Grafik kann nicht ver\xE4" "ndert werden";

// COM
inline constexpr char OleError[] = "OLE-Fehler %.8x";

// Range
inline constexpr char RangeError[] = "Fehler bei Bereichspr\xFC" "fung";
inline constexpr char OutOfMemory[] = "Zu wenig Arbeitsspeicher";

// Reports
inline constexpr char AppErrorCaption[] = "Anwendungsfehler";
inline constexpr char AppErrorText[] = "Exception %s in Modul %s bei %p.\r\n%s%s\r\n";

// Start-up and hand-off
inline constexpr char OcxErrorText[] = "Setup kann nicht gestartet werden - Keine aktuelle Windowsversion!";
inline constexpr char OcxErrorCaption[] = "OCX-ERROR";
inline constexpr char ArchiveMissingText[] =
    "Die Datei \"_Setup.lib\" existiert nicht oder konnte nicht ge\xF6" "ffnet werden!";
inline constexpr char ErrorCaption[] = "Fehler";

// The hand-off stops (caption ErrorCaption): a file in the temporary folder
// that this run did not write, or a step that did not do its work.
inline constexpr char TempFolderNotCreatedText[] =
    "Der Ordner f\xFC" "r tempor\xE4" "re Dateien \"%s\" konnte nicht angelegt werden!";
inline constexpr char TempFolderNameText[] =
    "Der Name des Ordners f\xFC" "r tempor\xE4" "re Dateien \"%s\" enth\xE4" "lt Zeichen, "
    "die Setup nicht verarbeiten kann!";
inline constexpr char TempFolderTooLongText[] =
    "Der Pfad des Ordners f\xFC" "r tempor\xE4" "re Dateien \"%s\" ist zu lang!";
inline constexpr char WorkspaceNotCreatedText[] =
    "Im Ordner f\xFC" "r tempor\xE4" "re Dateien \"%s\" konnte kein Arbeitsordner angelegt werden!";
inline constexpr char WorkspaceNotSafeText[] =
    "Der Arbeitsordner \"%s\" konnte nicht gesch\xFC" "tzt werden!";
inline constexpr char SetupFilesFailedText[] =
    "Die Setup-Informationen konnten nicht aus \"%s\" entpackt werden (Fehler %ld)!";
inline constexpr char CopyFailedText[] = "Die Datei \"%s\" konnte nicht nach \"%s\" kopiert werden!";
inline constexpr char ExtractFailedText[] =
    "Die Datei \"%s\" konnte nicht aus \"%s\" entpackt werden (Fehler %ld)!";
inline constexpr char NotExtractedText[] = "Die Datei \"%s\" ist in \"%s\" nicht enthalten!";
inline constexpr char HoldFailedText[] = "Die Datei \"%s\" konnte nicht ge\xF6" "ffnet werden!";
inline constexpr char StartFailedText[] = "Die Datei \"%s\" konnte nicht gestartet werden!";

// Signed media (caption ErrorCaption): a program Setup would run that is not
// its publisher's.
inline constexpr char NotSignedText[] =
    "Die Datei \"%s\" ist nicht signiert, Setup.exe aber schon!";
inline constexpr char ChangedSinceSigningText[] =
    "Die Datei \"%s\" wurde nach dem Signieren ver\xE4" "ndert!";
inline constexpr char OtherPublisherText[] =
    "Die Datei \"%s\" ist von einem anderen Herausgeber signiert als Setup.exe!";
// A second start (caption ErrorCaption): the single-run object is taken,
// but no run of Setup shows itself, or another kind of object has its name.
inline constexpr char RunNotFoundText[] =
    "Setup wird bereits ausgef\xFC" "hrt, es wurde aber kein Fenster davon gefunden!";
inline constexpr char RunNameTakenText[] =
    "Setup kann nicht gestartet werden - ein anderes Programm belegt die Kennung von Setup!";

}  // namespace msg
