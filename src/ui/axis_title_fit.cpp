// Axis titles drawn whole on small charts: a title longer than its axis is drawn smaller, and
// where even that is too long, on two lines.
#include "ui/axis_title_fit.hpp"

#include <QAbstractAxis>
#include <QChart>
#include <QGraphicsLayout>
#include <QTextDocument>
#include <algorithm>
#include <cstdlib>

namespace emforce {

namespace {

// The chart lays a title out as rich text with half a pixel of margin around it, and cuts it
// short when that is longer than the plot.
constexpr double kTextMargin = 0.5;
// A pixel of room for rounding in the chart's own measure.
constexpr double kSlack = 1;
// Passes over the titles after a change, each with the layout done anew, in which a title may
// also become more readable; the passes after them only make titles less readable, so that two
// titles never take the room from each other back and forth.
constexpr int kGrowingPasses = 3;

// The title broken into two lines at the space nearest its middle; empty without a space.
QString twoLines(const QString& title) {
    const QString text = title.trimmed();
    qsizetype best = -1;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == u' ' &&
            (best < 0 || std::abs(2 * i - text.size()) < std::abs(2 * best - text.size())))
            best = i;
    if (best < 0) return {};
    return text.left(best).trimmed() + "<br>" + text.mid(best).trimmed();
}

// The entry of an axis in a list of watched axes, or nullptr.
template <class List>
auto* findAxis(List& axes, const QAbstractAxis* axis) {
    const auto at =
        std::find_if(axes.begin(), axes.end(), [axis](const auto& w) { return w.axis == axis; });
    return at == axes.end() ? nullptr : &*at;
}

}  // namespace

double titleLength(const QFont& font, const QString& text) {
    QTextDocument document;
    document.setDocumentMargin(kTextMargin);
    document.setDefaultFont(font);
    document.setHtml(text);
    return document.size().width();
}

std::vector<DrawnTitle> titleForms(const QString& title, int chosen) {
    chosen = std::max(chosen, 1);
    const int smallest = std::min(chosen, kSmallestTitleSize);
    std::vector<DrawnTitle> forms;
    for (int points = chosen; points >= smallest; --points) forms.push_back({points, title});
    const QString wrapped = twoLines(title);
    if (!wrapped.isEmpty())
        for (int points = chosen; points >= smallest; --points) forms.push_back({points, wrapped});
    return forms;
}

DrawnTitle fitTitle(const QFont& font, const QString& title, int chosen, double room) {
    const std::vector<DrawnTitle> forms = titleForms(title, chosen);
    QFont sized = font;
    for (const DrawnTitle& form : forms) {
        sized.setPointSize(form.points);
        if (titleLength(sized, form.text) + kSlack <= room) return form;
    }
    return forms.back();
}

AxisTitleFit::AxisTitleFit(QChart& chart) : QObject(&chart), m_chart(chart) {
    connect(&chart, &QChart::plotAreaChanged, this, &AxisTitleFit::schedule);
}

void AxisTitleFit::watch(QAbstractAxis* axis) {
    m_axes.push_back({axis, axis->titleFont().pointSize(), axis->titleText()});
    connect(axis, &QAbstractAxis::visibleChanged, this, &AxisTitleFit::schedule);
    schedule();
}

AxisTitleFit::Watched* AxisTitleFit::find(const QAbstractAxis* axis) {
    return findAxis(m_axes, axis);
}

const AxisTitleFit::Watched* AxisTitleFit::find(const QAbstractAxis* axis) const {
    return findAxis(m_axes, axis);
}

void AxisTitleFit::setTitle(QAbstractAxis* axis, const QString& title) {
    Watched* watched = find(axis);
    if (!watched) return;
    watched->title = title;
    fit(*watched, true);
    schedule();
}

QString AxisTitleFit::title(const QAbstractAxis* axis) const {
    const Watched* watched = find(axis);
    return watched ? watched->title : axis->titleText();
}

void AxisTitleFit::choose(QAbstractAxis* axis, int points) {
    Watched* watched = find(axis);
    if (!watched) return;
    watched->chosen = points;
    fit(*watched, true);
    schedule();
}

int AxisTitleFit::chosenSize(const QAbstractAxis* axis) const {
    const Watched* watched = find(axis);
    return watched ? watched->chosen : axis->titleFont().pointSize();
}

// The chart reports a new plot area from inside its layout: the titles are fitted once it is
// done, and the layouts of the fitting itself start no further fitting.
void AxisTitleFit::schedule() {
    if (m_fitting || m_scheduled) return;
    m_scheduled = true;
    QMetaObject::invokeMethod(this, &AxisTitleFit::refit, Qt::QueuedConnection);
}

void AxisTitleFit::refit() {
    m_scheduled = false;
    m_fitting = true;
    // Ends: once the growing passes are over, every pass that changes a form moves it on
    // towards the last.
    for (int pass = 0;; ++pass) {
        bool changed = false;
        for (Watched& watched : m_axes) changed |= fit(watched, pass < kGrowingPasses);
        if (!changed) break;
        m_chart.layout()->activate();  // the plot area of the new forms, at once
    }
    m_fitting = false;
}

bool AxisTitleFit::fit(Watched& w, bool grow) {
    const std::vector<DrawnTitle> forms = titleForms(w.title, w.chosen);
    const QRectF plot = m_chart.plotArea();
    size_t form = 0;
    if (!w.title.isEmpty() && w.axis->isVisible() && !plot.isEmpty()) {
        const double room = w.axis->orientation() == Qt::Vertical ? plot.height() : plot.width();
        const DrawnTitle fitted = fitTitle(w.axis->titleFont(), w.title, w.chosen, room);
        form = static_cast<size_t>(std::find(forms.begin(), forms.end(), fitted) - forms.begin());
        if (!grow) form = std::max(form, std::min(w.form, forms.size() - 1));
    }
    const DrawnTitle& drawn = forms[form];
    const bool changed = form != w.form || w.axis->titleText() != drawn.text ||
                         w.axis->titleFont().pointSize() != drawn.points;
    w.form = form;
    if (!changed) return false;
    QFont font = w.axis->titleFont();
    font.setPointSize(drawn.points);
    w.axis->setTitleFont(font);
    w.axis->setTitleText(drawn.text);
    return true;
}

}  // namespace emforce
