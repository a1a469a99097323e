// zek-setup.exe: the desktop program on Windows. Runs the main dialog modally and returns
// 0 when it ends (1 when an output file of the virtual controller cannot be written, 2 for
// a command line that makes no sense).
#include <windows.h>

#include <commctrl.h>

#include <iostream>

#include "shell/commands.h"
#include "shell/desktop_start.h"
#include "shell/real_ports.h"
#include "win32/session.h"
#include "win32/wide_text.h"

namespace {

// There is no console: what the program has to say before its window is up is a box.
void tell(const std::string& text, UINT icon) {
    std::cerr << text;
    MessageBoxW(nullptr, win32::widen(text).c_str(), L"zek-setup", MB_OK | icon);
}

}  // namespace

int main() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);

    std::string error;
    const std::optional<shell::StartOptions> parsed =
        shell::parseDesktopOptions(win32::commandLineArguments(), error);
    if (!parsed) {
        tell("zek-setup: " + error + '\n' + shell::desktopUsageText(), MB_ICONERROR);
        return 2;
    }
    const shell::StartOptions& options = *parsed;
    if (options.help) {
        tell(shell::desktopUsageText(), MB_ICONINFORMATION);
        return 0;
    }
    if (options.version) {
        tell(shell::versionText("zek-setup", shell::ftdiFastPathBuilt()), MB_ICONINFORMATION);
        return 0;
    }

    win32::Session session(options, std::cerr);
    // Told once, before the user can start anything else.
    shell::announceUnfinishedUpdate(session.app());
    session.window().run();
    // --sim-save, --sim-flash-save and --trace are written when the program ends.
    if (const std::string failure = session.simulator().saveOutputs(); !failure.empty()) {
        tell("zek-setup: " + failure + '\n', MB_ICONERROR);
        return 1;
    }
    return 0;
}
