#include "cli/console_host.h"

#include <utility>

#include "cli/dialog_view.h"
#include "resources/main_dialog_ids.h"
#include "resources/translation.h"

namespace cli {
namespace {

std::string ownerName(const ui::Dialog* owner) {
    if (owner == nullptr) {
        return "none";
    }
    return owner->id() == ids::MainDialog ? "main" : std::to_string(owner->id());
}

// "CAPTION: TEXT", the text without the line breaks some boxes end with.
std::string boxLine(std::string_view caption, std::string_view text) {
    std::string line = json::toUtf8(text);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.pop_back();
    }
    if (caption.empty()) {
        return line;
    }
    // "Info:" and "Warning:" bring their own colon.
    return json::toUtf8(caption) + (caption.back() == ':' ? " " : ": ") + line;
}

}  // namespace

ConsoleHost::ConsoleHost(std::ostream& errors, std::istream& input, ConsoleSettings settings)
    : m_errors(errors), m_input(input), m_settings(settings) {}

ui::Answer ConsoleHost::messageBox(const ui::Dialog* owner, std::string_view text,
                                   std::string_view caption, ui::Buttons buttons) {
    const bool okCancel = buttons == ui::Buttons::OkCancel;
    const std::string shownCaption = lang::shownText(m_settings.language, caption);
    const std::string shownText = lang::shownText(m_settings.language, text);
    ConsoleMessage& message = m_messages.emplace_back(
        ConsoleMessage{json::toUtf8(shownCaption), json::toUtf8(shownText), lang::textName(caption),
                       lang::textName(text), ownerName(owner), okCancel ? "okcancel" : "ok",
                       json::toUtf8(takePendingDetail())});
    m_errors << boxLine(shownCaption, shownText) << '\n';
    // The box's own text stays the system's; why it came goes on the next line.
    if (!message.detail.empty()) {
        m_errors << "zek-cli: " << message.detail << '\n';
    }
    m_errors.flush();
    if (okCancel) {
        message.answer = ask();
    }
    return message.answer;
}

ui::Answer ConsoleHost::ask() {
    if (m_settings.yes) {
        m_errors << "(OK: --yes)\n";
        return ui::Answer::Ok;
    }
    if (!m_settings.interactive) {
        m_errors << "(Cancel: no terminal to ask, --yes answers OK)\n";
        return ui::Answer::Cancel;
    }
    m_errors << "OK? [y/N] ";
    m_errors.flush();
    std::string reply;
    if (!std::getline(m_input, reply)) {
        m_errors << '\n';
        return ui::Answer::Cancel;
    }
    const bool ok =
        reply == "y" || reply == "Y" || reply == "yes" || reply == "ok" || reply == "OK";
    return ok ? ui::Answer::Ok : ui::Answer::Cancel;
}

void ConsoleHost::repaint(ui::Dialog& dialog) {
    if (!m_settings.progress || dialog.id() != ids::MainDialog || !dialog.has(ids::StatusField)) {
        return;
    }
    std::string status = lang::shownText(m_settings.language, dialog.text(ids::StatusField));
    // Progress words come padded with blanks to wipe a longer predecessor.
    status.erase(status.find_last_not_of(' ') + 1);
    if (status != m_lastStatus) {
        m_lastStatus = status;
        if (!status.empty()) {
            m_errors << "status: " << json::toUtf8(status) << '\n';
        }
    }
}

int ConsoleHost::runModal(ui::Dialog& dialog, const ui::Dialog* /*owner*/,
                          const std::function<void()>& onInit, const CommandFunction& onCommand) {
    dialog.reopen();
    dialog.setChangeLog(m_changeLog);
    if (onInit) {
        onInit();
    }
    const auto command = [&](ui::ControlId id) {
        return dialog.ended() ? ui::Outcome::Done : onCommand(id);
    };
    if (m_modalDriver) {
        m_modalDriver(dialog, command);
    }
    // Steps ran out (or one failed) while it was open: close it as Esc would. How that
    // ends is no step's outcome.
    (void)command(ids::Cancel);
    m_closedDialogs[dialog.id()] = controlsJson(dialog, m_settings.language);
    dialog.setChangeLog(nullptr);
    return dialog.result();
}

std::optional<std::string> ConsoleHost::chooseOpenFile(const ui::FileDialogRequest& /*request*/) {
    return std::exchange(m_pendingFile, std::nullopt);
}

void ConsoleHost::shellOpen(std::string_view target) {
    m_errors << "open: " << json::toUtf8(target) << '\n';
}

void ConsoleHost::logEvent(std::string_view line) {
    if (m_settings.verbose) {
        m_errors << "zek-cli: " << json::toUtf8(line) << '\n';
        m_errors.flush();
    }
}

void ConsoleHost::showProgress(int done, int total, int /*secondsLeft*/) {
    if (!m_settings.progress || total <= 0) {
        return;
    }
    const int tenth = static_cast<int>(static_cast<long long>(done) * 10 / total);
    if (tenth != m_lastProgressTenth) {
        m_lastProgressTenth = tenth;
        m_errors << "progress: " << done << " of " << total << '\n';
    }
    if (done >= total) {
        m_lastProgressTenth = -1;
    }
}

}  // namespace cli
