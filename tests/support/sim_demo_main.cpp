// Probes the virtual controller through the real line driver and link, and reads its
// firmware version: the smallest proof that the two sides understand each other.
//
//   zek-sim-demo [--setup FILE] [--vcd FILE]
#include <cstdio>
#include <string>
#include <string_view>

#include "adapter/adapter.h"
#include "link/link.h"
#include "sim/test_rig.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: zek-sim-demo [--setup FILE] [--vcd FILE]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string setupPath;
    std::string vcdPath;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if ((arg == "--setup" || arg == "--vcd") && i + 1 < argc) {
            (arg == "--setup" ? setupPath : vcdPath) = argv[++i];
        } else {
            return usage();
        }
    }

    sim::TestRig rig;
    if (!setupPath.empty()) {
        const std::string error = sim::loadSetupFile(setupPath, rig.setupMemory());
        if (!error.empty()) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
    }
    adapter::LinkContext& link = rig.link();
    if (adapter::detectAdapter(link) != 0) {
        std::fprintf(stderr, "%s", rig.messageText().c_str());
        return 1;
    }
    // The port opened with RESET low: start the firmware as the program does before a read.
    adapter::startController(link, adapter::StartForm::Standard);
    const int answer = clink::probeExchange(link);
    std::printf("probe: %02X", answer);
    if (answer == clink::answerReady) {
        const int high = clink::readSetupByte(link, 32);
        const int low = clink::readSetupByte(link, 33);
        std::printf(", version: V %X.%02X", high, low);
    }
    std::printf("\n");
    if (!vcdPath.empty()) {
        const std::string error = rig.trace().saveVcd(vcdPath);
        if (!error.empty()) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
    }
    return answer == clink::answerReady ? 0 : 1;
}
