// The Windows main dialog on the virtual controller, on a real (virtual) display, in a
// fresh start directory. Boxes the system shows are caught with a CBT hook, read and
// answered; steps inside a modal loop (a sub-dialog, a box) run from a thread timer.
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "adapter/clock.h"
#include "shell/real_ports.h"
#include "sim/procedure_rig.h"
#include "win32/main_window.h"
#include "win32/win32_host.h"

namespace win32::testing {

struct Box {
    std::string caption;
    std::vector<std::string> texts;  // every text the box shows, its buttons' included
    HWND owner = nullptr;
    bool taskDialog = false;

    bool shows(const std::string& text) const { return std::ranges::count(texts, text) > 0; }
    std::string allTexts() const;  // "text|text|…", for failure messages
};

// Catches every box the program shows on this thread (not its own dialogs), records it
// and answers it OK.
class BoxCatcher {
  public:
    explicit BoxCatcher(const Win32Host& host);
    ~BoxCatcher();
    BoxCatcher(const BoxCatcher&) = delete;
    BoxCatcher& operator=(const BoxCatcher&) = delete;

    std::vector<Box> boxes;

  private:
    static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam);
    void caught(HWND box);
    void answer(HWND box);

    const Win32Host& m_host;
    HHOOK m_hook = nullptr;
};

// Runs step from the next modal loop that dispatches thread timers, after delayMs.
void later(std::function<void()> step, UINT delayMs = 20);

// Runs step with the newest dialog of host once it is on the screen.
void whenShown(const Win32Host& host, std::function<void(DialogWindow&)> step, int attempts = 100);

// Paints what is pending, so that the screen and the controls agree.
void settle();

// A button clicked as the user would (the control's own BM_CLICK); a menu command as the
// menu sends it.
void click(HWND dialog, ui::ControlId id);
void menuCommand(HWND dialog, ui::ControlId id);
// Characters typed into a control, one WM_CHAR each, after its text is cleared.
void type(HWND dialog, ui::ControlId id, const std::wstring& text);
// A window's text and class name, as UTF-8.
std::string windowText(HWND hwnd);
std::string windowClass(HWND hwnd);
std::string controlText(HWND dialog, ui::ControlId id);

// The window as it is on the screen, a bitmap file among the test's artefacts.
void saveScreenshot(HWND window, const std::string& name);

struct Win32Rig : sim::ProcedureRig {
    // On the virtual controller; with realPorts the machine's serial ports instead.
    explicit Win32Rig(bool realPorts = false);
    ~Win32Rig();

    // Dialog initialisation and the main window, shown.
    HWND start();

    Win32Host host;
    adapter::MonotonicClock clock;
    shell::RealPorts realPorts;
    shell::App& app;
    std::vector<adapter::DiscoveredPort> ports;  // what the Port menu lists beyond COM8
    std::unique_ptr<MainWindow> window;
    BoxCatcher boxes{host};
};

}  // namespace win32::testing
