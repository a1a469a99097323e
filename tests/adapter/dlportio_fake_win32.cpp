// A stand-in for the port driver library DLPORTIO.dll: its four entry points on a register
// file of its own, so that the driver path is tested without the kernel driver. As on the
// real port, the status register (base + 1) is read-only for the program; the test sets it
// through fakeSetRegister.
#include <windows.h>

namespace {

UCHAR registers[0x10000];

}  // namespace

extern "C" {

__declspec(dllexport) void __stdcall DlPortWritePortUshort(ULONG port, USHORT value) {
    // The high byte goes to base + 1, the status register, which ignores writes.
    registers[port & 0xFFFF] = static_cast<UCHAR>(value & 0xFF);
}

__declspec(dllexport) ULONG __stdcall DlPortReadPortUlong(ULONG port) {
    ULONG value = 0;
    for (ULONG i = 0; i < 4; ++i) {
        value |= static_cast<ULONG>(registers[(port + i) & 0xFFFF]) << (8 * i);
    }
    return value;
}

__declspec(dllexport) UCHAR __stdcall DlPortReadPortUchar(ULONG port) {
    return registers[port & 0xFFFF];
}

__declspec(dllexport) void __stdcall DlPortWritePortUchar(ULONG port, UCHAR value) {
    registers[port & 0xFFFF] = value;
}

// For the test only: what the hardware puts into a register.
__declspec(dllexport) void fakeSetRegister(ULONG port, UCHAR value) {
    registers[port & 0xFFFF] = value;
}

}  // extern "C"
