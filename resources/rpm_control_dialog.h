// The RPM control dialog "Drehzahlregelung" (1231) as data.
#pragma once

#include "ui/dialog_template.h"

namespace rpm_ids {

inline constexpr int Dialog = 1231;

// --- "Maximalwerte"
inline constexpr ui::ControlId FrequencyField = 1212;      // "el.Freq. Motorphase, Hz"
inline constexpr ui::ControlId RatePerMinuteField = 1215;  // "el. Freq. Motorphase,  U/min "
inline constexpr ui::ControlId MotorSpeedField = 1219;     // "Motor-Drehzahl,  U/min"
inline constexpr ui::ControlId RotorSpeedField = 1218;  // "gewünschte" / "Rotor-Drehzahl,  U/min"
inline constexpr ui::ControlId CalculateButton = 1216;  // "Berechnen"
// --- "Motor-Getriebeeinheit"
inline constexpr ui::ControlId PoleCountField = 1176;       // "Polzahl"
inline constexpr ui::ControlId GearRatioField = 1220;       // "Getriebe-Untersetzung 1 :"
inline constexpr ui::ControlId SaveMotorDataButton = 1221;  // "Werte speichern"
// --- "Prozessor"
inline constexpr ui::ControlId ReadButton = 1213;   // "Lesen"
inline constexpr ui::ControlId WriteButton = 1214;  // "Schreiben"
// --- "P/I - Regler"
inline constexpr ui::ControlId PTermField = 1241;  // "P-Glied"
inline constexpr ui::ControlId ITermField = 1242;  // "I-Glied"

inline constexpr ui::ControlId EndButton = 1;  // "Ende"
inline constexpr ui::ControlId Cancel = 2;     // Esc, the window's close button

}  // namespace rpm_ids

namespace resources {

const ui::DialogTemplate& rpmControlDialogTemplate();

}  // namespace resources
