// What both desktop programs do at start-up and in the Port menu, whatever draws their
// windows.
#pragma once

#include <ostream>
#include <string>

#include "shell/app.h"
#include "shell/start_options.h"

namespace shell {

// Where qvsetup.cfg lives: the user's configuration folder for --user-dir (when there is
// none, the user is told and the current directory serves), --dir made absolute, or the
// current directory. What the user cannot see in a box goes to errors as well.
std::string desktopStartDirectory(const StartOptions& options, ui::UiHost& host,
                                  std::ostream& errors);

// The automatic backups go to the user's data folder; a backup that fails is told and
// the write goes on: a backup is a help, not a condition.
void keepAutomaticBackups(App& app);

// Selects device (a port no COM item reaches) as the serial adapter's port and runs the
// adapter check, as a COM item does. qvsetup.cfg's port field stays as it is.
ui::Outcome selectDevicePort(App& app, const std::string& device);

}  // namespace shell
