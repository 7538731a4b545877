// The MMF window: spectrum, spatial distribution and induced current densities of the MMF sheets.
#pragma once

#include <QWidget>
#include <array>

#include "run/calculation_run.hpp"
#include "run/mmf_chart.hpp"

class QButtonGroup;
class QCheckBox;

namespace emforce {

class FileChooser;
class MessageBoxes;
class MmfChartPanel;

/// "Magnetomotive Forces": a modeless window over the one model whose chart each redraw fills
/// anew. It also holds RG, the winding-pattern selector that every reading of the inputs takes.
/// Closing it only hides it.
class MmfWindow : public QWidget {
    Q_OBJECT
public:
    /// `model` is the one model of the program; a redraw reads the inputs into it.
    MmfWindow(Model& model, MessageBoxes& messages, FileChooser& files, QWidget* parent = nullptr);

    /// RG: the button ids are the winding-pattern indices.
    [[nodiscard]] QButtonGroup* windingPatternSelector() const { return m_patterns; }
    [[nodiscard]] MmfChartPanel& chart() const { return *m_chart; }

    /// The redraw of F5: a full reading of the record (which may change its x cell and ask the
    /// layer question), the series of the chosen mode and boxes, the title and the box states;
    /// then the window is shown. A failure shows its message and leaves the chart as far as it
    /// was drawn and the window as it was.
    void redraw(InputRecord& record);

public Q_SLOTS:
    /// Shows the window, or brings it to the front when it is already shown.
    void showAndRaise();

Q_SIGNALS:
    /// The user answered Yes to closing the application in the layer question.
    void exitRequested();

private:
    QWidget* buildControls();
    QWidget* buildCurveBoxes();
    QWidget* buildPatterns();
    QWidget* buildChartButtons();
    QWidget* buildChartOptions();
    [[nodiscard]] MmfChartOptions options() const;
    void display(const MmfChart& chart);
    void acceptAxisDescriptions();
    QWidget* dialogParent();

    Model& m_model;
    MessageBoxes& m_messages;
    FileChooser& m_files;
    MmfChartPanel* m_chart = nullptr;
    QCheckBox* m_spectrum = nullptr;       // CB0
    std::array<QCheckBox*, 4> m_curves{};  // CB1..CB4
    QButtonGroup* m_patterns = nullptr;    // RG
};

}  // namespace emforce
