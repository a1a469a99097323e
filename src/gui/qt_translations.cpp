#include "gui/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

namespace gui {
namespace {

// Qt holds translators by pointer: the one in use lives as long as the program.
std::unique_ptr<QTranslator>& installed() {
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

bool& loaded() {
    static bool once = false;
    return once;
}

}  // namespace

bool useQtTranslations(lang::Language language) {
    loaded() = true;
    std::unique_ptr<QTranslator>& current = installed();
    if (current) {
        QCoreApplication::removeTranslator(current.get());
        current.reset();
    }
    // Qt's own texts are English; only the other languages need a file.
    if (language == lang::Language::English) {
        return true;
    }
    auto translator = std::make_unique<QTranslator>();
    const std::string_view code = lang::languageCode(language);
    const QString name =
        QStringLiteral("qt_") + QString::fromUtf8(code.data(), static_cast<qsizetype>(code.size()));
    if (!translator->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return false;
    }
    QCoreApplication::installTranslator(translator.get());
    current = std::move(translator);
    return true;
}

bool qtTranslationsLoaded() {
    return loaded();
}

}  // namespace gui
