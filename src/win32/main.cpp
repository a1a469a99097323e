// zek-setup.exe: the desktop program on Windows. Runs the main dialog modally and returns
// 0 when it ends (1 when an output file of the virtual controller cannot be written, 2 for
// a command line that makes no sense).
#include <windows.h>

#include <commctrl.h>

#include <iostream>

#include "shell/commands.h"
#include "shell/real_ports.h"
#include "shell/start_options.h"
#include "win32/session.h"
#include "win32/wide_text.h"

namespace {

void describe(shell::OptionParser& parser) {
    parser.addSharedOptions();
    parser.setUsage("usage: zek-setup [OPTIONS]     the desktop program\n");
}

std::string usageText() {
    shell::StartOptions options;
    shell::OptionParser parser("zek-setup", options);
    describe(parser);
    return parser.help();
}

// There is no console: what the program has to say before its window is up is a box.
void tell(const std::string& text, UINT icon) {
    std::cerr << text;
    MessageBoxW(nullptr, win32::widen(text).c_str(), L"zek-setup", MB_OK | icon);
}

}  // namespace

int main() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);

    const std::vector<std::string> arguments = win32::commandLineArguments();
    shell::StartOptions options;
    shell::OptionParser parser("zek-setup", options);
    describe(parser);
    const shell::OptionsRead read = parser.read(arguments, 1);
    std::string error = read.error;
    if (error.empty() && read.next < arguments.size()) {
        error = "unknown argument: " + arguments[read.next];
    }
    if (!error.empty()) {
        tell("zek-setup: " + error + '\n' + usageText(), MB_ICONERROR);
        return 2;
    }
    if (options.help) {
        tell(usageText(), MB_ICONINFORMATION);
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
