#include "adapter/port_io_win32.h"

#include <windows.h>

namespace adapter {

namespace {

using WriteUshort = void(__stdcall*)(ULONG port, USHORT value);
using ReadUlong = ULONG(__stdcall*)(ULONG port);
using WriteUchar = void(__stdcall*)(ULONG port, UCHAR value);
using ReadUchar = UCHAR(__stdcall*)(ULONG port);

template <typename Function>
Function as(void* address) {
    return reinterpret_cast<Function>(address);
}

}  // namespace

DriverLibraryPortIo::DriverLibraryPortIo()
    : m_library(reinterpret_cast<void*>(LoadLibraryA("DLPORTIO.dll"))) {}

DriverLibraryPortIo::~DriverLibraryPortIo() {
    if (m_library != nullptr) {
        FreeLibrary(static_cast<HMODULE>(m_library));
    }
}

void* DriverLibraryPortIo::entry(const char* name) {
    void* address =
        m_library == nullptr
            ? nullptr
            : reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(m_library), name));
    if (address == nullptr) {
        fail({"DLPORTIO.dll", m_library == nullptr ? "LoadLibrary" : "GetProcAddress", 0,
              m_library == nullptr ? "the port driver's library is not installed"
                                   : std::string("it has no ") + name});
    }
    return address;
}

bool DriverLibraryPortIo::writeData(std::uint16_t base, std::uint8_t value) {
    auto write = as<WriteUshort>(entry("DlPortWritePortUshort"));
    if (write == nullptr) {
        return false;
    }
    write(base, value);
    return true;
}

bool DriverLibraryPortIo::readWord(std::uint16_t base, std::uint16_t& word) {
    auto read = as<ReadUlong>(entry("DlPortReadPortUlong"));
    if (read == nullptr) {
        return false;
    }
    word = static_cast<std::uint16_t>(read(base) & 0xFFFF);
    return true;
}

bool DriverLibraryPortIo::readControl(std::uint16_t base, std::uint8_t& value) {
    auto read = as<ReadUchar>(entry("DlPortReadPortUchar"));
    if (read == nullptr) {
        return false;
    }
    value = read(static_cast<ULONG>(base + 2));
    return true;
}

bool DriverLibraryPortIo::writeControl(std::uint16_t base, std::uint8_t value) {
    auto write = as<WriteUchar>(entry("DlPortWritePortUchar"));
    if (write == nullptr) {
        return false;
    }
    write(static_cast<ULONG>(base + 2), value);
    return true;
}

}  // namespace adapter
