#include <sys/ioctl.h>
#include <termios.h>

#include <cerrno>

#include "adapter/link_state.h"
#include "adapter/modem_lines.h"

namespace adapter::modem {

namespace {

// A signal may interrupt the call before it did anything; it is simply made again.
template <typename... Args>
bool control(int fd, const char* name, ui::SystemError& error, unsigned long request,
             Args... args) {
    for (;;) {
        if (::ioctl(fd, request, args...) == 0) {
            return true;
        }
        if (errno != EINTR) {
            error = ui::errnoError({}, name, errno);
            return false;
        }
    }
}

}  // namespace

bool setLine(std::intptr_t handle, Line line, bool on, ui::SystemError& error) {
    const int fd = static_cast<int>(handle);
    if (line == Line::Break) {
        return on ? control(fd, "ioctl(TIOCSBRK)", error, TIOCSBRK)
                  : control(fd, "ioctl(TIOCCBRK)", error, TIOCCBRK);
    }
    // Only the one bit: TIOCMBIS/TIOCMBIC leave the other line as it is, without
    // reading it back first.
    int bit = line == Line::Rts ? TIOCM_RTS : TIOCM_DTR;
    return on ? control(fd, "ioctl(TIOCMBIS)", error, TIOCMBIS, &bit)
              : control(fd, "ioctl(TIOCMBIC)", error, TIOCMBIC, &bit);
}

bool readStatus(std::intptr_t handle, std::uint32_t& status, ui::SystemError& error) {
    int lines = 0;
    if (!control(static_cast<int>(handle), "ioctl(TIOCMGET)", error, TIOCMGET, &lines)) {
        return false;
    }
    status =
        ((lines & TIOCM_CTS) != 0 ? modemCtsOn : 0u) | ((lines & TIOCM_DSR) != 0 ? modemDsrOn : 0u);
    return true;
}

}  // namespace adapter::modem
