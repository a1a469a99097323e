#include "gui/stop_filter.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QWidget>

#include "gui/dialog_view.h"

namespace gui {
namespace {

bool isUserInput(QEvent::Type type) {
    switch (type) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::Close:
            return true;
        default:
            return false;
    }
}

}  // namespace

bool StopFilter::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || !isUserInput(event->type())) {
        return false;
    }
    // Message boxes opened by the loop stay usable.
    if (qobject_cast<QMessageBox*>(widget->window()) != nullptr) {
        return false;
    }
    if (widget->window() == m_busyWindow) {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            m_stop = true;
        } else if (event->type() == QEvent::MouseButtonRelease &&
                   widget->property(controlIdProperty).toInt() == 2 && widget->isEnabled()) {
            m_stop = true;
        } else if (event->type() == QEvent::Close && widget == m_busyWindow) {
            m_stop = true;
        }
    }
    event->ignore();
    return true;
}

}  // namespace gui
