// The column of seven small chart buttons beside the notebook.
#include "ui/chart_buttons.hpp"

#include <QToolButton>
#include <QVBoxLayout>

#include "model/number_format.hpp"
#include "ui/chart_panel.hpp"

namespace emforce {

namespace {

QToolButton* makeButton(QVBoxLayout* column, const char* name, const QString& text,
                        const QString& hint) {
    auto* button = new QToolButton;
    button->setObjectName(name);
    button->setText(text);
    button->setToolTip(hint);
    button->setMinimumWidth(button->sizeHint().height());
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    column->addWidget(button);
    return button;
}

}  // namespace

ChartButtons::ChartButtons(ChartPanel& chart, QWidget* parent) : QWidget(parent) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addSpacing(24);
    QToolButton* clear = makeButton(column, "Button3", "cl", "clear all chart series");
    column->addStretch(2);
    QToolButton* insert = makeButton(column, "Button5", "in", "insert the axes descriptions");
    QToolButton* remove = makeButton(column, "Button7", "re", "remove the axes descriptions");
    column->addStretch(1);
    QToolButton* font = makeButton(column, "Button4", "f", "font size = 12");
    column->addSpacing(12);
    QToolButton* increment = makeButton(column, "Button1", "In", "change left axis Increment");
    column->addStretch(4);
    QToolButton* zero = makeButton(column, "Button2", "0", "show up the zero axis");
    QToolButton* five = makeButton(column, "Button8", "5", "set Maximum = 5.0");
    column->addStretch(1);

    connect(clear, &QToolButton::clicked, &chart, &ChartPanel::clearAll);
    connect(insert, &QToolButton::clicked, &chart, &ChartPanel::showAxisSelectors);
    connect(remove, &QToolButton::clicked, &chart, &ChartPanel::removeAxisTitles);
    connect(font, &QToolButton::clicked, this, [&chart, font] {
        font->setToolTip("Font Size = " + QString::number(chart.stepLabelFont()));
    });
    connect(increment, &QToolButton::clicked, this, [&chart, increment] {
        increment->setToolTip("Increment = " +
                              QString::fromStdString(formatGeneral(chart.stepLeftIncrement())));
    });
    connect(zero, &QToolButton::clicked, &chart, &ChartPanel::toggleZeroMinimum);
    connect(five, &QToolButton::clicked, &chart, &ChartPanel::toggleMaximumFive);
}

}  // namespace emforce
