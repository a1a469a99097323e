// The Windows back-ends on the system's own calls (run under Wine in CI). No test opens a
// COM port that could be a real one: under Wine COMn is /dev/ttyS(n-1), and /dev/ttyS0 is
// the console of the build machines. The CI script links two high COM numbers to
// harmless devices and names them in ZEK_WINE_SERIAL_PTY (a pseudo-terminal: the
// settings calls work, the modem-line calls fail) and ZEK_WINE_SERIAL_NULL (/dev/null:
// no serial settings at all); the tests that need them are skipped elsewhere.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "adapter/adapter.h"
#include "adapter/com_ports_win32.h"
#include "adapter/parallel_access.h"
#include "adapter/port_io_win32.h"
#include "adapter/serial_port_win32.h"
#include "adapter/timer_resolution.h"
#include "test_rig.h"

namespace adapter::win32 {
namespace {

// A missing port fails at CreateFileW with FormatMessage's own text, without its line
// break; a device without serial settings at GetCommState, closed again so that it opens
// as far once more; a port without modem lines opens and fails at its first line call.
TEST(Win32SystemSerialPort, EachStepFailsWithTheSystemsReason) {
    CommPortFactory factory;
    ui::SystemError error =
        testing::refusedOpen(factory, "ZEK-NO-SUCH-PORT", SerialOpenResult::CannotOpen);
    EXPECT_EQ(error.call, "CreateFileW");
    EXPECT_EQ(error.code, 2);  // ERROR_FILE_NOT_FOUND
    EXPECT_FALSE(error.reason.empty());
    EXPECT_EQ(error.reason.find_first_of("\r\n"), std::string::npos) << error.reason;
    EXPECT_NE(error.reason, "error 2");

    const char* null = std::getenv("ZEK_WINE_SERIAL_NULL");
    const char* pty = std::getenv("ZEK_WINE_SERIAL_PTY");
    if (null == nullptr || pty == nullptr) {
        GTEST_SKIP() << "ZEK_WINE_SERIAL_NULL or ZEK_WINE_SERIAL_PTY names no port";
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        error = testing::refusedOpen(factory, null, SerialOpenResult::CannotReadSettings);
        EXPECT_EQ(error.call, "GetCommState");
        EXPECT_NE(error.code, 0);
    }
    SerialOpenResult result{};
    std::unique_ptr<LineAccess> lines = factory.open(pty, result, error);
    ASSERT_NE(lines, nullptr) << error.describe();
    lines->setClock(true);
    ASSERT_TRUE(lines->failed());
    EXPECT_EQ(lines->fault()->subject, pty);
    EXPECT_EQ(lines->fault()->call, "EscapeCommFunction");
    EXPECT_EQ(lines->fault()->code, 50);  // ERROR_NOT_SUPPORTED
    EXPECT_EQ(lines->readDataIn(), 0);
}

TEST(Win32SystemSerialPort, ThePortsAreListedByNumberOnce) {
    // A key of the test's own, with values as serial drivers write them.
    const std::wstring key = L"Software\\zek-setup-test\\SERIALCOMM";
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_SET_VALUE, nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    for (const auto& [device, port] :
         {std::pair<std::wstring, std::wstring>{L"\\Device\\VCP0", L"COM10"},
          {L"\\Device\\Serial1", L"COM2"},
          {L"\\Device\\Silabser0", L"COM9"}}) {
        RegSetValueExW(handle, device.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(port.c_str()),
                       static_cast<DWORD>((port.size() + 1) * sizeof(wchar_t)));
    }
    RegCloseKey(handle);

    const std::vector<ComPort> ports = listComPortsUnder(key, false);
    RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
    ASSERT_EQ(ports.size(), 3u);
    EXPECT_EQ(ports[0].name + " " + ports[0].device, "COM2 \\Device\\Serial1");
    EXPECT_EQ(ports[1].name, "COM9");
    EXPECT_EQ(ports[2].name + " " + ports[2].device, "COM10 \\Device\\VCP0");

    EXPECT_TRUE(listComPortsUnder(L"Software\\zek-setup-test\\none", false).empty());
}

}  // namespace
}  // namespace adapter::win32

namespace adapter {
namespace {

double processCpuMs() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ticks = [](const FILETIME& time) {
        return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 10'000.0;  // 100 ns units
}

TEST(Win32Timing, WaitsEndOnTimeAndSleepMostOfALongWait) {
    FineTimerResolution fineTick;
    EXPECT_TRUE(fineTick.active());
    MonotonicClock clock;
    // Never early, and a 1 ms wait does not last a 15.6 ms tick. The median of several
    // keeps a busy build machine from deciding.
    std::vector<double> lengths;
    for (int i = 0; i < 9; ++i) {
        const std::uint64_t start = clock.nowNs();
        delayMs(clock, 1);
        lengths.push_back(static_cast<double>(clock.nowNs() - start) / 1e6);
        EXPECT_GE(lengths.back(), 1.0);
    }
    std::sort(lengths.begin(), lengths.end());
    EXPECT_LT(lengths[lengths.size() / 2], 8.0);

    const double cpuBefore = processCpuMs();
    const std::uint64_t start = clock.nowNs();
    delayMs(clock, 300);
    EXPECT_GE(clock.nowNs() - start, 300'000'000u);
    // The spun part is 2 ms of 300; a wait that spun throughout would cost all 300.
    EXPECT_LT(processCpuMs() - cpuBefore, 100.0);
}

// The stand-in driver library beside this test program, in fake-driver\, joins the
// library search path for one test and leaves it again.
class FakeDriverOnSearchPath {
  public:
    FakeDriverOnSearchPath() {
        std::wstring path(MAX_PATH, L'\0');
        path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
        path = path.substr(0, path.find_last_of(L"\\/") + 1) + L"fake-driver";
        SetDllDirectoryW(path.c_str());
    }
    ~FakeDriverOnSearchPath() { SetDllDirectoryW(nullptr); }
};

using SetRegister = void (*)(ULONG port, UCHAR value);

// No DLPORTIO.dll on the build machines' Wine: the line driver then shows its driver error
// at the first access. Beside the program, the library is loaded at run time and reaches
// the registers.
TEST(Win32ParallelPort, TheDriverLibraryIsLoadedAtRunTimeAndReachesTheRegisters) {
    {
        ParallelAccess access = chooseParallelAccess();
        EXPECT_FALSE(access.directPortIo || access.portDriverReady);
        std::uint16_t word = 0;
        EXPECT_FALSE(access.portIo->writeData(0x378, 0) || access.portIo->readWord(0x378, word));
    }
    FakeDriverOnSearchPath onPath;
    ParallelAccess access = chooseParallelAccess();
    ASSERT_TRUE(access.portDriverReady);
    EXPECT_FALSE(access.directPortIo);
    PortIo& io = *access.portIo;
    HMODULE driver = GetModuleHandleW(L"DLPORTIO.dll");
    ASSERT_NE(driver, nullptr);
    auto setRegister = reinterpret_cast<SetRegister>(GetProcAddress(driver, "fakeSetRegister"));
    ASSERT_NE(setRegister, nullptr);

    // The data register and the status register read as one word; the write's high byte
    // (0) does not reach the read-only status.
    setRegister(0x379, 0x40);
    EXPECT_TRUE(io.writeData(0x378, 0xA5));
    std::uint16_t word = 0;
    EXPECT_TRUE(io.readWord(0x378, word));
    EXPECT_EQ(word, 0x40A5);

    // The control register at base + 2, for the adapter's direction bit.
    std::uint8_t control = 0;
    EXPECT_TRUE(io.writeControl(0x278, 0x2C));
    EXPECT_TRUE(io.readControl(0x278, control));
    EXPECT_EQ(control, 0x2C);
    setRegister(0x27A, 0x04);
    EXPECT_TRUE(io.readControl(0x278, control));
    EXPECT_EQ(control, 0x04);
}

}  // namespace
}  // namespace adapter
