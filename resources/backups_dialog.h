// The list of automatic backups (1243) as data.
#pragma once

#include "ui/dialog_template.h"

namespace backups_ids {

inline constexpr int Dialog = 1243;

inline constexpr ui::ControlId List = 1001;  // one line a backup, the newest first
inline constexpr ui::ControlId Ok = 1;
inline constexpr ui::ControlId Cancel = 2;  // "Abbrechen"

}  // namespace backups_ids

namespace resources {

const ui::DialogTemplate& backupsDialogTemplate();

}  // namespace resources
