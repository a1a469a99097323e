// The Win32 serial back-end on a fake of its calls: the opening steps and their failures,
// and one call per line change and per read. Runs on every system.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "adapter/adapter.h"
#include "adapter/serial_port_win32.h"

namespace adapter::win32 {
namespace {

using ::testing::ElementsAre;

constexpr CommHandle fakeHandle = 0x4711;

// Every call as "name argument"; a call named in failures fails once with its code.
class FakeCommCalls final : public CommCalls {
  public:
    CommHandle createFile(const std::string& path) override {
        return record("CreateFileW " + path) ? fakeHandle : invalidCommHandle;
    }
    bool getCommState(CommHandle handle, CommSettings& state) override {
        state = readState;
        return record("GetCommState", handle);
    }
    bool setCommState(CommHandle handle, const CommSettings& state) override {
        written = state;
        return record("SetCommState", handle);
    }
    bool setCommTimeouts(CommHandle handle, const CommTimeouts& values) override {
        timeouts = values;
        return record("SetCommTimeouts", handle);
    }
    bool escapeCommFunction(CommHandle handle, CommFunction function) override {
        static const std::map<CommFunction, std::string> names{
            {CommFunction::SetRts, "SETRTS"},     {CommFunction::ClearRts, "CLRRTS"},
            {CommFunction::SetDtr, "SETDTR"},     {CommFunction::ClearDtr, "CLRDTR"},
            {CommFunction::SetBreak, "SETBREAK"}, {CommFunction::ClearBreak, "CLRBREAK"}};
        if (!record("EscapeCommFunction " + names.at(function), handle)) {
            return false;
        }
        if (function == CommFunction::SetDtr || function == CommFunction::ClearDtr) {
            dtr = function == CommFunction::SetDtr;
        }
        return true;
    }
    bool getCommModemStatus(CommHandle handle, std::uint32_t& status) override {
        // The adapter loops DTR back to DSR; RING (0x40) must not reach the link.
        status = cts | (dtr ? modemDsrOn : 0u) | 0x40u;
        return record("GetCommModemStatus", handle);
    }
    void closeHandle(CommHandle handle) override { record("CloseHandle", handle); }
    std::uint32_t lastError() override { return error; }
    std::string errorText(std::uint32_t code) override {
        return "system text " + std::to_string(code);
    }

    std::vector<std::string> calls;
    std::map<std::string, std::uint32_t> failures;  // first word of a call -> its error code
    std::uint32_t error = 0;
    CommSettings readState;
    CommSettings written;
    CommTimeouts timeouts;
    std::uint32_t cts = 0;
    bool dtr = false;

  private:
    bool record(const std::string& call, CommHandle handle = fakeHandle) {
        calls.push_back(handle == fakeHandle ? call : call + " on a wrong handle");
        const auto failure = failures.find(call.substr(0, call.find(' ')));
        if (failure == failures.end()) {
            return true;
        }
        error = failure->second;
        failures.erase(failure);
        return false;
    }
};

const std::vector<std::string> openingCalls{"CreateFileW \\\\.\\COM12", "GetCommState",
                                            "SetCommState", "SetCommTimeouts"};

TEST(Win32SerialPort, OpensAt9600EightNoneOneWithoutFlowControlAndKeepsTheRest) {
    FakeCommCalls calls;
    // A driver that starts with handshaking on and 115200 7E2.
    calls.readState = CommSettings{.baudRate = 115200,
                                   .byteSize = 7,
                                   .parity = 2,
                                   .stopBits = 2,
                                   .ctsFlow = true,
                                   .dsrFlow = true,
                                   .dsrSensitivity = true,
                                   .xonXoffOut = true,
                                   .xonXoffIn = true,
                                   .dtrControl = 2,
                                   .rtsControl = 2};
    calls.readState.native.fill(std::byte{0x5A});
    CommPortFactory factory(calls);
    SerialOpenResult result = SerialOpenResult::CannotOpen;
    ui::SystemError error{"COM12", "left over", 1, "from before"};
    auto lines = factory.open("COM12", result, error);
    ASSERT_NE(lines, nullptr);
    EXPECT_EQ(result, SerialOpenResult::Ok);
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(calls.calls, openingCalls);

    const CommSettings& state = calls.written;
    EXPECT_EQ(std::tie(state.baudRate, state.byteSize, state.parity, state.stopBits,
                       state.dtrControl, state.rtsControl),
              std::tuple(9600u, 8, 0, 0, 0, 0));
    EXPECT_FALSE(state.ctsFlow || state.dsrFlow || state.dsrSensitivity || state.xonXoffOut ||
                 state.xonXoffIn);
    EXPECT_EQ(state.native, calls.readState.native);
    const CommTimeouts& timeouts = calls.timeouts;
    EXPECT_EQ(std::tie(timeouts.readIntervalMs, timeouts.readTotalMultiplierMs,
                       timeouts.readTotalConstantMs),
              std::tuple(3u, 0u, 5u));

    calls.calls.clear();
    lines.reset();
    EXPECT_THAT(calls.calls, ElementsAre("CloseHandle"));
}

TEST(Win32SerialPort, EachOpeningFailureHasItsResultAndTheSystemsReason) {
    struct Case {
        const char* call;
        std::uint32_t code;
        SerialOpenResult result;
        std::size_t callsMade;  // of openingCalls, the failed one included
    };
    const Case cases[] = {
        // ERROR_ACCESS_DENIED: the port is busy.
        {"CreateFileW", 5, SerialOpenResult::CannotOpen, 1},
        {"GetCommState", 87, SerialOpenResult::CannotReadSettings, 2},
        {"SetCommState", 31, SerialOpenResult::CannotWriteSettings, 3},
        {"SetCommTimeouts", 1, SerialOpenResult::CannotWriteTimeouts, 4},
    };
    for (const Case& failing : cases) {
        SCOPED_TRACE(failing.call);
        FakeCommCalls calls;
        CommPortFactory factory(calls);

        calls.failures[failing.call] = failing.code;
        SerialOpenResult result = SerialOpenResult::Ok;
        ui::SystemError error;
        EXPECT_EQ(factory.open("COM12", result, error), nullptr);
        EXPECT_EQ(result, failing.result);
        EXPECT_EQ(error.subject, "COM12");
        EXPECT_EQ(error.call, failing.call);
        EXPECT_EQ(error.code, static_cast<int>(failing.code));
        EXPECT_EQ(error.reason, "system text " + std::to_string(failing.code));
        // A handle that was opened is closed again, so the next attempt can open it.
        std::vector<std::string> expected(openingCalls.begin(),
                                          openingCalls.begin() + failing.callsMade);
        if (failing.callsMade > 1) {
            expected.push_back("CloseHandle");
        }
        EXPECT_EQ(calls.calls, expected);
        calls.calls.clear();
        const auto lines = factory.open("COM12", result, error);
        EXPECT_EQ(calls.calls, openingCalls);
    }
}

TEST(Win32SerialPort, EachLineChangeAndEachReadIsOneCall) {
    FakeCommCalls calls;
    CommLines lines(calls, fakeHandle, "COM3");
    lines.setClock(true);
    lines.setDataOut(true);
    lines.setReset(true);
    lines.setClock(false);
    lines.setDataOut(false);
    lines.setReset(false);
    EXPECT_THAT(calls.calls,
                ElementsAre("EscapeCommFunction SETRTS", "EscapeCommFunction SETDTR",
                            "EscapeCommFunction SETBREAK", "EscapeCommFunction CLRRTS",
                            "EscapeCommFunction CLRDTR", "EscapeCommFunction CLRBREAK"));

    calls.calls.clear();
    calls.cts = modemCtsOn;
    EXPECT_EQ(lines.readDataIn(), 1);
    EXPECT_FALSE(lines.readLoopBack());
    lines.setDataOut(true);
    calls.cts = 0;
    EXPECT_EQ(lines.readModemStatus(), modemDsrOn);
    EXPECT_EQ(lines.readDataIn(), 0);
    EXPECT_THAT(calls.calls,
                ElementsAre("GetCommModemStatus", "GetCommModemStatus", "EscapeCommFunction SETDTR",
                            "GetCommModemStatus", "GetCommModemStatus"));
    EXPECT_FALSE(lines.failed());
}

TEST(Win32SerialPort, TheFirstFailedCallStopsEveryFurtherCall) {
    for (const char* call : {"EscapeCommFunction", "GetCommModemStatus"}) {
        SCOPED_TRACE(call);
        FakeCommCalls calls;
        calls.cts = modemCtsOn;
        CommLines lines(calls, fakeHandle, "COM7");
        // Error 22 (ERROR_BAD_COMMAND) is what a USB converter pulled out gives.
        calls.failures[call] = 22;
        lines.setClock(true);
        (void)lines.readDataIn();
        ASSERT_TRUE(lines.failed());
        EXPECT_EQ(lines.fault()->describe(),
                  std::string("COM7: ") + call + " failed: system text 22");
        const std::size_t made = calls.calls.size();
        lines.setDataOut(true);
        lines.setReset(true);
        EXPECT_EQ(lines.readDataIn(), 0);
        EXPECT_EQ(lines.readModemStatus(), 0u);
        EXPECT_EQ(calls.calls.size(), made);
    }
}

TEST(Win32SerialPort, ComNamesOpenInTheDeviceNamespace) {
    EXPECT_EQ(devicePath("COM1"), "\\\\.\\COM1");
    // Without the prefix CreateFileW finds only COM1 … COM9.
    EXPECT_EQ(devicePath("COM12"), "\\\\.\\COM12");
    for (const char* path :
         {"\\\\.\\COM3", "\\\\?\\usb#vid_0403", "C:\\ports\\adapter", "/dev/ttyUSB0"}) {
        EXPECT_EQ(devicePath(path), path);
    }
}

}  // namespace
}  // namespace adapter::win32
