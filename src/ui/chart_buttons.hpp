// The column of seven small chart buttons beside the notebook.
#pragma once

#include <QWidget>

namespace emforce {

class ChartPanel;

/// "cl", "in", "re", "f", "In", "0" and "5", top to bottom, acting on one chart.
class ChartButtons : public QWidget {
    Q_OBJECT
public:
    explicit ChartButtons(ChartPanel& chart, QWidget* parent = nullptr);
};

}  // namespace emforce
