// A UiHost for tests: records every box, beep and repaint; answers boxes, file dialogs
// and modal sub-dialogs from scripted replies.
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ui/ui_host.h"

namespace ui {

struct RecordedMessage {
    int ownerId;  // 0 = no owner, else the owning dialog's id
    std::string text;
    std::string caption;
    Buttons buttons;
    std::string detail;  // the system error shown beneath the text
};

class RecordingHost : public UiHost {
  public:
    Answer messageBox(const Dialog* owner, std::string_view text, std::string_view caption,
                      Buttons buttons) override {
        messages.push_back(RecordedMessage{owner != nullptr ? owner->id() : 0, std::string(text),
                                           std::string(caption), buttons, pendingDetail()});
        return buttons == Buttons::Ok ? Answer::Ok : next(answers, Answer::Ok);
    }
    void beep() override { ++beeps; }
    void repaint(Dialog& dialog) override {
        ++repaints;
        if (onRepaint) {
            onRepaint(dialog);
        }
    }
    int runModal(Dialog& dialog, const Dialog* /*owner*/, const std::function<void()>& onInit,
                 const CommandFunction& onCommand) override {
        dialog.reopen();
        if (onInit) {
            onInit();
        }
        if (ModalScript script = next(modalScripts, ModalScript{})) {
            script(dialog, [&](ControlId id) {
                if (!dialog.ended()) {
                    (void)onCommand(id);
                }
            });
        }
        if (!dialog.ended()) {
            (void)onCommand(2);
        }
        return dialog.result();
    }
    std::optional<std::string> chooseOpenFile(const FileDialogRequest& request) override {
        fileRequests.push_back(request);
        return next(files, std::optional<std::string>{});
    }
    void shellOpen(std::string_view target) override { opened.emplace_back(target); }
    bool stopRequested(Dialog& dialog) override {
        return stopPredicate ? stopPredicate(dialog) : false;
    }
    void showProgress(int done, int total, int secondsLeft) override {
        progress.push_back({done, total, secondsLeft});
    }
    void keepAlive() override {
        if (onKeepAlive) {
            onKeepAlive();
        }
    }

    // A modal script acts on the open sub-dialog (set fields, send commands). When it
    // returns and the dialog is still open, the host sends cancel (2).
    using ModalScript =
        std::function<void(Dialog& dialog, const std::function<void(ControlId)>& command)>;

    std::vector<RecordedMessage> messages;
    int beeps = 0;
    int repaints = 0;
    std::vector<std::string> opened;
    std::vector<FileDialogRequest> fileRequests;
    std::vector<std::array<int, 3>> progress;  // done, total, seconds left

    std::deque<Answer> answers;                    // for OK/Cancel boxes; Ok when empty
    std::deque<std::optional<std::string>> files;  // file dialog replies; cancel when empty
    std::deque<ModalScript> modalScripts;          // one per runModal; cancel at once when empty
    std::function<bool(Dialog&)> stopPredicate;    // stopRequested; never when empty
    std::function<void(Dialog&)> onRepaint;        // observe progress during a command
    std::function<void()> onKeepAlive;             // observe the keep-alive during a command

    // Convenience for assertions.
    std::string lastText() const { return messages.empty() ? "" : messages.back().text; }
    std::string lastCaption() const { return messages.empty() ? "" : messages.back().caption; }

  private:
    // The first scripted reply, taken off its queue, or otherwise when there is none.
    template <typename T>
    static T next(std::deque<T>& replies, T otherwise) {
        if (replies.empty()) {
            return otherwise;
        }
        T reply = std::move(replies.front());
        replies.pop_front();
        return reply;
    }
};

}  // namespace ui
