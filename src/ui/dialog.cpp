#include "ui/dialog.h"

#include <stdexcept>

namespace ui {

Dialog::Dialog(const DialogTemplate& dialogTemplate) : m_template(&dialogTemplate) {
    for (const ControlTemplate& row : dialogTemplate.controls) {
        if (row.id == noId) {
            continue;
        }
        ControlState state;
        state.kind = row.kind;
        state.text = std::string(row.text);
        state.enabled = (row.flags & disabled) == 0;
        state.visible = (row.flags & hidden) == 0;
        m_controls.emplace(row.id, std::move(state));
    }
    for (const MenuItemTemplate& row : dialogTemplate.menu) {
        if (row.kind == MenuKind::Item && row.id != noId) {
            m_menu[row.id].enabled = (row.flags & disabled) == 0;
        }
    }
}

const ControlState& Dialog::control(ControlId id) const {
    auto it = m_controls.find(id);
    if (it == m_controls.end()) {
        throw std::out_of_range("dialog " + std::to_string(this->id()) + " has no control " +
                                std::to_string(id));
    }
    return it->second;
}

ControlState& Dialog::mutableControl(ControlId id) {
    return const_cast<ControlState&>(control(id));
}

void Dialog::record(ControlId id, Field field, std::string value) {
    if (m_changeLog != nullptr) {
        m_changeLog->push_back(Change{this->id(), id, field, std::move(value)});
    }
}

void Dialog::setText(ControlId id, std::string text) {
    ControlState& state = mutableControl(id);
    if (state.kind == Kind::ComboBox) {
        // Setting a combo box's text selects the matching entry, as the list does.
        int match = -1;
        for (std::size_t i = 0; i < state.items.size(); ++i) {
            if (state.items[i] == text) {
                match = static_cast<int>(i);
                break;
            }
        }
        state.selection = match;
    }
    if (state.text != text) {
        state.text = std::move(text);
        record(id, Field::Text, state.text);
    }
}

void Dialog::setFlag(ControlId id, bool ControlState::*flag, Field field, bool value) {
    ControlState& state = mutableControl(id);
    if (state.*flag != value) {
        state.*flag = value;
        record(id, field, value ? "true" : "false");
    }
}

void Dialog::setChecked(ControlId id, bool checked) {
    setFlag(id, &ControlState::checked, Field::Checked, checked);
}

void Dialog::setEnabled(ControlId id, bool enabled) {
    setFlag(id, &ControlState::enabled, Field::Enabled, enabled);
}

void Dialog::setVisible(ControlId id, bool visible) {
    setFlag(id, &ControlState::visible, Field::Visible, visible);
}

void Dialog::setSelection(ControlId id, int index) {
    ControlState& state = mutableControl(id);
    if (index < -1 || index >= static_cast<int>(state.items.size())) {
        index = -1;  // an index the list does not hold selects nothing
    }
    const std::string newText = index >= 0 ? state.items[static_cast<std::size_t>(index)] : "";
    if (state.selection != index) {
        state.selection = index;
        record(id, Field::Selection, std::to_string(index));
    }
    state.text = newText;
}

void Dialog::addItem(ControlId id, std::string item) {
    mutableControl(id).items.push_back(std::move(item));
}

const MenuItemState& Dialog::menuItem(ControlId id) const {
    auto it = m_menu.find(id);
    if (it == m_menu.end()) {
        throw std::out_of_range("dialog " + std::to_string(this->id()) + " has no menu item " +
                                std::to_string(id));
    }
    return it->second;
}

void Dialog::setMenuChecked(ControlId id, bool checked) {
    auto& item = const_cast<MenuItemState&>(menuItem(id));
    if (item.checked != checked) {
        item.checked = checked;
        record(id, Field::Checked, checked ? "true" : "false");
    }
}

void Dialog::setMenuEnabled(ControlId id, bool enabled) {
    auto& item = const_cast<MenuItemState&>(menuItem(id));
    if (item.enabled != enabled) {
        item.enabled = enabled;
        record(id, Field::Enabled, enabled ? "true" : "false");
    }
}

void Dialog::end(int result) {
    if (!m_result) {
        m_result = result;
    }
}

}  // namespace ui
