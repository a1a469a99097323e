// English: the texts by the names of the German ones (texts_de.cpp), the templates' texts
// by dialog and control id. Short, as the German dialog is: every control text fits the
// control the German one was laid out for.
#include <array>

#include "resources/lock_functions_dialog.h"
#include "resources/main_dialog_ids.h"
#include "resources/rev_counter_dialog.h"
#include "resources/rpm_control_dialog.h"
#include "resources/translation.h"

namespace lang {
namespace {

constexpr std::array englishTexts{
    // --- the texts table
    NamedText{"ErrorCaption", "Error"},
    NamedText{"ErrorBangCaption", "Error!"},
    NamedText{"ErrorUpperCaption", "ERROR!"},
    NamedText{"ComInitError", "COM-Init-Error!"},
    NamedText{"CannotReadComSettings", "Cannot read the COM port settings."},
    NamedText{"CannotWriteComSettings", "Cannot write the COM port settings."},
    NamedText{"CannotWriteTimeouts", "Cannot write the TIMEOUTS."},
    NamedText{"ConfigOpenError", "open error 'qvsetup.cfg'"},
    NamedText{"DriverAccessError", "Error during driver access!"},
    NamedText{"NoAdaptorFoundAt", "No Adaptor found at "},
    NamedText{"NoConnection", "No connection!"},
    NamedText{"WrongDevice", "Wrong device!"},
    NamedText{"WriteError", "Write error!"},
    NamedText{"UpdateRunning", "Updating"},
    NamedText{"Connecting", "connecting...."},
    NamedText{"PortQuery", "  PORT ?"},
    NamedText{"NotThisController", "The connected device is not a ZEK-Micro!"},
    NamedText{"NotSetUp", "Available only after the setup with the transmitter!"},
    NamedText{"GetCompatibleProgram", "Please download a compatible setup program!"},
    NamedText{"GetCurrentProgram", "Please download the current setup program!"},
    NamedText{"NotInThisVersion", "Function not available with this controller version!"},
    NamedText{"ReadFirst", "Read the values first!"},
    NamedText{"SaveSettingsTitle", "Save settings"},
    NamedText{"LoadSettingsTitle", "Load settings"},
    NamedText{"BackupsTitle", "Backups"},
    NamedText{"BackupCaption", "Backup"},
    NamedText{"NoBackups", "There are no backups yet."},
    NamedText{"BackupFailed", "Backup failed: "},
    NamedText{"WritingAnyway", "\nWriting anyway."},
    NamedText{"CannotSaveSettings", "The settings could not be saved: "},
    NamedText{"CannotLoadSettings", "The file is not a valid backup: "},
    NamedText{"OtherFamily", "The backup comes from a controller of another series: "},
    NamedText{"UnfinishedUpdate", "An update did not finish:\n"},
    NamedText{"ResumeUpdateQuestion", "\n\nOffer the file again at the next \"Open update file\"?"},
    NamedText{"UpdateFileChanged", "The file of the interrupted update has changed since: "},
    NamedText{"UpdateFileGone", "The file of the interrupted update no longer exists: "},
    NamedText{"WriteInterrupted",
              "Writing was interrupted: the controller now holds only part of the new "
              "settings.\n\nWrite again?"},
    NamedText{"RestoreBackupQuestion",
              "Load the backup taken before writing into the dialog? Then \"Write\".\n"},

    // --- status words
    NamedText{"StatusReading", "reading....."},
    NamedText{"StatusWriting", "writing....."},
    NamedText{"StatusReadingMemory1", "reading memory 1..."},
    NamedText{"StatusReadingMemory2", "reading memory 2..."},
    NamedText{"StatusOk", "OK"},
    NamedText{"StatusOkSmall", "ok"},
    NamedText{"StatusConnectingEnglish", "connecting...."},
    NamedText{"StatusConnected", "connected"},

    // --- the main dialog's lists
    NamedText{"BrakeOff", "off"},
    NamedText{"BrakeHard", "hard"},
    NamedText{"BrakeMedium", "medium"},
    NamedText{"BrakeSoft", "soft"},
    NamedText{"Timing7_5", " 7.5°"},
    NamedText{"Timing15", "15.0°"},
    NamedText{"Timing22_5", "22.5°"},
    NamedText{"Timing30", "30.0°"},

    // --- refused entries of the main dialog
    NamedText{"FullThrottleRange", "Full throttle 1.8 - 2.3ms !"},
    NamedText{"StopRange", "Stop 0.8 - 1.7ms !"},
    NamedText{"NeutralFullThrottleGap", "Neutral-full throttle >= 0.25ms !"},
    NamedText{"NoBrakeWithRpmControl", "No brake with the RPM governor!"},
    NamedText{"NoOverTemperatureWithRpmControl", "No overheat cut-off with the RPM governor! "},
    NamedText{"RpmValuesMissing", "The values for the RPM governor are missing!"},
    NamedText{"NoUnderVoltageWithRpmControl", "No low-voltage cut-off with the RPM governor! "},
    NamedText{"ThresholdRange", "Value 'threshold' 5.3V - 10.5V!"},
    NamedText{"NoFrequencyAt8MHz", "PWM frequency not possible at 8MHz!"},
    NamedText{"SoftStartRange", "Soft start 1 - 50!"},
    NamedText{"StartPowerRange", "Start power 1 - 50!"},
    NamedText{"BrakeQuestion", "Brake?"},
    NamedText{"FrequencyQuestion", "PWM frequency?"},
    NamedText{"UnderVoltageQuestion", "Low voltage?"},
    NamedText{"ToleranceQuestion", "Signal tolerance?"},
    NamedText{"LogRange", "Log 0 - 255!"},
    NamedText{"WriteMemory1First", "Write model memory 1 first!"},
    NamedText{"Memory1Empty", "Model memory 1 empty"},
    NamedText{"Memory2Empty", "Model memory 2 empty"},

    // --- sub-dialogs and motor data
    NamedText{"OnlyWithTestProgramLocked", "only possible with the test program locked"},
    NamedText{"AvailableFromV1011", "Available from V10.11"},
    NamedText{"SecondsLeft", "Seconds left"},
    NamedText{"PoleCountInvalid", "Poles: value not allowed!"},
    NamedText{"PoleCountEven", "Poles: even values only!"},
    NamedText{"PoleCountDigits", "Poles: at most 2 digits!"},
    NamedText{"GearRatioInvalid", "Gear reduction: value not allowed!"},

    // --- processor service
    NamedText{"CalibrationTarget", "target: "},
    NamedText{"CalibrationOld", "\n\nold: "},
    NamedText{"CalibrationNew", "\nnew: "},
    NamedText{"CalibrationDone", "Calibration succeeded!"},
    NamedText{"CalibrationFailed", "Calibration failed!"},

    // --- the update
    NamedText{"CompatibilityUnchecked",
              "Compatibility cannot be checked: no RC setup was made.\n"
              "Making a setup first is strongly recommended.\n"
              "Start the update without a setup anyway?"},
    NamedText{"FileNotCompatible", "File not compatible!"},
    NamedText{"StartUpdate", "Start the update?"},

    // --- start, end, About, the configuration folder
    NamedText{"AuthorLines", "ZEK-Micro Setup\nThe ZEK-Micro team\n\n"},
    NamedText{"CannotSavePort", "The port choice cannot be saved:\n"},
    NamedText{"CannotOpenConfig", "qvsetup.cfg can be neither opened nor created:\n"},
    NamedText{"PortNotSaved", "\nThe port choice will not be saved."},
    NamedText{"UnknownPort", "Unknown port \""},
    NamedText{"ChoosePort", "\" in qvsetup.cfg.\nPlease choose a port in the \"Port\" menu."},
    NamedText{"NoConfigFolder", "The configuration folder is not available:\n"},
    NamedText{"ConfigInCurrentFolder", "\nqvsetup.cfg is looked for in the current folder."},
    NamedText{"VirtualController", "Virtual controller"},
    NamedText{"CheckPort", "Check port…"},
    NamedText{"PortMissing", " (missing)"},
    NamedText{"ProgressOf", " of "},
    NamedText{"ProgressSecondsLeft", ", "},

    // --- the settings' names in a comparison with a backup
    NamedText{"DiffFullThrottle", "Full throttle (ms)"},
    NamedText{"DiffNeutral", "Neutral (ms)"},
    NamedText{"DiffStop", "Stop (ms)"},
    NamedText{"DiffTiming", "Commutation timing"},
    NamedText{"DiffBrake", "EMF brake"},
    NamedText{"DiffControlSpeed", "Response (1 - 50)"},
    NamedText{"DiffStartPower", "Start power (1 - 50)"},
    NamedText{"DiffFreewheel", "Active freewheel"},
    NamedText{"DiffForwardReverse", "Fwd/reverse"},
    NamedText{"DiffRpmLimit", "RPM limit"},
    NamedText{"DiffBlockedMotor", "Stall protection"},
    NamedText{"DiffRpmControl", "Governor on"},
    NamedText{"DiffCellVoltage", "0.8V/cell"},
    NamedText{"DiffOverTemperature", "Overheat cut-off"},
    NamedText{"DiffFrequency", "PWM frequency"},
    NamedText{"DiffUnderVoltage", "Low voltage / threshold"},
    NamedText{"DiffTolerance", "Signal tolerance"},
    NamedText{"Frequency7_8", "7.8 kHz"},
    NamedText{"Frequency15_6", "15.6 kHz"},
    NamedText{"UnderVoltageIgnore", "ignore"},
    NamedText{"UnderVoltageSwitchOff", "cut off"},
    NamedText{"UnderVoltageReduce", "reduce"},
    NamedText{"ToleranceSmall", "small (safe)"},
    NamedText{"ToleranceHigh", "high (helis)"},
};

using ui::noId;

constexpr int mainDialog = ids::MainDialog;
constexpr int lockDialog = lock_ids::Dialog;
constexpr int rpmDialog = rpm_ids::Dialog;
constexpr int revDialog = rev_ids::Dialog;
// The backups list's dialog ("Sicherungen…").
constexpr int backupsDialog = 1243;

constexpr std::array englishControls{
    // --- the main dialog; names and units that English shares stand here too, so that a
    // further language sees every text it has to give
    ControlText{mainDialog, titleId, "ZEK - Micro  Setup ", "ZEK - Micro  Setup "},
    ControlText{mainDialog, ids::ReadButton, "Lesen", "Read"},
    ControlText{mainDialog, noId, "ms", "ms"},
    ControlText{mainDialog, noId, "Neut.", "Neut."},
    ControlText{mainDialog, noId, "Timing", "Timing"},
    ControlText{mainDialog, ids::ReleaseButton, "Release", "Release"},
    ControlText{mainDialog, ids::ResetCountersButton, "Reset", "Reset"},
    ControlText{mainDialog, ids::VoltsLabel, "Volt", "Volt"},
    ControlText{mainDialog, noId, "Hz", "Hz"},
    ControlText{mainDialog, ids::EndButton, "Ende", "Exit"},
    ControlText{mainDialog, noId, "Vollg.", "Full"},
    ControlText{mainDialog, noId, "Stopp", "Stop"},
    ControlText{mainDialog, noId, "Empfangs-Impuls", "Receiver pulse"},
    ControlText{mainDialog, ids::ActiveFreewheelCheck, "Aktiver Freilauf", "Freewheel"},
    ControlText{mainDialog, ids::Frequency78Radio, "7,8 kHz", "7.8 kHz"},
    ControlText{mainDialog, noId, "Schaltfrequenz", "PWM frequency"},
    ControlText{mainDialog, ids::Frequency156Radio, "15,6 kHz", "15.6 kHz"},
    ControlText{mainDialog, ids::WriteButton, "Schreiben", "Write"},
    ControlText{mainDialog, noId, "Kommutierungs-", "Commutation"},
    ControlText{mainDialog, noId, "Aktuelle Software", "Current firmware"},
    ControlText{mainDialog, noId, "Version/Typ", "Version/type"},
    ControlText{mainDialog, noId, "Anlauf-Leistung (1 - 50)", "Start power (1 - 50)"},
    ControlText{mainDialog, noId, "Regel-Tempo (1 - 50)", "Response (1 - 50)"},
    ControlText{mainDialog, noId, "EMK-Bremse", "EMF brake"},
    ControlText{mainDialog, ids::ForwardReverseCheck, "Vor/Rueckw.", "Fwd/rev."},
    ControlText{mainDialog, noId, "Unterspannung / Schwelle", "Low voltage / threshold"},
    ControlText{mainDialog, ids::IgnoreRadio, "ignorieren", "ignore"},
    ControlText{mainDialog, ids::SwitchOffRadio, "abschalten", "cut off"},
    ControlText{mainDialog, ids::ReducePowerRadio, "abregeln", "reduce"},
    ControlText{mainDialog, ids::RpmControlCheck, "Regelung aktiv", "Governor on"},
    ControlText{mainDialog, noId, "retour", "rev."},
    ControlText{mainDialog, noId, "Log-Datei", "Log"},
    ControlText{mainDialog, noId, "Senderausf.", "Tx loss"},
    ControlText{mainDialog, noId, "Übertemp.", "Overheat"},
    ControlText{mainDialog, noId, "Unterspg.", "Low volt."},
    ControlText{mainDialog, noId, "Signal-Toleranz", "Signal tolerance"},
    ControlText{mainDialog, ids::ToleranceSmallRadio, "klein (hohe Sich.)", "small (safe)"},
    ControlText{mainDialog, ids::ToleranceMediumRadio, "mittel", "medium"},
    ControlText{mainDialog, ids::ToleranceHighRadio, "hoch (für Helis)", "high (helis)"},
    ControlText{mainDialog, noId, "Motor-Steuerung", "Motor control"},
    ControlText{mainDialog, noId, "Aktueller Speicher", "Current memory"},
    ControlText{mainDialog, ids::RpmLimitCheck, "Drehzahlbeg.", "RPM limit"},
    ControlText{mainDialog, ids::BlockedMotorCheck, "Blockierschutz", "Stall guard"},
    ControlText{mainDialog, ids::OverTemperatureCheck, "Übertemp-Sch.", "Overheat cut"},
    ControlText{mainDialog, noId, "Diverse Features", "Other features"},
    ControlText{mainDialog, noId, "Blockiersch.", "Stalls"},
    ControlText{mainDialog, ids::CellVoltageCheck, "0,8V/Zelle", "0.8V/cell"},
    ControlText{mainDialog, noId, "max. Freq.", "max. freq."},
    ControlText{mainDialog, ids::RpmSettingsButton, "Einstellungen", "Settings"},
    ControlText{mainDialog, noId, "Drehzahlregelung", "RPM governor"},

    // --- its menu
    ControlText{mainDialog, noId, "Datei", "File"},
    ControlText{mainDialog, ids::OpenUpdateFileItem, "Update-Datei öffnen", "Open update file"},
    ControlText{mainDialog, ids::SaveSettingsItem, "Einstellungen sichern…", "Save settings…"},
    ControlText{mainDialog, ids::LoadSettingsItem, "Einstellungen laden…", "Load settings…"},
    ControlText{mainDialog, ids::BackupsItem, "Sicherungen…", "Backups…"},
    ControlText{mainDialog, noId, "Port", "Port"},
    ControlText{mainDialog, ids::Com1Item, "COM1", "COM1"},
    ControlText{mainDialog, ids::Com2Item, "COM2", "COM2"},
    ControlText{mainDialog, ids::Com3Item, "COM3", "COM3"},
    ControlText{mainDialog, ids::Com4Item, "COM4", "COM4"},
    ControlText{mainDialog, ids::Com5Item, "COM5", "COM5"},
    ControlText{mainDialog, ids::Com6Item, "COM6", "COM6"},
    ControlText{mainDialog, ids::Com7Item, "COM7", "COM7"},
    ControlText{mainDialog, ids::Com8Item, "COM8", "COM8"},
    ControlText{mainDialog, noId, "Modellspeicher", "Model memory"},
    ControlText{mainDialog, ids::ReadMemory1Item, "Modellspeicher 1 lesen", "Read model memory 1"},
    ControlText{mainDialog, ids::ReadMemory2Item, "Modellspeicher 2 lesen", "Read model memory 2"},
    ControlText{mainDialog, ids::WriteMemory1Item, "Modellspeicher 1 schreiben ",
                "Write model memory 1"},
    ControlText{mainDialog, ids::WriteMemory2Item, "Modellspeicher 2 schreiben ",
                "Write model memory 2"},
    ControlText{mainDialog, noId, "Optionen", "Options"},
    ControlText{mainDialog, ids::LockFunctionsItem, "Sperrfunktionen", "Locks"},
    ControlText{mainDialog, ids::CalibrateItem, "RC-Oszillator kalibieren",
                "Calibrate RC oscillator"},
    ControlText{mainDialog, ids::ProcessorInfoItem, "Prozessor-Info", "Processor info"},
    ControlText{mainDialog, ids::RevCounterItem, "Drehzahl messen", "Measure RPM"},
    ControlText{mainDialog, noId, "Hilfe", "Help"},
    ControlText{mainDialog, ids::HelpFileItem, "Hilfe-Datei", "Help file"},
    ControlText{mainDialog, ids::ServicePageItem, "Internet Serviceseite", "Service web page"},
    ControlText{mainDialog, ids::AboutItem, "Über...", "About..."},
    ControlText{mainDialog, ids::LanguageItem, "Sprache / Language", "Sprache / Language"},

    // --- "Sperrfunktionen"
    ControlText{lockDialog, titleId, "ZEK-Setup", "ZEK-Setup"},
    ControlText{lockDialog, lock_ids::ReadButton, "Lesen", "Read"},
    ControlText{lockDialog, lock_ids::WriteButton, "Schreiben", "Write"},
    ControlText{lockDialog, lock_ids::RcSetupLockCheck, "RC-Setup sperren", "Lock RC setup"},
    ControlText{lockDialog, lock_ids::TestProgramLockCheck, "Testprogramm sperren",
                "Lock test program"},
    ControlText{lockDialog, lock_ids::EndButton, "Ende", "Exit"},
    ControlText{lockDialog, noId, "Optionen", "Options"},

    // --- "Drehzahlregelung"
    ControlText{rpmDialog, titleId, "Drehzahlregelung", "RPM governor"},
    ControlText{rpmDialog, noId, "el.Freq. Motorphase, Hz", "el. freq. motor phase, Hz"},
    ControlText{rpmDialog, noId, "el. Freq. Motorphase,  U/min ", "el. freq. motor phase, rpm"},
    ControlText{rpmDialog, noId, "Motor-Drehzahl,  U/min", "Motor speed, rpm"},
    ControlText{rpmDialog, noId, "gewünschte", "desired"},
    ControlText{rpmDialog, noId, "Rotor-Drehzahl,  U/min", "rotor speed, rpm"},
    ControlText{rpmDialog, rpm_ids::CalculateButton, "Berechnen", "Calculate"},
    ControlText{rpmDialog, noId, "Maximalwerte", "Maximum values"},
    ControlText{rpmDialog, noId, "Polzahl", "Poles"},
    ControlText{rpmDialog, noId, "Getriebe-Untersetzung 1 :", "Gear reduction 1 :"},
    ControlText{rpmDialog, rpm_ids::SaveMotorDataButton, "Werte speichern", "Save values"},
    ControlText{rpmDialog, noId, "Motor-Getriebeeinheit", "Motor and gearbox"},
    ControlText{rpmDialog, rpm_ids::ReadButton, "Lesen", "Read"},
    ControlText{rpmDialog, rpm_ids::WriteButton, "Schreiben", "Write"},
    ControlText{rpmDialog, noId, "Prozessor", "Processor"},
    ControlText{rpmDialog, noId, "P-Glied", "P term"},
    ControlText{rpmDialog, noId, "I-Glied", "I term"},
    ControlText{rpmDialog, noId, "1: weich / 5: hart", "1: soft / 5: hard"},
    ControlText{rpmDialog, noId, "P/I - Regler", "P/I controller"},
    ControlText{rpmDialog, rpm_ids::EndButton, "Ende", "Exit"},

    // --- "Drehzahl-Messung"
    ControlText{revDialog, titleId, "Drehzahl-Messung", "RPM measurement"},
    ControlText{revDialog, noId, "el.Freq. Motorphase, Hz", "el. freq. motor phase, Hz"},
    ControlText{revDialog, noId, "el. Freq. Motorphase,  U/min ", "el. freq. motor phase, rpm"},
    ControlText{revDialog, noId, "Motor-Drehzahl,  U/min", "Motor speed, rpm"},
    ControlText{revDialog, rev_ids::PropSpeedLabel, "Prop-Drehzahl,  U/min", "Prop speed, rpm"},
    ControlText{revDialog, noId, "Revs", "Revs"},
    ControlText{revDialog, noId, "Polzahl", "Poles"},
    ControlText{revDialog, noId, "Getriebe-Untersetzung 1 :", "Gear reduction 1 :"},
    ControlText{revDialog, rev_ids::SaveMotorDataButton, "Werte übernehmen", "Apply values"},
    ControlText{revDialog, noId, "Motor-Getriebeeinheit", "Motor and gearbox"},
    ControlText{revDialog, rev_ids::ReleaseMotorButton, "Motor-Freigabe", "Release motor"},
    ControlText{revDialog, rev_ids::EndButton, "Ende", "Exit"},

    // --- "Sicherungen"
    ControlText{backupsDialog, titleId, "Sicherungen", "Backups"},
    ControlText{backupsDialog, 1, "OK", "OK"},
    ControlText{backupsDialog, 2, "Abbrechen", "Cancel"},
};

constexpr LanguageTable english{Language::English, englishTexts, englishControls};

}  // namespace

const LanguageTable& englishTable() {
    return english;
}

}  // namespace lang
