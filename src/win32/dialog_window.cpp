#include "win32/dialog_window.h"

#include "resources/translation.h"
#include "win32/dialog_builder.h"
#include "win32/wide_text.h"

namespace win32 {
namespace {

std::wstring windowText(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

void setWindowText(HWND hwnd, const std::string& utf8) {
    const std::wstring text = widen(utf8);
    // Setting an unchanged text would move the caret and flicker.
    if (windowText(hwnd) != text) {
        SetWindowTextW(hwnd, text.c_str());
    }
}

std::wstring comboItem(HWND combo, int index) {
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

constexpr ui::ControlId okId = IDOK;
constexpr ui::ControlId cancelId = IDCANCEL;

}  // namespace

DialogWindow::DialogWindow(ui::Dialog& dialog, CommandHandler handler, lang::Language language)
    : m_dialog(dialog), m_handler(std::move(handler)), m_language(language) {}

void DialogWindow::setMenu(std::unique_ptr<MenuBar> menu) {
    m_menu = std::move(menu);
    if (m_hwnd != nullptr && m_menu) {
        // The old bar goes with SetMenu's replacement; the window destroys the new one.
        HMENU old = GetMenu(m_hwnd);
        SetMenu(m_hwnd, m_menu->handle());
        m_menu->release();
        if (old != nullptr) {
            DestroyMenu(old);
        }
        copyFromModel();
        DrawMenuBar(m_hwnd);
    }
}

void DialogWindow::setLanguage(lang::Language language) {
    m_language = language;
    if (m_hwnd == nullptr) {
        return;
    }
    const ui::DialogTemplate& shown = lang::translatedTemplate(m_dialog.dialogTemplate(), language);
    SetWindowTextW(m_hwnd, widen(shown.title).c_str());
    // The children in creation order are the template's controls.
    HWND child = GetWindow(m_hwnd, GW_CHILD);
    for (const ui::ControlTemplate& control : shown.controls) {
        if (child == nullptr) {
            break;
        }
        if (control.kind != ui::Kind::Edit && control.kind != ui::Kind::ComboBox) {
            SetWindowTextW(child, widen(control.text).c_str());
        }
        child = GetWindow(child, GW_HWNDNEXT);
    }
    copyFromModel();
}

DialogWindow::~DialogWindow() {
    if (m_hwnd != nullptr && !m_modal) {
        DestroyWindow(m_hwnd);
    }
}

int DialogWindow::run(HWND owner) {
    m_modal = true;
    m_template =
        buildDialogTemplate(lang::translatedTemplate(m_dialog.dialogTemplate(), m_language));
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                            reinterpret_cast<LPCDLGTEMPLATEW>(m_template.data()), owner,
                            &DialogWindow::procedure, reinterpret_cast<LPARAM>(this));
    m_hwnd = nullptr;
    return m_dialog.result();
}

HWND DialogWindow::create(HWND owner) {
    m_modal = false;
    m_template =
        buildDialogTemplate(lang::translatedTemplate(m_dialog.dialogTemplate(), m_language));
    CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                               reinterpret_cast<LPCDLGTEMPLATEW>(m_template.data()), owner,
                               &DialogWindow::procedure, reinterpret_cast<LPARAM>(this));
    return m_hwnd;
}

INT_PTR CALLBACK DialogWindow::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* window = reinterpret_cast<DialogWindow*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        window->initialise(hwnd);
        return TRUE;
    }
    auto* window = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (window == nullptr) {
        return FALSE;
    }
    if (message == WM_NCDESTROY) {
        window->m_hwnd = nullptr;
        return FALSE;
    }
    return window->handle(message, wParam, lParam);
}

void DialogWindow::initialise(HWND hwnd) {
    m_hwnd = hwnd;
    if (m_iconId != 0) {
        HINSTANCE instance = GetModuleHandleW(nullptr);
        auto icon = [&](int size) {
            return reinterpret_cast<LPARAM>(LoadImageW(instance, MAKEINTRESOURCEW(m_iconId),
                                                       IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
        };
        SendMessageW(hwnd, WM_SETICON, ICON_BIG, icon(GetSystemMetrics(SM_CXICON)));
        SendMessageW(hwnd, WM_SETICON, ICON_SMALL, icon(GetSystemMetrics(SM_CXSMICON)));
    }
    attachMenu();
    if (m_onInit) {
        m_onInit();
    }
    copyFromModel();
    if (m_dialog.ended() && m_modal) {
        EndDialog(hwnd, m_dialog.result());
    }
}

void DialogWindow::attachMenu() {
    if (!m_menu) {
        return;
    }
    SetMenu(m_hwnd, m_menu->handle());
    m_menu->release();
    // The bar takes its height from the window: the client area keeps the template's size.
    const ui::DialogTemplate& dialogTemplate = m_dialog.dialogTemplate();
    RECT client{0, 0, dialogTemplate.width, dialogTemplate.height};
    MapDialogRect(m_hwnd, &client);
    RECT frame = client;
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(m_hwnd, GWL_STYLE)), TRUE,
                       static_cast<DWORD>(GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE)));
    SetWindowPos(m_hwnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A bar that wraps into two lines takes more: grow by what is still missing.
    RECT actual;
    GetClientRect(m_hwnd, &actual);
    const int missing = (client.bottom - client.top) - (actual.bottom - actual.top);
    if (missing > 0) {
        RECT window;
        GetWindowRect(m_hwnd, &window);
        SetWindowPos(m_hwnd, nullptr, 0, 0, window.right - window.left,
                     window.bottom - window.top + missing,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

INT_PTR DialogWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const auto id = static_cast<ui::ControlId>(LOWORD(wParam));
            const auto control = reinterpret_cast<HWND>(lParam);
            if (sendsCommand(id, control) && HIWORD(wParam) == BN_CLICKED) {
                runCommand(id);
            }
            return TRUE;
        }
        case WM_CLOSE:
            // The close box is the dialog's cancel command; its code decides whether it ends.
            runCommand(cancelId);
            return TRUE;
        case DM_GETDEFID:
            if (!m_enterSendsCommands) {
                // No default: Enter outside a button sends OK, which is ignored below.
                SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, 0);
                return TRUE;
            }
            return FALSE;
        case WM_INITMENUPOPUP:
            if (m_onPopup) {
                m_onPopup(reinterpret_cast<HMENU>(wParam));
            }
            return FALSE;
        default:
            return FALSE;
    }
}

bool DialogWindow::sendsCommand(ui::ControlId id, HWND control) const {
    if (control == nullptr) {
        // A menu command, or Enter or Esc with no button of that id.
        if (id == okId) {
            return m_enterSendsCommands;
        }
        return true;
    }
    if (id == okId || id == cancelId) {
        return true;
    }
    // Edits and combo boxes notify about typing; only buttons are commands.
    return m_dialog.has(id) && ui::isClickable(m_dialog.control(id).kind);
}

void DialogWindow::runCommand(ui::ControlId id) {
    // Commands run one at a time; a click that reaches a busy dialog is dropped.
    if (m_running || !m_handler || m_dialog.ended() || m_hwnd == nullptr) {
        return;
    }
    m_running = true;
    copyToModel();
    (void)m_handler(id);
    copyFromModel();
    m_running = false;
    if (m_dialog.ended() && m_hwnd != nullptr) {
        if (m_modal) {
            EndDialog(m_hwnd, m_dialog.result());
        } else {
            ShowWindow(m_hwnd, SW_HIDE);
        }
    }
}

void DialogWindow::copyToModel() {
    for (const ui::ControlTemplate& control : m_dialog.dialogTemplate().controls) {
        if (control.id == ui::noId || !m_dialog.has(control.id)) {
            continue;
        }
        HWND item = GetDlgItem(m_hwnd, control.id);
        switch (control.kind) {
            case ui::Kind::Edit:
                m_dialog.setText(control.id, typedText(control.id, narrow(windowText(item))));
                break;
            case ui::Kind::ComboBox: {
                const std::string shown = narrow(windowText(item));
                const std::vector<std::string>& items = m_dialog.items(control.id);
                const LRESULT index = SendMessageW(item, CB_GETCURSEL, 0, 0);
                // A list item shown in another language is the model's own item.
                if (index >= 0 && static_cast<std::size_t>(index) < items.size() &&
                    shown == lang::shownText(m_language, items[static_cast<std::size_t>(index)])) {
                    m_dialog.setText(control.id, items[static_cast<std::size_t>(index)]);
                } else {
                    m_dialog.setText(control.id, typedText(control.id, shown));
                }
                break;
            }
            case ui::Kind::CheckBox:
            case ui::Kind::AutoRadioButton:
                m_dialog.setChecked(control.id,
                                    IsDlgButtonChecked(m_hwnd, control.id) == BST_CHECKED);
                break;
            default:
                // Plain radio buttons show what the dialog's code decided; a click only
                // sends their command.
                break;
        }
    }
}

std::string DialogWindow::typedText(ui::ControlId id, const std::string& shown) const {
    const std::string& model = m_dialog.text(id);
    if (shown == lang::shownControlText(m_language, m_dialog.dialogTemplate(), id, model)) {
        return model;
    }
    return shown;
}

void DialogWindow::copyFromModel() {
    if (m_hwnd == nullptr) {
        return;
    }
    for (const auto& [id, state] : m_dialog.controls()) {
        copyControlFromModel(id, state);
    }
    if (m_menu && m_menu->copyFromModel(m_dialog)) {
        DrawMenuBar(m_hwnd);
    }
    if (m_afterSync) {
        m_afterSync();
    }
}

void DialogWindow::copyControlFromModel(ui::ControlId id, const ui::ControlState& state) {
    HWND item = GetDlgItem(m_hwnd, id);
    if (item == nullptr) {
        return;
    }
    if ((IsWindowEnabled(item) != FALSE) != state.enabled) {
        EnableWindow(item, state.enabled ? TRUE : FALSE);
    }
    const bool visible = (GetWindowLongPtrW(item, GWL_STYLE) & WS_VISIBLE) != 0;
    if (visible != state.visible) {
        ShowWindow(item, state.visible ? SW_SHOWNA : SW_HIDE);
    }
    const std::string text =
        lang::shownControlText(m_language, m_dialog.dialogTemplate(), id, state.text);
    switch (state.kind) {
        case ui::Kind::Edit:
        case ui::Kind::Label:
        case ui::Kind::GroupBox:
        case ui::Kind::PushButton:
        case ui::Kind::DefPushButton:
            setWindowText(item, text);
            break;
        case ui::Kind::CheckBox:
        case ui::Kind::RadioButton:
        case ui::Kind::AutoRadioButton:
            setWindowText(item, text);
            CheckDlgButton(m_hwnd, id, state.checked ? BST_CHECKED : BST_UNCHECKED);
            break;
        case ui::Kind::ComboBox: {
            const auto count = static_cast<std::size_t>(SendMessageW(item, CB_GETCOUNT, 0, 0));
            bool sameItems = count == state.items.size();
            for (std::size_t i = 0; sameItems && i < count; ++i) {
                sameItems = comboItem(item, static_cast<int>(i)) ==
                            widen(lang::shownText(m_language, state.items[i]));
            }
            if (!sameItems) {
                SendMessageW(item, CB_RESETCONTENT, 0, 0);
                for (const std::string& entry : state.items) {
                    SendMessageW(item, CB_ADDSTRING, 0,
                                 reinterpret_cast<LPARAM>(
                                     widen(lang::shownText(m_language, entry)).c_str()));
                }
            }
            if (SendMessageW(item, CB_GETCURSEL, 0, 0) != state.selection) {
                SendMessageW(item, CB_SETCURSEL, static_cast<WPARAM>(state.selection), 0);
            }
            setWindowText(item, text);
            break;
        }
    }
}

}  // namespace win32
