// Pole count and gearbox reduction of the motor, kept in qvsetup.cfg.
#pragma once

namespace config {

struct MotorData {
    int poleCount = 2;
    float gearRatio = 1.0f;  // reduction 1 : gearRatio between motor and rotor
};

}  // namespace config
