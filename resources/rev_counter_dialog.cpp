#include "resources/rev_counter_dialog.h"

#include <array>

namespace resources {
namespace {

using ui::ControlTemplate;
using ui::Kind;
using ui::noId;
using namespace rev_ids;

// Readings on the left, motor data on the right, the commands below the motor data.
constexpr std::array revControls{
    ControlTemplate{noId, Kind::Label, "el.Freq. Motorphase, Hz", {18, 24, 108, 8}},
    ControlTemplate{FrequencyField, Kind::Edit, "", {132, 22, 44, 12}, ui::readOnly},
    ControlTemplate{noId, Kind::Label, "el. Freq. Motorphase,  U/min ", {18, 42, 108, 8}},
    ControlTemplate{RatePerMinuteField, Kind::Edit, "", {132, 40, 44, 12}, ui::readOnly},
    ControlTemplate{noId, Kind::Label, "Motor-Drehzahl,  U/min", {18, 60, 108, 8}},
    ControlTemplate{MotorSpeedField, Kind::Edit, "", {132, 58, 44, 12}, ui::readOnly},
    ControlTemplate{PropSpeedField, Kind::Edit, "", {132, 76, 44, 12}, ui::readOnly},
    ControlTemplate{PropSpeedLabel, Kind::Label, "Prop-Drehzahl,  U/min", {18, 78, 108, 8}},
    ControlTemplate{noId, Kind::GroupBox, "Revs", {8, 8, 182, 92}},
    ControlTemplate{noId, Kind::Label, "Polzahl", {210, 24, 92, 8}},
    ControlTemplate{PoleCountField, Kind::Edit, "", {306, 22, 30, 12}, ui::groupStart},
    ControlTemplate{noId, Kind::Label, "Getriebe-Untersetzung 1 :", {210, 42, 92, 8}},
    ControlTemplate{GearRatioField, Kind::Edit, "", {306, 40, 30, 12}},
    ControlTemplate{SaveMotorDataButton, Kind::PushButton, "Werte übernehmen", {296, 60, 66, 14}},
    ControlTemplate{noId, Kind::GroupBox, "Motor-Getriebeeinheit", {200, 8, 173, 74}},
    ControlTemplate{
        ReleaseMotorButton, Kind::PushButton, "Motor-Freigabe", {200, 122, 66, 16}, ui::groupStart},
    ControlTemplate{EndButton, Kind::DefPushButton, "Ende", {307, 122, 66, 16}},
};

constexpr ui::DialogTemplate revTemplate{Dialog, "Drehzahl-Messung", 381, 145, "MS Sans Serif",
                                         8,      revControls,        {}};

}  // namespace

const ui::DialogTemplate& revCounterDialogTemplate() {
    return revTemplate;
}

}  // namespace resources
