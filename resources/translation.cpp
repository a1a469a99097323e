#include "resources/translation.h"

#include <array>
#include <cctype>
#include <map>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace lang {

const LanguageTable& englishTable();

namespace {

bool isWordCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 ||
           (static_cast<unsigned char>(c) & 0x80) != 0;
}

std::string_view findNamed(std::span<const NamedText> table, std::string_view name) {
    for (const NamedText& entry : table) {
        if (entry.name == name) {
            return entry.text;
        }
    }
    return {};
}

// The German text that starts at position at of text, the longest of those that may start
// there. A part that begins with a letter only starts a text, a line or follows another
// part; a part that ends with a letter is not the beginning of a longer word or name.
const NamedText* partAt(std::string_view text, std::size_t at, bool boundary) {
    const NamedText* best = nullptr;
    for (const NamedText& entry : germanTexts()) {
        const std::string_view german = entry.text;
        if (german.size() < 2 || (best != nullptr && german.size() <= best->text.size()) ||
            text.compare(at, german.size(), german) != 0) {
            continue;
        }
        if (!boundary && isWordCharacter(german.front())) {
            continue;
        }
        // A word is followed by the end of a phrase, not by more of a name ("hart.upd").
        const std::size_t end = at + german.size();
        if (isWordCharacter(german.back()) && end < text.size() &&
            std::string_view(" \n\r:,;!?)\"").find(text[end]) == std::string_view::npos) {
            continue;
        }
        best = &entry;
    }
    return best;
}

// Walks text part by part: known parts go to onPart, everything between to onOther.
template <typename Part, typename Other>
void splitIntoParts(std::string_view text, Part onPart, Other onOther) {
    bool boundary = true;
    std::size_t at = 0;
    while (at < text.size()) {
        if (const NamedText* part = partAt(text, at, boundary)) {
            onPart(*part);
            at += part->text.size();
            boundary = true;
            continue;
        }
        onOther(text[at]);
        // A value may follow a label ("EMK-Bremse: aus → hart").
        const std::string_view before = text.substr(0, at);
        boundary = text[at] == '\n' ||
                   (text[at] == ' ' && (before.ends_with(':') || before.ends_with("→")));
        ++at;
    }
}

const ui::ControlTemplate* templateRow(const ui::DialogTemplate& dialogTemplate, ui::ControlId id) {
    for (const ui::ControlTemplate& row : dialogTemplate.controls) {
        if (row.id == id && id != ui::noId) {
            return &row;
        }
    }
    return nullptr;
}

const ui::MenuItemTemplate* menuRow(const ui::DialogTemplate& dialogTemplate, ui::ControlId id) {
    for (const ui::MenuItemTemplate& row : dialogTemplate.menu) {
        if (row.id == id && id != ui::noId) {
            return &row;
        }
    }
    return nullptr;
}

// The row of the table for a template text; the German must still be the template's.
std::string_view controlText(const LanguageTable& table, int dialogId, ui::ControlId id,
                             std::string_view german) {
    for (const ControlText& row : table.controls) {
        if (row.dialogId == dialogId && row.id == id && row.german == german) {
            return row.text;
        }
    }
    return german;
}

struct TranslatedTemplate {
    std::vector<ui::ControlTemplate> controls;
    std::vector<ui::MenuItemTemplate> menu;
    ui::DialogTemplate dialogTemplate;
};

}  // namespace

const LanguageTable* languageTable(Language language) {
    return language == Language::English ? &englishTable() : nullptr;
}

std::span<const Language> languages() {
    static constexpr std::array all{Language::German, Language::English};
    return all;
}

std::string shownText(Language language, std::string_view german) {
    const LanguageTable* table = languageTable(language);
    const std::size_t first = german.find_first_not_of(' ');
    if (table == nullptr || first == std::string_view::npos) {
        return std::string(german);
    }
    const std::size_t last = german.find_last_not_of(' ');
    const std::string_view core = german.substr(first, last + 1 - first);
    std::string shown(german.substr(0, first));
    splitIntoParts(
        core,
        [&](const NamedText& part) {
            const std::string_view text = findNamed(table->texts, part.name);
            shown += text.empty() ? part.text : text;
        },
        [&](char c) { shown += c; });
    shown += german.substr(last + 1);
    return shown;
}

std::string textName(std::string_view german) {
    const std::size_t first = german.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = german.find_last_not_of(' ');
    std::string name;
    splitIntoParts(
        german.substr(first, last + 1 - first),
        [&](const NamedText& part) {
            name += name.empty() ? "" : "+";
            name += part.name;
        },
        [](char) {});
    return name;
}

std::string shownControlText(Language language, const ui::DialogTemplate& dialogTemplate,
                             ui::ControlId id, std::string_view modelText) {
    const LanguageTable* table = languageTable(language);
    if (table == nullptr) {
        return std::string(modelText);
    }
    const ui::ControlTemplate* control = templateRow(dialogTemplate, id);
    const ui::MenuItemTemplate* item = control == nullptr ? menuRow(dialogTemplate, id) : nullptr;
    const std::string_view german = control != nullptr ? control->text
                                    : item != nullptr  ? item->text
                                                       : std::string_view();
    if ((control != nullptr || item != nullptr) && modelText == german && !german.empty()) {
        return std::string(controlText(*table, dialogTemplate.id, id, german));
    }
    return shownText(language, modelText);
}

const ui::DialogTemplate& translatedTemplate(const ui::DialogTemplate& dialogTemplate,
                                             Language language) {
    const LanguageTable* table = languageTable(language);
    if (table == nullptr) {
        return dialogTemplate;
    }
    // Built once per dialog and language; the texts are views into the static tables.
    static std::mutex mutex;
    static std::map<std::pair<const ui::DialogTemplate*, Language>,
                    std::unique_ptr<TranslatedTemplate>>
        built;
    const std::lock_guard lock(mutex);
    std::unique_ptr<TranslatedTemplate>& entry = built[{&dialogTemplate, language}];
    if (!entry) {
        entry = std::make_unique<TranslatedTemplate>();
        const int dialogId = dialogTemplate.id;
        for (ui::ControlTemplate row : dialogTemplate.controls) {
            row.text = controlText(*table, dialogId, row.id, row.text);
            entry->controls.push_back(row);
        }
        for (ui::MenuItemTemplate row : dialogTemplate.menu) {
            row.text = controlText(*table, dialogId, row.id, row.text);
            entry->menu.push_back(row);
        }
        entry->dialogTemplate = dialogTemplate;
        entry->dialogTemplate.title = controlText(*table, dialogId, titleId, dialogTemplate.title);
        entry->dialogTemplate.controls = entry->controls;
        entry->dialogTemplate.menu = entry->menu;
    }
    return entry->dialogTemplate;
}

}  // namespace lang
