#include "resources/main_dialog.h"

#include <array>

#include "resources/main_dialog_ids.h"

namespace resources {
namespace {

using ui::ControlTemplate;
using ui::Kind;
using ui::MenuItemTemplate;
using ui::MenuKind;
using ui::noId;
using namespace ids;

// Tab order, as the resource script lists it.
constexpr std::array mainControls{
    ControlTemplate{ReadButton, Kind::PushButton, "Lesen", {122, 182, 44, 14}},
    ControlTemplate{EndButton, Kind::DefPushButton, "Ende", {344, 184, 57, 21}},
    ControlTemplate{FullThrottleField, Kind::Edit, "", {49, 92, 22, 12}},
    ControlTemplate{StopField, Kind::Edit, "", {49, 121, 22, 12}},
    ControlTemplate{noId, Kind::Label, "ms", {75, 93, 9, 9}},
    ControlTemplate{noId, Kind::Label, "ms", {75, 122, 12, 9}},
    ControlTemplate{noId, Kind::Label, "Vollg.", {28, 92, 20, 8}},
    ControlTemplate{noId, Kind::Label, "Stopp", {25, 120, 20, 8}},
    ControlTemplate{noId, Kind::GroupBox, "Empfangs-Impuls", {21, 72, 72, 74}},
    ControlTemplate{ActiveFreewheelCheck, Kind::CheckBox, "Aktiver Freilauf", {335, 49, 60, 8}},
    ControlTemplate{Frequency78Radio, Kind::RadioButton, "7,8 kHz", {33, 174, 51, 8}},
    ControlTemplate{noId, Kind::GroupBox, "Schaltfrequenz", {21, 156, 72, 51}},
    ControlTemplate{Frequency156Radio, Kind::RadioButton, "15,6 kHz", {33, 184, 51, 12}},
    ControlTemplate{TimingList, Kind::ComboBox, "", {116, 130, 33, 66}},
    ControlTemplate{noId, Kind::Label, "Timing", {156, 136, 29, 9}},
    ControlTemplate{ControlSpeedField, Kind::Edit, "", {116, 80, 15, 12}, ui::digitsOnly},
    ControlTemplate{
        WriteButton, Kind::DefPushButton, "Schreiben", {177, 182, 43, 14}, ui::disabled},
    ControlTemplate{noId, Kind::Label, "Kommutierungs-", {156, 128, 51, 9}},
    ControlTemplate{ReleaseButton, Kind::DefPushButton, "Release", {123, 204, 33, 14}, ui::hidden},
    ControlTemplate{StatusField, Kind::Edit, "", {234, 183, 72, 12}},
    ControlTemplate{noId, Kind::GroupBox, "Aktuelle Software", {21, 7, 72, 55}},
    ControlTemplate{VersionField, Kind::Edit, "", {35, 36, 42, 12}, ui::readOnly},
    ControlTemplate{noId, Kind::Label, "Version/Typ", {35, 23, 40, 8}},
    ControlTemplate{noId, Kind::Label, "Anlauf-Leistung (1 - 50)", {133, 98, 76, 9}},
    ControlTemplate{StartPowerField, Kind::Edit, "", {116, 96, 15, 12}, ui::digitsOnly},
    ControlTemplate{noId, Kind::Label, "Regel-Tempo (1 - 50)", {134, 82, 69, 8}},
    ControlTemplate{BrakeList, Kind::ComboBox, "", {116, 114, 33, 66}},
    ControlTemplate{noId, Kind::Label, "EMK-Bremse", {155, 115, 51, 9}},
    ControlTemplate{noId, Kind::Label, "Neut.", {27, 106, 18, 8}},
    ControlTemplate{NeutralField, Kind::Edit, "", {49, 107, 22, 12}},
    ControlTemplate{noId, Kind::Label, "ms", {75, 108, 9, 9}},
    ControlTemplate{ForwardReverseCheck, Kind::CheckBox, "Vor/Rueckw.", {335, 59, 57, 8}},
    ControlTemplate{noId, Kind::GroupBox, "Unterspannung / Schwelle", {105, 7, 124, 51}},
    ControlTemplate{IgnoreRadio, Kind::RadioButton, "ignorieren", {112, 20, 51, 8}, ui::groupStart},
    ControlTemplate{SwitchOffRadio, Kind::RadioButton, "abschalten", {112, 41, 51, 8}},
    ControlTemplate{ReducePowerRadio, Kind::RadioButton, "abregeln", {112, 31, 51, 8}},
    ControlTemplate{RpmControlCheck, Kind::CheckBox, "Regelung aktiv", {240, 89, 66, 8}},
    ControlTemplate{noId, Kind::Label, "retour", {26, 128, 21, 8}},
    ControlTemplate{noId, Kind::GroupBox, "Log-Datei", {330, 82, 82, 93}},
    ControlTemplate{TransmitterFailureCounter, Kind::Edit, "", {340, 96, 19, 12}},
    ControlTemplate{OverTemperatureCounter, Kind::Edit, "", {340, 109, 19, 12}},
    ControlTemplate{UnderVoltageCounter, Kind::Edit, "", {340, 122, 19, 12}},
    ControlTemplate{noId, Kind::Label, "Senderausf.", {364, 98, 39, 8}},
    ControlTemplate{noId, Kind::Label, "Übertemp.", {364, 113, 34, 8}},
    ControlTemplate{noId, Kind::Label, "Unterspg.", {364, 125, 32, 8}},
    ControlTemplate{noId, Kind::GroupBox, "Signal-Toleranz", {239, 7, 75, 51}},
    ControlTemplate{ToleranceSmallRadio,
                    Kind::AutoRadioButton,
                    "klein (hohe Sich.)",
                    {245, 22, 67, 8},
                    ui::groupStart},
    ControlTemplate{ToleranceMediumRadio, Kind::AutoRadioButton, "mittel", {245, 32, 61, 8}},
    ControlTemplate{
        ToleranceHighRadio, Kind::AutoRadioButton, "hoch (für Helis)", {245, 42, 64, 8}},
    ControlTemplate{noId, Kind::GroupBox, "Motor-Steuerung", {106, 66, 108, 89}},
    ControlTemplate{ResetCountersButton, Kind::DefPushButton, "Reset", {354, 153, 35, 12}},
    ControlTemplate{noId, Kind::GroupBox, "Aktueller Speicher", {106, 163, 215, 45}},
    ControlTemplate{RpmLimitCheck, Kind::CheckBox, "Drehzahlbeg.", {335, 39, 57, 8}},
    ControlTemplate{BlockedMotorCheck, Kind::CheckBox, "Blockierschutz", {335, 29, 60, 8}},
    ControlTemplate{OverTemperatureCheck, Kind::CheckBox, "Übertemp-Sch.", {335, 19, 60, 8}},
    ControlTemplate{noId, Kind::GroupBox, "Diverse Features", {327, 7, 84, 67}},
    ControlTemplate{BlockedMotorCounter, Kind::Edit, "", {340, 135, 19, 12}},
    ControlTemplate{noId, Kind::Label, "Blockiersch.", {364, 138, 40, 8}},
    ControlTemplate{CellVoltageCheck, Kind::CheckBox, "0,8V/Zelle", {175, 25, 49, 8}},
    ControlTemplate{VoltsField, Kind::Edit, "", {176, 39, 27, 12}},
    ControlTemplate{VoltsLabel, Kind::Label, "Volt", {207, 41, 14, 8}},
    ControlTemplate{MaxFrequencyField, Kind::Edit, "", {239, 105, 25, 12}, ui::disabled},
    ControlTemplate{noId, Kind::Label, "max. Freq.", {269, 102, 34, 8}},
    ControlTemplate{RpmSettingsButton, Kind::PushButton, "Einstellungen", {241, 130, 53, 13}},
    ControlTemplate{noId, Kind::GroupBox, "Drehzahlregelung", {222, 66, 93, 88}},
    ControlTemplate{noId, Kind::Label, "Hz", {270, 111, 9, 8}},
};

// Menu 156 in pre-order; "Drehzahl messen" is a command directly on the bar.
constexpr std::array mainMenu{
    MenuItemTemplate{MenuKind::Popup, 0, noId, "Datei"},
    MenuItemTemplate{MenuKind::Item, 1, OpenUpdateFileItem, "Update-Datei öffnen"},
    MenuItemTemplate{MenuKind::Item, 1, SaveSettingsItem, "Einstellungen sichern…"},
    MenuItemTemplate{MenuKind::Item, 1, LoadSettingsItem, "Einstellungen laden…"},
    MenuItemTemplate{MenuKind::Item, 1, BackupsItem, "Sicherungen…"},
    MenuItemTemplate{MenuKind::Popup, 0, noId, "Port"},
    MenuItemTemplate{MenuKind::Item, 1, Com1Item, "COM1"},
    MenuItemTemplate{MenuKind::Item, 1, Com2Item, "COM2"},
    MenuItemTemplate{MenuKind::Item, 1, Com3Item, "COM3"},
    MenuItemTemplate{MenuKind::Item, 1, Com4Item, "COM4"},
    MenuItemTemplate{MenuKind::Item, 1, Com5Item, "COM5"},
    MenuItemTemplate{MenuKind::Item, 1, Com6Item, "COM6"},
    MenuItemTemplate{MenuKind::Item, 1, Com7Item, "COM7"},
    MenuItemTemplate{MenuKind::Item, 1, Com8Item, "COM8"},
    MenuItemTemplate{MenuKind::Popup, 0, noId, "Modellspeicher"},
    MenuItemTemplate{MenuKind::Item, 1, ReadMemory1Item, "Modellspeicher 1 lesen"},
    MenuItemTemplate{MenuKind::Item, 1, ReadMemory2Item, "Modellspeicher 2 lesen"},
    MenuItemTemplate{MenuKind::Item, 1, WriteMemory1Item, "Modellspeicher 1 schreiben "},
    MenuItemTemplate{MenuKind::Item, 1, WriteMemory2Item, "Modellspeicher 2 schreiben "},
    MenuItemTemplate{MenuKind::Popup, 0, noId, "Optionen"},
    MenuItemTemplate{MenuKind::Item, 1, LockFunctionsItem, "Sperrfunktionen"},
    MenuItemTemplate{MenuKind::Item, 1, CalibrateItem, "RC-Oszillator kalibieren"},
    MenuItemTemplate{MenuKind::Item, 1, ProcessorInfoItem, "Prozessor-Info"},
    MenuItemTemplate{MenuKind::Item, 0, RevCounterItem, "Drehzahl messen"},
    MenuItemTemplate{MenuKind::Popup, 0, noId, "Hilfe"},
    MenuItemTemplate{MenuKind::Item, 1, HelpFileItem, "Hilfe-Datei", ui::disabled},
    MenuItemTemplate{MenuKind::Item, 1, ServicePageItem, "Internet Serviceseite"},
    MenuItemTemplate{MenuKind::Item, 1, AboutItem, "Über..."},
    MenuItemTemplate{MenuKind::Item, 1, LanguageItem, "Sprache / Language"},
};

constexpr ui::DialogTemplate mainTemplate{
    MainDialog, "ZEK - Micro  Setup ", 430, 225, "MS Sans Serif", 8, mainControls, mainMenu,
};

}  // namespace

const ui::DialogTemplate& mainDialogTemplate() {
    return mainTemplate;
}

}  // namespace resources
