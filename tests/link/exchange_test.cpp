#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "adapter/adapter.h"
#include "adapter/testing/recording_lines.h"
#include "link/link.h"
#include "link/protocol_trace.h"

namespace clink {
namespace {

using adapter::testing::RecordingRig;
using ::testing::ElementsAre;

struct SerialRig : RecordingRig {
    explicit SerialRig(bool detected = false) {
        EXPECT_EQ(adapter::openSerialPort(ctx), 0);
        state.adapterDetected = detected;
        recorder.clear();
    }
};

TEST(ExchangeBit, SerialStepsWithoutDetectedAdapter) {
    SerialRig rig;
    rig.recorder.idleDataIn = 1;
    exchangeBit(rig.ctx, 1);
    EXPECT_THAT(rig.trace(), ElementsAre("DATA-OUT high", "read DATA-IN x5", "CLOCK high",
                                         "read DATA-IN x11", "CLOCK low", "read DATA-IN x5"));
    EXPECT_EQ(rig.state.receiveRegister, 1);
}

TEST(ExchangeBit, SerialDetectedAdapterReturnsDataOutHighBeforeSampling) {
    SerialRig rig(true);
    exchangeBit(rig.ctx, 0);
    EXPECT_THAT(rig.trace(),
                ElementsAre("DATA-OUT low", "read DATA-IN x5", "CLOCK high", "read DATA-IN x5",
                            "DATA-OUT high", "read DATA-IN x11", "CLOCK low", "read DATA-IN x5"));
}

TEST(ExchangeBit, ParallelStepsHaveOneDelayLessAfterSampling) {
    RecordingRig rig;
    rig.selectParallel();
    rig.state.adapterDetected = true;  // means nothing on the parallel adapter
    rig.state.outputImage = 0x08;
    exchangeBit(rig.ctx, 4);  // any non-zero value is a 1
    EXPECT_THAT(rig.trace(), ElementsAre("data 0x09", "read word x5", "data 0x0B", "read word x6",
                                         "data 0x09", "read word x5"));
}

TEST(ExchangeBit, ShiftsIntoTheRegisterWithoutOverflow) {
    SerialRig rig;
    rig.state.receiveRegister = static_cast<std::int32_t>(0xC0000000u);
    rig.recorder.idleDataIn = 1;
    exchangeBit(rig.ctx, 0);
    EXPECT_EQ(static_cast<std::uint32_t>(rig.state.receiveRegister), 0x80000001u);
}

TEST(ExchangeByte, SendsMostSignificantBitFirstAndReturnsTheAnswer) {
    for (bool parallel : {false, true}) {
        SerialRig rig;
        if (parallel) {
            rig.selectParallel();
        }
        rig.state.receiveRegister = 0x7FFF;
        rig.queueByte(0x3C);
        EXPECT_EQ(exchangeByte(rig.ctx, 0xA5), 0x3C);
        EXPECT_EQ(rig.state.receiveRegister, 0x3C);
        EXPECT_THAT(linktest::protocol(rig.recorder), ElementsAre("0xA5"));
    }
}

TEST(ExchangeByte, PutsTheBitsOfA5OnDataOutInOrder) {
    SerialRig rig;
    exchangeByte(rig.ctx, 0xA5);
    std::vector<std::string> dataOut;
    for (const std::string& change : rig.changes()) {
        if (change.rfind("DATA-OUT", 0) == 0) {
            dataOut.push_back(change.substr(9));
        }
    }
    EXPECT_THAT(dataOut, ElementsAre("high", "low", "high", "low", "low", "high", "low", "high"));
}

TEST(ExchangeByte, WithoutANewValueSendsTheLastOneAgain) {
    SerialRig rig(true);
    exchangeByte(rig.ctx, 0x5A);
    exchangeByte(rig.ctx);
    EXPECT_THAT(linktest::protocol(rig.recorder), ElementsAre("0x5A", "0x5A"));
    EXPECT_EQ(rig.state.sendRegister, 0x5A);
}

TEST(ExchangeByte, NothingAttachedGivesWhatDataInShows) {
    SerialRig rig;
    rig.recorder.idleDataIn = 1;
    EXPECT_EQ(exchangeByte(rig.ctx, 0x12), 0xFF);
    rig.recorder.idleDataIn = 0;
    EXPECT_EQ(exchangeByte(rig.ctx, 0x12), 0x00);
}

TEST(ExchangeWord, TwoWordsKeepBothAnswers) {
    SerialRig rig;
    rig.state.receiveRegister = 0;
    rig.state.sendRegister = 0x12345678;
    rig.queueByte(0xAB);
    rig.queueByte(0xCD);
    rig.queueByte(0x01);
    rig.queueByte(0x23);
    exchangeWord(rig.ctx);
    exchangeWord(rig.ctx);
    EXPECT_EQ(static_cast<std::uint32_t>(rig.state.receiveRegister), 0xABCD0123u);
    // Bits 15..0 only: no leading bitDelay(2), neither before a word nor inside it.
    EXPECT_THAT(linktest::protocol(rig.recorder),
                ElementsAre("delay -2", "0x56", "delay -2", "0x78", "delay -2", "0x56", "delay -2",
                            "0x78"));
}

}  // namespace
}  // namespace clink
