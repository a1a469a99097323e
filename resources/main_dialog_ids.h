// Control and menu ids of the main dialog (1227) and its menu (156). The numbers
// stand here only; everything else uses the names.
#pragma once

#include "ui/dialog_template.h"

namespace ids {

inline constexpr int MainDialog = 1227;
inline constexpr int MainMenu = 156;

inline constexpr ui::ControlId Ok = 1;
inline constexpr ui::ControlId Cancel = 2;  // "Ende", the window's close button

// --- buttons
inline constexpr ui::ControlId ReadButton = 1149;           // "Lesen"
inline constexpr ui::ControlId EndButton = 2;               // "Ende"
inline constexpr ui::ControlId WriteButton = 1150;          // "Schreiben"
inline constexpr ui::ControlId ReleaseButton = 1184;        // "Release", hidden
inline constexpr ui::ControlId ResetCountersButton = 1183;  // "Reset"
inline constexpr ui::ControlId RpmSettingsButton = 1210;    // "Einstellungen"

// --- fields
inline constexpr ui::ControlId StatusField = 1044;
inline constexpr ui::ControlId VersionField = 1145;       // "Version/Typ"
inline constexpr ui::ControlId FullThrottleField = 1135;  // "Vollg."
inline constexpr ui::ControlId NeutralField = 1166;       // "Neut."
inline constexpr ui::ControlId StopField = 1134;          // "Stopp" / "retour"
inline constexpr ui::ControlId TimingList = 1140;
inline constexpr ui::ControlId BrakeList = 1146;          // "EMK-Bremse"
inline constexpr ui::ControlId ControlSpeedField = 1142;  // "Regel-Tempo (1 - 50)"
inline constexpr ui::ControlId StartPowerField = 1164;    // "Anlauf-Leistung (1 - 50)"
inline constexpr ui::ControlId VoltsField = 1194;         // "Volt" threshold
inline constexpr ui::ControlId VoltsLabel = 1195;
inline constexpr ui::ControlId MaxFrequencyField = 1212;          // "max. Freq."
inline constexpr ui::ControlId TransmitterFailureCounter = 1177;  // "Senderausf."
inline constexpr ui::ControlId OverTemperatureCounter = 1178;     // "Übertemp."
inline constexpr ui::ControlId UnderVoltageCounter = 1179;        // "Unterspg."
inline constexpr ui::ControlId BlockedMotorCounter = 1192;        // "Blockiersch."

// --- check boxes and radios
inline constexpr ui::ControlId ActiveFreewheelCheck = 1137;  // "Aktiver Freilauf"
inline constexpr ui::ControlId Frequency78Radio = 1138;      // "7,8 kHz"
inline constexpr ui::ControlId Frequency156Radio = 1139;     // "15,6 kHz"
inline constexpr ui::ControlId ForwardReverseCheck = 1169;   // "Vor/Rueckw."
inline constexpr ui::ControlId IgnoreRadio = 1168;           // "ignorieren"
inline constexpr ui::ControlId SwitchOffRadio = 1170;        // "abschalten"
inline constexpr ui::ControlId ReducePowerRadio = 1171;      // "abregeln"
inline constexpr ui::ControlId RpmControlCheck = 1175;       // "Regelung aktiv"
inline constexpr ui::ControlId ToleranceSmallRadio = 1180;   // "klein (hohe Sich.)"
inline constexpr ui::ControlId ToleranceMediumRadio = 1181;  // "mittel"
inline constexpr ui::ControlId ToleranceHighRadio = 1182;    // "hoch (für Helis)"
inline constexpr ui::ControlId RpmLimitCheck = 1188;         // "Drehzahlbeg."
inline constexpr ui::ControlId BlockedMotorCheck = 1190;     // "Blockierschutz"
inline constexpr ui::ControlId OverTemperatureCheck = 1191;  // "Übertemp-Sch."
inline constexpr ui::ControlId CellVoltageCheck = 1193;      // "0,8V/Zelle"

// --- menu
inline constexpr ui::ControlId OpenUpdateFileItem = 1147;  // "Update-Datei öffnen"
inline constexpr ui::ControlId SaveSettingsItem = 1240;    // "Einstellungen sichern…"
inline constexpr ui::ControlId LoadSettingsItem = 1241;    // "Einstellungen laden…"
inline constexpr ui::ControlId BackupsItem = 1242;         // "Sicherungen…"
inline constexpr ui::ControlId Com1Item = 1155;            // … COM8 = 1162
inline constexpr ui::ControlId Com2Item = 1156;
inline constexpr ui::ControlId Com3Item = 1157;
inline constexpr ui::ControlId Com4Item = 1158;
inline constexpr ui::ControlId Com5Item = 1159;
inline constexpr ui::ControlId Com6Item = 1160;
inline constexpr ui::ControlId Com7Item = 1161;
inline constexpr ui::ControlId Com8Item = 1162;
inline constexpr ui::ControlId ReadMemory1Item = 1198;
inline constexpr ui::ControlId ReadMemory2Item = 1199;
inline constexpr ui::ControlId WriteMemory1Item = 1200;
inline constexpr ui::ControlId WriteMemory2Item = 1201;
inline constexpr ui::ControlId LockFunctionsItem = 1202;  // "Sperrfunktionen"
inline constexpr ui::ControlId CalibrateItem = 1208;      // "RC-Oszillator kalibieren"
inline constexpr ui::ControlId ProcessorInfoItem = 1225;  // "Prozessor-Info"
inline constexpr ui::ControlId RevCounterItem = 1238;     // "Drehzahl messen"
inline constexpr ui::ControlId HelpFileItem = 1104;       // "Hilfe-Datei"
inline constexpr ui::ControlId ServicePageItem = 1197;    // "Internet Serviceseite"
inline constexpr ui::ControlId AboutItem = 1151;          // "Über..."
inline constexpr ui::ControlId LanguageItem = 1244;       // "Sprache / Language"

}  // namespace ids
