// The column of small chart buttons beside the notebook.
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

QToolButton* makeToggle(QVBoxLayout* column, const char* name, const QString& text,
                        const QString& hint) {
    QToolButton* button = makeButton(column, name, text, hint);
    button->setCheckable(true);
    return button;
}

// A hint of the form the buttons have always shown, and a line saying what a click does.
QString hint(const QString& state, const char* click) { return state + "\n" + click; }

const char* const kFontClick = "Click: axis labels one point larger; after 20 back to 7";
const char* const kIncrementClick =
    "Click: the next larger left-axis increment; after the largest back to automatic (0)";

}  // namespace

ChartButtons::ChartButtons(ChartPanel& chart, QWidget* parent) : QWidget(parent) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addSpacing(24);
    QToolButton* clear = makeButton(column, "Button3", "cl", "clear all chart series");
    QToolButton* legend =
        makeToggle(column, "LegendButton", "lg",
                   "show / hide chart legend\nThe legend names every curve on the chart");
    legend->setChecked(chart.legendVisible());
    column->addStretch(2);
    QToolButton* insert =
        makeButton(column, "Button5", "in",
                   "insert the axes descriptions\nShows the selectors of the axis titles and "
                   "their font sizes above the chart");
    QToolButton* remove = makeButton(column, "Button7", "re",
                                     "remove the axes descriptions\nEmpties the axis titles");
    column->addStretch(1);
    QToolButton* font = makeButton(column, "Button4", "f", hint("font size = 12", kFontClick));
    column->addSpacing(12);
    QToolButton* increment =
        makeButton(column, "Button1", "In", hint("change left axis Increment", kIncrementClick));
    column->addStretch(4);
    QToolButton* zero = makeToggle(
        column, "Button2", "0",
        "show up the zero axis\nPressed: the left axis starts at 0; released: automatic minimum");
    QToolButton* five = makeToggle(
        column, "Button8", "5",
        "set Maximum = 5.0\nPressed: the left axis ends at 5; released: automatic maximum");
    column->addStretch(1);

    connect(clear, &QToolButton::clicked, &chart, &ChartPanel::clearAll);
    connect(legend, &QToolButton::toggled, &chart, &ChartPanel::setLegendVisible);
    connect(insert, &QToolButton::clicked, &chart, &ChartPanel::showAxisSelectors);
    connect(remove, &QToolButton::clicked, &chart, &ChartPanel::removeAxisTitles);
    connect(font, &QToolButton::clicked, this, [&chart, font] {
        font->setToolTip(hint("Font Size = " + QString::number(chart.stepLabelFont()), kFontClick));
    });
    connect(increment, &QToolButton::clicked, this, [&chart, increment] {
        const std::string value = formatGeneral(chart.stepLeftIncrement());
        increment->setToolTip(
            hint("Increment = " + QString::fromStdString(value), kIncrementClick));
    });
    connect(zero, &QToolButton::clicked, this,
            [&chart, zero] { zero->setChecked(chart.toggleZeroMinimum()); });
    connect(five, &QToolButton::clicked, this,
            [&chart, five] { five->setChecked(chart.toggleMaximumFive()); });
}

}  // namespace emforce
