#include "resources/language.h"

namespace lang {

std::optional<Language> languageByCode(std::string_view code) {
    if (code == "de") {
        return Language::German;
    }
    if (code == "en") {
        return Language::English;
    }
    return std::nullopt;
}

std::string_view languageCode(Language language) {
    return language == Language::English ? "en" : "de";
}

}  // namespace lang
