// Dialog templates as data: each dialog lists its controls in tab order the way a
// resource script does, so the toolkit-free model and the Qt host build from one table.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace ui {

using ControlId = int;

// Controls without an id (labels, group boxes) carry this id.
inline constexpr ControlId noId = -1;

enum class Kind {
    PushButton,
    DefPushButton,
    Edit,
    Label,
    GroupBox,
    CheckBox,         // toggles itself when clicked
    RadioButton,      // the dialog checks and unchecks it itself
    AutoRadioButton,  // switches among its group by itself
    ComboBox,         // drop-down list with an edit part
};

// A control a mouse click reaches: buttons, check boxes and radio buttons.
constexpr bool isClickable(Kind kind) {
    return kind == Kind::PushButton || kind == Kind::DefPushButton || kind == Kind::CheckBox ||
           kind == Kind::RadioButton || kind == Kind::AutoRadioButton;
}

enum Flag : std::uint32_t {
    none = 0,
    disabled = 1u << 0,
    hidden = 1u << 1,
    readOnly = 1u << 2,
    digitsOnly = 1u << 3,
    groupStart = 1u << 4,
};

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct ControlTemplate {
    ControlId id;
    Kind kind;
    std::string_view text;  // UTF-8
    Rect rect;              // dialog units
    std::uint32_t flags = none;
};

enum class MenuKind { Popup, Item, Separator };

// A menu in pre-order: a popup row is followed by its items (level 1).
// A command directly on the bar is an Item at level 0.
struct MenuItemTemplate {
    MenuKind kind;
    int level;
    ControlId id;  // noId for popups
    std::string_view text;
    std::uint32_t flags = none;  // disabled = shown grayed
};

struct DialogTemplate {
    int id;
    std::string_view title;
    int width;   // dialog units
    int height;  // dialog units
    std::string_view fontName;
    int fontPoints;
    std::span<const ControlTemplate> controls;
    std::span<const MenuItemTemplate> menu;  // empty when the dialog has no menu bar
};

}  // namespace ui
