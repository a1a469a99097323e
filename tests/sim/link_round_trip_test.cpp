// The link module against the virtual controller: the two sides were written apart, so
// agreement here means both follow the same protocol.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "adapter/adapter.h"
#include "link/link.h"
#include "sim/test_rig.h"

namespace sim {
namespace {

struct LinkRoundTrip : ::testing::Test {
    TestRig rig;
    adapter::LinkContext& link = rig.link();
    void SetUp() override {
        ASSERT_EQ(adapter::detectAdapter(link), 0) << rig.messageText();
        adapter::startController(link, adapter::StartForm::Standard);
    }
};

TEST_F(LinkRoundTrip, ProbeReadAndWrite) {
    EXPECT_EQ(clink::probeBootloader(link), 0);
    EXPECT_EQ(clink::readSetupByte(link, 32), 0x10);
    EXPECT_EQ(clink::readSetupByte(link, 33), 0x11);
    EXPECT_EQ(clink::writeSetupByte(link, 14, 0x1FF), 0);
    EXPECT_EQ(rig.setupMemory()[14], 0xFF);
    EXPECT_EQ(clink::readSetupByte(link, 14), 0xFF);
}

TEST_F(LinkRoundTrip, DeviceKindsAsTheProbeSeesThem) {
    rig.controllerConfig().kind = DeviceKind::OtherKind;
    EXPECT_EQ(clink::probeExchange(link), 0xFD);
    rig.controllerConfig().kind = DeviceKind::NothingAttached;
    EXPECT_EQ(clink::probeExchange(link), 0x00);
    rig.controllerConfig().nothingAttachedLevel = true;
    EXPECT_EQ(clink::probeExchange(link), 0xFF);
}

TEST_F(LinkRoundTrip, WriteThatDoesNotStickIsReported) {
    rig.controllerConfig().setupWritesStick = false;
    EXPECT_EQ(clink::writeSetupByteChecked(link, 19, 33), 1);
    EXPECT_EQ(rig.host().lastText(), "Schreibfehler!");
}

TEST_F(LinkRoundTrip, PagesProgrammedThroughTheBootloaderCommands) {
    for (int page : {0, 1, 255}) {
        clink::selectFlashPage(link, page);
        for (int offset = 0; offset < 64; ++offset) {
            ASSERT_EQ(clink::loadPageByte(link, offset, (page + offset) & 0xFF), 0) << offset;
        }
        ASSERT_EQ(clink::commitFlashPage(link, page), 0) << page;
    }
    for (int page : {0, 1, 255}) {
        for (int offset : {0, 17, 63}) {
            EXPECT_EQ(rig.flash().byteAt(static_cast<std::size_t>(page * 64 + offset)),
                      (page + offset) & 0xFF);
        }
    }
    EXPECT_EQ(rig.flash().byteAt(2 * 64), 0xFF);
    EXPECT_EQ(rig.pageLog().size(), 6u);
}

TEST_F(LinkRoundTrip, SlowPageCommitFailsTheConfirmation) {
    rig.controllerConfig().pageCommitNs = 45'000'000;  // longer than the PC's 40 ms
    clink::selectFlashPage(link, 9);
    ASSERT_EQ(clink::loadPageByte(link, 0, 0x12), 0);
    EXPECT_EQ(clink::commitFlashPage(link, 9), 1);
}

// sigrok-cli's SPI decoder reads the VCD trace of one setup byte read.
class SigrokDecode : public LinkRoundTrip {
  protected:
    static bool haveSigrok() { return std::system("sigrok-cli --version > /dev/null 2>&1") == 0; }

    // The decoded bytes of one SPI line, as "55 20 00".
    static std::string decode(const std::string& vcd, const char* annotation) {
        // 1 ns samples thinned to 100 ns; idle stretches (the 5 ms waits) compressed.
        const std::string command =
            "sigrok-cli -I vcd:downsample=100:compress=1000 -i '" + vcd +
            "' -P spi:clk=CLOCK:mosi=DATA_OUT:miso=DATA_IN -A spi=" + annotation + " 2>&1";
        std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
        std::string bytes;
        std::array<char, 256> line{};
        while (pipe && std::fgets(line.data(), line.size(), pipe.get()) != nullptr) {
            std::string text(line.data());
            const auto colon = text.find(": ");
            if (colon != std::string::npos) {
                bytes += (bytes.empty() ? "" : " ") + text.substr(colon + 2, 2);
            }
        }
        return bytes;
    }
};

TEST_F(SigrokDecode, OneSetupByteReadDecodesAsSpiMode0) {
    if (!haveSigrok()) {
        GTEST_SKIP() << "sigrok-cli is not installed";
    }
    ASSERT_EQ(clink::probeExchange(link), 0xFE);
    rig.trace().clear();
    ASSERT_EQ(clink::readSetupByte(link, 33), 0x11);

    const auto path = std::filesystem::temp_directory_path() /
                      ("zek-sim-read-" +
                       std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".vcd");
    ASSERT_EQ(rig.trace().saveVcd(path.string()), "");
    const std::string mosi = decode(path.string(), "mosi-data");
    const std::string miso = decode(path.string(), "miso-data");
    std::filesystem::remove(path);
    EXPECT_EQ(mosi, "55 21 00");
    // The probe's answer, the echo of "U", then the setup byte.
    EXPECT_EQ(miso, "FE 55 11");
}

}  // namespace
}  // namespace sim
