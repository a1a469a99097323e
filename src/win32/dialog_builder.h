// A dialog template turned into the in-memory form the Windows dialog manager reads
// (DLGTEMPLATEEX with its items), so that the system itself lays the dialog out from
// dialog units and the template's font, as it does for a dialog from resources.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/dialog_template.h"

namespace win32 {

// The predefined window classes of dialog items, by their ordinals.
enum class ControlClass : std::uint16_t {
    Button = 0x0080,
    Edit = 0x0081,
    Static = 0x0082,
    ComboBox = 0x0085,
};

struct ControlStyle {
    ControlClass windowClass;
    std::uint32_t style;
    std::uint32_t exStyle;
};

// The class and styles for control index of the template: the kind and flags as the
// resource compiler would have written them. A radio run starts a group of its own, so
// an auto radio button switches only the buttons of its run.
ControlStyle controlStyle(const ui::DialogTemplate& dialogTemplate, std::size_t index);

// The window name the system registers for a class ("Button", "Edit", …).
std::wstring_view className(ControlClass windowClass);

// The dialog's own styles: a modal frame with a caption and a close box.
std::uint32_t dialogStyle();

// The template's bytes, DWORD-aligned as the dialog manager requires.
std::vector<std::uint16_t> buildDialogTemplate(const ui::DialogTemplate& dialogTemplate);

}  // namespace win32
