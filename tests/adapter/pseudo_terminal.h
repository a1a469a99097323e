#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

namespace adapter::testing {

// A pseudo-terminal: a tty without modem-control lines.
struct PseudoTerminal {
    PseudoTerminal() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0) {
            path = ::ptsname(master);
        }
    }
    ~PseudoTerminal() {
        if (master >= 0) {
            ::close(master);
        }
    }
    int master = -1;
    std::string path;
};

}  // namespace adapter::testing
