// The program's window icon, drawn like resources/zek-setup.svg.
#pragma once

#include <QIcon>

namespace gui {

QIcon appIcon();

}  // namespace gui
