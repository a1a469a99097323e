// The dialog's menu bar, built from its template's rows; check marks and greying follow
// the model. Items outside the template (the Port menu's virtual controller and further
// ports) are appended by the host and marked by it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "resources/language.h"
#include "ui/dialog.h"

namespace win32 {

class MenuBar {
  public:
    // The template's rows in language.
    explicit MenuBar(const ui::Dialog& dialog, lang::Language language = lang::Language::German);
    ~MenuBar();
    MenuBar(const MenuBar&) = delete;
    MenuBar& operator=(const MenuBar&) = delete;

    HMENU handle() const { return m_bar; }
    // Pop-up index (0 = the first of the bar), or nullptr.
    HMENU popup(int index) const;
    // An item appended to pop-up popupIndex; a separator goes before it when asked.
    void addItem(int popupIndex, ui::ControlId id, std::string_view text, bool separatorBefore);
    // Removes the items of ids first … last, which stand at the end behind a separator.
    void removeItems(int popupIndex, ui::ControlId first, ui::ControlId last);

    // The model's check marks and greying; true when a command on the bar itself changed,
    // which needs the bar drawn again.
    bool copyFromModel(const ui::Dialog& dialog);
    void setChecked(ui::ControlId id, bool checked);

    // Set once the bar belongs to a window (which then destroys it).
    void release() { m_owned = false; }

  private:
    HMENU m_bar = nullptr;
    std::vector<HMENU> m_popups;
    std::vector<ui::ControlId> m_onBar;
    bool m_owned = true;
};

}  // namespace win32
