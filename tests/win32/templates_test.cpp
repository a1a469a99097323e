// Every dialog as the Windows dialog manager builds it from its template: each control
// with its id, class, styles, text and the template's rectangle in pixels, and the main
// dialog's menu bar.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <tuple>
#include <vector>

#include "resources/backups_dialog.h"
#include "resources/lock_functions_dialog.h"
#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"
#include "resources/rev_counter_dialog.h"
#include "resources/rpm_control_dialog.h"
#include "resources/texts.h"
#include "resources/translation.h"
#include "win32/dialog_builder.h"
#include "win32/dialog_window.h"
#include "win32/wide_text.h"
#include "win32/win32_rig.h"

namespace win32::testing {
namespace {

using ::testing::ElementsAreArray;

const ui::DialogTemplate* const allDialogs[] = {
    &resources::mainDialogTemplate(), &resources::lockFunctionsDialogTemplate(),
    &resources::rpmControlDialogTemplate(), &resources::revCounterDialogTemplate(),
    &resources::backupsDialogTemplate()};

// Position and size are each turned into pixels, as the dialog manager does: the right
// edge is x's pixels plus the width's, not the pixels of x + width.
RECT mapped(HWND dialog, const ui::Rect& units) {
    RECT rect{units.x, units.y, units.width, units.height};
    MapDialogRect(dialog, &rect);
    return RECT{rect.left, rect.top, rect.left + rect.right, rect.top + rect.bottom};
}

// The height each control was created with (a combo box shows less than that).
std::map<HWND, int> createdHeight;

LRESULT CALLBACK recordCreation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        createdHeight[reinterpret_cast<HWND>(wParam)] =
            reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs->cy;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The pixels a control's text needs, drawn with the control's own font (the dialog's, at
// the template's size) as the control draws it: a label wraps at its width, a button's
// text stands on one line beside its glyph, if it has one.
SIZE neededSize(HWND control, ui::Kind kind) {
    RECT client;
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    HGDIOBJ before =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT text{0, 0, client.right, 0};
    const std::wstring shown = widen(windowText(control));
    DrawTextW(dc, shown.c_str(), -1, &text,
              DT_CALCRECT | (kind == ui::Kind::Label ? DT_WORDBREAK : DT_SINGLELINE));
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, before);
    ReleaseDC(control, dc);
    int beside = 0;
    if (kind == ui::Kind::CheckBox || kind == ui::Kind::RadioButton ||
        kind == ui::Kind::AutoRadioButton) {
        beside = GetSystemMetrics(SM_CXMENUCHECK) + metrics.tmAveCharWidth / 2;
    } else if (kind == ui::Kind::PushButton || kind == ui::Kind::DefPushButton) {
        beside = 2 * GetSystemMetrics(SM_CXEDGE);
    } else if (kind == ui::Kind::GroupBox) {
        beside = 2 * metrics.tmAveCharWidth;  // the title stands inset in the frame
    }
    return SIZE{text.right + beside, text.bottom};
}

void expectControls(HWND dialog, const ui::DialogTemplate& german, lang::Language language) {
    // Geometry, ids and flags are the template's; the texts are those of the language.
    const ui::DialogTemplate& dialogTemplate = lang::translatedTemplate(german, language);
    RECT client;
    GetClientRect(dialog, &client);
    const RECT size = mapped(dialog, {0, 0, dialogTemplate.width, dialogTemplate.height});
    EXPECT_EQ(std::tie(client.right, client.bottom), std::tie(size.right, size.bottom));
    EXPECT_EQ(windowText(dialog), std::string(dialogTemplate.title));

    // The children in creation order are the template's controls in tab order.
    HWND child = GetWindow(dialog, GW_CHILD);
    for (std::size_t i = 0; i < dialogTemplate.controls.size(); ++i) {
        const ui::ControlTemplate& control = dialogTemplate.controls[i];
        SCOPED_TRACE(std::to_string(i) + " " + std::to_string(control.id) + " " +
                     std::string(control.text));
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(GetDlgCtrlID(child), control.id == ui::noId ? -1 : control.id);
        const ControlStyle expected = controlStyle(dialogTemplate, i);
        EXPECT_EQ(windowClass(child), narrow(className(expected.windowClass)));
        const auto style = static_cast<std::uint32_t>(GetWindowLongPtrW(child, GWL_STYLE));
        // What the controls change themselves: the button type moves to whichever push
        // button has the focus, a radio button has a tab stop while checked, a combo box
        // hands its scroll bar to its list.
        const bool push =
            control.kind == ui::Kind::PushButton || control.kind == ui::Kind::DefPushButton;
        const bool radio =
            control.kind == ui::Kind::RadioButton || control.kind == ui::Kind::AutoRadioButton;
        const std::uint32_t own = push                                 ? BS_TYPEMASK
                                  : radio                              ? WS_TABSTOP
                                  : control.kind == ui::Kind::ComboBox ? WS_VSCROLL
                                                                       : 0;
        EXPECT_EQ(style & expected.style & ~own, expected.style & ~own);

        // What each flag must mean to the system, whatever the mapping says.
        EXPECT_EQ(IsWindowEnabled(child) != FALSE, (control.flags & ui::disabled) == 0);
        EXPECT_EQ((style & WS_VISIBLE) != 0, (control.flags & ui::hidden) == 0);
        EXPECT_EQ((style & ES_READONLY) != 0 && control.kind == ui::Kind::Edit,
                  (control.flags & ui::readOnly) != 0);
        EXPECT_EQ((style & ES_NUMBER) != 0 && control.kind == ui::Kind::Edit,
                  (control.flags & ui::digitsOnly) != 0);
        if ((control.flags & ui::groupStart) != 0) {
            EXPECT_NE(style & WS_GROUP, 0u);
        }
        if (control.kind == ui::Kind::AutoRadioButton) {
            EXPECT_EQ(style & BS_TYPEMASK, std::uint32_t(BS_AUTORADIOBUTTON));
        }
        if (control.kind == ui::Kind::ComboBox) {
            EXPECT_EQ(style & 3, std::uint32_t(CBS_DROPDOWN));
        }
        if (control.kind != ui::Kind::Edit && control.kind != ui::Kind::ComboBox) {
            EXPECT_EQ(windowText(child), std::string(control.text));
            // Where the German text itself needs more than this measure gives, another
            // language may need no more than German: the templates were laid out for it.
            RECT room;
            GetClientRect(child, &room);
            const SIZE needed = neededSize(child, control.kind);
            SetWindowTextW(child, widen(german.controls[i].text).c_str());
            const SIZE germanNeeded = neededSize(child, control.kind);
            EXPECT_LE(needed.cx, std::max(room.right, germanNeeded.cx));
            EXPECT_LE(needed.cy, std::max(room.bottom, germanNeeded.cy));
        }

        const RECT want = mapped(dialog, control.rect);
        RECT have;
        GetWindowRect(child, &have);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&have), 2);
        if (control.kind == ui::Kind::ComboBox) {
            // The template's height is the dropped-down list's: what the box was made with.
            have.bottom = have.top + createdHeight[child];
        }
        EXPECT_EQ(std::tie(have.left, have.top, have.right, have.bottom),
                  std::tie(want.left, want.top, want.right, want.bottom));
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr) << "a control the template does not have";
}

TEST(Win32Templates, EveryControlOfEveryDialogAsTheTemplateSaysAndFitsInEveryLanguage) {
    for (const lang::Language language : lang::languages())
        for (const ui::DialogTemplate* german : allDialogs) {
            SCOPED_TRACE(std::to_string(german->id) + " " +
                         std::string(lang::languageCode(language)));
            ui::Dialog model(*german);
            DialogWindow window(
                model, [](ui::ControlId) { return ui::Outcome::Done; }, language);
            HHOOK hook = SetWindowsHookExW(WH_CBT, &recordCreation, nullptr, GetCurrentThreadId());
            HWND dialog = window.create(nullptr);
            UnhookWindowsHookEx(hook);
            ASSERT_NE(dialog, nullptr);
            expectControls(dialog, *german, language);
        }
}

// A menu's rows as "text id", marked " grayed" and " checked", a separator as "-"; a
// pop-up (no id) is followed by its rows, indented.
std::vector<std::string> menuRows(HMENU menu, const std::string& indent = {},
                                  std::vector<std::string> found = {}) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t label[128] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), label, 128, MF_BYPOSITION);
        const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        HMENU popup = GetSubMenu(menu, i);
        if (popup == nullptr && (state & MF_SEPARATOR) != 0) {
            found.push_back(indent + "-");
            continue;
        }
        found.push_back(indent + narrow(label) +
                        (popup != nullptr ? "" : " " + std::to_string(GetMenuItemID(menu, i))) +
                        ((state & MF_GRAYED) != 0 ? " grayed" : "") +
                        ((state & MF_CHECKED) != 0 ? " checked" : ""));
        if (popup != nullptr) {
            found = menuRows(popup, indent + "  ", std::move(found));
        }
    }
    return found;
}

// The template's menu as menuRows shows it, the item of id checked checked; behind the
// Port items the virtual controller, a found port and "Port prüfen…", each behind a
// separator.
std::vector<std::string> expectedMenu(ui::ControlId checked) {
    const auto row = [&](int level, std::string_view text, int id, bool grayed) {
        return std::string(2 * static_cast<std::size_t>(level), ' ') + std::string(text) +
               (id < 0 ? "" : " " + std::to_string(id)) + (grayed ? " grayed" : "") +
               (id == checked ? " checked" : "");
    };
    std::vector<std::string> rows;
    std::size_t portEnd = 0;
    int popups = 0;
    const std::string separator = "  -";
    for (const ui::MenuItemTemplate& item : resources::mainDialogTemplate().menu) {
        popups += item.kind == ui::MenuKind::Popup ? 1 : 0;
        rows.push_back(row(item.level, item.text, item.kind == ui::MenuKind::Popup ? -1 : item.id,
                           (item.flags & ui::disabled) != 0));
        if (item.level == 1 && popups == ids::PortPopupIndex + 1) {
            portEnd = rows.size();
        }
    }
    rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(portEnd),
                {separator, row(1, texts::VirtualController, ids::VirtualControllerItem, false),
                 separator, row(1, "COM12\t\\Device\\VCP0", ids::FirstFoundPortItem, false),
                 separator, row(1, "Port prüfen…", ids::CheckPortItem, false)});
    return rows;
}

TEST(Win32Templates, TheMenuBarIsTheTemplatesWithThePortsAndTheVirtualController) {
    Win32Rig rig;
    rig.dir.write("qvsetup.cfg", "COM3");
    rig.app.setVirtualBackends({&rig.rig.clock(), &rig.rig.serialPorts(), &rig.rig.portIo()});
    adapter::DiscoveredPort low;
    low.name = "COM2";  // reached by its COM item: listed once only
    adapter::DiscoveredPort high;
    high.name = "COM12";
    high.driver = "\\Device\\VCP0";
    rig.ports = {low, high};
    HWND dialog = rig.start();
    EXPECT_THAT(menuRows(GetMenu(dialog)), ElementsAreArray(expectedMenu(ids::Com3Item)));
    // The marks follow the model.
    menuCommand(dialog, ids::VirtualControllerItem);
    EXPECT_THAT(menuRows(GetMenu(dialog)),
                ElementsAreArray(expectedMenu(ids::VirtualControllerItem)));
    EXPECT_TRUE(rig.boxes.boxes.empty());
}

}  // namespace
}  // namespace win32::testing
