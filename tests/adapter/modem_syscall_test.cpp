// One system call per line change and per read, with the right request and bit: the
// test binary is linked with --wrap=ioctl, so every ioctl the line driver makes on the
// fake descriptor lands here and is answered from a fake set of modem lines.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <cerrno>
#include <cstdarg>
#include <vector>

#include "adapter/adapter.h"
#include "adapter/modem_lines.h"
#include "adapter/testing/recording_lines.h"
#include "link/link.h"

namespace {

constexpr int fakeFd = 4711;

struct Call {
    unsigned long request;
    int bits;
};

struct FakeModem {
    std::vector<Call> calls;
    int lines = 0;  // TIOCM_* bits as driven, plus CTS and DSR from the far side
    bool brk = false;
    bool loopBack = true;     // DSR follows DTR
    std::vector<int> errors;  // errno for the next calls; 0 = success
};

FakeModem fake;

}  // namespace

extern "C" int __real_ioctl(int fd, unsigned long request, ...);

extern "C" int __wrap_ioctl(int fd, unsigned long request, ...) {
    va_list args;
    va_start(args, request);
    void* argument = va_arg(args, void*);
    va_end(args);
    if (fd != fakeFd) {
        return __real_ioctl(fd, request, argument);
    }
    // TIOCSBRK and TIOCCBRK take no argument: only the bit requests carry one to read.
    int* bits = static_cast<int*>(argument);
    const bool setsBits = request == TIOCMBIS || request == TIOCMBIC;
    fake.calls.push_back(Call{request, setsBits ? *bits : 0});
    if (!fake.errors.empty()) {
        int error = fake.errors.front();
        fake.errors.erase(fake.errors.begin());
        if (error != 0) {
            errno = error;
            return -1;
        }
    }
    switch (request) {
        case TIOCMBIS:
            fake.lines |= *bits;
            break;
        case TIOCMBIC:
            fake.lines &= ~*bits;
            break;
        case TIOCSBRK:
            fake.brk = true;
            break;
        case TIOCCBRK:
            fake.brk = false;
            break;
        case TIOCMGET: {
            int dsr = fake.loopBack && (fake.lines & TIOCM_DTR) != 0 ? TIOCM_DSR : 0;
            *bits = fake.lines | dsr;
            break;
        }
        default:
            errno = ENOTTY;
            return -1;
    }
    return 0;
}

namespace adapter {
namespace {

using ::testing::ElementsAre;

class ModemSyscalls : public ::testing::Test {
  protected:
    void SetUp() override { fake = FakeModem{}; }
    modem::HandleLines lines{fakeFd};
};

TEST_F(ModemSyscalls, EachLineChangeIsOneCallWithItsOwnBit) {
    lines.setClock(true);
    lines.setDataOut(true);
    lines.setReset(true);
    lines.setClock(false);
    lines.setDataOut(false);
    lines.setReset(false);
    ASSERT_EQ(fake.calls.size(), 6u);
    EXPECT_EQ(fake.calls[0].request, static_cast<unsigned long>(TIOCMBIS));
    EXPECT_EQ(fake.calls[0].bits, TIOCM_RTS);
    EXPECT_EQ(fake.calls[1].request, static_cast<unsigned long>(TIOCMBIS));
    EXPECT_EQ(fake.calls[1].bits, TIOCM_DTR);
    EXPECT_EQ(fake.calls[2].request, static_cast<unsigned long>(TIOCSBRK));
    EXPECT_EQ(fake.calls[3].request, static_cast<unsigned long>(TIOCMBIC));
    EXPECT_EQ(fake.calls[3].bits, TIOCM_RTS);
    EXPECT_EQ(fake.calls[4].request, static_cast<unsigned long>(TIOCMBIC));
    EXPECT_EQ(fake.calls[4].bits, TIOCM_DTR);
    EXPECT_EQ(fake.calls[5].request, static_cast<unsigned long>(TIOCCBRK));
    EXPECT_FALSE(lines.failed());
}

TEST_F(ModemSyscalls, EachReadIsOneCall) {
    fake.lines = TIOCM_CTS;
    EXPECT_EQ(lines.readDataIn(), 1);
    fake.lines = 0;
    EXPECT_EQ(lines.readDataIn(), 0);
    lines.setDataOut(true);
    EXPECT_EQ(lines.readModemStatus(), modemDsrOn);
    EXPECT_EQ(fake.calls.size(), 4u);
}

TEST_F(ModemSyscalls, AnInterruptedCallIsMadeAgain) {
    fake.errors = {EINTR, 0};
    lines.setClock(true);
    EXPECT_FALSE(lines.failed());
    EXPECT_EQ(fake.calls.size(), 2u);
    EXPECT_NE(fake.lines & TIOCM_RTS, 0);
}

TEST_F(ModemSyscalls, AFailedCallStopsAllFurtherCalls) {
    fake.errors = {EIO};
    lines.setDataOut(true);
    EXPECT_TRUE(lines.failed());
    EXPECT_EQ(lines.error().code, EIO);
    lines.setClock(true);
    EXPECT_EQ(lines.readDataIn(), 0);
    EXPECT_EQ(fake.calls.size(), 1u);
}

// Hands out lines on the fake descriptor.
class FakePortFactory final : public SerialPortFactory {
  public:
    std::unique_ptr<LineAccess> open(const std::string&, SerialOpenResult& result) override {
        result = SerialOpenResult::Ok;
        return std::make_unique<modem::HandleLines>(fakeFd);
    }
};

TEST_F(ModemSyscalls, TheAdapterTestAndAByteCostOneCallPerOperation) {
    testing::RecordingRig rig;
    FakePortFactory factory;
    LinkContext ctx{rig.port, rig.state,  rig.messageText, rig.recorder.clock,
                    factory,  rig.portIo, rig.host,        nullptr};
    ASSERT_EQ(detectAdapter(ctx), 0);
    EXPECT_EQ(fake.calls.size(), 4u);  // DTR on, status, DTR off, status

    fake.calls.clear();
    ctx.state.adapterDetected = false;
    ctx.state.bitDelayCount = 1;
    clink::exchangeByte(ctx, 0xA5);
    // bitDelay(2), then per bit three line changes, one sample and four bitDelay(1).
    EXPECT_EQ(fake.calls.size(), 10u + 8u * (3u + 1u + 4u * 5u));
}

}  // namespace
}  // namespace adapter
