// libs: zek_config
// The parsers that read qvsetup.cfg: the port field and the two motor data fields.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "config/motor_data_file.h"
#include "config/port_field.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (const auto portName = config::portNameFromBytes(bytes); portName && portName->size() > 4) {
        std::abort();
    }
    const std::string_view poleField = bytes.substr(0, std::min<std::size_t>(bytes.size(), 2));
    const std::string_view ratioField = bytes.substr(poleField.size());
    const config::MotorData motor = config::motorDataFromFields(poleField, ratioField);
    if (motor.poleCount == 0 || motor.poleCount < -9 || motor.poleCount > 99) {
        std::abort();
    }
    if (!std::isfinite(motor.gearRatio) || motor.gearRatio == 0.0f) {
        std::abort();
    }
    // The normal form reads back as the same values.
    const std::string poleText = config::formatPoleCount(motor.poleCount);
    const std::string ratioText = config::formatGearRatio(motor.gearRatio);
    if (poleText.size() != 2 || config::parsePoleCountField(poleText) != motor.poleCount) {
        std::abort();
    }
    if (config::parseGearRatioField(ratioText) == 0.0f && std::fabs(motor.gearRatio) >= 0.01f) {
        std::abort();
    }
    return 0;
}
