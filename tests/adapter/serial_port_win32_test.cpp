// The Win32 serial back-end on a fake of its calls: the opening steps and their failures,
// and one call per line change and per read. Runs on every system.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "adapter/adapter.h"
#include "adapter/serial_port_win32.h"
#include "test_rig.h"

namespace adapter::win32 {
namespace {

constexpr CommHandle fakeHandle = 0x4711;
using Calls = std::vector<std::string>;

// Every call by its name, EscapeCommFunction's with the function's number (SETRTS 3,
// CLRRTS 4, SETDTR 5, CLRDTR 6, SETBREAK 8, CLRBREAK 9); a call named in failures fails
// once with its code.
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
        const auto code = static_cast<std::uint32_t>(function);
        dtr = code == 5 || (dtr && code != 6);
        return record("Escape " + std::to_string(code), handle);
    }
    bool getCommModemStatus(CommHandle handle, std::uint32_t& status) override {
        // The adapter loops DTR back to DSR; RING (0x40) must not reach the link.
        status = cts | (dtr ? modemDsrOn : 0u) | 0x40u;
        return record("GetCommModemStatus", handle);
    }
    void closeHandle(CommHandle handle) override { record("CloseHandle", handle); }
    std::uint32_t lastError() override { return error; }
    std::string errorText(std::uint32_t code) override { return "text " + std::to_string(code); }

    Calls calls;
    std::map<std::string, std::uint32_t> failures;  // first word of a call -> its error code
    std::uint32_t error = 0, cts = 0;
    bool dtr = false;
    CommSettings readState, written;
    CommTimeouts timeouts;

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

const Calls openingCalls{"CreateFileW \\\\.\\COM12", "GetCommState", "SetCommState",
                         "SetCommTimeouts"};

TEST(Win32SerialPort, OpensAt9600EightNoneOneWithoutFlowControlAndKeepsTheRest) {
    FakeCommCalls calls;
    // A driver that starts with handshaking on and 115200 7E2.
    calls.readState = CommSettings{115200, 7, 2, 2, true, true, true, true, true, 2, 2, {}};
    calls.readState.native.fill(std::byte{0x5A});
    CommPortFactory factory(calls);
    SerialOpenResult result = SerialOpenResult::CannotOpen;
    ui::SystemError error{"COM12", "left over", 1, "from before"};
    auto lines = factory.open("COM12", result, error);
    ASSERT_NE(lines, nullptr);
    EXPECT_EQ(result, SerialOpenResult::Ok);
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(calls.calls, openingCalls);
    const CommSettings& s = calls.written;
    EXPECT_EQ(std::tie(s.baudRate, s.byteSize, s.parity, s.stopBits, s.dtrControl, s.rtsControl),
              std::tuple(9600u, 8, 0, 0, 0, 0));
    EXPECT_FALSE(s.ctsFlow || s.dsrFlow || s.dsrSensitivity || s.xonXoffOut || s.xonXoffIn);
    EXPECT_EQ(s.native, calls.readState.native);
    const CommTimeouts& t = calls.timeouts;
    EXPECT_EQ(std::tie(t.readIntervalMs, t.readTotalMultiplierMs, t.readTotalConstantMs),
              std::tuple(3u, 0u, 5u));
    lines.reset();
    EXPECT_EQ(calls.calls.back(), "CloseHandle");

    // Without the prefix CreateFileW finds only COM1 … COM9; paths stand as they are.
    EXPECT_EQ(devicePath("COM1"), "\\\\.\\COM1");
    for (const char* path : {"\\\\.\\COM3", "\\\\?\\usb#vid_0403", "C:\\ports\\a", "/dev/ttyS0"}) {
        EXPECT_EQ(devicePath(path), path);
    }
}

TEST(Win32SerialPort, EachOpeningFailureHasItsResultAndTheSystemsReason) {
    const std::pair<const char*, SerialOpenResult> cases[] = {
        {"CreateFileW", SerialOpenResult::CannotOpen},
        {"GetCommState", SerialOpenResult::CannotReadSettings},
        {"SetCommState", SerialOpenResult::CannotWriteSettings},
        {"SetCommTimeouts", SerialOpenResult::CannotWriteTimeouts},
    };
    std::uint32_t code = 30;
    Calls made;
    for (const auto& [call, expected] : cases) {
        SCOPED_TRACE(call);
        FakeCommCalls calls;
        CommPortFactory factory(calls);
        calls.failures[call] = ++code;
        const ui::SystemError error = testing::refusedOpen(factory, "COM12", expected);
        EXPECT_EQ(error.describe(),
                  "COM12: " + std::string(call) + " failed: text " + std::to_string(code));
        EXPECT_EQ(error.code, static_cast<int>(code));
        // A handle that was opened is closed again, so the next attempt can open it.
        made.push_back(openingCalls[made.size()]);
        Calls expectedCalls = made;
        if (made.size() > 1) {
            expectedCalls.push_back("CloseHandle");
        }
        EXPECT_EQ(calls.calls, expectedCalls);
        calls.calls.clear();
        SerialOpenResult result{};
        EXPECT_NE(factory.open("COM12", result), nullptr);
    }
}

TEST(Win32SerialPort, OneCallPerChangeAndReadUntilTheFirstFailedOne) {
    FakeCommCalls calls;
    CommLines lines(calls, fakeHandle, "COM3");
    for (bool high : {true, false}) {
        lines.setClock(high);
        lines.setDataOut(high);
        lines.setReset(high);
    }
    calls.cts = modemCtsOn;
    EXPECT_EQ(lines.readDataIn(), 1);
    EXPECT_FALSE(lines.readLoopBack());
    lines.setDataOut(true);
    calls.cts = 0;
    EXPECT_EQ(lines.readModemStatus(), modemDsrOn);
    EXPECT_EQ(lines.readDataIn(), 0);
    const std::string status = "GetCommModemStatus";
    EXPECT_EQ(calls.calls, (Calls{"Escape 3", "Escape 5", "Escape 8", "Escape 4", "Escape 6",
                                  "Escape 9", status, status, "Escape 5", status, status}));
    EXPECT_FALSE(lines.failed());

    for (const std::string call : {"Escape", "GetCommModemStatus"}) {
        FakeCommCalls failing;
        failing.cts = modemCtsOn;
        CommLines lost(failing, fakeHandle, "COM7");
        // Error 22 (ERROR_BAD_COMMAND) is what a USB converter pulled out gives.
        failing.failures[call] = 22;
        lost.setClock(true);
        (void)lost.readDataIn();
        ASSERT_TRUE(lost.failed());
        const std::string name = call == "Escape" ? "EscapeCommFunction" : call;
        EXPECT_EQ(lost.fault()->describe(), "COM7: " + name + " failed: text 22");
        const std::size_t made = failing.calls.size();
        lost.setDataOut(true);
        lost.setReset(true);
        EXPECT_EQ(lost.readDataIn() + lost.readModemStatus(), 0u);
        EXPECT_EQ(failing.calls.size(), made);
    }
}

}  // namespace
}  // namespace adapter::win32
