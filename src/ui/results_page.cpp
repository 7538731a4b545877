// The notebook page "Results": the shown curves' numbers as a table that copies as text.
#include "ui/results_page.hpp"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

namespace emforce {

ResultsPage::ResultsPage(QWidget* parent) : QWidget(parent) {
    setObjectName("ResultsPage");
    m_view = new QTableWidget;
    m_view->setObjectName("ResultsTable");
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->verticalHeader()->hide();
    m_view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto* copyButton = new QPushButton("Copy table");
    copyButton->setObjectName("CopyResults");
    copyButton->setToolTip(
        "Copies the whole table as tab-separated text (Ctrl+C), ready to paste "
        "into a spreadsheet");
    connect(copyButton, &QPushButton::clicked, this, &ResultsPage::copy);
    auto* shortcut =
        new QShortcut(QKeySequence::Copy, this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    connect(shortcut, &QShortcut::activated, this, &ResultsPage::copy);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_view, 1);
    layout->addWidget(copyButton, 0, Qt::AlignLeft);
}

void ResultsPage::showTable(const ResultsTable& table) {
    m_table = table;
    m_view->clear();
    m_view->setColumnCount(static_cast<int>(table.headers.size()));
    m_view->setRowCount(static_cast<int>(table.x.size()));
    m_view->setHorizontalHeaderLabels(table.headers);
    const auto cell = [](double v) {
        return new QTableWidgetItem(QString::number(v, 'g', 10).replace('.', ','));
    };
    for (int row = 0; row < table.x.size(); ++row) {
        m_view->setItem(row, 0, cell(table.x[row]));
        for (int c = 0; c < table.values[row].size(); ++c)
            if (const std::optional<double>& v = table.values[row][c])
                m_view->setItem(row, c + 1, cell(*v));
    }
}

void ResultsPage::copy() {
    QApplication::clipboard()->setText(text());
    Q_EMIT told(QString("Results table copied: %1 rows of %2 columns, tab-separated")
                    .arg(m_table.x.size())
                    .arg(m_table.headers.size()));
}

}  // namespace emforce
