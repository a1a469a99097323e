#include "win32/win32_rig.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ui/artefact.h"
#include "win32/dialog_window.h"
#include "win32/wide_text.h"

namespace win32::testing {

std::string windowText(HWND hwnd) {
    wchar_t text[1024] = {};
    GetWindowTextW(hwnd, text, 1024);
    return narrow(text);
}

std::string windowClass(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return narrow(name);
}

namespace {

BoxCatcher* activeCatcher = nullptr;
std::map<UINT_PTR, std::function<void()>> pendingSteps;

BOOL CALLBACK collectText(HWND child, LPARAM lParam) {
    const std::string text = windowText(child);
    if (!text.empty()) {
        reinterpret_cast<std::vector<std::string>*>(lParam)->push_back(text);
    }
    return TRUE;
}

void CALLBACK runStep(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    auto it = pendingSteps.find(id);
    if (it == pendingSteps.end()) {
        return;
    }
    std::function<void()> step = std::move(it->second);
    pendingSteps.erase(it);
    step();
}

}  // namespace

std::string Box::allTexts() const {
    std::string all;
    for (const std::string& text : texts) {
        all += text + "|";
    }
    return all;
}

BoxCatcher::BoxCatcher(const Win32Host& host) : m_host(host) {
    activeCatcher = this;
    m_hook = SetWindowsHookExW(WH_CBT, &BoxCatcher::hook, nullptr, GetCurrentThreadId());
}

BoxCatcher::~BoxCatcher() {
    UnhookWindowsHookEx(m_hook);
    activeCatcher = nullptr;
}

LRESULT CALLBACK BoxCatcher::hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && activeCatcher != nullptr) {
        activeCatcher->caught(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void BoxCatcher::caught(HWND box) {
    if (windowClass(box) != "#32770" || m_host.ownsWindow(box) ||
        GetPropW(box, L"zek-test-caught") != nullptr) {
        return;
    }
    SetPropW(box, L"zek-test-caught", reinterpret_cast<HANDLE>(1));
    // A box without owner is activated while it still sets itself up (it disables the
    // other windows first): it is read once its own loop runs.
    later([this, box] { answer(box); }, 1);
}

void BoxCatcher::answer(HWND box) {
    Box seen;
    seen.caption = windowText(box);
    seen.owner = GetWindow(box, GW_OWNER);
    // A message box shows its text in a static control of id 0xFFFF; a task dialog has none.
    seen.taskDialog = GetDlgItem(box, 0xFFFF) == nullptr;
    EnumChildWindows(box, &collectText, reinterpret_cast<LPARAM>(&seen.texts));
    boxes.push_back(seen);
    PostMessageW(box, seen.taskDialog ? TDM_CLICK_BUTTON : WM_COMMAND, IDOK, 0);
}

void later(std::function<void()> step, UINT delayMs) {
    const UINT_PTR id = SetTimer(nullptr, 0, delayMs, &runStep);
    pendingSteps[id] = std::move(step);
}

void whenShown(const Win32Host& host, std::function<void(DialogWindow&)> step, int attempts) {
    later([&host, step = std::move(step), attempts]() mutable {
        DialogWindow* top = host.windows().empty() ? nullptr : host.windows().back();
        // The dialog manager shows a modal dialog once its queue first runs empty.
        if (top == nullptr || top->hwnd() == nullptr || !IsWindowVisible(top->hwnd())) {
            if (attempts > 0) {
                whenShown(host, std::move(step), attempts - 1);
            } else {
                ADD_FAILURE() << "no dialog came up";
            }
            return;
        }
        step(*top);
    });
}

void settle() {
    MSG message;
    for (int i = 0; i < 100 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT);
         ++i) {
        DispatchMessageW(&message);
    }
    GdiFlush();
}

void click(HWND dialog, ui::ControlId id) {
    HWND button = GetDlgItem(dialog, id);
    ASSERT_NE(button, nullptr) << id;
    SendMessageW(button, BM_CLICK, 0, 0);
}

void menuCommand(HWND dialog, ui::ControlId id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void type(HWND dialog, ui::ControlId id, const std::wstring& text) {
    HWND edit = GetDlgItem(dialog, id);
    ASSERT_NE(edit, nullptr) << id;
    SetWindowTextW(edit, L"");
    for (wchar_t c : text) {
        SendMessageW(edit, WM_CHAR, static_cast<WPARAM>(c), 0);
    }
}

std::string controlText(HWND dialog, ui::ControlId id) {
    return windowText(GetDlgItem(dialog, id));
}

void saveScreenshot(HWND window, const std::string& name) {
    const std::optional<std::filesystem::path> path = testing_support::artefactPath(name);
    if (!path) {
        return;
    }
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME | RDW_ERASE);
    settle();
    Sleep(50);
    RECT frame;
    GetWindowRect(window, &frame);
    // The window's own pixels, whatever lies above it on the display, as a top-down
    // 32-bit bitmap: the file is its headers and the pixels as they are.
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    BITMAPINFOHEADER info{sizeof(info), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<char> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                             4);
    HDC screen = GetWindowDC(window);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof(info);
    const BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(offset + pixels.size()), 0, 0, offset};
    std::ofstream out(*path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&info), sizeof(info));
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    EXPECT_TRUE(out.good()) << name;
}

Win32Rig::Win32Rig(bool useRealPorts)
    : realPorts(useRealPorts ? shell::findRealPorts() : shell::RealPorts{}),
      app(useRealPorts ? program(host, shell::Backends{&clock, realPorts.serialPorts.get(),
                                                       realPorts.portIo.get()})
                       : program(host)) {
    std::filesystem::remove(dir.file("qvsetup.cfg"));  // a first start
}

Win32Rig::~Win32Rig() {
    window.reset();
    programApp.reset();
}

HWND Win32Rig::start() {
    app.initDialog(dir.path());
    window = std::make_unique<MainWindow>(app, host, [this] { return ports; });
    HWND hwnd = window->create();
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    settle();
    return hwnd;
}

}  // namespace win32::testing
