// The help window: what the program computes and how to use it.
#pragma once

#include <QWidget>

class QPlainTextEdit;

namespace emforce {

/// A modeless window with the read-only help text: how to use the program, then what it
/// computes. Closing it (or Esc) only hides it; it keeps its size between sessions and always
/// fits its screen.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

public Q_SLOTS:
    /// Shows the window, or brings it to the front when it is already shown.
    void showAndRaise();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;
};

}  // namespace emforce
