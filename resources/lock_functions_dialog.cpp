#include "resources/lock_functions_dialog.h"

#include <array>

namespace resources {
namespace {

using ui::ControlTemplate;
using ui::Kind;
using ui::noId;
using namespace lock_ids;

// The locks sit in their group on the left, the commands stand at the right.
constexpr std::array lockControls{
    ControlTemplate{ReadButton, Kind::DefPushButton, "Lesen", {146, 14, 50, 14}},
    ControlTemplate{WriteButton, Kind::PushButton, "Schreiben", {146, 34, 50, 14}, ui::disabled},
    ControlTemplate{
        RcSetupLockCheck, Kind::CheckBox, "RC-Setup sperren", {22, 26, 96, 10}, ui::disabled},
    ControlTemplate{TestProgramLockCheck,
                    Kind::CheckBox,
                    "Testprogramm sperren",
                    {22, 42, 96, 10},
                    ui::disabled},
    ControlTemplate{EndButton, Kind::PushButton, "Ende", {146, 70, 50, 14}},
    ControlTemplate{noId, Kind::GroupBox, "Optionen", {12, 10, 118, 52}},
};

constexpr ui::DialogTemplate lockTemplate{Dialog,          "ZEK-Setup", 208,          95,
                                          "MS Sans Serif", 8,           lockControls, {}};

}  // namespace

const ui::DialogTemplate& lockFunctionsDialogTemplate() {
    return lockTemplate;
}

}  // namespace resources
