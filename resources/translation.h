// What the user reads, in the chosen language. The commands and the dialog model keep the
// system's German texts; the hosts (Qt, Windows, the command line) put them through here
// on the way to the screen. Each language other than German is a table: its texts by the
// name of the German text, and its template texts by dialog and control id. A text the
// table lacks stays German.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "resources/language.h"
#include "ui/dialog_template.h"

namespace lang {

// A text of the system by its name ("ReadFirst", "StatusReading").
struct NamedText {
    std::string_view name;
    std::string_view text;
};

// A template text: a control, menu item or pop-up of a dialog by its id, the dialog's
// title by titleId; labels and pop-ups without id by their German text alone.
struct ControlText {
    int dialogId;
    ui::ControlId id;
    std::string_view german;
    std::string_view text;
};

inline constexpr ui::ControlId titleId = 0;

struct LanguageTable {
    Language language;
    std::span<const NamedText> texts;
    std::span<const ControlText> controls;
};

// Every German text the commands show (boxes, captions, status words, list items), named.
std::span<const NamedText> germanTexts();
// The language's table; nullptr for German, which needs none.
const LanguageTable* languageTable(Language language);
// The languages in the order "Sprache / Language" goes through them.
std::span<const Language> languages();

// A text a command composed (box text, caption, status word, list item) as the language
// shows it. Known texts are replaced whole; a text composed of known parts and variable
// parts (a port name, a path, a number) has each known part replaced. The blanks that pad
// status words stay.
std::string shownText(Language language, std::string_view german);
// The name of a German text; for a composed one the names of its parts joined by "+";
// empty when no part is known.
std::string textName(std::string_view german);

// The text a control or menu item shows when the model holds modelText: its template
// row while the model still holds the template's text, otherwise shownText.
std::string shownControlText(Language language, const ui::DialogTemplate& dialogTemplate,
                             ui::ControlId id, std::string_view modelText);

// The template with the language's title, control texts and menu texts; ids, kinds,
// geometry and flags as they are. German returns dialogTemplate itself. The result lives
// as long as the program.
const ui::DialogTemplate& translatedTemplate(const ui::DialogTemplate& dialogTemplate,
                                             Language language);

}  // namespace lang
