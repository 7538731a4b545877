// The notebook page "Regions": the record's stack of regions, its excitation and coil sides.
#pragma once

#include <QWidget>
#include <functional>
#include <optional>

#include "model/input_problem.hpp"
#include "model/stack_table.hpp"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace emforce {

/// Shows and edits the stack of regions of the input record as two tables: the regions from
/// the core outwards (kind, width, σ, μr, an anisotropic layer's reluctivity matrix, where
/// each lies) and the coil sides of the winding, with its phase angles and highest order.
/// "no stack" stands for the one-layer model of the parameter table. The page holds texts
/// only: reading and checking them is readStackTexts's.
class RegionsPage : public QWidget {
    Q_OBJECT
public:
    explicit RegionsPage(QWidget* parent = nullptr);

    /// The stack shown when "no stack" is unchecked while none is shown.
    void setStartingStack(std::function<RegionStack()> starting) {
        m_starting = std::move(starting);
    }

    /// Shows a record's stack (none: "no stack" checked); texts that already read as that
    /// stack stay as they are typed. `geometry` places the regions.
    void load(const std::optional<RegionStack>& stack, Geometry geometry);
    /// The record's stack: none when "no stack" is checked, else the stack of the texts in the
    /// record's geometry; texts that do not read leave the record's stack as it was (problem()
    /// names them).
    void store(InputRecord& record);
    /// Why the texts do not read, naming the cell; nothing when they do or no stack is used.
    [[nodiscard]] std::optional<InputProblem> problem() const;

    /// The controls a refusal selects.
    [[nodiscard]] QTableWidget* regionTable() const { return m_regions; }
    [[nodiscard]] QTableWidget* sideTable() const { return m_sides; }
    [[nodiscard]] QLineEdit* phaseAnglesEdit() const { return m_phaseAngles; }

Q_SIGNALS:
    /// The user changed a text, a kind, a row or the choice of a stack.
    void edited();

private:
    void showTexts();
    void showRegions();
    void showSides();
    void showExtents();
    void takeTexts();
    void setStackUsed(bool used);
    void regionCellChanged(int row, int column);
    void sideCellChanged(int row, int column);
    void kindChosen(int row, const QString& kind);
    void changeRegions(const std::function<void()>& change);

    QCheckBox* m_noStack = nullptr;
    QTableWidget* m_regions = nullptr;
    QTableWidget* m_sides = nullptr;
    QLineEdit* m_phaseAngles = nullptr;
    QSpinBox* m_highestOrder = nullptr;
    QPushButton* m_addLayer = nullptr;
    QPushButton* m_removeLayer = nullptr;
    QPushButton* m_removeSide = nullptr;
    QWidget* m_stackParts = nullptr;
    StackTexts m_texts;
    Geometry m_geometry = Geometry::Cylindrical;
    bool m_showing = false;  // the widgets are being filled from m_texts
    std::function<RegionStack()> m_starting;
};

}  // namespace emforce
