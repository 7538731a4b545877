// The notebook page "Results": the shown curves' numbers as a table that copies as text.
#pragma once

#include <QWidget>

#include "ui/results_table.hpp"

class QTableWidget;

namespace emforce {

/// A read-only table of the swept values and every shown curve, with units in its header, and
/// "Copy table" (or Ctrl+C in it), which puts the whole table on the clipboard as
/// tab-separated text.
class ResultsPage : public QWidget {
    Q_OBJECT
public:
    explicit ResultsPage(QWidget* parent = nullptr);

    /// Shows a table in place of the one shown.
    void showTable(const ResultsTable& table);
    /// The shown table as tab-separated text.
    [[nodiscard]] QString text() const { return tabSeparated(m_table); }
    /// Puts text() on the clipboard.
    void copy();

Q_SIGNALS:
    /// A passing note for the status bar.
    void told(const QString& text);

private:
    QTableWidget* m_view = nullptr;
    ResultsTable m_table;
};

}  // namespace emforce
