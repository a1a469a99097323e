// The German texts the commands show, by name: the texts table and the words and parts
// the commands compose their boxes and status words from. Another language's table
// (texts_en.cpp) uses the same names.
#include <array>

#include "resources/texts.h"
#include "resources/translation.h"

namespace lang {
namespace {

#define NAMED(name)        \
    NamedText {            \
#name, texts::name \
    }

constexpr std::array germanTable{
    // --- the texts table
    NAMED(ErrorCaption),
    NAMED(ErrorBangCaption),
    NAMED(ErrorUpperCaption),
    NAMED(ComInitError),
    NAMED(CannotReadComSettings),
    NAMED(CannotWriteComSettings),
    NAMED(CannotWriteTimeouts),
    NAMED(ConfigOpenError),
    NAMED(DriverAccessError),
    NAMED(NoAdaptorFoundAt),
    NAMED(NoConnection),
    NAMED(WrongDevice),
    NAMED(WriteError),
    NAMED(UpdateRunning),
    NAMED(Connecting),
    NAMED(PortQuery),
    NAMED(NotThisController),
    NAMED(NotSetUp),
    NAMED(GetCompatibleProgram),
    NAMED(GetCurrentProgram),
    NAMED(NotInThisVersion),
    NAMED(ReadFirst),
    NAMED(SaveSettingsTitle),
    NAMED(LoadSettingsTitle),
    NAMED(BackupsTitle),
    NAMED(BackupCaption),
    NAMED(NoBackups),
    NAMED(BackupFailed),
    NAMED(WritingAnyway),
    NAMED(CannotSaveSettings),
    NAMED(CannotLoadSettings),
    NAMED(OtherFamily),
    NAMED(UnfinishedUpdate),
    NAMED(ResumeUpdateQuestion),
    NAMED(UpdateFileChanged),
    NAMED(UpdateFileGone),
    NAMED(WriteInterrupted),
    NAMED(RestoreBackupQuestion),

    // --- status words
    NamedText{"StatusReading", "lesen....."},
    NamedText{"StatusWriting", "schreiben....."},
    NamedText{"StatusReadingMemory1", "Speicher1 lesen..."},
    NamedText{"StatusReadingMemory2", "Speicher2 lesen..."},
    NamedText{"StatusOk", "OK"},
    NamedText{"StatusOkSmall", "ok"},
    NamedText{"StatusConnectingEnglish", "connecting...."},
    NamedText{"StatusConnected", "connected"},

    // --- the main dialog's lists
    NamedText{"BrakeOff", "aus"},
    NamedText{"BrakeHard", "hart"},
    NamedText{"BrakeMedium", "mittel"},
    NamedText{"BrakeSoft", "weich"},
    NamedText{"Timing7_5", " 7,5°"},
    NamedText{"Timing15", "15,0°"},
    NamedText{"Timing22_5", "22,5°"},
    NamedText{"Timing30", "30,0°"},

    // --- refused entries of the main dialog
    NamedText{"FullThrottleRange", "Vollgas 1.8 - 2.3ms !"},
    NamedText{"StopRange", "Stopp 0.8 - 1.7ms !"},
    NamedText{"NeutralFullThrottleGap", "Neutral-Vollgas >= 0.25ms !"},
    NamedText{"NoBrakeWithRpmControl", "Bremse bei Drehzahlregelung nicht möglich!"},
    NamedText{"NoOverTemperatureWithRpmControl",
              "Uebertemp-Abschaltung bei Drehzahlregelung nicht möglich! "},
    NamedText{"RpmValuesMissing", "Werte für Drehzahlregelung fehlen!"},
    NamedText{"NoUnderVoltageWithRpmControl",
              "Unterspg-Abschaltung bei Drehzahlregelung nicht möglich! "},
    NamedText{"ThresholdRange", "Wert 'Schwelle' 5.3V - 10.5V!"},
    NamedText{"NoFrequencyAt8MHz", "Takt-Frequenz bei 8MHz nicht möglich!"},
    NamedText{"SoftStartRange", "Softanlauf 1 - 50!"},
    NamedText{"StartPowerRange", "Leistung Anlauf 1 - 50!"},
    NamedText{"BrakeQuestion", "Bremse?"},
    NamedText{"FrequencyQuestion", "Schaltfrequenz?"},
    NamedText{"UnderVoltageQuestion", "Unterspannung?"},
    NamedText{"ToleranceQuestion", "Signal-Toleranz?"},
    NamedText{"LogRange", "Log-Datei 0 - 255!"},
    NamedText{"WriteMemory1First", "Modellspeicher1 zuerst beschreiben!"},
    NamedText{"Memory1Empty", "Modellspeicher1 leer"},
    NamedText{"Memory2Empty", "Modellspeicher2 leer"},

    // --- sub-dialogs and motor data
    NamedText{"OnlyWithTestProgramLocked", "nur mögl. wenn Testprogramm gesperrt"},
    NamedText{"AvailableFromV1011", "Verfügbar ab V10.11"},
    NamedText{"SecondsLeft", "Sek. Restzeit"},
    NamedText{"PoleCountInvalid", "Polzahl: Wert nicht zulässig!"},
    NamedText{"PoleCountEven", "Polzahl: nur gerade Werte möglich!"},
    NamedText{"PoleCountDigits", "Polzahl: max. 2-stellig!"},
    NamedText{"GearRatioInvalid", "Getriebe-Untersetzung: Wert nicht zulässig!"},

    // --- processor service
    NamedText{"CalibrationTarget", "soll: "},
    NamedText{"CalibrationOld", "\n\nalt: "},
    NamedText{"CalibrationNew", "\nneu: "},
    NamedText{"CalibrationDone", "Kalibrierung erfolgreich!"},
    NamedText{"CalibrationFailed", "Kalibrierung fehlgeschlagen!"},

    // --- the update
    NamedText{"CompatibilityUnchecked",
              "Kompatibilität nicht überprüfbar, da kein RC-Setup gemacht wurde.\n"
              "Es wird dringend empfohlen ein Setup zu machen.\n"
              "Update trotzdem ohne Setup starten?"},
    NamedText{"FileNotCompatible", "Datei nicht kompatibel!"},
    NamedText{"StartUpdate", "Update starten?"},

    // --- start, end, About, the configuration folder
    NamedText{"AuthorLines", "ZEK-Micro Setup\nDas ZEK-Micro-Team\n\n"},
    NamedText{"CannotSavePort", "Die Port-Auswahl kann nicht gespeichert werden:\n"},
    NamedText{"CannotOpenConfig", "qvsetup.cfg kann weder geöffnet noch angelegt werden:\n"},
    NamedText{"PortNotSaved", "\nDie Port-Auswahl wird nicht gespeichert."},
    NamedText{"UnknownPort", "Unbekannter Port \""},
    NamedText{"ChoosePort", "\" in qvsetup.cfg.\nBitte im Menü \"Port\" einen Port wählen."},
    NamedText{"NoConfigFolder", "Der Konfigurationsordner ist nicht verfügbar:\n"},
    NamedText{"ConfigInCurrentFolder", "\nqvsetup.cfg wird im aktuellen Ordner gesucht."},
    NAMED(VirtualController),
    NAMED(CheckPort),
    NamedText{"PortMissing", " (fehlt)"},
    NamedText{"ProgressOf", " von "},
    NamedText{"ProgressSecondsLeft", ", noch "},

    // --- the settings' names in a comparison with a backup
    NamedText{"DiffFullThrottle", "Vollg. (ms)"},
    NamedText{"DiffNeutral", "Neut. (ms)"},
    NamedText{"DiffStop", "Stopp (ms)"},
    NamedText{"DiffTiming", "Kommutierungs-Timing"},
    NamedText{"DiffBrake", "EMK-Bremse"},
    NamedText{"DiffControlSpeed", "Regel-Tempo (1 - 50)"},
    NamedText{"DiffStartPower", "Anlauf-Leistung (1 - 50)"},
    NamedText{"DiffFreewheel", "Aktiver Freilauf"},
    NamedText{"DiffForwardReverse", "Vor/Rueckw."},
    NamedText{"DiffRpmLimit", "Drehzahlbeg."},
    NamedText{"DiffBlockedMotor", "Blockierschutz"},
    NamedText{"DiffRpmControl", "Regelung aktiv"},
    NamedText{"DiffCellVoltage", "0,8V/Zelle"},
    NamedText{"DiffOverTemperature", "Übertemp-Sch."},
    NamedText{"DiffFrequency", "Schaltfrequenz"},
    NamedText{"DiffUnderVoltage", "Unterspannung / Schwelle"},
    NamedText{"DiffTolerance", "Signal-Toleranz"},
    NamedText{"Frequency7_8", "7,8 kHz"},
    NamedText{"Frequency15_6", "15,6 kHz"},
    NamedText{"UnderVoltageIgnore", "ignorieren"},
    NamedText{"UnderVoltageSwitchOff", "abschalten"},
    NamedText{"UnderVoltageReduce", "abregeln"},
    NamedText{"ToleranceSmall", "klein (hohe Sich.)"},
    NamedText{"ToleranceHigh", "hoch (für Helis)"},
};

#undef NAMED

}  // namespace

std::span<const NamedText> germanTexts() {
    return germanTable;
}

}  // namespace lang
