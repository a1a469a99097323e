// The toolkit-free state of one dialog: what each control shows. Commands work on
// this model only; the Qt host and the console host copy it to and from the screen.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ui/dialog_template.h"

namespace ui {

struct ControlState {
    Kind kind = Kind::Label;
    std::string text;
    bool checked = false;
    bool enabled = true;
    bool visible = true;
    std::vector<std::string> items;  // combo boxes
    int selection = -1;              // combo boxes; -1 = nothing selected
};

struct MenuItemState {
    bool enabled = true;
    bool checked = false;
};

enum class Field { Text, Checked, Enabled, Visible, Selection };

// One change a procedure made to a control or menu item, for scripts that follow progress.
struct Change {
    int dialogId;
    ControlId id;
    Field field;
    std::string value;
};

class Dialog {
  public:
    explicit Dialog(const DialogTemplate& dialogTemplate);

    int id() const { return m_template->id; }
    const DialogTemplate& dialogTemplate() const { return *m_template; }

    bool has(ControlId id) const { return m_controls.count(id) != 0; }
    const ControlState& control(ControlId id) const;

    const std::string& text(ControlId id) const { return control(id).text; }
    bool checked(ControlId id) const { return control(id).checked; }
    bool enabled(ControlId id) const { return control(id).enabled; }
    bool visible(ControlId id) const { return control(id).visible; }
    int selection(ControlId id) const { return control(id).selection; }
    const std::vector<std::string>& items(ControlId id) const { return control(id).items; }

    void setText(ControlId id, std::string text);
    void setChecked(ControlId id, bool checked);
    void setEnabled(ControlId id, bool enabled);
    void setVisible(ControlId id, bool visible);
    void setSelection(ControlId id, int index);
    void addItem(ControlId id, std::string item);

    bool hasMenuItem(ControlId id) const { return m_menu.count(id) != 0; }
    const MenuItemState& menuItem(ControlId id) const;
    void setMenuChecked(ControlId id, bool checked);
    void setMenuEnabled(ControlId id, bool enabled);

    // Ending the dialog (EndDialog): the host's modal loop stops after the running command.
    void end(int result);
    bool ended() const { return m_result.has_value(); }
    int result() const { return m_result.value_or(0); }
    void reopen() { m_result.reset(); }

    // Where changes made by procedures are recorded; none by default.
    void setChangeLog(std::vector<Change>* log) { m_changeLog = log; }

    const std::map<ControlId, ControlState>& controls() const { return m_controls; }
    const std::map<ControlId, MenuItemState>& menuItems() const { return m_menu; }

  private:
    ControlState& mutableControl(ControlId id);
    void record(ControlId id, Field field, std::string value);
    void setFlag(ControlId id, bool ControlState::*flag, Field field, bool value);

    const DialogTemplate* m_template;
    std::map<ControlId, ControlState> m_controls;
    std::map<ControlId, MenuItemState> m_menu;
    std::optional<int> m_result;
    std::vector<Change>* m_changeLog = nullptr;
};

}  // namespace ui
