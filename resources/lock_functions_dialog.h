// The lock functions dialog (1230) as data.
#pragma once

#include "ui/dialog_template.h"

namespace lock_ids {

inline constexpr int Dialog = 1230;

inline constexpr ui::ControlId ReadButton = 1204;            // "Lesen"
inline constexpr ui::ControlId WriteButton = 1205;           // "Schreiben"
inline constexpr ui::ControlId RcSetupLockCheck = 1206;      // "RC-Setup sperren"
inline constexpr ui::ControlId TestProgramLockCheck = 1207;  // "Testprogramm sperren"
inline constexpr ui::ControlId Ok = 1;                       // the dialog's default command
inline constexpr ui::ControlId EndButton = 2;                // "Ende"

}  // namespace lock_ids

namespace resources {

const ui::DialogTemplate& lockFunctionsDialogTemplate();

}  // namespace resources
