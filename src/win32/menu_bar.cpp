#include "win32/menu_bar.h"

#include <algorithm>

#include "resources/translation.h"
#include "win32/wide_text.h"

namespace win32 {

MenuBar::MenuBar(const ui::Dialog& dialog, lang::Language language) : m_bar(CreateMenu()) {
    HMENU current = nullptr;
    for (const ui::MenuItemTemplate& item :
         lang::translatedTemplate(dialog.dialogTemplate(), language).menu) {
        const std::wstring text = widen(item.text);
        const UINT grayed = (item.flags & ui::disabled) != 0 ? MF_GRAYED : 0;
        switch (item.kind) {
            case ui::MenuKind::Popup:
                current = CreatePopupMenu();
                AppendMenuW(m_bar, MF_POPUP | MF_STRING | grayed,
                            reinterpret_cast<UINT_PTR>(current), text.c_str());
                m_popups.push_back(current);
                break;
            case ui::MenuKind::Separator:
                if (current != nullptr) {
                    AppendMenuW(current, MF_SEPARATOR, 0, nullptr);
                }
                break;
            case ui::MenuKind::Item:
                if (item.level == 0 || current == nullptr) {
                    AppendMenuW(m_bar, MF_STRING | grayed, static_cast<UINT_PTR>(item.id),
                                text.c_str());
                    m_onBar.push_back(item.id);
                    current = nullptr;
                } else {
                    AppendMenuW(current, MF_STRING | grayed, static_cast<UINT_PTR>(item.id),
                                text.c_str());
                }
                break;
        }
    }
    copyFromModel(dialog);
}

MenuBar::~MenuBar() {
    if (m_owned && m_bar != nullptr) {
        DestroyMenu(m_bar);
    }
}

HMENU MenuBar::popup(int index) const {
    return index >= 0 && index < static_cast<int>(m_popups.size())
               ? m_popups[static_cast<std::size_t>(index)]
               : nullptr;
}

void MenuBar::addItem(int popupIndex, ui::ControlId id, std::string_view text,
                      bool separatorBefore) {
    HMENU menu = popup(popupIndex);
    if (menu == nullptr) {
        return;
    }
    if (separatorBefore) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    }
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(id), widen(text).c_str());
}

void MenuBar::removeItems(int popupIndex, ui::ControlId first, ui::ControlId last) {
    HMENU menu = popup(popupIndex);
    if (menu == nullptr) {
        return;
    }
    for (int position = GetMenuItemCount(menu) - 1; position >= 0; --position) {
        const auto id = static_cast<int>(GetMenuItemID(menu, position));
        if (id >= first && id <= last) {
            DeleteMenu(menu, static_cast<UINT>(position), MF_BYPOSITION);
        }
    }
    // The items stand at the end, behind a separator of their own.
    const int lastPosition = GetMenuItemCount(menu) - 1;
    if (lastPosition >= 0 &&
        (GetMenuState(menu, static_cast<UINT>(lastPosition), MF_BYPOSITION) & MF_SEPARATOR) != 0) {
        DeleteMenu(menu, static_cast<UINT>(lastPosition), MF_BYPOSITION);
    }
}

bool MenuBar::copyFromModel(const ui::Dialog& dialog) {
    bool barChanged = false;
    for (const auto& [id, state] : dialog.menuItems()) {
        const UINT flag = state.enabled ? MF_ENABLED : MF_GRAYED;
        const UINT before = EnableMenuItem(m_bar, static_cast<UINT>(id), MF_BYCOMMAND | flag);
        setChecked(id, state.checked);
        if (before != static_cast<UINT>(-1) && (before & MF_GRAYED) != (flag & MF_GRAYED) &&
            std::find(m_onBar.begin(), m_onBar.end(), id) != m_onBar.end()) {
            barChanged = true;
        }
    }
    return barChanged;
}

void MenuBar::setChecked(ui::ControlId id, bool checked) {
    CheckMenuItem(m_bar, static_cast<UINT>(id),
                  MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace win32
