// Tests of the page "Regions": a record's stack shown, edited, run, refused and written.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QXYSeries>
#include <QtTest>
#include <sstream>

#include "cli/run_report.hpp"
#include "files/run_record.hpp"
#include "model/stack_table.hpp"
#include "scripted_dialogs.hpp"
#include "ui/app_windows.hpp"
#include "ui/chart_panel.hpp"

using namespace emforce;

namespace {

const QString kTeam30a = QStringLiteral(EMFORCE_EXAMPLES_DIR "/team30a.json");

// The Maxwell curve of a run of the record without the window, in the chart's order.
QList<QPointF> maxwellCurve(InputRecord record) {
    Model model;
    std::ostringstream questions;
    cli::CapturingObserver run(questions);
    if (!runCalculation(model, record, run).complete) return {};
    QList<QPointF> points;
    for (const auto& [x, y] : run.series[0]) points << QPointF(x, y);
    std::stable_sort(points.begin(), points.end(),
                     [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
    return points;
}

}  // namespace

class tst_RegionsPage : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void recordShowsItsStack();
    void editedConductivityIsRun();
    void refusalSelectsTheCell_data();
    void refusalSelectsTheCell();
    void kindsLayersAndNoStack();
    void recordWithUnreadableStackIsNotWritten();

private:
    MainWindow& main() { return m_windows->main; }
    template <class T>
    T* find(const char* name) {
        T* widget = main().findChild<T*>(name);
        if (!widget) qFatal("no control %s", name);
        return widget;
    }
    QTableWidget* regions() { return find<QTableWidget>("RegionTable"); }
    QTableWidget* sides() { return find<QTableWidget>("CoilSideTable"); }
    void loadTeam30a() {
        m_windows->commands.readRecordFrom(kTeam30a);
        QVERIFY(m_messages.errors.isEmpty());
        find<QTabWidget>("PageControl1")->setCurrentWidget(find<QWidget>("RegionsPage"));
    }
    void run() {
        main().startRun();
        QTRY_VERIFY_WITH_TIMEOUT(!main().isRunning(), 20000);
    }

    std::unique_ptr<Model> m_model;
    ScriptedMessageBoxes m_messages;
    ScriptedFileChooser m_files;
    std::unique_ptr<AppWindows> m_windows;
};

void tst_RegionsPage::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QSettings("emforce", "emforce").clear();
}

void tst_RegionsPage::init() {
    m_messages = {};
    m_files = {};
    m_model = std::make_unique<Model>();
    m_windows = std::make_unique<AppWindows>(*m_model, m_messages, m_files);
    main().show();
    QVERIFY(QTest::qWaitForWindowActive(&main()));
}

void tst_RegionsPage::cleanup() {
    m_windows.reset();
    m_model.reset();
}

void tst_RegionsPage::recordShowsItsStack() {
    QVERIFY(find<QCheckBox>("NoStack")->isChecked());  // the start-up table has no stack
    loadTeam30a();
    QVERIFY(!find<QCheckBox>("NoStack")->isChecked());
    QTableWidget* table = regions();
    QCOMPARE(table->rowCount(), 5);  // core, aluminium, gap, band, stator
    QCOMPARE(table->item(1, kRegionName)->text(), QString("aluminium"));
    QCOMPARE(table->item(1, kRegionSigma)->text(), QString("37200000"));
    QCOMPARE(qobject_cast<QComboBox*>(table->cellWidget(0, kRegionKind))->currentText(),
             QString("solid"));
    QCOMPARE(qobject_cast<QComboBox*>(table->cellWidget(3, kRegionKind))->currentText(),
             QString("band"));
    QCOMPARE(table->item(3, kRegionColumns)->text(), QString::fromUtf8("0,032 … 0,052"));
    // The matrix columns only appear for an anisotropic layer.
    QVERIFY(table->isColumnHidden(kRegionNu1));
    QCOMPARE(sides()->rowCount(), 6);
    QCOMPARE(sides()->item(1, kSideSign)->text(), QString("-1"));
    QCOMPARE(find<QLineEdit>("PhaseAngles")->text(),
             QString("0; 2,0943951023931953; 4,1887902047863905"));
    // Shown and taken back, the stack is the record's bit for bit: nothing reads as an edit.
    QVERIFY(main().currentInputs().stack == readRunRecord(kTeam30a.toStdString()).stack);
    QVERIFY(!main().isWindowModified());
}

void tst_RegionsPage::editedConductivityIsRun() {
    loadTeam30a();
    InputRecord record = main().currentInputs();
    record.pointsPerCurve = "3";
    main().setInputs(record);
    run();
    const QList<QPointF> before = main().chart().series(0)->points();
    QCOMPARE(before, maxwellCurve(record));

    regions()->item(1, kRegionSigma)->setText("1,0e7");
    QVERIFY(main().isWindowModified());
    QCOMPARE(main().currentInputs().stack->layers[0].sigma, 1e7);
    run();
    QVERIFY(m_messages.errors.isEmpty());
    const QList<QPointF> after = main().chart().series(0)->points();
    QCOMPARE(after, maxwellCurve(main().currentInputs()));
    QCOMPARE(after.size(), 4);
    // Each point's torque but standstill's moves with the shell's conductivity.
    for (qsizetype i = 1; i < after.size(); ++i) QVERIFY(after[i].y() != before[i].y());
    // A run leaves the typed text as it is.
    QCOMPARE(regions()->item(1, kRegionSigma)->text(), QString("1,0e7"));
}

void tst_RegionsPage::refusalSelectsTheCell_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("status");
    QTest::newRow("negative σ") << "RegionTable" << 1 << int(kRegionSigma) << "-1"
                                << QString::fromUtf8(
                                       "Impossible input: Regions row 2 (aluminium), σ [S/m] -1 "
                                       "(the conductivity must not be negative)")
                                << QString::fromUtf8("Run refused: Regions row 2, σ [S/m]");
    QTest::newRow("gap not a number") << "RegionTable" << 2 << int(kRegionWidth) << "2 mm"
                                      << "'2 mm' is not a valid floating point value (Regions row "
                                         "3 (gap), width / surface [m])"
                                      << "Run refused: Regions row 3, width / surface [m]";
    QTest::newRow("sign") << "CoilSideTable" << 4 << int(kSideSign) << "2"
                          << "Impossible input: coil side 5, sign 2 (the sign is 1 or -1)"
                          << "Run refused: coil side 5, sign";
    QTest::newRow("phase angle") << "PhaseAngles" << -1 << -1 << "0; 2,09; x"
                                 << "'x' is not a valid floating point value (phase angles [rad])"
                                 << "Run refused: phase angles [rad]";
}

void tst_RegionsPage::refusalSelectsTheCell() {
    QFETCH(QString, control);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QString, message);
    QFETCH(QString, status);
    loadTeam30a();
    find<QTabWidget>("PageControl1")->setCurrentIndex(0);
    if (row >= 0) {
        find<QTableWidget>(qPrintable(control))->item(row, column)->setText(text);
    } else {
        auto* edit = find<QLineEdit>("PhaseAngles");
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    main().startRun();
    QVERIFY(!main().isRunning());
    QCOMPARE(m_messages.errors, QStringList{message});
    QCOMPARE(find<QLabel>("StatusPanel0")->text(), status);
    // The page is shown and the text selected, as a refusal of the parameter table does.
    QCOMPARE(find<QTabWidget>("PageControl1")->currentWidget(), find<QWidget>("RegionsPage"));
    QWidget* holder = find<QWidget>(qPrintable(control));
    QCOMPARE(QApplication::focusWidget(), holder);
    if (auto* table = qobject_cast<QTableWidget*>(holder)) {
        QCOMPARE(table->currentRow(), row);
        QCOMPARE(table->currentColumn(), column);
    } else {
        QCOMPARE(qobject_cast<QLineEdit*>(holder)->selectedText(), text);
    }
}

void tst_RegionsPage::kindsLayersAndNoStack() {
    // Unchecking "no stack" on the table's model starts from the table's layer.
    auto* none = find<QCheckBox>("NoStack");
    none->click();
    QVERIFY(main().currentInputs().stack.has_value());
    QCOMPARE(*main().currentInputs().stack, startingStack(main().currentInputs()));
    loadTeam30a();
    const RegionStack loaded = *main().currentInputs().stack;

    // A new kind empties the cells it does not use and starts those it does.
    qobject_cast<QComboBox*>(regions()->cellWidget(0, kRegionKind))->setCurrentText("air");
    QCOMPARE(regions()->item(0, kRegionSigma)->text(), QString());
    QVERIFY(!(regions()->item(0, kRegionSigma)->flags() & Qt::ItemIsEditable));
    QCOMPARE(main().currentInputs().stack->core, CoreKind::Air);
    qobject_cast<QComboBox*>(regions()->cellWidget(1, kRegionKind))->setCurrentText("anisotropic");
    QVERIFY(!regions()->isColumnHidden(kRegionNu1));
    QCOMPARE(regions()->item(1, kRegionNu1)->text(), QString("1"));
    QVERIFY(main().currentInputs().stack->layers[0].reluctivity.has_value());

    // A layer added before the selected one; the gap and the rest cannot be removed.
    regions()->setCurrentCell(1, kRegionName);
    find<QPushButton>("AddLayer")->click();
    QCOMPARE(main().currentInputs().stack->layers.size(), size_t(2));
    regions()->setCurrentCell(3, kRegionName);  // the gap
    find<QPushButton>("RemoveLayer")->click();
    QCOMPARE(regions()->rowCount(), 6);
    regions()->setCurrentCell(1, kRegionName);
    find<QPushButton>("RemoveLayer")->click();
    QCOMPARE(main().currentInputs().stack->layers.size(), size_t(1));
    sides()->setCurrentCell(5, 0);
    find<QPushButton>("AddCoilSide")->click();
    QCOMPARE(main().currentInputs().stack->winding.sides.size(), size_t(7));
    find<QPushButton>("RemoveCoilSide")->click();
    QCOMPARE(main().currentInputs().stack->winding.sides.size(), size_t(6));

    // "no stack" gives the table's model; unchecked again, the stack as it was left.
    const RegionStack edited = *main().currentInputs().stack;
    QVERIFY(!(edited == loaded));
    none->click();
    QVERIFY(!main().currentInputs().stack);
    QVERIFY(!find<QWidget>("AddLayer")->isEnabled());
    none->click();
    QVERIFY(*main().currentInputs().stack == edited);
}

void tst_RegionsPage::recordWithUnreadableStackIsNotWritten() {
    QTemporaryDir dir;
    loadTeam30a();
    regions()->item(2, kRegionWidth)->setText("0");
    m_files.fileName = dir.filePath("run.json");
    for (QAction* a : main().findChildren<QAction*>())
        if (QString(a->text()).remove('&') == "WRITE all settings (record) ...") a->trigger();
    QCOMPARE(m_messages.errors.size(), 1);
    QVERIFY(m_messages.errors[0].contains("the gap width must be above 0"));
    QVERIFY(!QFileInfo::exists(m_files.fileName));
}

QTEST_MAIN(tst_RegionsPage)
#include "tst_regionspage.moc"
