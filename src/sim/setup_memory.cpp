#include "sim/setup_memory.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

namespace sim {

SetupBytes defaultSetupImage() {
    SetupBytes m;
    m.fill(0xFF);  // bytes the setup program never touches read as erased
    // Pulse times in 0.5 µs steps, low byte first: stop 1.00 ms, neutral 1.50 ms (stored
    // less the 0.08 ms offset), full throttle 2.00 ms.
    m[4] = 0xD0, m[5] = 0x07;         // 2000
    m[6] = 0x18, m[7] = 0x0B;         // 2840
    m[8] = 0xA0, m[9] = 0x0F;         // 4000
    m[10] = 0x90;                     // automatic timing, active freewheeling, blocked-motor guard
    m[11] = 0x55;                     // RPM-control values stored
    m[12] = 0x66;                     // set up with the transmitter
    m[13] = 0xFF;                     // RC setup and test program allowed
    m[14] = 10;                       // control speed
    m[15] = 0xA5;                     // oscillator calibration copy
    m[16] = 9;                        // 15,6 kHz at 16 MHz
    m[17] = 0;                        // EMF brake off
    m[18] = 2;                        // 7.5° (used only with fixed timing)
    m[19] = 10;                       // start-up power
    m[20] = 3;                        // over-temperature protection on
    m[21] = 255;                      // under-voltage: 0.8 V per cell
    m[22] = 2;                        // under-voltage: reduce power
    m[23] = 0, m[24] = 0, m[25] = 0;  // event logs
    m[26] = 2;                        // signal tolerance medium
    m[27] = 0x01, m[28] = 0x31;       // RPM period 305: about 1000 Hz at 16 MHz
    m[30] = 16;                       // clock MHz
    m[31] = 0x1F;                     // every capability
    m[32] = 0x10, m[33] = 0x11;       // V 10.11
    m[34] = 0;                        // blocked-motor log
    m[35] = 0x20;                     // needs setup program level 0x20
    m[36] = 5;                        // P term
    m[37] = 3;                        // I term 3, stored as 6 - 3
    // Model memory 1: the current settings.
    const std::uint8_t memory1[8] = {0x90, 9, 0, 2, 10, 3, 255, 2};
    // Model memory 2: fixed timing 15°, 7,8 kHz, hard brake, 6.0 V, switch off.
    const std::uint8_t memory2[8] = {0x41, 10, 1, 4, 20, 1, 55, 3};
    for (int i = 0; i < 8; ++i) {
        m[40 + i] = memory1[i];
        m[50 + i] = memory2[i];
    }
    return m;
}

std::string loadSetupFile(const std::string& path, SetupBytes& memory) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return "cannot open " + path;
    }
    // Read one byte past the expected size so that a longer file is noticed.
    std::vector<char> bytes(setupMemorySize + 1);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    const auto count = static_cast<std::size_t>(in.gcount());
    if (in.bad()) {
        return "cannot read " + path;
    }
    if (count != setupMemorySize) {
        const std::string size =
            count > setupMemorySize ? "more than 256" : "only " + std::to_string(count);
        return path + " holds " + size + " bytes; a setup memory file holds exactly 256 bytes";
    }
    std::copy_n(bytes.begin(), setupMemorySize, memory.begin());
    return {};
}

std::string saveSetupFile(const std::string& path, const SetupBytes& memory) {
    return saveFile(path, {reinterpret_cast<const char*>(memory.data()), memory.size()});
}

std::string saveFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        return "cannot create " + path;
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
        return "cannot write " + path;
    }
    return {};
}

}  // namespace sim
