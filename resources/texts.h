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
inline constexpr const char* NotThisController = "angeschlossenes Gerät ist kein ZEK-Micro!";
inline constexpr const char* NotSetUp = "Erst nach Setup mit Fernsteuerung verfügbar!";
inline constexpr const char* GetCompatibleProgram = "Bitte kompatibles Setup-Programm downloaden!";
inline constexpr const char* GetCurrentProgram = "Bitte aktuelles Setup-Programm downloaden!";
inline constexpr const char* NotInThisVersion =
    "Funktion bei dieser Controllerversion nicht verfügbar!";
inline constexpr const char* ReadFirst = "Zuerst Werte einlesen!";

}  // namespace texts
