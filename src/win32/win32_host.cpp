#include "win32/win32_host.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>

#include "resources/texts.h"
#include "resources/translation.h"
#include "win32/dialog_builder.h"
#include "win32/dialog_window.h"
#include "win32/wide_text.h"

namespace win32 {
namespace {

// Long loops poll for a stop far more often than anyone can press a key; the queue is
// looked at this often, so the loop's own timing is disturbed as little as possible.
constexpr ULONGLONG stopPollIntervalMs = 20;
// How often a busy command looks at the queue at most.
constexpr LONGLONG keepAliveIntervalMs = 5;
// A window that never validates must not keep the loop that paints it busy.
constexpr int maxServicedMessages = 200;

// While a box without owner is open nothing else of the program takes input, as with
// MB_TASKMODAL; the windows that were enabled are enabled again afterwards.
class DisabledWindows {
  public:
    explicit DisabledWindows(const std::vector<HWND>& windows) {
        for (HWND hwnd : windows) {
            if (hwnd != nullptr && IsWindowEnabled(hwnd)) {
                EnableWindow(hwnd, FALSE);
                m_disabled.push_back(hwnd);
            }
        }
    }
    ~DisabledWindows() {
        for (HWND hwnd : m_disabled) {
            if (IsWindow(hwnd)) {
                EnableWindow(hwnd, TRUE);
            }
        }
    }
    DisabledWindows(const DisabledWindows&) = delete;
    DisabledWindows& operator=(const DisabledWindows&) = delete;

  private:
    std::vector<HWND> m_disabled;
};

using TaskDialogIndirectCall = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);

// The task dialog exists in the common controls of version 6, which the manifest asks for;
// without them the box is shown without its detail.
TaskDialogIndirectCall taskDialogCall() {
    static const TaskDialogIndirectCall call = [] {
        HMODULE controls = LoadLibraryW(L"comctl32.dll");
        return controls == nullptr
                   ? nullptr
                   : reinterpret_cast<TaskDialogIndirectCall>(
                         reinterpret_cast<void*>(GetProcAddress(controls, "TaskDialogIndirect")));
    }();
    return call;
}

bool isInputMessage(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

// "*.upd" → "*.upd\0*.upd\0\0"; the default extension is "upd".
std::wstring fileFilter(const std::string& pattern) {
    const std::wstring wide = widen(pattern);
    std::wstring filter = wide;
    filter.push_back(L'\0');
    filter += wide;
    filter.push_back(L'\0');
    filter.push_back(L'\0');
    return filter;
}

std::wstring defaultExtension(const std::string& pattern) {
    const std::size_t dot = pattern.rfind('.');
    if (dot == std::string::npos || pattern.find_first_of("*?", dot) != std::string::npos) {
        return {};
    }
    return widen(pattern.substr(dot + 1));
}

// The progress window: one line of text over a bar.
const ui::ControlTemplate progressControls[] = {
    {100, ui::Kind::Label, "", {7, 7, 146, 9}},
};
const ui::DialogTemplate progressTemplate{0, texts::ProgramCaption, 160, 44, "MS Sans Serif",
                                          8, progressControls,      {}};

INT_PTR CALLBACK progressProcedure(HWND hwnd, UINT message, WPARAM, LPARAM lParam) {
    // Known as the host's own from its first message on.
    if (message == WM_INITDIALOG) {
        *reinterpret_cast<HWND*>(lParam) = hwnd;
        return TRUE;
    }
    // Not closed by the user: it goes when the transfer ends.
    return message == WM_CLOSE ? TRUE : FALSE;
}

}  // namespace

Win32Host::~Win32Host() {
    if (m_progress != nullptr) {
        DestroyWindow(m_progress);
    }
}

void Win32Host::registerWindow(DialogWindow& window) {
    m_windows.push_back(&window);
}

void Win32Host::unregisterWindow(DialogWindow& window) {
    m_windows.erase(std::remove(m_windows.begin(), m_windows.end(), &window), m_windows.end());
}

DialogWindow* Win32Host::window(const ui::Dialog* dialog) const {
    for (DialogWindow* window : m_windows) {
        if (&window->dialog() == dialog) {
            return window;
        }
    }
    return nullptr;
}

bool Win32Host::ownsWindow(HWND hwnd) const {
    if (hwnd != nullptr && hwnd == m_progress) {
        return true;
    }
    return std::any_of(m_windows.begin(), m_windows.end(),
                       [hwnd](DialogWindow* window) { return window->hwnd() == hwnd; });
}

HWND Win32Host::ownerWindow(const ui::Dialog* owner) const {
    DialogWindow* shown = owner != nullptr ? window(owner) : nullptr;
    return shown != nullptr ? shown->hwnd() : nullptr;
}

HWND Win32Host::activeWindow() const {
    HWND active = GetActiveWindow();
    if (active != nullptr && ownsWindow(active)) {
        return active;
    }
    for (auto it = m_windows.rbegin(); it != m_windows.rend(); ++it) {
        if ((*it)->hwnd() != nullptr) {
            return (*it)->hwnd();
        }
    }
    return nullptr;
}

ui::Answer Win32Host::messageBox(const ui::Dialog* owner, std::string_view text,
                                 std::string_view caption, ui::Buttons buttons) {
    // Taken before anything else, so that it never reaches a later box.
    const std::string detail = takeDetailFor(text);
    const HWND ownerHwnd = ownerWindow(owner);
    const std::wstring wideText = widen(lang::shownText(m_language, text));
    const std::wstring wideCaption = widen(lang::shownText(m_language, caption));
    const bool okCancel = buttons == ui::Buttons::OkCancel;

    if (!detail.empty()) {
        if (TaskDialogIndirectCall taskDialog = taskDialogCall()) {
            const std::wstring wideDetail = widen(detail);
            TASKDIALOGCONFIG config{};
            config.cbSize = sizeof(config);
            config.hwndParent = ownerHwnd;
            config.hInstance = GetModuleHandleW(nullptr);
            config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
            config.dwCommonButtons =
                okCancel ? TDCBF_OK_BUTTON | TDCBF_CANCEL_BUTTON : TDCBF_OK_BUTTON;
            config.pszWindowTitle = wideCaption.c_str();
            // The box's own text stays the system's; why it came is in the details part.
            config.pszContent = wideText.c_str();
            config.pszExpandedInformation = wideDetail.c_str();
            config.pszCollapsedControlText = L"Details";
            config.pszExpandedControlText = L"Details";
            std::vector<HWND> others;
            if (ownerHwnd == nullptr) {
                for (DialogWindow* window : m_windows) {
                    others.push_back(window->hwnd());
                }
            }
            const DisabledWindows disabled(others);
            int pressed = IDOK;
            if (SUCCEEDED(taskDialog(&config, &pressed, nullptr, nullptr))) {
                return okCancel && pressed == IDCANCEL ? ui::Answer::Cancel : ui::Answer::Ok;
            }
        }
    }
    UINT style = okCancel ? MB_OKCANCEL : MB_OK;
    if (ownerHwnd == nullptr) {
        style |= MB_TASKMODAL;
    }
    const int answer = MessageBoxW(ownerHwnd, wideText.c_str(), wideCaption.c_str(), style);
    return okCancel && answer == IDCANCEL ? ui::Answer::Cancel : ui::Answer::Ok;
}

void Win32Host::beep() {
    MessageBeep(MB_OK);
}

void Win32Host::keepAlive() {
    // Waits reach this far more often than anything needs painting; the queue is looked
    // at every few milliseconds only, so a busy command is slowed by next to nothing.
    LARGE_INTEGER now;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    if ((now.QuadPart - m_lastKeepAlive.QuadPart) * 1000 <
        keepAliveIntervalMs * frequency.QuadPart) {
        return;
    }
    m_lastKeepAlive = now;
    serviceWindows();
}

void Win32Host::serviceWindows() {
    // Whatever a message reaches must not bring us here again while it is handled.
    if (m_servicing) {
        return;
    }
    m_servicing = true;
    MSG message;
    for (int i = 0; i < maxServicedMessages; ++i) {
        // PM_QS_PAINT | PM_QS_SENDMESSAGE: input and posted commands stay queued. The call
        // itself tells the system that the program still takes its messages.
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT | PM_QS_SENDMESSAGE)) {
            break;
        }
        DispatchMessageW(&message);
    }
    m_servicing = false;
}

void Win32Host::repaint(ui::Dialog& dialog) {
    DialogWindow* shown = window(&dialog);
    if (shown == nullptr || shown->hwnd() == nullptr) {
        return;
    }
    shown->copyFromModel();
    RedrawWindow(shown->hwnd(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    serviceWindows();
}

int Win32Host::runModal(ui::Dialog& dialog, const ui::Dialog* owner,
                        const std::function<void()>& onInit, const CommandFunction& onCommand) {
    dialog.reopen();
    DialogWindow box(dialog, onCommand, m_language);
    box.setOnInit(onInit);
    registerWindow(box);
    const HWND ownerHwnd = ownerWindow(owner);
    std::vector<HWND> others;
    if (ownerHwnd == nullptr) {
        for (DialogWindow* window : m_windows) {
            if (window != &box) {
                others.push_back(window->hwnd());
            }
        }
    }
    const DisabledWindows disabled(others);
    box.run(ownerHwnd);
    unregisterWindow(box);
    return dialog.result();
}

std::optional<std::string> Win32Host::chooseOpenFile(const ui::FileDialogRequest& request) {
    if (answerFileDialogs) {
        return answerFileDialogs(request);
    }
    // Room for long paths, which the manifest allows.
    std::vector<wchar_t> path(32768, L'\0');
    const std::wstring initial = widen(request.initialPath);
    std::copy_n(initial.begin(), std::min(initial.size(), path.size() - 1), path.begin());
    const std::wstring filter = fileFilter(request.filter);
    const std::wstring extension = defaultExtension(request.filter);
    const std::wstring title = widen(lang::shownText(m_language, request.title));

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = activeWindow();
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    // The current directory stays where qvsetup.cfg is.
    dialog.Flags = OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    BOOL chosen = FALSE;
    if (request.forSaving) {
        dialog.Flags |= OFN_OVERWRITEPROMPT;
        chosen = GetSaveFileNameW(&dialog);
    } else {
        dialog.Flags |= OFN_FILEMUSTEXIST;
        chosen = GetOpenFileNameW(&dialog);
    }
    if (!chosen) {
        return std::nullopt;
    }
    return narrow(path.data());
}

void Win32Host::shellOpen(std::string_view target) {
    if (answerShellOpen) {
        answerShellOpen(target);
        return;
    }
    ShellExecuteW(activeWindow(), L"open", widen(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool Win32Host::stopRequested(ui::Dialog& dialog) {
    const ULONGLONG now = GetTickCount64();
    if (now - m_lastStopPoll < stopPollIntervalMs) {
        return false;
    }
    m_lastStopPoll = now;
    serviceWindows();
    DialogWindow* shown = window(&dialog);
    const HWND busy = shown != nullptr ? shown->hwnd() : nullptr;
    bool stop = false;
    MSG message;
    // Input to the busy windows is taken off the queue and dropped; Esc, the dialog's
    // cancel button (2) and its close box count as the request to stop.
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_INPUT | PM_QS_POSTMESSAGE)) {
        if (!isInputMessage(message.message) && message.message != WM_COMMAND &&
            message.message != WM_SYSCOMMAND) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
            continue;
        }
        if (busy == nullptr || (message.hwnd != busy && !IsChild(busy, message.hwnd))) {
            continue;
        }
        switch (message.message) {
            case WM_KEYDOWN:
                stop = stop || message.wParam == VK_ESCAPE;
                break;
            case WM_LBUTTONUP:
                stop = stop ||
                       (GetDlgCtrlID(message.hwnd) == IDCANCEL && IsWindowEnabled(message.hwnd));
                break;
            case WM_NCLBUTTONUP:
            case WM_NCLBUTTONDOWN:
                stop = stop || message.wParam == HTCLOSE;
                break;
            case WM_SYSCOMMAND:
                stop = stop || (message.wParam & 0xFFF0) == SC_CLOSE;
                break;
            case WM_COMMAND:
                stop = stop || LOWORD(message.wParam) == IDCANCEL;
                break;
            default:
                break;
        }
    }
    return stop;
}

void Win32Host::showProgress(int done, int total, int secondsLeft) {
    if (total <= 0 || done >= total) {
        if (m_progress != nullptr) {
            DestroyWindow(m_progress);
            m_progress = nullptr;
            m_progressBar = nullptr;
        }
        return;
    }
    if (m_progress == nullptr) {
        static const std::vector<std::uint16_t> bytes = buildDialogTemplate(progressTemplate);
        m_progress = CreateDialogIndirectParamW(
            GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()),
            activeWindow(), &progressProcedure, reinterpret_cast<LPARAM>(&m_progress));
        if (m_progress == nullptr) {
            return;
        }
        RECT bar{7, 21, 153, 33};
        MapDialogRect(m_progress, &bar);
        m_progressBar =
            CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD | WS_VISIBLE, bar.left, bar.top,
                            bar.right - bar.left, bar.bottom - bar.top, m_progress, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
        ShowWindow(m_progress, SW_SHOWNOACTIVATE);
    }
    SendMessageW(m_progressBar, PBM_SETRANGE32, 0, total);
    SendMessageW(m_progressBar, PBM_SETPOS, static_cast<WPARAM>(std::clamp(done, 0, total)), 0);
    std::string label = std::to_string(done) + " von " + std::to_string(total);
    if (secondsLeft >= 0) {
        label += ", noch " + std::to_string(secondsLeft) + " s";
    }
    SetDlgItemTextW(m_progress, 100, widen(lang::shownText(m_language, label)).c_str());
    UpdateWindow(m_progress);
    serviceWindows();
}

}  // namespace win32
