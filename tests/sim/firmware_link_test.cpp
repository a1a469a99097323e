// The firmware's link rules, driven edge by edge without the link module.
#include <gtest/gtest.h>

#include "bit_banger.h"

namespace sim {
namespace {

using testing::BitBanger;

struct FirmwareLink : ::testing::Test {
    TestRig rig;
    BitBanger pc{rig};
    void SetUp() override { pc.start(); }

    std::uint8_t writeSetup(std::uint8_t address, std::uint8_t value, std::uint64_t storeMs = 25) {
        return pc.send({{'V', 5}, {address, 5}, {value, storeMs}, {0, 0}});
    }
};

TEST_F(FirmwareLink, ProbeIsAnsweredOneByteLaterByEachDeviceKind) {
    using enum DeviceKind;
    const std::tuple<DeviceKind, bool, int, int> cases[] = {{ThisController, false, 0x00, 0xFE},
                                                            {OtherKind, false, 0x00, 0xFD},
                                                            {NothingAttached, false, 0x00, 0x00},
                                                            {NothingAttached, true, 0xFF, 0xFF}};
    for (const auto& [kind, idleHigh, first, later] : cases) {
        rig.controllerConfig().kind = kind;
        rig.controllerConfig().nothingAttachedLevel = idleHigh;
        pc.start();  // the register starts empty
        EXPECT_EQ(pc.exchange(0xFE), first) << later;
        EXPECT_EQ(pc.exchange(0xFE), later);
    }
}

TEST_F(FirmwareLink, ReadsWritesAndWritesThatDoNotStick) {
    rig.trace().clear();
    EXPECT_EQ(pc.send({{'U', 10}, {32, 5}, {0, 0}}), 0x10);  // DATA-IN changes after falling edges
    EXPECT_GE(testing::dataInChangesAfterFallingEdges(rig.trace()), 9);
    EXPECT_EQ(writeSetup(14, 0x2A), 0x2A);

    rig.controllerConfig().setupWritesStick = false;
    EXPECT_EQ(writeSetup(14, 0x33), 0x2A);  // the read-back shows the old value
    EXPECT_EQ(rig.setupMemory()[14], 0x2A);

    // Bits faster than the firmware's byte time still show the address, not the answer.
    rig.controllerConfig().byteResponseNs = 50'000;
    pc.send({{'U', 5}, {32, 0}});
    EXPECT_EQ(pc.exchange(0x00, /*halfBitUs=*/1), 32);
}

TEST_F(FirmwareLink, RushedFirmwareShiftsOutTheByteItLastReceived) {
    // A read-back fetched before the byte is stored still shows the value as it came in.
    EXPECT_EQ(writeSetup(14, 0x2A, 5), 0x2A);
    // A rushed page commit shows the "3", not the page number.
    pc.send({{'W', 0}, {7, 0}, {'X', 0}, {'U', 0}, {'3', 5}});
    EXPECT_EQ(pc.exchange('3'), '3');
    // Given its time, the firmware is in step again.
    pc.waitMs(40);
    pc.exchange(0xFE);
    EXPECT_EQ(pc.exchange(0xFE), 0xFE);
}

TEST_F(FirmwareLink, PageIsProgrammedFromItsBuffer) {
    pc.send({{'W', 0}, {3, 0}});
    for (std::uint8_t offset : {0, 63}) {
        const std::uint8_t data = static_cast<std::uint8_t>(0x80 + offset);
        EXPECT_EQ(pc.send({{'Y', 0}, {offset, 0}, {data, 0}}), offset);
        EXPECT_EQ(pc.exchange(0x00), data);
    }
    pc.send({{'X', 0}, {'U', 0}, {'3', 40}});
    EXPECT_EQ(pc.exchange('3'), 3);

    const FlashMemory& flash = rig.flash();  // offset 1 was never loaded
    EXPECT_EQ(std::tuple(flash.byteAt(192), flash.byteAt(193), flash.byteAt(255)),
              std::tuple(0x80, 0xFF, 0xBF));
    EXPECT_EQ(rig.pageLog().back().page, 3);
}

}  // namespace
}  // namespace sim
