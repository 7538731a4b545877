// The legend of the curve chart: a sample and the title of each shown curve, in wrapped rows.
#pragma once

#include <QGraphicsItem>
#include <QList>
#include <QString>

class QChart;

namespace emforce {

/// Drawn in the chart under its axes, row after row as the width allows, so that every title
/// shows whole however many curves there are; it takes its height from the chart's bottom
/// margin. Its samples are vector shapes, in pictures too.
class CurveLegend : public QGraphicsItem {
public:
    explicit CurveLegend(QChart* chart);

    /// The slots to name, in slot order, each with a note after its title where one is given
    /// ("F/T Lorentz (right axis, W)").
    void setSlots(const QList<int>& slots, const QStringList& notes = {});
    /// The titles named now, in order.
    [[nodiscard]] QStringList titles() const;
    /// Lays the rows out again for the chart's width and makes room for them.
    void relayout();

    [[nodiscard]] QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    struct Entry {
        int slot;
        QString title;
        QPointF at;  // top left of the sample, in chart coordinates
    };

    QChart* m_chart;
    QList<Entry> m_entries;
    QRectF m_bounds;
};

}  // namespace emforce
