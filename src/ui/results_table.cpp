// The numbers of the shown curves as one table: the swept values and a column per curve.
#include "ui/results_table.hpp"

#include <algorithm>
#include <charconv>

#include "run/calculation_run.hpp"

namespace emforce {

namespace {

std::string shortest(double v) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
    return std::string(buffer, end);
}

std::string csvQuoted(const QString& text) {
    return "\"" + QString(text).replace("\"", "\"\"").toStdString() + "\"";
}

}  // namespace

QString curveHeader(int slot, Geometry geometry) {
    const std::string_view unit = axisUnit(slotRow(slot).axis, geometry);
    return seriesTitle(slot).trimmed() + ", " +
           QString::fromUtf8(unit.data(), static_cast<qsizetype>(unit.size()));
}

ResultsTable resultsTable(const std::array<QList<QPointF>, kCurveSlots>& curves,
                          const CurveContext& context) {
    ResultsTable table;
    table.headers << bottomAxisTitle(context);
    for (int slot = 0; slot < kCurveSlots; ++slot) {
        const QList<QPointF>& points = curves[static_cast<size_t>(slot)];
        if (points.isEmpty()) continue;
        table.headers << curveHeader(slot, context.geometry);
        table.curveSlots << slot;
        for (const QPointF& p : points) table.x << p.x();
    }
    std::sort(table.x.begin(), table.x.end());
    table.x.erase(std::unique(table.x.begin(), table.x.end()), table.x.end());
    table.values.resize(table.x.size(), QList<std::optional<double>>(table.curveSlots.size()));
    for (qsizetype c = 0; c < table.curveSlots.size(); ++c)
        for (const QPointF& p : curves[static_cast<size_t>(table.curveSlots[c])]) {
            const auto row =
                std::lower_bound(table.x.begin(), table.x.end(), p.x()) - table.x.begin();
            table.values[row][c] = p.y();
        }
    return table;
}

QString tabSeparated(const ResultsTable& table) {
    const auto number = [](double v) { return QString::number(v, 'g', 15).replace('.', ','); };
    QStringList lines{table.headers.join('\t')};
    for (qsizetype row = 0; row < table.x.size(); ++row) {
        QStringList cells{number(table.x[row])};
        for (const std::optional<double>& v : table.values[row])
            cells << (v ? number(*v) : QString());
        lines << cells.join('\t');
    }
    return lines.join('\n') + '\n';
}

std::string csvText(const ResultsTable& table) {
    std::string text;
    for (qsizetype c = 0; c < table.headers.size(); ++c)
        text += (c ? "," : "") + csvQuoted(table.headers[c]);
    text += "\n";
    for (qsizetype row = 0; row < table.x.size(); ++row) {
        text += shortest(table.x[row]);
        for (const std::optional<double>& v : table.values[row])
            text += "," + (v ? shortest(*v) : std::string());
        text += "\n";
    }
    return text;
}

}  // namespace emforce
