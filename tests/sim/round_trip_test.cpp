// One setup byte read by the link code from the virtual controller, checked by an SPI decoder.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "adapter/adapter.h"
#include "link/link.h"
#include "sim/test_rig.h"

namespace sim {
namespace {

// The decoded bytes of one SPI line of a VCD file, as "55 20 00".
std::string sigrokDecode(const std::string& vcd, const char* annotation) {
    // 1 ns samples thinned to 100 ns; idle stretches compressed.
    const std::string command =
        "sigrok-cli -I vcd:downsample=100:compress=1000 -i '" + vcd +
        "' -P spi:clk=CLOCK:mosi=DATA_OUT:miso=DATA_IN -A spi=" + annotation + " 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string bytes;
    std::array<char, 256> line{};
    while (pipe && std::fgets(line.data(), line.size(), pipe.get()) != nullptr) {
        const std::string text(line.data());
        if (const auto colon = text.find(": "); colon != std::string::npos) {
            bytes += (bytes.empty() ? "" : " ") + text.substr(colon + 2, 2);
        }
    }
    return bytes;
}

TEST(RoundTrip, OneSetupByteReadDecodesAsSpiMode0) {
    if (std::system("sigrok-cli --version > /dev/null 2>&1") != 0) {
        GTEST_SKIP() << "sigrok-cli is not installed";
    }
    TestRig rig;
    adapter::LinkContext& link = rig.link();
    ASSERT_EQ(adapter::detectAdapter(link), 0) << rig.messageText();
    adapter::startController(link, adapter::StartForm::Standard);
    ASSERT_EQ(clink::probeExchange(link), 0xFE);
    rig.trace().clear();
    ASSERT_EQ(clink::readSetupByte(link, 33), 0x11);

    const auto path = std::filesystem::temp_directory_path() /
                      ("zek-sim-read-" +
                       std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".vcd");
    ASSERT_EQ(rig.trace().saveVcd(path.string()), "");
    const std::string mosi = sigrokDecode(path.string(), "mosi-data");
    const std::string miso = sigrokDecode(path.string(), "miso-data");
    std::filesystem::remove(path);
    EXPECT_EQ(mosi, "55 21 00");
    EXPECT_EQ(miso, "FE 55 11");  // the probe's answer, the echo of "U", the setup byte
}

}  // namespace
}  // namespace sim
