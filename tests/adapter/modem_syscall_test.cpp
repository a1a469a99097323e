// One system call per line change and per read: linked with --wrap=ioctl, every ioctl on
// the fake descriptor lands here and is answered from a fake set of modem lines.
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <cerrno>
#include <cstdarg>
#include <utility>
#include <vector>

#include "adapter/link_state.h"
#include "adapter/modem_lines.h"

namespace {

constexpr int fakeFd = 4711;

using Call = std::pair<unsigned long, int>;  // request, bits

struct FakeModem {
    std::vector<Call> calls;
    int lines = 0;            // TIOCM_* bits as driven, plus CTS; DSR follows DTR
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
    fake.calls.emplace_back(request, setsBits ? *bits : 0);
    const int error = fake.errors.empty() ? 0 : fake.errors.front();
    if (!fake.errors.empty()) {
        fake.errors.erase(fake.errors.begin());
    }
    if (error != 0) {
        errno = error;
        return -1;
    }
    if (request == TIOCMBIS) {
        fake.lines |= *bits;
    } else if (request == TIOCMBIC) {
        fake.lines &= ~*bits;
    } else if (request == TIOCMGET) {
        *bits = fake.lines | ((fake.lines & TIOCM_DTR) != 0 ? TIOCM_DSR : 0);
    } else if (request != TIOCSBRK && request != TIOCCBRK) {
        errno = ENOTTY;
        return -1;
    }
    return 0;
}

namespace adapter {
namespace {

class ModemSyscalls : public ::testing::Test {
  protected:
    void SetUp() override { fake = FakeModem{}; }
    modem::HandleLines lines{fakeFd};
};

TEST_F(ModemSyscalls, EachLineChangeAndEachReadIsOneCall) {
    for (bool high : {true, false}) {
        lines.setClock(high);
        lines.setDataOut(high);
        lines.setReset(high);
    }
    const std::vector<Call> changes{{TIOCMBIS, TIOCM_RTS}, {TIOCMBIS, TIOCM_DTR}, {TIOCSBRK, 0},
                                    {TIOCMBIC, TIOCM_RTS}, {TIOCMBIC, TIOCM_DTR}, {TIOCCBRK, 0}};
    EXPECT_EQ(fake.calls, changes);
    EXPECT_FALSE(lines.failed());

    fake.calls.clear();
    fake.lines = TIOCM_CTS;
    EXPECT_EQ(lines.readDataIn(), 1);
    fake.lines = TIOCM_DTR;  // DSR follows
    EXPECT_EQ(lines.readModemStatus(), modemDsrOn);
    EXPECT_TRUE(lines.readLoopBack());
    fake.lines = 0;
    EXPECT_EQ(lines.readDataIn(), 0);
    EXPECT_FALSE(lines.readLoopBack());
    EXPECT_EQ(fake.calls, (std::vector<Call>(5, Call{TIOCMGET, 0})));
}

TEST_F(ModemSyscalls, AnInterruptedCallIsMadeAgainAFailedOneStopsAllFurtherCalls) {
    fake.errors = {EINTR, 0};
    lines.setClock(true);
    EXPECT_FALSE(lines.failed());
    EXPECT_EQ(fake.lines, TIOCM_RTS);
    fake.errors = {EIO};
    lines.setDataOut(true);
    EXPECT_TRUE(lines.failed());
    EXPECT_EQ(lines.error().call, "ioctl(TIOCMBIS)");
    EXPECT_EQ(lines.error().code, EIO);
    lines.setClock(false);
    EXPECT_EQ(lines.readDataIn(), 0);
    EXPECT_EQ(fake.calls.size(), 3u);
}

}  // namespace
}  // namespace adapter
