#include "resources/rpm_control_dialog.h"

#include <array>

namespace resources {
namespace {

using ui::ControlTemplate;
using ui::Kind;
using ui::noId;
using namespace rpm_ids;

// Speeds on the left, motor data and regulator terms on the right, the controller's
// commands below the speeds and "Ende" in the bottom right corner.
constexpr std::array rpmControls{
    ControlTemplate{noId, Kind::Label, "el.Freq. Motorphase, Hz", {18, 24, 108, 8}},
    ControlTemplate{FrequencyField, Kind::Edit, "", {132, 22, 44, 12}, ui::disabled},
    ControlTemplate{noId, Kind::Label, "el. Freq. Motorphase,  U/min ", {18, 42, 108, 8}},
    ControlTemplate{RatePerMinuteField, Kind::Edit, "", {132, 40, 44, 12}, ui::disabled},
    ControlTemplate{noId, Kind::Label, "Motor-Drehzahl,  U/min", {18, 60, 108, 8}},
    ControlTemplate{MotorSpeedField, Kind::Edit, "", {132, 58, 44, 12}, ui::disabled},
    ControlTemplate{noId, Kind::Label, "gewünschte", {18, 74, 108, 8}},
    ControlTemplate{noId, Kind::Label, "Rotor-Drehzahl,  U/min", {18, 83, 108, 8}},
    ControlTemplate{
        RotorSpeedField, Kind::Edit, "", {132, 78, 44, 12}, ui::disabled | ui::groupStart},
    ControlTemplate{
        CalculateButton, Kind::PushButton, "Berechnen", {132, 98, 44, 14}, ui::disabled},
    ControlTemplate{noId, Kind::GroupBox, "Maximalwerte", {8, 8, 182, 112}},
    ControlTemplate{noId, Kind::Label, "Polzahl", {210, 24, 92, 8}},
    ControlTemplate{PoleCountField, Kind::Edit, "", {306, 22, 30, 12}, ui::groupStart},
    ControlTemplate{noId, Kind::Label, "Getriebe-Untersetzung 1 :", {210, 42, 92, 8}},
    ControlTemplate{GearRatioField, Kind::Edit, "", {306, 40, 30, 12}},
    ControlTemplate{SaveMotorDataButton, Kind::PushButton, "Werte speichern", {306, 58, 60, 14}},
    ControlTemplate{noId, Kind::GroupBox, "Motor-Getriebeeinheit", {200, 8, 217, 72}},
    ControlTemplate{ReadButton, Kind::PushButton, "Lesen", {18, 140, 50, 14}, ui::groupStart},
    ControlTemplate{WriteButton, Kind::PushButton, "Schreiben", {78, 140, 50, 14}, ui::disabled},
    ControlTemplate{noId, Kind::GroupBox, "Prozessor", {8, 126, 182, 34}},
    ControlTemplate{noId, Kind::Label, "P-Glied", {210, 100, 30, 8}},
    ControlTemplate{PTermField, Kind::Edit, "", {244, 98, 20, 12}, ui::disabled | ui::groupStart},
    ControlTemplate{noId, Kind::Label, "I-Glied", {210, 116, 30, 8}},
    ControlTemplate{ITermField, Kind::Edit, "", {244, 114, 20, 12}, ui::disabled},
    ControlTemplate{noId, Kind::Label, "1: weich / 5: hart", {276, 108, 70, 8}},
    ControlTemplate{noId, Kind::GroupBox, "P/I - Regler", {200, 86, 217, 46}},
    ControlTemplate{EndButton, Kind::PushButton, "Ende", {357, 142, 60, 16}, ui::groupStart},
};

constexpr ui::DialogTemplate rpmTemplate{Dialog, "Drehzahlregelung", 425, 167, "MS Sans Serif",
                                         8,      rpmControls,        {}};

}  // namespace

const ui::DialogTemplate& rpmControlDialogTemplate() {
    return rpmTemplate;
}

}  // namespace resources
