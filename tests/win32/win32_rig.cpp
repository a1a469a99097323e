#include "win32/win32_rig.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

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

// PNG with stored deflate blocks: no compression library needed for a test picture.
std::uint32_t crc32(const std::string& bytes, std::uint32_t crc = 0) {
    crc = ~crc;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

void bigEndian(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
    }
}

void chunk(std::string& out, const char* type, const std::string& data) {
    bigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::string typed = std::string(type, 4) + data;
    out += typed;
    bigEndian(out, crc32(typed));
}

std::string encodePng(int width, int height, const std::string& rgbRows) {
    std::string deflate("\x78\x01", 2);
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (unsigned char byte : rgbRows) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    for (std::size_t at = 0; at < rgbRows.size() || at == 0; at += 65535) {
        const std::size_t length = std::min<std::size_t>(65535, rgbRows.size() - at);
        const bool last = at + length >= rgbRows.size();
        deflate.push_back(last ? 1 : 0);
        deflate.push_back(static_cast<char>(length & 0xFF));
        deflate.push_back(static_cast<char>(length >> 8));
        deflate.push_back(static_cast<char>(~length & 0xFF));
        deflate.push_back(static_cast<char>((~length >> 8) & 0xFF));
        deflate += rgbRows.substr(at, length);
        if (last) {
            break;
        }
    }
    bigEndian(deflate, (b << 16) | a);
    std::string header;
    bigEndian(header, static_cast<std::uint32_t>(width));
    bigEndian(header, static_cast<std::uint32_t>(height));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB
    std::string png("\x89PNG\r\n\x1a\n", 8);
    chunk(png, "IHDR", header);
    chunk(png, "IDAT", deflate);
    chunk(png, "IEND", "");
    return png;
}

}  // namespace

bool Box::shows(const std::string& text) const {
    for (const std::string& shown : texts) {
        if (shown == text) {
            return true;
        }
    }
    return false;
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
    if (code == HCBT_CREATEWND && activeCatcher != nullptr) {
        const CREATESTRUCTW* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
        if (create->hwndParent == nullptr || (create->style & WS_CHILD) == 0) {
            if (create->lpszName != nullptr && !IS_INTRESOURCE(create->lpszName)) {
                activeCatcher->windowsCreated.push_back(narrow(create->lpszName));
            }
        }
    }
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
    if (std::getenv("ZEK_TEST_VERBOSE") != nullptr) {
        std::string all;
        for (const std::string& text : seen.texts) {
            all += text + "|";
        }
        std::fprintf(stderr, "box %s: %s\n", seen.caption.c_str(), all.c_str());
    }
    const WPARAM answer = answerCancel ? IDCANCEL : IDOK;
    if (seen.taskDialog) {
        PostMessageW(box, TDM_CLICK_BUTTON, answer, 0);
    } else {
        PostMessageW(box, WM_COMMAND, answer, 0);
    }
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
    const char* folder = std::getenv("ZEK_TEST_OUTPUT");
    if (folder == nullptr) {
        return;
    }
    // Wine hands the Unix folder over as it is; its drive Z: is the Unix root.
    std::string directory = folder;
    if (!directory.empty() && directory[0] == '/') {
        directory = "Z:" + directory;
    }
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME | RDW_ERASE);
    settle();
    Sleep(50);
    RECT frame;
    GetWindowRect(window, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;

    // The window's own pixels, whatever lies above it on the display.
    HDC screen = GetWindowDC(window);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();

    std::string rows;
    const auto* pixels = static_cast<const unsigned char*>(bits);
    for (int y = 0; y < height; ++y) {
        rows.push_back(0);  // no filter
        for (int x = 0; x < width; ++x) {
            const unsigned char* pixel = pixels + (static_cast<std::size_t>(y) * width + x) * 4;
            rows.push_back(static_cast<char>(pixel[2]));
            rows.push_back(static_cast<char>(pixel[1]));
            rows.push_back(static_cast<char>(pixel[0]));
        }
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, screen);

    std::filesystem::create_directories(directory);
    std::ofstream out(std::filesystem::path(directory) / name, std::ios::binary);
    out << encodePng(width, height, rows);
    EXPECT_TRUE(out.good()) << name;
}

Win32Rig::Win32Rig(bool useRealPorts)
    : realPorts(useRealPorts ? shell::findRealPorts() : shell::RealPorts{}),
      application(std::make_unique<shell::App>(
          host,
          useRealPorts
              ? shell::Backends{&clock, realPorts.serialPorts.get(), realPorts.portIo.get()}
              : shell::Backends{&simulator.clock(), &simulator.serialPorts(), &simulator.portIo()},
          shell::PlatformFlags{})),
      app(*application) {}

Win32Rig::~Win32Rig() {
    window.reset();
    application.reset();
}

HWND Win32Rig::start() {
    app.initDialog(directory.path());
    window = std::make_unique<MainWindow>(app, host, [this] { return ports; });
    HWND hwnd = window->create();
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    settle();
    return hwnd;
}

DialogWindow* Win32Rig::topDialog() const {
    return host.windows().empty() ? nullptr : host.windows().back();
}

}  // namespace win32::testing
