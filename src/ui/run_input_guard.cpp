// Keeps the user's input away from a window while a run is active.
#include "ui/run_input_guard.hpp"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace emforce {

namespace {

bool isUserInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            return true;
        default:
            return false;
    }
}

}  // namespace

RunInputGuard::RunInputGuard(QWidget& window, QWidget& allowed, QObject* parent)
    : QObject(parent), m_window(window), m_allowed(allowed) {}

RunInputGuard::~RunInputGuard() { setActive(false); }

void RunInputGuard::setActive(bool active) {
    if (active == m_active) return;
    m_active = active;
    if (active)
        QCoreApplication::instance()->installEventFilter(this);
    else
        QCoreApplication::instance()->removeEventFilter(this);
}

bool RunInputGuard::eventFilter(QObject* watched, QEvent* event) {
    if (!isUserInput(event->type()) || !watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != &m_window) return false;
    return widget != &m_allowed && !m_allowed.isAncestorOf(widget);
}

}  // namespace emforce
