#include "ui/recording_host.h"

namespace ui {

Answer RecordingHost::messageBox(const Dialog* owner, std::string_view text,
                                 std::string_view caption, Buttons buttons) {
    messages.push_back(RecordedMessage{owner != nullptr ? owner->id() : 0, std::string(text),
                                       std::string(caption), buttons, pendingDetail()});
    if (buttons == Buttons::Ok) {
        return Answer::Ok;
    }
    if (answers.empty()) {
        return Answer::Ok;
    }
    Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

void RecordingHost::repaint(Dialog& dialog) {
    ++repaints;
    if (onRepaint) {
        onRepaint(dialog);
    }
}

int RecordingHost::runModal(Dialog& dialog, const Dialog* /*owner*/,
                            const std::function<void()>& onInit, const CommandFunction& onCommand) {
    dialog.reopen();
    if (onInit) {
        onInit();
    }
    if (!modalScripts.empty()) {
        ModalScript script = std::move(modalScripts.front());
        modalScripts.pop_front();
        auto command = [&](ControlId id) {
            if (!dialog.ended()) {
                (void)onCommand(id);
            }
        };
        script(dialog, command);
    }
    if (!dialog.ended()) {
        (void)onCommand(2);
    }
    return dialog.result();
}

std::optional<std::string> RecordingHost::chooseOpenFile(const FileDialogRequest& request) {
    fileRequests.push_back(request);
    if (files.empty()) {
        return std::nullopt;
    }
    std::optional<std::string> reply = files.front();
    files.pop_front();
    return reply;
}

bool RecordingHost::stopRequested(Dialog& dialog) {
    return stopPredicate ? stopPredicate(dialog) : false;
}

}  // namespace ui
