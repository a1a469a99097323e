// The system's own texts, each written once. Code refers to them by name; the characters,
// blanks and umlauts are exactly what the user sees (sources are UTF-8).
#pragma once

namespace texts {

// --- captions
inline constexpr const char* ProgramCaption = "ZEK Setup";
inline constexpr const char* ErrorCaption = "Error";
inline constexpr const char* ErrorBangCaption = "Error!";
inline constexpr const char* ErrorUpperCaption = "ERROR!";

// --- opening the serial port
inline constexpr const char* ComInitError = "COM-Init-Error!";
inline constexpr const char* CannotReadComSettings = "Kann COM-Port Einstellung nicht lesen.";
inline constexpr const char* CannotWriteComSettings = "Kann COM-Port Einstellung nicht schreiben.";
inline constexpr const char* CannotWriteTimeouts = "Kann TIMEOUTS nicht schreiben.";

// --- qvsetup.cfg
inline constexpr const char* ConfigOpenError = "open error 'qvsetup.cfg'";

// --- the line driver and the link
inline constexpr const char* DriverAccessError = "Error during driver access!";
inline constexpr const char* NoAdaptorFoundAt = "No Adaptor found at ";  // + port name + "\n"
inline constexpr const char* CheckPort = "Port prüfen…";  // the Port menu's last item
inline constexpr const char* NoConnection = "Keine Verbindung!";
inline constexpr const char* WrongDevice = "falsches Gerät!";
inline constexpr const char* WriteError = "Schreibfehler!";

// --- the update
inline constexpr const char* UpdateRunning = "Update laeuft";
// The main dialog's status field at rest: one blank.
inline constexpr const char* StatusBlank = " ";

// --- connecting and the controller's identity (settings, processor service, update)
inline constexpr const char* Connecting = "verbinden....";
inline constexpr const char* PortQuery = "  PORT ?";
// The Port menu's item for the virtual controller.
inline constexpr const char* VirtualController = "Virtueller Controller";
inline constexpr const char* NotThisController = "angeschlossenes Gerät ist kein ZEK-Micro!";
inline constexpr const char* NotSetUp = "Erst nach Setup mit Fernsteuerung verfügbar!";
inline constexpr const char* GetCompatibleProgram = "Bitte kompatibles Setup-Programm downloaden!";
inline constexpr const char* GetCurrentProgram = "Bitte aktuelles Setup-Programm downloaden!";
inline constexpr const char* NotInThisVersion =
    "Funktion bei dieser Controllerversion nicht verfügbar!";
inline constexpr const char* ReadFirst = "Zuerst Werte einlesen!";

// --- backups and recovery (the "Datei" menu, the automatic backup, a broken update)
inline constexpr const char* SettingsFileFilter = "*.json";
inline constexpr const char* SettingsFileExtension = "json";
inline constexpr const char* SaveSettingsTitle = "Einstellungen sichern";
inline constexpr const char* LoadSettingsTitle = "Einstellungen laden";
inline constexpr const char* BackupsTitle = "Sicherungen";
inline constexpr const char* BackupCaption = "Sicherung";
inline constexpr const char* NoBackups = "Es gibt noch keine Sicherungen.";
inline constexpr const char* BackupFailed = "Sicherung fehlgeschlagen: ";  // + reason
inline constexpr const char* WritingAnyway = "\nEs wird trotzdem geschrieben.";
inline constexpr const char* CannotSaveSettings =
    "Die Einstellungen konnten nicht gespeichert werden: ";
inline constexpr const char* CannotLoadSettings = "Die Datei ist keine gültige Sicherung: ";
inline constexpr const char* OtherFamily =
    "Die Sicherung stammt von einem Regler einer anderen Baureihe: ";  // + version
inline constexpr const char* UnfinishedUpdate =
    "Ein Update wurde nicht beendet:\n";  // + file, port and time
inline constexpr const char* ResumeUpdateQuestion =
    "\n\nDie Datei beim nächsten \"Update-Datei öffnen\" wieder vorschlagen?";
inline constexpr const char* UpdateFileChanged =
    "Die Datei des unterbrochenen Updates wurde seither verändert: ";
inline constexpr const char* UpdateFileGone =
    "Die Datei des unterbrochenen Updates gibt es nicht mehr: ";
inline constexpr const char* WriteInterrupted =
    "Das Schreiben wurde unterbrochen: der Regler hält jetzt nur einen Teil der neuen "
    "Einstellungen.\n\nErneut schreiben?";
inline constexpr const char* RestoreBackupQuestion =
    "Die Sicherung von vor dem Schreiben in den Dialog laden? Danach \"Schreiben\".\n";  // + path

}  // namespace texts
