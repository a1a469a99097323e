#include "gui/session.h"

namespace gui {

RealPorts findRealPorts() {
    RealPorts ports;
    return ports;
}

}  // namespace gui
