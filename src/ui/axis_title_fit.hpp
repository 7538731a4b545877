// Axis titles drawn whole on small charts: a title longer than its axis is drawn smaller, and
// where even that is too long, on two lines.
#pragma once

#include <QObject>
#include <QString>
#include <vector>

class QAbstractAxis;
class QChart;
class QFont;

namespace emforce {

/// The smallest size, in points, a title is drawn at to fit its axis: still readable.
inline constexpr int kSmallestTitleSize = 9;

/// A title as drawn: its font size and its rich text, with a line break where it is wrapped.
struct DrawnTitle {
    int points = 0;
    QString text;
    friend bool operator==(const DrawnTitle&, const DrawnTitle&) = default;
};

/// The length of a title's longest line as the chart lays it out (as rich text), in pixels.
double titleLength(const QFont& font, const QString& text);

/// The ways to draw `title`, the most readable first: on one line at the chosen size and then a
/// point smaller at a time down to kSmallestTitleSize (or only at `chosen` when that is
/// smaller); then the same sizes on two lines, broken at the space nearest its middle.
std::vector<DrawnTitle> titleForms(const QString& title, int chosen);

/// The first of the forms of `title` whose lines are no longer than `room` pixels in `font`
/// (whose family and style count, not its size); the last form when none is.
DrawnTitle fitTitle(const QFont& font, const QString& title, int chosen, double room);

/// Keeps the titles of a chart's axes readable: whenever the plot area, a title or its chosen
/// size changes, each title is drawn in the first of its forms that fits beside the plot. Only
/// a title too long even on two lines at the smallest size is cut short by the chart.
class AxisTitleFit : public QObject {
public:
    explicit AxisTitleFit(QChart& chart);

    /// Fits the title of `axis` from now on; its title font's size now is its chosen size.
    void watch(QAbstractAxis* axis);
    /// Sets the title of a watched axis; an empty one shows none.
    void setTitle(QAbstractAxis* axis, const QString& title);
    /// The title of a watched axis as set, whole and on one line.
    [[nodiscard]] QString title(const QAbstractAxis* axis) const;
    /// Sets the chosen size of a watched axis.
    void choose(QAbstractAxis* axis, int points);
    /// The size chosen for the title of a watched axis.
    [[nodiscard]] int chosenSize(const QAbstractAxis* axis) const;

private:
    struct Watched {
        QAbstractAxis* axis;
        int chosen;
        QString title;
        size_t form = 0;  // index in the title's forms
    };

    [[nodiscard]] Watched* find(const QAbstractAxis* axis);
    [[nodiscard]] const Watched* find(const QAbstractAxis* axis) const;
    void schedule();
    void refit();
    /// Draws a title in the first form that fits, or with `grow` false in none more readable
    /// than the one it has. Returns whether its form changed.
    bool fit(Watched& watched, bool grow);

    QChart& m_chart;
    std::vector<Watched> m_axes;
    bool m_scheduled = false;
    bool m_fitting = false;
};

}  // namespace emforce
