// The link and processor-service code against the virtual controller on both adapters: the
// two sides were written apart, so agreement means both follow the same protocol.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "adapter/adapter.h"
#include "isp/isp_access.h"
#include "link/link.h"
#include "sim/test_rig.h"

namespace sim {
namespace {

struct RoundTrip : ::testing::TestWithParam<bool> {
    TestRig rig;
    adapter::LinkContext& link = rig.link();
    void SetUp() override {
        if (GetParam()) {  // the start sequences drive the serial lines only
            rig.selectParallel();
            adapter::setReset(link, false);
            adapter::delayMs(link, 1);
            adapter::setReset(link, true);
            adapter::delayMs(link, 500);
        } else {
            ASSERT_EQ(adapter::detectAdapter(link), 0) << rig.messageText();
            adapter::startController(link, adapter::StartForm::Standard);
        }
    }
};

INSTANTIATE_TEST_SUITE_P(Adapters, RoundTrip, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Parallel" : "Serial"; });

TEST_P(RoundTrip, ProbeReadWriteAndPages) {
    EXPECT_EQ(clink::probeBootloader(link), 0);
    EXPECT_EQ(clink::readSetupByte(link, 32), 0x10);
    EXPECT_EQ(clink::readSetupByte(link, 33), 0x11);
    EXPECT_EQ(clink::writeSetupByte(link, 14, 0x1FF), 0);
    EXPECT_EQ(rig.setupMemory()[14], 0xFF);
    EXPECT_EQ(clink::readSetupByte(link, 14), 0xFF);

    for (int page : {0, 1, 255}) {
        clink::selectFlashPage(link, page);
        for (int offset = 0; offset < 64; ++offset) {
            ASSERT_EQ(clink::loadPageByte(link, offset, (page + offset) & 0xFF), 0) << offset;
        }
        ASSERT_EQ(clink::commitFlashPage(link, page), 0) << page;
        for (int offset : {0, 17, 63}) {
            EXPECT_EQ(rig.flash().byteAt(static_cast<std::size_t>(page * 64 + offset)),
                      (page + offset) & 0xFF);
        }
    }
    EXPECT_EQ(rig.flash().byteAt(2 * 64), 0xFF);
    EXPECT_EQ(rig.pageLog().size(), 6u);

    rig.controllerConfig().setupWritesStick = false;
    EXPECT_EQ(clink::writeSetupByteChecked(link, 19, 33), 1);
    EXPECT_EQ(rig.host().lastText(), "Schreibfehler!");
}

TEST_P(RoundTrip, ProcessorConnectionCases) {
    struct Case {
        IspConfig processor;
        int result;
        const char* message;  // the start of messageText on failure, else the last box
    };
    const Case cases[] = {
        {{.frameOffsetBits = 7}, 0, ""},
        {{.neverEchoes = true}, 1, "No Connection!\n\n"},
        {{.familyOne = FamilyOneReads::Always}, isp::ispLocked, "Device locked!\n\n"},
        // The decision reads the signature again: 0x01 shown once is accepted there; shown
        // twice, the locked retry reads 0x93, which goes on to the unknown-device test only.
        {{.familyOne = FamilyOneReads::Once}, 0, ""},
        {{.familyOne = FamilyOneReads::Once, .familyOnePasses = 2}, 1, "Unknown Device Code!\n\n"},
        {{.signatureErased = true}, 0, "Device Code erased!\n\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        TestRig fresh;
        if (GetParam()) {
            fresh.selectParallel();
        }
        fresh.ispConfig() = c.processor;
        isp::IspState state;
        isp::IspContext ctx{fresh.link(), state};
        EXPECT_EQ(isp::ispConnect(ctx), c.result) << fresh.messageText();
        if (c.result == 0) {
            EXPECT_EQ(fresh.host().lastText(), c.message);
            EXPECT_EQ(fresh.controller().mode(), ControllerMode::InReset);
        } else {
            EXPECT_EQ(fresh.messageText().rfind(c.message, 0), 0u) << fresh.messageText();
        }
    }
}

// The decoded bytes of one SPI line of a VCD file, as "55 20 00".
std::string sigrokDecode(const std::string& vcd, const char* annotation) {
    // 1 ns samples thinned to 100 ns; idle stretches (the 5 ms waits) compressed.
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

TEST_P(RoundTrip, OneSetupByteReadDecodesAsSpiMode0) {
    if (std::system("sigrok-cli --version > /dev/null 2>&1") != 0) {
        GTEST_SKIP() << "sigrok-cli is not installed";
    }
    ASSERT_EQ(clink::probeExchange(link), 0xFE);
    rig.trace().clear();
    ASSERT_EQ(clink::readSetupByte(link, 33), 0x11);

    const auto path =
        std::filesystem::temp_directory_path() /
        ("zek-sim-read-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         (GetParam() ? "p.vcd" : "s.vcd"));
    ASSERT_EQ(rig.trace().saveVcd(path.string()), "");
    const std::string mosi = sigrokDecode(path.string(), "mosi-data");
    const std::string miso = sigrokDecode(path.string(), "miso-data");
    std::filesystem::remove(path);
    EXPECT_EQ(mosi, "55 21 00");
    EXPECT_EQ(miso, "FE 55 11");  // the probe's answer, the echo of "U", the setup byte
}

}  // namespace
}  // namespace sim
