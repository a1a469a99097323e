// The desktop program's command line: only the options both front ends share.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "shell/start_options.h"

namespace gui {

using StartOptions = shell::StartOptions;

// arguments as QApplication has them, the program's name first. nullopt with the reason
// in error for a command line that makes no sense (shell::parseDesktopOptions takes the
// bytes of argv, before any window system is asked for).
std::optional<StartOptions> parseStartOptions(const QStringList& arguments, QString& error);

}  // namespace gui
