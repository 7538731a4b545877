// Keeps the user's input away from a window while a run is active.
#pragma once

#include <QObject>

class QWidget;

namespace emforce {

/// While active, swallows the mouse, wheel and key input of one window except for the widget
/// that stays usable (its cancel button). Shortcuts are not input events: disable their actions.
class RunInputGuard : public QObject {
    Q_OBJECT
public:
    RunInputGuard(QWidget& window, QWidget& allowed, QObject* parent = nullptr);
    ~RunInputGuard() override;

    /// Starts or stops swallowing the window's input.
    void setActive(bool active);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& m_window;
    QWidget& m_allowed;
    bool m_active = false;
};

}  // namespace emforce
