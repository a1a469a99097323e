#include "win32/dialog_builder.h"

#include <windows.h>

#include "win32/wide_text.h"

namespace win32 {
namespace {

// Which controls belong to one run of radio buttons.
enum class RunKind { AutoRadio, Radio, Other };

RunKind runKind(ui::Kind kind) {
    switch (kind) {
        case ui::Kind::AutoRadioButton:
            return RunKind::AutoRadio;
        case ui::Kind::RadioButton:
            return RunKind::Radio;
        default:
            return RunKind::Other;
    }
}

class Writer {
  public:
    void word(std::uint16_t value) { m_words.push_back(value); }
    void dword(std::uint32_t value) {
        word(static_cast<std::uint16_t>(value & 0xFFFF));
        word(static_cast<std::uint16_t>(value >> 16));
    }
    void text(std::string_view utf8) {
        for (wchar_t c : widen(utf8)) {
            word(static_cast<std::uint16_t>(c));
        }
        word(0);
    }
    void text(std::wstring_view wide) {
        for (wchar_t c : wide) {
            word(static_cast<std::uint16_t>(c));
        }
        word(0);
    }
    // Items start on a DWORD boundary.
    void alignDword() {
        if (m_words.size() % 2 != 0) {
            word(0);
        }
    }
    std::vector<std::uint16_t> take() { return std::move(m_words); }

  private:
    std::vector<std::uint16_t> m_words;
};

std::int16_t unit(int value) {
    return static_cast<std::int16_t>(value);
}

}  // namespace

std::wstring_view className(ControlClass windowClass) {
    switch (windowClass) {
        case ControlClass::Button:
            return L"Button";
        case ControlClass::Edit:
            return L"Edit";
        case ControlClass::Static:
            return L"Static";
        case ControlClass::ComboBox:
            return L"ComboBox";
    }
    return L"Static";
}

ControlStyle controlStyle(const ui::DialogTemplate& dialogTemplate, std::size_t index) {
    const ui::ControlTemplate& control = dialogTemplate.controls[index];
    ControlStyle result{ControlClass::Static, WS_CHILD, 0};
    switch (control.kind) {
        case ui::Kind::PushButton:
            result = {ControlClass::Button, BS_PUSHBUTTON | WS_TABSTOP, 0};
            break;
        case ui::Kind::DefPushButton:
            result = {ControlClass::Button, BS_DEFPUSHBUTTON | WS_TABSTOP, 0};
            break;
        case ui::Kind::Edit:
            result = {ControlClass::Edit, ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
            if ((control.flags & ui::readOnly) != 0) {
                result.style |= ES_READONLY;
            }
            if ((control.flags & ui::digitsOnly) != 0) {
                result.style |= ES_NUMBER;
            }
            break;
        case ui::Kind::Label:
            result = {ControlClass::Static, SS_LEFT, 0};
            break;
        case ui::Kind::GroupBox:
            result = {ControlClass::Button, BS_GROUPBOX, 0};
            break;
        case ui::Kind::CheckBox:
            result = {ControlClass::Button, BS_AUTOCHECKBOX | WS_TABSTOP, 0};
            break;
        case ui::Kind::RadioButton:
            result = {ControlClass::Button, BS_RADIOBUTTON, 0};
            break;
        case ui::Kind::AutoRadioButton:
            result = {ControlClass::Button, BS_AUTORADIOBUTTON, 0};
            break;
        case ui::Kind::ComboBox:
            result = {ControlClass::ComboBox,
                      CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 0};
            break;
    }
    result.style |= WS_CHILD;
    if ((control.flags & ui::hidden) == 0) {
        result.style |= WS_VISIBLE;
    }
    if ((control.flags & ui::disabled) != 0) {
        result.style |= WS_DISABLED;
    }
    const bool runChanges =
        index == 0 || runKind(dialogTemplate.controls[index - 1].kind) != runKind(control.kind);
    if ((control.flags & ui::groupStart) != 0 || runChanges) {
        result.style |= WS_GROUP;
    }
    // The first of a radio run is where Tab stops; the arrows move within it.
    if (runKind(control.kind) != RunKind::Other && (result.style & WS_GROUP) != 0) {
        result.style |= WS_TABSTOP;
    }
    return result;
}

std::uint32_t dialogStyle() {
    return DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
}

std::vector<std::uint16_t> buildDialogTemplate(const ui::DialogTemplate& dialogTemplate) {
    Writer out;
    out.word(1);       // dlgVer
    out.word(0xFFFF);  // signature: the extended form
    out.dword(0);      // helpID
    out.dword(0);      // exStyle
    out.dword(dialogStyle());
    out.word(static_cast<std::uint16_t>(dialogTemplate.controls.size()));
    out.word(0);
    out.word(0);
    out.word(static_cast<std::uint16_t>(unit(dialogTemplate.width)));
    out.word(static_cast<std::uint16_t>(unit(dialogTemplate.height)));
    out.word(0);  // no menu resource: the host sets the bar built from the template
    out.word(0);  // the system's dialog class
    out.text(dialogTemplate.title);
    out.word(static_cast<std::uint16_t>(dialogTemplate.fontPoints));
    out.word(FW_NORMAL);
    out.word(DEFAULT_CHARSET << 8);  // italic (low byte) 0, charset (high byte)
    out.text(dialogTemplate.fontName);

    for (std::size_t i = 0; i < dialogTemplate.controls.size(); ++i) {
        const ui::ControlTemplate& control = dialogTemplate.controls[i];
        const ControlStyle style = controlStyle(dialogTemplate, i);
        out.alignDword();
        out.dword(0);  // helpID
        out.dword(style.exStyle);
        out.dword(style.style);
        out.word(static_cast<std::uint16_t>(unit(control.rect.x)));
        out.word(static_cast<std::uint16_t>(unit(control.rect.y)));
        out.word(static_cast<std::uint16_t>(unit(control.rect.width)));
        out.word(static_cast<std::uint16_t>(unit(control.rect.height)));
        // Controls without an id take -1, as the resource compiler gives them.
        out.dword(static_cast<std::uint32_t>(control.id == ui::noId ? -1 : control.id));
        out.word(0xFFFF);
        out.word(static_cast<std::uint16_t>(style.windowClass));
        out.text(control.text);
        out.word(0);  // no creation data
    }
    return out.take();
}

}  // namespace win32
