#include "gui/qt_host.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QUrl>

#include "gui/command_dialog.h"
#include "gui/stop_filter.h"
#include "resources/texts.h"
#include "resources/translation.h"

namespace gui {

QtHost::QtHost() {
    m_sinceStopPoll.start();
}

QtHost::~QtHost() {
    delete m_progress;
}

void QtHost::registerDialog(CommandDialog& window) {
    m_windows[&window.dialog()] = &window;
}

void QtHost::unregisterDialog(CommandDialog& window) {
    m_windows.erase(&window.dialog());
}

CommandDialog* QtHost::window(const ui::Dialog* dialog) const {
    auto it = m_windows.find(dialog);
    return it == m_windows.end() ? nullptr : it->second;
}

QWidget* QtHost::ownerWidget(const ui::Dialog* owner) const {
    return owner != nullptr ? window(owner) : nullptr;
}

QWidget* QtHost::anyWindow() const {
    if (QWidget* active = QApplication::activeWindow()) {
        return active;
    }
    return m_windows.empty() ? nullptr : m_windows.begin()->second;
}

ui::Answer QtHost::messageBox(const ui::Dialog* owner, std::string_view text,
                              std::string_view caption, ui::Buttons buttons) {
    // Taken before anything else, so that it never reaches a later box.
    const std::string detail = takeDetailFor(text);
    const std::string shownText = lang::shownText(m_language, text);
    const std::string shownCaption = lang::shownText(m_language, caption);
    if (answerBoxes) {
        return answerBoxes(owner, shownText, shownCaption, buttons);
    }
    QMessageBox box(ownerWidget(owner));
    box.setWindowTitle(qText(shownCaption));
    box.setTextFormat(Qt::PlainText);
    box.setText(qText(shownText));
    // The box's own text stays the system's; why it came is in the details part.
    if (!detail.empty()) {
        box.setDetailedText(qText(detail));
    }
    box.setIcon(QMessageBox::NoIcon);
    // Nothing else of the program takes input while a box is open, owner or not.
    box.setWindowModality(Qt::ApplicationModal);
    if (buttons == ui::Buttons::OkCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
    }
    const int answer = box.exec();
    return answer == QMessageBox::Cancel ? ui::Answer::Cancel : ui::Answer::Ok;
}

void QtHost::beep() {
    QApplication::beep();
}

void QtHost::repaint(ui::Dialog& dialog) {
    CommandDialog* shown = window(&dialog);
    if (shown == nullptr) {
        return;
    }
    shown->syncFromModel();
    shown->repaint();
    // Paint and window-system events only: input waits until the command is done.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

int QtHost::runModal(ui::Dialog& dialog, const ui::Dialog* owner,
                     const std::function<void()>& onInit, const CommandFunction& onCommand) {
    dialog.reopen();
    CommandDialog box(dialog, ownerWidget(owner), m_language);
    box.setCommandHandler(onCommand);
    registerDialog(box);
    if (onInit) {
        onInit();
    }
    box.syncFromModel();
    if (!dialog.ended()) {
        box.exec();
    }
    unregisterDialog(box);
    return dialog.result();
}

std::optional<std::string> QtHost::chooseOpenFile(const ui::FileDialogRequest& request) {
    std::optional<std::string> chosen;
    if (answerFileDialogs) {
        chosen = answerFileDialogs(request);
    } else {
        const QString start = QFile::decodeName(QByteArray::fromStdString(request.initialPath));
        const QString title = qText(lang::shownText(m_language, request.title));
        QFileDialog dialog(anyWindow(), title, start, qText(request.filter));
        dialog.setAcceptMode(request.forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(request.forSaving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        // The dialog adds it before it asks about overwriting, so it asks about the right file.
        dialog.setDefaultSuffix(qText(request.defaultExtension));
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
            chosen = QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
        }
    }
    if (!chosen || chosen->empty()) {
        return std::nullopt;
    }
    return request.forSaving ? ui::withDefaultExtension(*chosen, request.defaultExtension)
                             : *chosen;
}

void QtHost::shellOpen(std::string_view target) {
    const QString text = qText(target);
    const QUrl url = text.contains(QLatin1String("://"))
                         ? QUrl(text)
                         : QUrl::fromLocalFile(QFile::decodeName(
                               QByteArray(target.data(), static_cast<qsizetype>(target.size()))));
    QDesktopServices::openUrl(url);
}

bool QtHost::stopRequested(ui::Dialog& dialog) {
    // Long loops poll for a stop far more often than anyone can press a key; events are
    // looked at this often, so the loop's own timing is disturbed as little as possible.
    constexpr qint64 stopPollIntervalMs = 20;
    if (m_sinceStopPoll.elapsed() < stopPollIntervalMs) {
        return false;
    }
    m_sinceStopPoll.restart();
    StopFilter filter(window(&dialog));
    qApp->installEventFilter(&filter);
    QCoreApplication::processEvents();
    qApp->removeEventFilter(&filter);
    return filter.stopRequested();
}

void QtHost::showProgress(int done, int total, int secondsLeft) {
    if (total <= 0 || done >= total) {
        delete m_progress;
        return;
    }
    if (m_progress == nullptr) {
        m_progress = new QProgressDialog(anyWindow());
        m_progress->setWindowTitle(QString::fromUtf8(texts::ProgramCaption));
        m_progress->setCancelButton(nullptr);
        m_progress->setAutoClose(false);
        m_progress->setAutoReset(false);
        m_progress->setMinimumDuration(0);
    }
    m_progress->setMaximum(total);
    m_progress->setValue(qBound(0, done, total));
    std::string label = std::to_string(done) + " von " + std::to_string(total);
    if (secondsLeft >= 0) {
        label += ", noch " + std::to_string(secondsLeft) + " s";
    }
    m_progress->setLabelText(qText(lang::shownText(m_language, label)));
    m_progress->show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtHost::keepAlive() {
    // Whatever the events reach must not bring us here again while they are handled.
    if (m_keepingAlive) {
        return;
    }
    m_keepingAlive = true;
    // Paint and window-system events (the desktop's ping among them); clicks and keys stay
    // queued until the command is done, as at a repaint.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_keepingAlive = false;
}

}  // namespace gui
