#include "adapter/port_io_direct.h"

#if defined(__linux__) && (defined(__x86_64__) || defined(__i386__))
#include <sys/io.h>
#define ZEK_PORT_INSTRUCTIONS 1
#else
#define ZEK_PORT_INSTRUCTIONS 0
#endif

#include <cerrno>

namespace adapter {

namespace {

// Data, status and control register.
constexpr unsigned long registerCount = 3;

bool requestAccess(std::uint16_t base) {
#if ZEK_PORT_INSTRUCTIONS
    return ::ioperm(base, registerCount, 1) == 0;
#else
    (void)base;
    return false;
#endif
}

}  // namespace

bool DirectPortIo::permitted(std::uint16_t base) {
    return requestAccess(base);
}

bool DirectPortIo::granted(std::uint16_t base) {
    if (m_granted.count(base) != 0) {
        return true;
    }
    if (!requestAccess(base)) {
        return fail(ZEK_PORT_INSTRUCTIONS
                        ? ui::errnoError({}, "ioperm", errno)
                        : ui::SystemError{{}, {}, 0, "no port instructions here"});
    }
    m_granted.insert(base);
    return true;
}

#if ZEK_PORT_INSTRUCTIONS

bool DirectPortIo::writeData(std::uint16_t base, std::uint8_t value) {
    if (!granted(base)) {
        return false;
    }
    ::outb(value, base);
    return true;
}

bool DirectPortIo::readWord(std::uint16_t base, std::uint16_t& word) {
    if (!granted(base)) {
        return false;
    }
    word = ::inw(base);
    return true;
}

bool DirectPortIo::readControl(std::uint16_t base, std::uint8_t& value) {
    if (!granted(base)) {
        return false;
    }
    value = ::inb(static_cast<std::uint16_t>(base + 2));
    return true;
}

bool DirectPortIo::writeControl(std::uint16_t base, std::uint8_t value) {
    if (!granted(base)) {
        return false;
    }
    ::outb(value, static_cast<std::uint16_t>(base + 2));
    return true;
}

#else

bool DirectPortIo::writeData(std::uint16_t base, std::uint8_t) {
    return granted(base);
}
bool DirectPortIo::readWord(std::uint16_t base, std::uint16_t&) {
    return granted(base);
}
bool DirectPortIo::readControl(std::uint16_t base, std::uint8_t&) {
    return granted(base);
}
bool DirectPortIo::writeControl(std::uint16_t base, std::uint8_t) {
    return granted(base);
}

#endif

}  // namespace adapter
