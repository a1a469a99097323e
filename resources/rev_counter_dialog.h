// The rev counter dialog "Drehzahl-Messung" (1239) as data.
#pragma once

#include "ui/dialog_template.h"

namespace rev_ids {

inline constexpr int Dialog = 1239;

// --- "Revs"
inline constexpr ui::ControlId FrequencyField = 1212;      // "el.Freq. Motorphase, Hz"
inline constexpr ui::ControlId RatePerMinuteField = 1215;  // "el. Freq. Motorphase,  U/min "
inline constexpr ui::ControlId MotorSpeedField = 1219;     // "Motor-Drehzahl,  U/min"
inline constexpr ui::ControlId PropSpeedField = 1218;      // the countdown during the wait
inline constexpr ui::ControlId PropSpeedLabel = 1237;      // "Prop-Drehzahl,  U/min"
// --- "Motor-Getriebeeinheit"
inline constexpr ui::ControlId PoleCountField = 1176;       // "Polzahl"
inline constexpr ui::ControlId GearRatioField = 1220;       // "Getriebe-Untersetzung 1 :"
inline constexpr ui::ControlId SaveMotorDataButton = 1221;  // "Werte übernehmen"
inline constexpr ui::ControlId ReleaseMotorButton = 1235;   // "Motor-Freigabe"

inline constexpr ui::ControlId EndButton = 1;  // "Ende"
inline constexpr ui::ControlId Cancel = 2;     // Esc, the window's close button

}  // namespace rev_ids

namespace resources {

const ui::DialogTemplate& revCounterDialogTemplate();

}  // namespace resources
