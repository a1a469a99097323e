#include "resources/backups_dialog.h"

#include <array>

#include "resources/texts.h"

namespace resources {
namespace {

using ui::ControlTemplate;
using ui::Kind;
using namespace backups_ids;

constexpr std::array backupsControls{
    ControlTemplate{List, Kind::ComboBox, "", {8, 8, 184, 120}},
    ControlTemplate{Ok, Kind::DefPushButton, "OK", {86, 30, 50, 14}},
    ControlTemplate{Cancel, Kind::PushButton, "Abbrechen", {142, 30, 50, 14}},
};
constexpr ui::DialogTemplate backupsTemplate{Dialog, texts::BackupsTitle, 200, 52, "MS Sans Serif",
                                             8,      backupsControls,     {}};

}  // namespace

const ui::DialogTemplate& backupsDialogTemplate() {
    return backupsTemplate;
}

}  // namespace resources
