// One error value for every failure the system reports to us: the call that failed, the
// system's error number (errno, or the Windows error code) and a plain-language reason.
// It travels with the sticky line fault and with every open failure, is logged, and is
// shown as the detail of the message box the user sees; the box's own text stays as is.
#pragma once

#include <string>

namespace ui {

struct SystemError {
    std::string subject;  // what was being worked on: a device path, a file name
    std::string call;     // the failing call: "open", "ioctl(TIOCMBIS)", "CreateFileW"
    int code = 0;         // errno or GetLastError(); 0 where the system gave none
    std::string reason;   // "No such file or directory"

    bool empty() const { return call.empty() && reason.empty(); }
    // "/dev/ttyUSB1: open failed: No such file or directory"
    std::string describe() const {
        std::string text = subject.empty() ? std::string() : subject + ": ";
        if (!call.empty()) {
            text += call + " failed";
            if (!reason.empty()) {
                text += ": ";
            }
        }
        return text + reason;
    }
};

// From errno: the reason is the C library's text for it.
SystemError errnoError(std::string subject, std::string call, int code);

}  // namespace ui
