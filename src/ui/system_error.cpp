#include "ui/system_error.h"

#include <cstring>

namespace ui {

SystemError errnoError(std::string subject, std::string call, int code) {
    return SystemError{std::move(subject), std::move(call), code, std::strerror(code)};
}

}  // namespace ui
