// The numbers of the shown curves as one table: the swept values and a column per curve.
#pragma once

#include <QList>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <string>

#include "model/input_record.hpp"
#include "ui/axis_titles.hpp"

namespace emforce {

/// The shown curves side by side: one row per swept value of any curve (increasing), one
/// column per curve with points; a curve without a point at a row's value has an empty cell.
struct ResultsTable {
    QStringList headers;    ///< the swept variable, then "curve title, unit" per curve
    QList<int> curveSlots;  ///< the curve slot of each column after the first
    QList<double> x;
    QList<QList<std::optional<double>>> values;  ///< [row][curve]
};

/// The title of a curve slot with the unit of its axis: "F/T Maxwell, N·m".
QString curveHeader(int slot, Geometry geometry);

/// The table of the curves of a chart, drawn against the variable of `context`.
ResultsTable resultsTable(const std::array<QList<QPointF>, kCurveSlots>& curves,
                          const CurveContext& context);

/// The table as tab-separated lines with a header line, numbers as the window shows them
/// (decimal comma, 15 significant digits).
QString tabSeparated(const ResultsTable& table);

/// The table as CSV: a header line of quoted names with units, numbers with a decimal point in
/// the shortest form that reads back the same.
std::string csvText(const ResultsTable& table);

}  // namespace emforce
