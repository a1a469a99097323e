// What commands need from the windowing system: message boxes, the beep, repaint,
// modal sub-dialogs, the file-open dialog and the shell. Qt, the console and the
// recording fake implement it; a host without a user keeps the quiet defaults (no beep,
// no paint, every file dialog cancelled, nothing opened).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "ui/dialog.h"
#include "ui/outcome.h"

namespace ui {

enum class Buttons { Ok, OkCancel };
enum class Answer { Ok, Cancel };

struct FileDialogRequest {
    std::string title;             // "Open a File"
    std::string filter;            // "*.upd"
    std::string initialPath = {};  // the file the dialog starts with, if any
    bool forSaving = false;        // a save dialog: the file need not exist
    // Added to a name saved without an extension, so that the filter finds it again.
    std::string defaultExtension = {};  // "json", without the dot
};

// path with "." + extension appended when its file name has no extension.
inline std::string withDefaultExtension(std::string path, std::string_view extension) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    if (!extension.empty() && nameStart < path.size() &&
        path.find('.', nameStart) == std::string::npos) {
        path += '.';
        path += extension;
    }
    return path;
}

class UiHost {
  public:
    virtual ~UiHost() = default;

    // owner == nullptr: a box without owner window.
    virtual Answer messageBox(const Dialog* owner, std::string_view text, std::string_view caption,
                              Buttons buttons = Buttons::Ok) = 0;
    virtual void beep() {}
    // Paints the dialog now: no events are processed while a command runs.
    virtual void repaint(Dialog& /*dialog*/) {}
    // Runs a sub-dialog modally until dialog.end() is called. onInit runs once before it
    // shows; onCommand receives every command (button ids, 1 for OK/Enter, 2 for cancel/Esc)
    // and says how it ended.
    using CommandFunction = std::function<Outcome(ControlId)>;
    virtual int runModal(Dialog& dialog, const Dialog* owner, const std::function<void()>& onInit,
                         const CommandFunction& onCommand) = 0;
    // The file-open dialog; nullopt when cancelled.
    virtual std::optional<std::string> chooseOpenFile(const FileDialogRequest& /*request*/) {
        return std::nullopt;
    }
    // The verb "open" on a document or a web address; the result is not examined.
    virtual void shellOpen(std::string_view /*target*/) {}
    // Polled by long busy loops (rev counter): true when the user asked to stop
    // (Esc or the dialog's cancel) since the last call.
    virtual bool stopRequested(Dialog& /*dialog*/) { return false; }
    // Progress of a long transfer (firmware update): done of total, seconds left (-1 while
    // unknown). done == total ends the display. Nothing by default.
    virtual void showProgress(int /*done*/, int /*total*/, int /*secondsLeft*/) {}
    // Reached at least every 100 ms of a command's time (its waits and line operations),
    // so that a desktop host can answer the window system while the command runs: paint,
    // and the system's are-you-alive messages, but no user input, which waits until the
    // command is done. Nothing by default.
    virtual void keepAlive() {}
    // One line of the verbose log (port opened and closed, adapter test, resets). The
    // command line prints it with -v; nothing by default.
    virtual void logEvent(std::string_view /*line*/) {}

    // The system error behind the next message box: a lower layer notes it where the
    // failure happens, the host shows it as the box's detail and clears it. The dispatch
    // clears it before every command, so a detail never reaches an unrelated box.
    void setPendingDetail(std::string detail) { m_pendingDetail = std::move(detail); }
    const std::string& pendingDetail() const { return m_pendingDetail; }
    std::string takePendingDetail() { return std::exchange(m_pendingDetail, std::string()); }
    // What the desktop hosts show as the detail of a box with text: the pending detail,
    // then what the explainer adds for it (a failed port's findings).
    using Explainer = std::function<std::string(std::string_view text)>;
    void setExplainer(Explainer explainer) { m_explainer = std::move(explainer); }
    std::string takeDetailFor(std::string_view text) {
        std::string detail = takePendingDetail();
        const std::string more = m_explainer ? m_explainer(text) : std::string();
        return detail.empty() || more.empty() ? detail + more : detail + "\n\n" + more;
    }

  private:
    std::string m_pendingDetail;
    Explainer m_explainer;
};

}  // namespace ui
