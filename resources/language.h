// The languages the user interface speaks. German is the system's own and the default;
// every other language is a table of texts beside it (resources/texts_*.cpp).
#pragma once

#include <optional>
#include <string_view>

namespace lang {

enum class Language { German, English };

// "de" or "en", as --lang and the remembered choice spell it; nullopt for any other word.
std::optional<Language> languageByCode(std::string_view code);
std::string_view languageCode(Language language);

}  // namespace lang
