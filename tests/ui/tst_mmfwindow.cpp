// Tests of the MMF window: F5 in both motor kinds and modes, failures, the window's own buttons.
#include <QAction>
#include <QButtonGroup>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLegend>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QValueAxis>
#include <QXYSeries>
#include <QtTest>
#include <cmath>

#include "chart_texts.hpp"
#include "model/number_format.hpp"
#include "model/spectrum.hpp"
#include "scripted_dialogs.hpp"
#include "ui/app_windows.hpp"
#include "ui/mmf_chart_panel.hpp"

using namespace emforce;

namespace {

constexpr int kRowR = 1;
constexpr int kRowA = 3;
constexpr int kRowSpeed = 15;
constexpr int kRowF1 = 16;

QString qt(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QList<QPointF> qtPoints(const std::vector<ChartPoint>& points) {
    QList<QPointF> list;
    for (const ChartPoint& p : points) list << QPointF(p.x, p.y);
    return list;
}

// The chart that the core draws for a record, on a model of its own; a failure gives its
// message and the chart drawn before it.
MmfChart expectedChart(InputRecord record, const MmfChartOptions& options, QString* message) {
    Model model;
    try {
        return computeMmfChart(model, record, options, [](const std::string&) { return false; });
    } catch (const MmfChartError& e) {
        *message = QString::fromStdString(e.what());
        return e.partial();
    }
}

}  // namespace

class tst_MmfWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void startState();
    void redraw_data();
    void redraw();
    void redrawIsAFullReading_data();
    void redrawIsAFullReading();
    void failureShowsMessageAndPartialChart_data();
    void failureShowsMessageAndPartialChart();
    void selectorIsTheWindingPatternOfEveryReading();
    void patternChosenDuringRunStays();
    void legendTitleAndMarksInvert();
    void fontButtonCycles_data();
    void fontButtonCycles();
    void axisDescriptions_data();
    void axisDescriptions();
    void titlesShowWholeInASmallWindow();
    void savePictureButton();
    void closingOnlyHides();

private:
    MmfWindow& mmf() { return m_windows->mmf; }
    MmfChartPanel& chart() { return mmf().chart(); }
    template <class T>
    T* find(const char* name) {
        T* widget = mmf().findChild<T*>(name);
        if (!widget) widget = m_windows->main.findChild<T*>(name);
        if (!widget) qFatal("no control %s", name);
        return widget;
    }
    QCheckBox* box(const char* name) { return find<QCheckBox>(name); }
    QTableWidgetItem* cell(int row) { return find<QTableWidget>("DaneS")->item(row, 1); }
    QList<QPointF> shown(MmfSeries s) { return chart().series(s)->points(); }
    // The menu command; the key is the main window's business (tested there).
    void pressF5() {
        for (QAction* a : m_windows->main.menuBar()->actions())
            if (QString(a->text()).remove('&') == "Rail / Stator MMF  (F5)") return a->trigger();
        qFatal("no F5 command");
    }
    MmfChartOptions options() {
        return {box("CB0")->isChecked(), box("CB1")->isChecked(), box("CB2")->isChecked(),
                box("CB3")->isChecked(), box("CB4")->isChecked()};
    }
    void setMotorKind(bool induction) {
        QAction* kind =
            m_windows->main.findChild<QAction*>(induction ? "Induction" : "Synchronous");
        kind->trigger();
    }

    std::unique_ptr<Model> m_model;
    ScriptedMessageBoxes m_messages;
    ScriptedFileChooser m_files;
    std::unique_ptr<AppWindows> m_windows;
};

void tst_MmfWindow::init() {
    m_messages = {};
    m_files = {};
    m_model = std::make_unique<Model>();
    m_windows = std::make_unique<AppWindows>(*m_model, m_messages, m_files);
    m_windows->main.show();
    QVERIFY(QTest::qWaitForWindowActive(&m_windows->main));
}

void tst_MmfWindow::cleanup() {
    m_windows.reset();
    m_model.reset();
}

void tst_MmfWindow::startState() {
    QVERIFY(!mmf().isVisible());
    QCOMPARE(mmf().windowTitle(), QString("Magnetomotive Forces"));
    const QList<QRadioButton*> patterns = find<QWidget>("RG")->findChildren<QRadioButton*>();
    QCOMPARE(patterns.size(), kWindingPatternCount);
    for (int i = 0; i < kWindingPatternCount; ++i)
        QCOMPARE(patterns[i]->text(), qt(kWindingPatterns[size_t(i)].caption));
    QCOMPARE(mmf().windingPatternSelector()->checkedId(), 1);
    for (const char* name :
         {"CB0", "CB1", "CB2", "CB3", "CB4", "CheckBox1", "CheckBox2", "CheckBox3"})
        QCOMPARE(box(name)->isChecked(), QByteArray(name) == "CB1");

    const QStringList titles = {"Rail / Stator MMF",
                                "Carriage / Rotor current density outer surface",
                                "Carriage / Rotor current density inner layer",
                                "Carriage / Rotor MMF",
                                "Rail / Stator MMF",
                                "Carriage / Rotor MMF for synchronous motor"};
    const QList<QAbstractSeries*> series = chart().chart().series();
    QCOMPARE(series.size(), kMmfSeriesCount);
    for (int s = 0; s < kMmfSeriesCount; ++s) {
        QCOMPARE(series[s], chart().series(MmfSeries(s)));
        QCOMPARE(series[s]->name(), titles[s]);
    }
    QVERIFY(!chart().chart().legend()->isVisible());
    QCOMPARE(chart().chart().legend()->alignment(), Qt::AlignBottom);
    QVERIFY(chart().leftAxis()->titleText().isEmpty());
    QVERIFY(chart().bottomAxis()->titleText().isEmpty());
    QCOMPARE(chart().leftAxis()->labelsFont().pointSize(), 12);
    QCOMPARE(find<QComboBox>("CB44")->currentText(), QString("chosse font size / 13 pt default"));
    QCOMPARE(find<QComboBox>("CB22")->itemText(0), QString("Przepływ uzwojenia [A]"));
}

void tst_MmfWindow::redraw_data() {
    QTest::addColumn<bool>("induction");
    QTest::addColumn<bool>("spectrum");
    QTest::addColumn<QList<int>>("counts");
    QTest::addColumn<int>("underConstruction");
    QTest::addColumn<QList<bool>>("enabled");  // CB2, CB3, CB4
    QTest::addColumn<QList<bool>>("checked");
    // All four curve boxes checked before F5, highest harmonic 17.
    QTest::newRow("induction, spectrum")
        << true << true << QList<int>{18, 18, 18, 0, 0, 0} << 0 << QList<bool>{true, true, false}
        << QList<bool>{true, true, true};
    QTest::newRow("induction, distribution")
        << true << false << QList<int>{0, 0, 0, 0, 10001, 10001} << 2
        << QList<bool>{true, true, false} << QList<bool>{true, true, true};
    QTest::newRow("synchronous, spectrum")
        << false << true << QList<int>{18, 0, 0, 18, 0, 0} << 0 << QList<bool>{false, false, true}
        << QList<bool>{false, false, true};
    QTest::newRow("synchronous, distribution")
        << false << false << QList<int>{0, 0, 0, 0, 10001, 10001} << 0
        << QList<bool>{false, false, true} << QList<bool>{false, false, true};
}

void tst_MmfWindow::redraw() {
    QFETCH(bool, induction);
    QFETCH(bool, spectrum);
    QFETCH(QList<int>, counts);
    QFETCH(int, underConstruction);
    QFETCH(QList<bool>, enabled);
    QFETCH(QList<bool>, checked);
    setMotorKind(induction);
    find<QComboBox>("ComboBox1")->setCurrentText("17");
    box("CB0")->setChecked(spectrum);
    for (const char* name : {"CB1", "CB2", "CB3", "CB4"}) box(name)->setChecked(true);
    QString failure;
    const MmfChart expected = expectedChart(m_windows->main.currentInputs(), options(), &failure);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));

    pressF5();
    QTRY_VERIFY(mmf().isVisible());
    QVERIFY(m_messages.errors.isEmpty());
    QCOMPARE(m_messages.informations, QStringList(underConstruction, "Under construction"));
    for (int s = 0; s < kMmfSeriesCount; ++s) {
        QCOMPARE(shown(MmfSeries(s)).size(), counts[s]);
        QCOMPARE(shown(MmfSeries(s)), qtPoints(expected.series[size_t(s)]));
    }
    QCOMPARE(chart().titleText(), qt(*expected.title));
    const QList<QCheckBox*> boxes = {box("CB2"), box("CB3"), box("CB4")};
    for (int b = 0; b < 3; ++b) {
        QCOMPARE(boxes[b]->isEnabled(), enabled[b]);
        QCOMPARE(boxes[b]->isChecked(), checked[b]);
    }

    // The axes say what was drawn, with units.
    const auto title = [](const QValueAxis* axis) {
        return QString(axis->titleText()).replace("<br>", " ").simplified();
    };
    QCOMPARE(title(chart().bottomAxis()), spectrum ? QString("harmonic order h, -")
                                                   : QString::fromUtf8("electrical angle φ, rad"));
    QCOMPARE(title(chart().leftAxis()), spectrum && induction
                                            ? QString("MMF F, A | current density J/J1, -")
                                            : QString("MMF F, A"));
    if (spectrum) {
        // x is the harmonic order, -17 to 17.
        QCOMPARE(shown(MmfSeries::StatorBars).first().x(), -17.0);
        QCOMPARE(shown(MmfSeries::StatorBars).last().x(), 17.0);
    } else {
        QCOMPARE(shown(MmfSeries::StatorDistribution).first().x(), -M_PI);
        QVERIFY(std::abs(shown(MmfSeries::StatorDistribution).last().x() - M_PI) < 1e-9);
    }
    if (induction && spectrum) {
        const QList<QPointF> outer = shown(MmfSeries::OuterDensity);
        const auto first =
            std::find_if(outer.begin(), outer.end(), [](const QPointF& p) { return p.x() == 1; });
        QVERIFY(first != outer.end());
        QCOMPARE(first->y(), 1.0);
    }
    if (!induction && spectrum) {
        const InputRecord& inputs = m_windows->main.currentInputs();
        const double ratio = toReal(inputs.value(7)) / toReal(inputs.value(6));
        for (int i = 0; i < counts[0]; ++i)
            QCOMPARE(shown(MmfSeries::RotorBars)[i].y(),
                     shown(MmfSeries::StatorBars)[i].y() * ratio);
    }
}

void tst_MmfWindow::redrawIsAFullReading_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("shown");
    QTest::newRow("x takes the R text") << "0,01" << false << true;
    QTest::newRow("R = a, No goes on") << "0,05" << false << true;
    QTest::newRow("R = a, Yes ends the program") << "0,05" << true << false;
}

void tst_MmfWindow::redrawIsAFullReading() {
    QFETCH(QString, a);
    QFETCH(bool, answer);
    QFETCH(bool, shown);
    setMotorKind(false);
    m_messages.answer = answer;
    QSignalSpy exit(&m_windows->main, &MainWindow::exitRequested);
    cell(0)->setText("0,01");
    cell(kRowA)->setText(a);
    pressF5();
    QCOMPARE(cell(0)->text(), cell(kRowR)->text());
    const bool asked = a == cell(kRowR)->text();
    QCOMPARE(
        m_messages.questions,
        asked ? QStringList{"It must be satisfied R > a ! Close application ?"} : QStringList{});
    QCOMPARE(exit.count(), answer ? 1 : 0);
    QCOMPARE(mmf().isVisible(), shown);
}

void tst_MmfWindow::failureShowsMessageAndPartialChart_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("text that does not convert") << kRowA << "abc"
                                                << "'abc' is not a valid floating point value";
    QTest::newRow("f1 = 0") << kRowF1 << "0"
                            << "Floating point division by zero";
    QTest::newRow("synchronous speed") << kRowSpeed << "50"
                                       << "Floating point division by zero";
}

void tst_MmfWindow::failureShowsMessageAndPartialChart() {
    QFETCH(int, row);
    QFETCH(QString, text);
    QFETCH(QString, message);
    // A chart from an earlier F5 is replaced by what the failed redraw drew.
    box("CB0")->setChecked(true);
    pressF5();
    QTRY_VERIFY(mmf().isVisible());
    mmf().close();
    QVERIFY(!shown(MmfSeries::StatorBars).isEmpty());

    find<QComboBox>("ComboBox1")->setCurrentText("17");
    box("CB2")->setChecked(true);
    cell(row)->setText(text);
    QString failure;
    const MmfChart partial = expectedChart(m_windows->main.currentInputs(), options(), &failure);
    QCOMPARE(failure, message);
    pressF5();
    QCOMPARE(m_messages.errors, QStringList{message});
    QVERIFY(!mmf().isVisible());
    for (int s = 0; s < kMmfSeriesCount; ++s)
        QCOMPARE(shown(MmfSeries(s)), qtPoints(partial.series[size_t(s)]));
}

void tst_MmfWindow::selectorIsTheWindingPatternOfEveryReading() {
    auto* selector = mmf().windingPatternSelector();
    selector->button(7)->click();  // only +7
    QCOMPARE(m_windows->main.currentInputs().windingPattern, 7);
    InputRecord record = m_windows->main.currentInputs();
    record.windingPattern = 4;
    m_windows->main.setInputs(record);
    QCOMPARE(selector->checkedId(), 4);

    selector->button(7)->click();
    find<QComboBox>("ComboBox1")->setCurrentText("17");
    box("CB0")->setChecked(true);
    pressF5();
    QTRY_VERIFY(mmf().isVisible());
    for (const QPointF& bar : shown(MmfSeries::StatorBars)) QCOMPARE(bar.y() != 0, bar.x() == 7);
}

void tst_MmfWindow::patternChosenDuringRunStays() {
    m_windows->main.startRun();
    mmf().windingPatternSelector()->button(5)->click();
    QTRY_VERIFY_WITH_TIMEOUT(!m_windows->main.isRunning(), 10000);
    QCOMPARE(mmf().windingPatternSelector()->checkedId(), 5);
    QCOMPARE(m_windows->main.currentInputs().windingPattern, 5);
}

void tst_MmfWindow::legendTitleAndMarksInvert() {
    setMotorKind(false);
    box("CB0")->setChecked(true);
    box("CB4")->setChecked(true);
    pressF5();
    QTRY_VERIFY(mmf().isVisible());
    QChart& view = chart().chart();
    for (bool on : {true, false}) {
        box("CheckBox1")->click();
        QCOMPARE(view.legend()->isVisible(), on);
        box("CheckBox2")->click();
        QCOMPARE(view.title(), on ? qt(kMmfSpectrumTitle) : QString());
        box("CheckBox3")->click();
        for (QAbstractSeries* s : view.series())
            QCOMPARE(qobject_cast<QXYSeries*>(s)->pointLabelsVisible(), on);
    }
}

void tst_MmfWindow::fontButtonCycles_data() {
    QTest::addColumn<int>("clicks");
    QTest::addColumn<int>("size");
    QTest::newRow("one") << 1 << 13;
    QTest::newRow("up to 30") << 18 << 30;
    QTest::newRow("then 7") << 19 << 7;
    QTest::newRow("and on") << 20 << 8;
}

void tst_MmfWindow::fontButtonCycles() {
    QFETCH(int, clicks);
    QFETCH(int, size);
    auto* font = find<QToolButton>("Button1");
    QCOMPARE(font->toolTip(), QString("font size = 12"));
    for (int i = 0; i < clicks; ++i) font->click();
    QCOMPARE(chart().leftAxis()->labelsFont().pointSize(), size);
    QCOMPARE(chart().bottomAxis()->labelsFont().pointSize(), size);
    QCOMPARE(font->toolTip(), QString("Font Size = %1").arg(size));
}

void tst_MmfWindow::axisDescriptions_data() {
    QTest::addColumn<QString>("leftSize");
    QTest::addColumn<QString>("bottomSize");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("leftApplied");    // the left title's new size, 0 when none
    QTest::addColumn<int>("bottomApplied");  // likewise for the bottom title
    QTest::newRow("start texts")
        << "chosse font size / 13 pt default"
        << "14"
        << "'chosse font size / 13 pt default' is not a valid integer value" << 0 << 0;
    QTest::newRow("bottom size not a number") << "20"
                                              << "x"
                                              << "'x' is not a valid integer value" << 20 << 0;
    QTest::newRow("both sizes") << "20"
                                << "25" << QString() << 20 << 25;
}

void tst_MmfWindow::axisDescriptions() {
    QFETCH(QString, leftSize);
    QFETCH(QString, bottomSize);
    QFETCH(QString, error);
    QFETCH(int, leftApplied);
    QFETCH(int, bottomApplied);
    pressF5();
    QTRY_VERIFY(mmf().isVisible());
    const QList<QComboBox*> selectors = {find<QComboBox>("CB22"), find<QComboBox>("CB33"),
                                         find<QComboBox>("CB44"), find<QComboBox>("CB55")};
    auto* accept = find<QPushButton>("Button66");
    QVERIFY(!accept->isVisible());
    // Until the user chooses, the titles say what was drawn, with units.
    const auto shown = [](const QValueAxis* axis) {
        return QString(axis->titleText()).replace("<br>", " ").simplified();
    };
    const QString autoLeft = "MMF F, A";
    const QString autoBottom = QString::fromUtf8("electrical angle φ, rad");
    QCOMPARE(shown(chart().leftAxis()), autoLeft);
    QCOMPARE(shown(chart().bottomAxis()), autoBottom);
    find<QToolButton>("Button55")->click();
    QVERIFY(accept->isVisible());
    for (QComboBox* selector : selectors) QVERIFY(selector->isVisible());

    find<QComboBox>("CB22")->setCurrentIndex(0);
    find<QComboBox>("CB33")->setCurrentIndex(1);
    find<QComboBox>("CB44")->setEditText(leftSize);
    find<QComboBox>("CB55")->setEditText(bottomSize);
    const int startSize = chart().chosenTitleSize(chart().leftAxis());
    accept->click();
    QCOMPARE(m_messages.errors, error.isEmpty() ? QStringList{} : QStringList{error});
    QCOMPARE(accept->isVisible(), !error.isEmpty());
    QCOMPARE(chart().chosenTitleSize(chart().leftAxis()), leftApplied ? leftApplied : startSize);
    QCOMPARE(shown(chart().leftAxis()), leftApplied ? QString("Przepływ uzwojenia [A]") : autoLeft);
    QCOMPARE(chart().chosenTitleSize(chart().bottomAxis()),
             bottomApplied ? bottomApplied : startSize);
    QCOMPARE(shown(chart().bottomAxis()),
             bottomApplied ? QString("kąt elektryczny [rad]") : autoBottom);

    find<QToolButton>("Button77")->click();
    QVERIFY(chart().leftAxis()->titleText().isEmpty());
    QVERIFY(chart().bottomAxis()->titleText().isEmpty());
}

// Titles of 35 pt under a chart with its title and legend shown: drawn smaller, but whole.
void tst_MmfWindow::titlesShowWholeInASmallWindow() {
    pressF5();
    QTRY_VERIFY(mmf().isVisible());
    mmf().resize(mmf().minimumSizeHint());
    box("CheckBox1")->click();
    box("CheckBox2")->click();
    find<QComboBox>("CB22")->setCurrentIndex(0);
    find<QComboBox>("CB33")->setCurrentIndex(1);
    find<QComboBox>("CB44")->setEditText("35");
    find<QComboBox>("CB55")->setEditText("35");
    find<QPushButton>("Button66")->click();
    const QStringList titles = {find<QComboBox>("CB22")->currentText(),
                                find<QComboBox>("CB33")->currentText()};
    QTRY_VERIFY2(drawnTexts(chart().view()).contains(titles[0]) &&
                     drawnTexts(chart().view()).contains(titles[1]),
                 qPrintable(drawnTexts(chart().view()).join(" | ")));
    for (QValueAxis* axis : {chart().leftAxis(), chart().bottomAxis()}) {
        QCOMPARE(chart().chosenTitleSize(axis), 35);
        QVERIFY(axis->titleFont().pointSize() <= 35);
    }
    QVERIFY(chart().leftAxis()->titleFont().pointSize() < 35);
}

void tst_MmfWindow::savePictureButton() {
    pressF5();
    QTRY_VERIFY(mmf().isVisible());
    find<QToolButton>("Button55")->click();
    find<QComboBox>("CB22")->setCurrentIndex(0);
    find<QComboBox>("CB33")->setCurrentIndex(1);
    find<QComboBox>("CB44")->setEditText("14");
    find<QComboBox>("CB55")->setEditText("14");
    find<QPushButton>("Button66")->click();

    QTemporaryDir dir;
    m_files.fileName = dir.filePath("mmf.svg");
    find<QPushButton>("BitBtn1")->click();
    QCOMPARE(m_files.initialNames, QStringList{"*.svg"});
    QFile file(m_files.fileName);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString svg = QString::fromUtf8(file.readAll());
    QVERIFY(svg.contains("Przepływ uzwojenia [A]"));
    QVERIFY(svg.contains("kąt elektryczny [rad]"));
    QVERIFY(m_messages.errors.isEmpty());
}

void tst_MmfWindow::closingOnlyHides() {
    pressF5();
    QTRY_VERIFY(mmf().isVisible());
    QPointer<MmfWindow> window(&mmf());
    mmf().close();
    QVERIFY(window);
    QVERIFY(!mmf().isVisible());
    QVERIFY(m_windows->main.isVisible());
    pressF5();
    QTRY_VERIFY(mmf().isVisible());
}

QTEST_MAIN(tst_MmfWindow)
#include "tst_mmfwindow.moc"
