// The column of small chart buttons beside the notebook.
#pragma once

#include <QWidget>

namespace emforce {

class ChartPanel;

/// "cl", the legend toggle, "in", "re", "f", "In", "0" and "5", top to bottom, acting on one
/// chart. "0", "5" and the legend toggle show their state.
class ChartButtons : public QWidget {
    Q_OBJECT
public:
    explicit ChartButtons(ChartPanel& chart, QWidget* parent = nullptr);
};

}  // namespace emforce
