// Tests of the main window: start-up state, runs, cancel, sample sets, menus and message boxes.
#include <QAction>
#include <QButtonGroup>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QShortcut>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolButton>
#include <QValueAxis>
#include <QXYSeries>
#include <QtTest>
#include <sstream>

#include "cli/run_report.hpp"
#include "files/run_record.hpp"
#include "model/sample_sets.hpp"
#include "scripted_dialogs.hpp"
#include "ui/app_windows.hpp"
#include "ui/chart_panel.hpp"
#include "ui/help_text.hpp"

using namespace emforce;

namespace {

QString qt(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QStringList lines(const QPlainTextEdit* memo) { return memo->toPlainText().split(u'\n'); }

// A menu caption as it reads, without the mark of its Alt letter.
QString caption(const QAction* action) { return QString(action->text()).remove('&'); }

}  // namespace

class tst_MainWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void startupControls();
    void startupLists_data();
    void startupLists();
    void startupChart();
    void functionKeys();
    void menusOpenOnTheirKeys_data();
    void menusOpenOnTheirKeys();
    void backgroundClickRunsAsTheCoreDoes();
    void synchronousRunAfterF2();
    void runErrorsShowTheirMessage_data();
    void runErrorsShowTheirMessage();
    void layerQuestion_data();
    void layerQuestion();
    void escCancelsLongRunKeepingItsOutput();
    void sampleSetOverwritesExactlyItsCells_data();
    void sampleSetOverwritesExactlyItsCells();
    void helpWindowIsSingleAndReadOnly();
    void firstActivationShowsAxisSelectors();
    void tabMovesBetweenValueCells();
    void calculateCommands_data();
    void calculateCommands();
    void onlyTheBackgroundStartsARun();
    void refusedRunKeepsWhatIsShownAndPointsAtTheInput_data();
    void refusedRunKeepsWhatIsShownAndPointsAtTheInput();
    void cancelInsideALongPoint();
    void progressNamesTheCurveAndItsPoints();
    void fitsSmallScreensAndRemembersItsPlace();
    void tabSkipsReadOnlyFields();
    void errorFieldsShowTheirTextsWhole();
    void choiceSelectorsAreBound_data();
    void choiceSelectorsAreBound();
    void titlesFollowTheLoadAngleSweep();
    void sweepRowFollowsTheVariable_data();
    void sweepRowFollowsTheVariable();
    void chosenRangeIsRunAndKept();
    void sampleSetOffersItsMotorAndGeometry();
    void resultsTableCopiesAsText();
    void reportShowsWholeLines();
    void escClosesHelp();
    void tableEditsUndoAndRedo();
    void everyInputMarksTheTitle_data();
    void everyInputMarksTheTitle();
    void powerStatisticHasOneCaption();

private:
    MainWindow& main() { return m_windows->main; }
    template <class T>
    T* find(const char* name) {
        T* widget = main().findChild<T*>(name);
        if (!widget) qFatal("no control %s", name);
        return widget;
    }
    QTableWidget* parameters() { return find<QTableWidget>("DaneS"); }
    QString panel(int i) {
        return find<QLabel>(qPrintable(QString("StatusPanel%1").arg(i)))->text();
    }
    QAction* action(const char* name) { return main().findChild<QAction*>(name); }
    void clickBackground() {
        QTest::mouseClick(main().centralWidget(), Qt::LeftButton, {}, QPoint(2, 2));
    }

    std::unique_ptr<Model> m_model;
    ScriptedMessageBoxes m_messages;
    ScriptedFileChooser m_files;
    std::unique_ptr<AppWindows> m_windows;
};

void tst_MainWindow::initTestCase() {
    // The window keeps its place in the settings: the tests keep theirs apart from the user's.
    QStandardPaths::setTestModeEnabled(true);
    QSettings("emforce", "emforce").clear();
}

void tst_MainWindow::init() {
    m_messages = {};
    m_model = std::make_unique<Model>();
    m_windows = std::make_unique<AppWindows>(*m_model, m_messages, m_files);
    main().show();
    QVERIFY(QTest::qWaitForWindowActive(&main()));
}

void tst_MainWindow::cleanup() {
    m_windows.reset();
    m_model.reset();
}

void tst_MainWindow::startupControls() {
    QCOMPARE(
        main().windowTitle(),
        QString("Electromagnetic Force / Torque calculation for linear, cylindrical and spherical "
                "motors (asynchronous - induction and synchronous PM or coiled)"));
    QCOMPARE(find<QLineEdit>("Edit1")->text(), QString("Induction motor"));
    QVERIFY(action("Induction")->isChecked());
    QVERIFY(action("updated_Workshop")->isChecked());

    const QList<QRadioButton*> geometry =
        find<QWidget>("RadioGroup2")->findChildren<QRadioButton*>();
    QCOMPARE(geometry.size(), 3);
    QCOMPARE(geometry[2]->text(), QString("spherical"));
    QVERIFY(geometry[2]->isChecked());
    const QList<QRadioButton*> domain = find<QWidget>("RadioGroup1")->findChildren<QRadioButton*>();
    QCOMPARE(domain.size(), 5);
    QCOMPARE(domain[4]->text(), QString("speed / power angle"));
    QVERIFY(domain[4]->isChecked());
    for (int slot : {0, 1, 2, 3, 4, 5, 6, 7, 11, 12})
        QCOMPARE(find<QCheckBox>(qPrintable(QString("Wykres%1").arg(slot)))->isChecked(), slot < 2);

    // The tables hold the labels and the start-up data; labels cannot be edited.
    const InputRecord start = startupRecord();
    for (int row = 0; row < kParameterRows; ++row) {
        for (int column = 0; column < 2; ++column)
            QCOMPARE(parameters()->item(row, column)->text(),
                     qt(start.parameterTable[size_t(row)][size_t(column)]));
        QVERIFY(!(parameters()->item(row, 0)->flags() & Qt::ItemIsEditable));
        QVERIFY(parameters()->item(row, 1)->flags() & Qt::ItemIsEditable);
    }
    auto* reluctivity = find<QTableWidget>("Relukt");
    QCOMPARE(reluctivity->item(0, 0)->text(), QString("layer reluctivity"));
    QCOMPARE(reluctivity->item(2, 0)->text(), QString(" ni21 / ni0"));
    QCOMPARE(reluctivity->item(0, 2)->text(), QString(" imag ()"));
    QVERIFY(!(reluctivity->item(0, 1)->flags() & Qt::ItemIsEditable));
    QVERIFY(reluctivity->item(2, 2)->flags() & Qt::ItemIsEditable);

    QCOMPARE(find<QLineEdit>("ni12d_gap")->text(), QString("0,0"));
    QCOMPARE(find<QLineEdit>("LabeledEdit3")->text(), QString("0"));
    QCOMPARE(find<QLineEdit>("LabeledEdit4")->text(), QString("50"));
    auto* points = find<QSpinBox>("CSpinEdit2");
    QCOMPARE(points->value(), 10);
    // Any count a run takes can be typed: 5000 is not cut to 500.
    QCOMPARE(points->minimum(), 1);
    QCOMPARE(points->maximum(), kMaxPointsPerCurve);
    QCOMPARE(points->singleStep(), 10);

    QCOMPARE(lines(find<QPlainTextEdit>("Memo2")),
             QStringList({"  CHOOSE ", "  MAX", "STATOR MMF ", " HARMONIC", "   ORDER", "   TAKEN ",
                          "INTO ACCOUNT"}));
    QCOMPARE(lines(find<QPlainTextEdit>("Memo1")), QStringList({"FORCE / TORQUE  ", "BALANCE"}));
    QCOMPARE(find<QLineEdit>("LE5")->text(), QString("unknown"));
    QCOMPARE(find<QLineEdit>("LabeledEdit6")->text(),
             QString("err=sum of |PS - PJoule - PAnis| / |PS|"));
    for (int i = 0; i < 3; ++i) QVERIFY(panel(i).isEmpty());
}

void tst_MainWindow::startupLists_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("selected");
    const auto texts = [](const auto& items) {
        QStringList list;
        for (std::string_view item : items) list << qt(item);
        return list;
    };
    QTest::newRow("highest harmonic") << "ComboBox1" << texts(kHighestHarmonicItems) << "1";
    QTest::newRow("integration") << "MetodyCalkowania" << texts(kIntegrationMethodItems)
                                 << "Gauss 8-nodes integr. meth.";
    QTest::newRow("Bessel accuracy") << "McDonald" << texts(kBesselAccuracyItems) << "1e-17";
    QTest::newRow("Bessel limit") << "Limit" << texts(kBesselLimitItems) << "15";
    QTest::newRow("left axis") << "CB2" << texts(kLeftAxisItems)
                               << "Electromagnetic torque  T, N·m";
    QTest::newRow("bottom axis") << "CB3" << texts(kBottomAxisItems) << "speed n, 1/s";
    QTest::newRow("left font") << "CB4" << texts(kFontSizeItems) << "14";
    QTest::newRow("bottom font") << "CB5" << texts(kFontSizeItems) << "14";
}

void tst_MainWindow::startupLists() {
    QFETCH(QString, name);
    QFETCH(QStringList, items);
    QFETCH(QString, selected);
    auto* box = find<QComboBox>(qPrintable(name));
    QStringList shown;
    for (int i = 0; i < box->count(); ++i) shown << box->itemText(i);
    QCOMPARE(shown, items);
    QCOMPARE(box->currentText(), selected);
    QVERIFY(box->isEditable());
}

void tst_MainWindow::startupChart() {
    QChart* chart = find<QChartView>("Chart1")->chart();
    const QList<QAbstractSeries*> series = chart->series();
    // The ten curves in slot order, then the full-size markers of coenergy and Poynting lines.
    QCOMPARE(series.size(), kCurveSlots + 2);
    for (int slot = 0; slot < kCurveSlots; ++slot) {
        QCOMPARE(series[slot], main().chart().series(slot));
        QCOMPARE(series[slot]->name(), qt(slotRow(slot).title));
        // Lorentz, Joule and the K accuracy are points without a line.
        auto* xy = qobject_cast<QXYSeries*>(series[slot]);
        const bool points = slot == 1 || slot == 6 || slot == 9;
        QCOMPARE(xy->pen().style() == Qt::NoPen, points);
        QCOMPARE(xy->lightMarker().isNull(), !points);
    }
    for (int marker : {kCurveSlots, kCurveSlots + 1}) {
        auto* xy = qobject_cast<QXYSeries*>(series[marker]);
        QCOMPARE(xy->pen().style(), Qt::NoPen);
        QVERIFY(!xy->lightMarker().isNull());
    }
    QCOMPARE(qobject_cast<QXYSeries*>(series[6])->color(), QColor(0, 128, 128));
    QCOMPARE(qobject_cast<QXYSeries*>(series[9])->color(), QColor(128, 128, 128));
    QVERIFY(main().chart().legendVisible());
    // The titles of the start-up sweep, as the selectors read them.
    QCOMPARE(main().chart().bottomAxis()->titleText(), QString("speed n, 1/s"));
    QCOMPARE(main().chart().leftAxis()->titleText(), QString("Electromagnetic torque  T, N·m"));
    QCOMPARE(find<QComboBox>("CB3")->currentText(), QString("speed n, 1/s"));
    QCOMPARE(main().chart().chosenTitleSize(main().chart().leftAxis()), 14);
    QCOMPARE(main().chart().leftAxis()->labelsFont().pointSize(), 12);
}

void tst_MainWindow::functionKeys() {
    // F1 to F10: six commands of their own (F8 and Ctrl+R calculate) and four menus that open.
    QList<int> keys;
    for (QAction* a : main().findChildren<QAction*>())
        for (const QKeySequence& key : a->shortcuts()) keys << key[0].toCombined();
    for (QShortcut* s : main().findChildren<QShortcut*>()) keys << s->key()[0].toCombined();
    std::sort(keys.begin(), keys.end());
    QList<int> expected = {Qt::Key_F1, Qt::Key_F2, Qt::Key_F3, Qt::Key_F4, Qt::Key_F5, Qt::Key_F6,
                           Qt::Key_F7, Qt::Key_F8, Qt::Key_F9, Qt::Key_F10,
                           (Qt::CTRL | Qt::Key_R).toCombined(),
                           // copying the chart and the results table, undo and redo in the table
                           (Qt::CTRL | Qt::Key_C).toCombined(), (Qt::CTRL | Qt::Key_C).toCombined(),
                           (Qt::CTRL | Qt::Key_Z).toCombined(), (Qt::CTRL | Qt::Key_Y).toCombined(),
                           (Qt::CTRL | Qt::SHIFT | Qt::Key_Z).toCombined()};
    std::sort(expected.begin(), expected.end());
    QCOMPARE(keys, expected);

    QTest::keyClick(&main(), Qt::Key_F2);
    QCOMPARE(find<QLineEdit>("Edit1")->text(), QString("Synchronous motor"));
    QVERIFY(!main().currentInputs().induction);
    QTest::keyClick(&main(), Qt::Key_F1);
    QCOMPARE(find<QLineEdit>("Edit1")->text(), QString("Induction motor"));

    QSignalSpy mmf(&main(), &MainWindow::mmfWindowRequested);
    QSignalSpy picture(&main(), &MainWindow::savePictureRequested);
    QTest::keyClick(&main(), Qt::Key_F5);
    QTest::keyClick(&main(), Qt::Key_F9);
    QCOMPARE(mmf.count(), 1);
    QCOMPARE(picture.count(), 1);
}

void tst_MainWindow::menusOpenOnTheirKeys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("items");
    QStringList samples;
    for (const SampleSet& set : kSampleSets) samples << qt(set.caption);
    QTest::newRow("F3") << int(Qt::Key_F3) << "Sample parameters for ...(F3)" << samples;
    QTest::newRow("F4") << int(Qt::Key_F4) << "Read/Write parameters (F4)"
                        << QStringList{"READ motor parameters from file ...",
                                       "---------------------",
                                       "WRITE motor parameters to file ...", "",
                                       "WRITE all settings (record) ...",
                                       "READ all settings (record) ...", "",
                                       "Recent parameter files", "Recent records"};
    QTest::newRow("F6") << int(Qt::Key_F6) << " Save results to file (F6)"
                        << QStringList{"Data A", "Data B", "Data C",
                                       "Data D", "",       "all shown curves (CSV) ..."};
    QTest::newRow("F7") << int(Qt::Key_F7) << "Plot results from file (F7)"
                        << QStringList{"... as serie 1 (thin line)", "... as serie 2 (points)",
                                       "... as serie 3 (bold line)"};
}

void tst_MainWindow::menusOpenOnTheirKeys() {
    QFETCH(int, key);
    QFETCH(QString, title);
    QFETCH(QStringList, items);
    QMenu* menu = nullptr;
    for (QAction* a : main().menuBar()->actions())
        if (caption(a) == title) menu = a->menu();
    QVERIFY(menu);
    QStringList captions;
    for (QAction* a : menu->actions()) captions << caption(a);
    QCOMPARE(captions, items);
    // Alt and the underlined letter open the menu too; the separator item does nothing.
    QVERIFY(menu->menuAction()->text().contains('&'));
    if (key == Qt::Key_F4) QVERIFY(menu->actions()[1]->isSeparator());

    QTest::keyClick(&main(), Qt::Key(key));
    QTRY_VERIFY(menu->isVisible());
    menu->close();
}

void tst_MainWindow::backgroundClickRunsAsTheCoreDoes() {
    const InputRecord inputs = main().currentInputs();
    clickBackground();
    QVERIFY(main().isRunning());
    QTRY_VERIFY_WITH_TIMEOUT(!main().isRunning(), 10000);

    // The same run without the window, for the texts and points the window must show.
    Model model;
    InputRecord record = inputs;
    std::ostringstream questions;
    cli::CapturingObserver expected(questions);
    QVERIFY(runCalculation(model, record, expected).complete);

    QStringList report, harmonics;
    for (const auto& line : expected.report) report << QString::fromStdString(line);
    for (const auto& line : expected.harmonics) harmonics << QString::fromStdString(line);
    QCOMPARE(lines(find<QPlainTextEdit>("Memo1")), report);
    QCOMPARE(report.size(), 14);
    QCOMPARE(lines(find<QPlainTextEdit>("Memo2")), harmonics);
    QCOMPARE(harmonics, QStringList({" h = -1     Ah = 0,0", " h = 1     Ah = 465,5"}));
    for (int slot = 0; slot < kCurveSlots; ++slot) {
        QList<QPointF> points;
        for (const auto& [x, y] : expected.series[slot]) points << QPointF(x, y);
        std::stable_sort(points.begin(), points.end(),
                         [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
        QCOMPARE(main().chart().series(slot)->points(), points);
        QCOMPARE(points.size(), slot < 2 ? 11 : 0);
    }
    QCOMPARE(find<QLineEdit>("LE5")->text(),
             QString::fromStdString(expected.fields[size_t(ResultField::OdeResidual)]));
    QCOMPARE(panel(0), QString("it has been done by now 100 % of serie no. 2"));
    QVERIFY(panel(1).startsWith("Calculation Time (including chart drawing) = "));
    QVERIFY(m_messages.errors.isEmpty());
}

void tst_MainWindow::synchronousRunAfterF2() {
    QTest::keyClick(&main(), Qt::Key_F2);
    clickBackground();
    QTRY_VERIFY_WITH_TIMEOUT(!main().isRunning(), 10000);
    QCOMPARE(find<QLineEdit>("Edit1")->text(), QString("Synchronous motor"));
    const QStringList report = lines(find<QPlainTextEdit>("Memo1"));
    QCOMPARE(report.size(), 14);
    QCOMPARE(report[7], QString("0,000000000E+000"));
    QCOMPARE(report[9], QString("0,000000000E+000"));
    QCOMPARE(find<QLineEdit>("LE5")->text(), QString("unknown"));
    QCOMPARE(main().chart().series(0)->count(), 11);
    // The load angle of pole-pair number 1 runs from -pi to pi.
    QCOMPARE(main().chart().series(0)->at(0).x(), -M_PI);
}

void tst_MainWindow::runErrorsShowTheirMessage_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("two decimal points") << 2 << "0.001.5"
                                        << "'0.001.5' is not a valid floating point value";
    QTest::newRow("pole pairs 0") << 12 << "0"
                                  << "Floating point division by zero";
}

void tst_MainWindow::runErrorsShowTheirMessage() {
    QFETCH(int, row);
    QFETCH(QString, text);
    QFETCH(QString, message);
    parameters()->item(row, 1)->setText(text);
    clickBackground();
    QTRY_VERIFY_WITH_TIMEOUT(!main().isRunning(), 10000);
    QCOMPARE(m_messages.errors, QStringList{message});
    QCOMPARE(main().chart().series(0)->count(), 0);
}

void tst_MainWindow::layerQuestion_data() {
    QTest::addColumn<bool>("answer");
    QTest::newRow("No goes on") << false;
    QTest::newRow("Yes closes") << true;
}

void tst_MainWindow::layerQuestion() {
    QFETCH(bool, answer);
    m_messages.answer = answer;
    QSignalSpy exit(&main(), &MainWindow::exitRequested);
    parameters()->item(3, 1)->setText("0,05");  // a = R in the spherical geometry
    clickBackground();
    QTRY_VERIFY_WITH_TIMEOUT(!main().isRunning(), 10000);
    QVERIFY(!m_messages.questions.isEmpty());
    QCOMPARE(m_messages.questions.first(),
             QString("It must be satisfied R > a ! Close application ?"));
    QCOMPARE(exit.count(), answer ? 1 : 0);
    // Yes ends the run in its first reading; No lets it go on to list the harmonics.
    QCOMPARE(find<QPlainTextEdit>("Memo2")->toPlainText().isEmpty(), answer);
}

void tst_MainWindow::escCancelsLongRunKeepingItsOutput() {
    // A finished run first: what it shows is what the cancelled run leaves.
    clickBackground();
    QTRY_VERIFY_WITH_TIMEOUT(!main().isRunning(), 10000);
    const QString report = find<QPlainTextEdit>("Memo1")->toPlainText();
    const QString harmonics = find<QPlainTextEdit>("Memo2")->toPlainText();
    const QList<QPointF> before = main().chart().series(0)->points();
    const QString time = panel(1);
    QCOMPARE(before.size(), 11);

    find<QComboBox>("ComboBox1")->setCurrentText("17");
    find<QComboBox>("MetodyCalkowania")->setCurrentIndex(0);
    find<QSpinBox>("CSpinEdit2")->setValue(1000);
    parameters()->item(0, 1)->setText("0,04");
    clickBackground();
    QTRY_VERIFY_WITH_TIMEOUT(panel(0).startsWith("it has been done by now"), 30000);
    QVERIFY(main().isRunning());
    QVERIFY(find<QPushButton>("CancelRun")->isVisible());

    // The window takes no input but Esc while the run is active.
    auto* curve = find<QCheckBox>("Wykres2");
    QTest::mouseClick(curve, Qt::LeftButton);
    QTest::keyClick(&main(), Qt::Key_F2);
    QVERIFY(!curve->isChecked());
    QCOMPARE(find<QLineEdit>("Edit1")->text(), QString("Induction motor"));

    QTest::keyClick(&main(), Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(!main().isRunning(), 30000);
    QCOMPARE(panel(0), QString("Calculation cancelled: the results of the run before are shown"));
    QVERIFY(m_messages.errors.isEmpty());
    QVERIFY(!find<QPushButton>("CancelRun")->isVisible());
    // Nothing of the cancelled run is left half drawn: the last results are shown again.
    QCOMPARE(find<QPlainTextEdit>("Memo1")->toPlainText(), report);
    QCOMPARE(find<QPlainTextEdit>("Memo2")->toPlainText(), harmonics);
    QCOMPARE(main().chart().series(0)->points(), before);
    QCOMPARE(panel(1), time);
    QCOMPARE(m_model->induction.curveX().size(), size_t(11));
    // The reading copied R into the x cell before the cancel; the window shows it.
    QCOMPARE(parameters()->item(0, 1)->text(), QString("0,05"));
}

void tst_MainWindow::sampleSetOverwritesExactlyItsCells_data() {
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(kSampleSets.size()); ++i)
        QTest::newRow(kSampleSets[size_t(i)].name.data()) << i;
}

void tst_MainWindow::sampleSetOverwritesExactlyItsCells() {
    QFETCH(int, index);
    for (int row = 0; row < kParameterRows; ++row) parameters()->item(row, 1)->setText("typed");
    find<QLineEdit>("ni12d_gap")->setText("0,7");
    find<QComboBox>("ComboBox1")->setCurrentText("5");
    find<QComboBox>("CB4")->setEditText("own size");
    InputRecord before = main().currentInputs();

    const SampleSet& set = kSampleSets[size_t(index)];
    QAction* item = action(set.name.data());
    item->trigger();
    QVERIFY(item->isChecked());

    InputRecord expected = before;
    applySampleSet(expected, set);
    const InputRecord& shown = main().currentInputs();
    QCOMPARE(shown.parameterTable, expected.parameterTable);
    QCOMPARE(shown.reluctivityTable, expected.reluctivityTable);
    QCOMPARE(parameters()->item(kSeparatorRow, 1)->text(), QString("typed"));
    QCOMPARE(find<QLineEdit>("ni12d_gap")->text(), QString("0,7"));
    QCOMPARE(find<QComboBox>("ComboBox1")->currentText(), QString("5"));
    QCOMPARE(find<QComboBox>("CB4")->currentText(), QString("own size"));
}

void tst_MainWindow::helpWindowIsSingleAndReadOnly() {
    HelpWindow& help = m_windows->help;
    QVERIFY(!help.isVisible());
    QTest::keyClick(&main(), Qt::Key_F10);
    QTRY_VERIFY(help.isActiveWindow());
    main().activateWindow();
    QTRY_VERIFY(main().isActiveWindow());
    QTest::keyClick(&main(), Qt::Key_F10);
    QTRY_VERIFY(help.isActiveWindow());
    const QWidgetList windows = QApplication::topLevelWidgets();
    QCOMPARE(
        std::count_if(windows.begin(), windows.end(),
                      [](QWidget* w) { return qobject_cast<HelpWindow*>(w) && w->isVisible(); }),
        1);

    QCOMPARE(help.windowTitle(), QString("Help / Description"));
    QCOMPARE(help.findChild<QLabel*>("Label1")->text(), QString("since July 2006"));
    auto* text = help.findChild<QPlainTextEdit*>("Memo1");
    // How to use the program first, then what it computes, whole.
    const QStringList shown = lines(text);
    QCOMPARE(shown.size(), qsizetype(kUsageLines.size() + 2 + kHelpLines.size()));
    QCOMPARE(shown[0], QString("USING THE PROGRAM"));
    for (const char* topic : {"Sweeps", "Curves and axes", "Exports", "Records and parameter files",
                              "Shortcuts", "   cl   clears every curve from the chart"})
        QVERIFY2(shown.contains(topic), topic);
    QCOMPARE(shown[kUsageLines.size()], qt(kTheoryHeading));
    QCOMPARE(shown.mid(kUsageLines.size() + 2).first(), qt(kHelpLines[0]));
    QCOMPARE(shown.last(), qt(kHelpLines.back()));
    QTest::keyClicks(text, "changed");
    QCOMPARE(lines(text), shown);

    help.close();  // closing only hides it; F10 shows the same window again
    main().activateWindow();
    QTRY_VERIFY(main().isActiveWindow());
    QTest::keyClick(&main(), Qt::Key_F10);
    QTRY_VERIFY(help.isVisible());
}

// The selectors show at the first activation, and not again at every later one.
void tst_MainWindow::firstActivationShowsAxisSelectors() {
    auto* selector = find<QComboBox>("CB2");
    QVERIFY(selector->isVisible());
    find<QPushButton>("Button6")->click();
    QVERIFY(!selector->isVisible());
    m_windows->help.showAndRaise();
    QTRY_VERIFY(m_windows->help.isActiveWindow());
    main().activateWindow();
    QTRY_VERIFY(main().isActiveWindow());
    QVERIFY(!selector->isVisible());
    find<QToolButton>("Button5")->click();
    QVERIFY(selector->isVisible());
}

void tst_MainWindow::tabMovesBetweenValueCells() {
    parameters()->setFocus();
    parameters()->setCurrentCell(0, 1);
    QTest::keyClick(parameters(), Qt::Key_Tab);
    QCOMPARE(parameters()->currentRow(), 1);
    QCOMPARE(parameters()->currentColumn(), 1);
}

void tst_MainWindow::calculateCommands_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("F8") << "F8";
    QTest::newRow("Ctrl+R") << "Ctrl+R";
    QTest::newRow("menu item") << "menu";
    QTest::newRow("button") << "button";
}

void tst_MainWindow::calculateCommands() {
    QFETCH(QString, how);
    QAction* calculate = action("Calculate");
    QVERIFY(calculate->parent() == main().menuBar());
    QCOMPARE(caption(calculate), QString("Calculate (F8)"));
    QSignalSpy finished(&main(), &MainWindow::runFinished);
    if (how == "F8")
        QTest::keyClick(&main(), Qt::Key_F8);
    else if (how == "Ctrl+R")
        QTest::keyClick(&main(), Qt::Key_R, Qt::ControlModifier);
    else if (how == "menu")
        calculate->trigger();
    else
        QTest::mouseClick(find<QPushButton>("CalculateButton"), Qt::LeftButton);
    QVERIFY(main().isRunning());
    QVERIFY(!calculate->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 10000);
    QCOMPARE(main().chart().series(0)->count(), 11);
    QVERIFY(calculate->isEnabled());
}

void tst_MainWindow::onlyTheBackgroundStartsARun() {
    const auto clickOn = [](QWidget* widget, QPoint at) {
        QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    };
    clickOn(find<QLabel>("StatusPanel2"), {4, 4});
    clickOn(find<QGroupBox>("GroupBox1"), {6, 6});  // the group's title
    for (QLabel* label : find<QWidget>("RightArea")->findChildren<QLabel*>())
        if (label->text() == "Points per curve = ") clickOn(label, {4, 4});
    QVERIFY(!main().isRunning());
    clickBackground();
    QVERIFY(main().isRunning());
    QTRY_VERIFY_WITH_TIMEOUT(!main().isRunning(), 10000);
}

void tst_MainWindow::refusedRunKeepsWhatIsShownAndPointsAtTheInput_data() {
    QTest::addColumn<QString>("control");  // table:row:column, or an object name
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("status");
    QTest::newRow("cell that does not convert") << "DaneS:8:1"
                                                << "5,0e6x"
                                                << "'5,0e6x' is not a valid floating point value"
                                                << "Run refused: layer gamma [S/m]";
    QTest::newRow("impossible gap width")
        << "DaneS:2:1"
        << "-0,001"
        << "Impossible input: gap width g [m] = -0,001 (the gap width must be greater than 0)"
        << "Run refused: gap width g [m]";
    QTest::newRow("spherical bounds the wrong way")
        << "DaneS:21:1"
        << "0,5"
        << "Impossible input: teta2 (spherical) [rad] = 0,5 with teta1 (spherical) [rad] = 0,7854 "
           "(teta2 must be greater than teta1)"
        << "Run refused: teta2 (spherical) [rad]";
    QTest::newRow("reluctivity cell") << "Relukt:2:2"
                                      << "i"
                                      << "'i' is not a valid floating point value"
                                      << "Run refused: ni21 / ni0 imag ()";
    QTest::newRow("gap edit") << "ni21d_gap"
                              << "x"
                              << "'x' is not a valid floating point value"
                              << "Run refused: ni21d / ni0 of gap";
    QTest::newRow("list on the second page") << "MetodyCalkowania"
                                             << "Gauss 9"
                                             << "'Gauss 9' is not an integration method of the list"
                                             << "Run refused: Intergration method ...";
}

// A run whose inputs do not read starts nothing: the last run's report, harmonics, chart and
// status stay, the status bar names the input, and the cursor is on it with its text selected.
void tst_MainWindow::refusedRunKeepsWhatIsShownAndPointsAtTheInput() {
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(QString, message);
    QFETCH(QString, status);
    clickBackground();
    QTRY_VERIFY_WITH_TIMEOUT(!main().isRunning(), 10000);
    const QString report = find<QPlainTextEdit>("Memo1")->toPlainText();
    const QString harmonics = find<QPlainTextEdit>("Memo2")->toPlainText();
    const QList<QPointF> curve = main().chart().series(0)->points();

    const QStringList parts = control.split(':');
    QWidget* focused = nullptr;
    if (parts.size() == 3) {
        auto* table = find<QTableWidget>(qPrintable(parts[0]));
        table->item(parts[1].toInt(), parts[2].toInt())->setText(text);
        focused = table;
    } else if (auto* list = main().findChild<QComboBox*>(control)) {
        list->setEditText(text);
        focused = list;
    } else {
        find<QLineEdit>(qPrintable(control))->setText(text);
        focused = find<QLineEdit>(qPrintable(control));
    }
    clickBackground();
    QVERIFY(!main().isRunning());
    QCOMPARE(m_messages.errors, QStringList{message});
    QCOMPARE(find<QPlainTextEdit>("Memo1")->toPlainText(), report);
    QCOMPARE(find<QPlainTextEdit>("Memo2")->toPlainText(), harmonics);
    QCOMPARE(main().chart().series(0)->points(), curve);
    QCOMPARE(panel(0), status);
    QVERIFY(panel(1).isEmpty());  // neither the last run's time nor a start time

    QTRY_VERIFY(focused->hasFocus() || focused->isAncestorOf(QApplication::focusWidget()));
    if (auto* table = qobject_cast<QTableWidget*>(focused)) {
        QCOMPARE(table->currentRow(), parts[1].toInt());
        QCOMPARE(table->currentColumn(), parts[2].toInt());
        QVERIFY(table->currentItem()->isSelected());
    } else {
        auto* edit = qobject_cast<QLineEdit*>(focused);
        if (!edit) edit = qobject_cast<QComboBox*>(focused)->lineEdit();
        QCOMPARE(edit->selectedText(), text);
    }
    QVERIFY(focused->isVisible());  // its notebook page is the one shown
}

// Monte Carlo in the sphere samples up to 10^8 times per harmonic in one point: a cancel acts
// inside the point. The time it takes is printed, not asserted (the machine's load decides).
void tst_MainWindow::cancelInsideALongPoint() {
    find<QComboBox>("ComboBox1")->setCurrentText("17");
    find<QComboBox>("MetodyCalkowania")->setCurrentText("Monte Carlo method");
    clickBackground();
    QTRY_VERIFY_WITH_TIMEOUT(panel(1).startsWith("Start Time"), 10000);
    QVERIFY(main().isRunning());
    QElapsedTimer sinceCancel;
    sinceCancel.start();
    find<QPushButton>("CancelRun")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!main().isRunning(), 10000);
    qInfo("cancelled inside a Monte Carlo point: the run ended %lld ms after the click",
          static_cast<long long>(sinceCancel.elapsed()));
    QVERIFY(panel(0).startsWith("Calculation cancelled"));
    QVERIFY(m_messages.errors.isEmpty());
    QVERIFY(!find<QProgressBar>("RunProgress")->isVisible());
}

void tst_MainWindow::progressNamesTheCurveAndItsPoints() {
    find<QComboBox>("ComboBox1")->setCurrentText("17");
    find<QComboBox>("MetodyCalkowania")->setCurrentIndex(0);
    find<QSpinBox>("CSpinEdit2")->setValue(1000);
    auto* progress = find<QProgressBar>("RunProgress");
    QVERIFY(!progress->isVisible());
    clickBackground();
    QVERIFY(progress->isVisible());
    const QRegularExpression shown(
        R"(^curve 1 of 2: \d+ % \(\d+ of 1001 points\)  \d\d:\d\d:\d\d,\d$)");
    QTRY_VERIFY_WITH_TIMEOUT(shown.match(progress->format()).hasMatch(), 30000);
    find<QPushButton>("CancelRun")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!main().isRunning(), 30000);
    QVERIFY(!progress->isVisible());
}

void tst_MainWindow::fitsSmallScreensAndRemembersItsPlace() {
    // Room for a window frame within 1280 x 720.
    const QSize least = main().minimumSizeHint().expandedTo(main().minimumSize());
    QVERIFY2(least.width() <= 1264 && least.height() <= 680,
             qPrintable(QString("%1 x %2").arg(least.width()).arg(least.height())));
    main().resize(1264, 680);
    QTRY_COMPARE(main().size(), QSize(1264, 680));
    QVERIFY(main().chart().view()->height() > 200);
    QVERIFY(main().chart().view()->width() > 500);
    QVERIFY(main().menuBar()->sizeHint().width() <= 1289);

    main().resize(1100, 650);
    main().close();
    AppWindows again(*m_model, m_messages, m_files);
    again.main.restorePlacement();
    QCOMPARE(again.main.size(), QSize(1100, 650));
}

void tst_MainWindow::tabSkipsReadOnlyFields() {
    for (const char* name : {"Edit1", "LE5", "LabeledEdit1", "Edit2", "Memo1", "Memo2"})
        QVERIFY2(!(find<QWidget>(name)->focusPolicy() & Qt::TabFocus), name);
    auto* harmonic = find<QComboBox>("ComboBox1");
    harmonic->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), find<QWidget>("Wykres0"));
    // The whole chain: every widget that Tab reaches, from the geometry selector on.
    QWidget* start = find<QWidget>("RadioGroup2")->findChildren<QRadioButton*>().first();
    QList<QWidget*> chain;
    for (QWidget* w = start->nextInFocusChain(); w != start && chain.size() < 500;
         w = w->nextInFocusChain())
        if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) chain << w;
    for (QWidget* w : chain) {
        const auto* edit = qobject_cast<const QLineEdit*>(w);
        QVERIFY2(!edit || !edit->isReadOnly() || qobject_cast<QComboBox*>(w->parentWidget()),
                 qPrintable(w->objectName()));
    }
    const qsizetype curves = chain.indexOf(find<QWidget>("Wykres7"));
    const qsizetype table = chain.indexOf(parameters());
    const qsizetype points = chain.indexOf(find<QWidget>("CSpinEdit2"));
    QVERIFY(curves >= 0 && curves < table && table < points);
}

void tst_MainWindow::errorFieldsShowTheirTextsWhole() {
    clickBackground();
    QTRY_VERIFY_WITH_TIMEOUT(!main().isRunning(), 10000);
    find<QTabWidget>("PageControl1")->setCurrentIndex(1);
    for (const char* name : {"LabeledEdit1", "LabeledEdit2", "LabeledEdit7", "LabeledEdit5"}) {
        auto* field = find<QLineEdit>(name);
        QVERIFY(field->text().startsWith("undefined: check the curves"));
        QTRY_VERIFY2(
            field->fontMetrics().horizontalAdvance(field->text()) < field->contentsRect().width(),
            name);
        QCOMPARE(field->toolTip(), field->text());
    }
}

void tst_MainWindow::choiceSelectorsAreBound_data() {
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("hint");
    QTest::newRow("Bessel functions") << "BesselFunctions" << 0 << "accurate" << "series" << "series";
    QTest::newRow("formulation") << "Formulation" << 1 << "physical" << "legacy" << "legacy";
}

void tst_MainWindow::choiceSelectorsAreBound() {
    QFETCH(QString, objectName);
    QFETCH(int, field);
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, hint);
    std::string InputRecord::*member =
        field == 0 ? &InputRecord::besselFunctions : &InputRecord::formulation;
    auto* box = find<QComboBox>(objectName.toUtf8().constData());
    QCOMPARE(box->currentText(), first);
    QCOMPARE(box->count(), 2);
    QVERIFY(!box->isEditable());
    QVERIFY(box->toolTip().contains(hint));
    InputRecord record = main().currentInputs();
    QCOMPARE(record.*member, first.toStdString());
    record.*member = second.toStdString();
    main().setInputs(record);
    QCOMPARE(box->currentText(), second);
    box->setCurrentIndex(0);
    QCOMPARE(main().currentInputs().*member, first.toStdString());
}

void tst_MainWindow::titlesFollowTheLoadAngleSweep() {
    QTest::keyClick(&main(), Qt::Key_F2);
    find<QWidget>("RadioGroup2")->findChildren<QRadioButton*>()[1]->click();  // cylindrical
    clickBackground();
    QTRY_VERIFY_WITH_TIMEOUT(!main().isRunning(), 10000);
    QCOMPARE(main().chart().bottomAxis()->titleText(), QString("load angle  alfa, rad"));
    QCOMPARE(main().chart().leftAxis()->titleText(),
             QString::fromUtf8("Electromagnetic torque  T, N·m"));
    // The selectors read what the chart shows.
    QCOMPARE(find<QComboBox>("CB3")->currentText(), QString("load angle  alfa, rad"));
    QCOMPARE(find<QComboBox>("CB2")->currentText(),
             QString::fromUtf8("Electromagnetic torque  T, N·m"));
    QCOMPARE(find<QLabel>("SweepVariable")->text(), QString("sweep: <b>load angle  alfa, rad</b>"));
}

void tst_MainWindow::sweepRowFollowsTheVariable_data() {
    QTest::addColumn<int>("domain");
    QTest::addColumn<bool>("induction");
    QTest::addColumn<QString>("variable");
    QTest::addColumn<QString>("from");  // the text, or greyed the automatic end
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("rule");
    // The start-up record: R 0,05, g 0,001, a 0,005, z (teta) 1,0, kp 1, speeds 0 to 50.
    QTest::newRow("radius") << 0 << true << "radius  r, m"
                            << "0,05"
                            << "0,051"
                            << "R … R + g";
    QTest::newRow("gap") << 1 << true << "the gap width  g, m"
                         << "0,001"
                         << "0,002" << QString::fromUtf8("g … 2·g");
    QTest::newRow("layer") << 2 << true << "layer width  a, m"
                           << "0,005"
                           << "0,0495" << QString::fromUtf8("a … 0,99·R");
    QTest::newRow("polar angle") << 3 << true << "polar angle  teta, rad"
                                 << "0,1"
                                 << "1,1" << QString::fromUtf8("0,1·teta … 1,1·teta");
    QTest::newRow("speed") << 4 << true << "speed n, 1/s"
                           << "0"
                           << "50" << QString();
    QTest::newRow("load angle") << 4 << false << "load angle  fi, rad"
                                << "-3,14159"
                                << "3,14159" << QString::fromUtf8("−π/kp … π/kp");
}

void tst_MainWindow::sweepRowFollowsTheVariable() {
    QFETCH(int, domain);
    QFETCH(bool, induction);
    QFETCH(QString, variable);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, rule);
    if (!induction) QTest::keyClick(&main(), Qt::Key_F2);
    find<QWidget>("RadioGroup1")->findChildren<QRadioButton*>()[domain]->click();
    QCOMPARE(find<QLabel>("SweepVariable")->text(), "sweep: <b>" + variable + "</b>");
    auto* fromEdit = find<QLineEdit>("LabeledEdit3");
    auto* toEdit = find<QLineEdit>("LabeledEdit4");
    const bool speed = rule.isEmpty();
    QCOMPARE(fromEdit->text(), speed ? from : QString());
    QCOMPARE(toEdit->text(), speed ? to : QString());
    QCOMPARE(fromEdit->placeholderText(), speed ? QString() : from);
    QCOMPARE(toEdit->placeholderText(), speed ? QString() : to);
    QCOMPARE(find<QLabel>("SweepRule")->isVisibleTo(&main()), !speed);
    if (!speed) QCOMPARE(find<QLabel>("SweepRule")->text(), "empty: " + rule);
    // "Points per curve" sits in the same row, in sight at any window size.
    QVERIFY(find<QWidget>("SweepPanel")->isAncestorOf(find<QSpinBox>("CSpinEdit2")));
}

// A range typed for one variable is the one the run takes, kept apart from the speed's, in the
// record too; an impossible one is refused naming its field.
void tst_MainWindow::chosenRangeIsRunAndKept() {
    const QList<QRadioButton*> domains =
        find<QWidget>("RadioGroup1")->findChildren<QRadioButton*>();
    auto* fromEdit = find<QLineEdit>("LabeledEdit3");
    auto* toEdit = find<QLineEdit>("LabeledEdit4");
    domains[1]->click();
    fromEdit->setText("0,002");
    toEdit->setText("0,003");
    domains[4]->click();
    QCOMPARE(fromEdit->text(), QString("0"));
    QCOMPARE(toEdit->text(), QString("50"));
    domains[1]->click();
    QCOMPARE(fromEdit->text(), QString("0,002"));
    const InputRecord record = main().currentInputs();
    QCOMPARE(record.sweepRanges[1], (std::array<std::string, 2>{"0,002", "0,003"}));
    QCOMPARE(record.minSpeed, std::string("0"));
    QCOMPARE(recordFromText(recordText(record), "t.json").sweepRanges[1], record.sweepRanges[1]);

    clickBackground();
    QTRY_VERIFY_WITH_TIMEOUT(!main().isRunning(), 10000);
    const QList<QPointF> points = main().chart().series(0)->points();
    QCOMPARE(points.size(), 11);
    QCOMPARE(points.first().x(), 0.002);
    QCOMPARE(points.last().x(), 0.003);

    fromEdit->setText("0");
    clickBackground();
    QVERIFY(!main().isRunning());
    QCOMPARE(
        m_messages.errors,
        QStringList{"Impossible input: sweep From = 0 (the gap width must be greater than 0)"});
    QCOMPARE(panel(0), QString("Run refused: sweep From"));
    QCOMPARE(QApplication::focusWidget(), fromEdit);
    QCOMPARE(main().chart().series(0)->points(), points);
}

// The set writes its cells only; the window then offers, without a message box, the motor and
// geometry its caption names.
void tst_MainWindow::sampleSetOffersItsMotorAndGeometry() {
    action("Silnik_Synchroniczny_Cylindryczny")->trigger();
    QVERIFY(main().currentInputs().induction);
    QCOMPARE(main().sampleHint(), QString("Set for synchronous, cylindrical:"));
    auto* offer = find<QPushButton>("SampleSwitch");
    QCOMPARE(offer->text(), QString("Switch to synchronous, cylindrical"));
    QVERIFY(m_messages.errors.isEmpty() && m_messages.informations.isEmpty());
    offer->click();
    const InputRecord switched = main().currentInputs();
    QVERIFY(!switched.induction);
    QCOMPARE(switched.geometry, Geometry::Cylindrical);
    QCOMPARE(find<QLineEdit>("Edit1")->text(), QString("Synchronous motor"));
    QVERIFY(main().sampleHint().isEmpty());
    clickBackground();
    QTRY_VERIFY_WITH_TIMEOUT(!main().isRunning(), 10000);
    QVERIFY(m_messages.errors.isEmpty());
    // A set that names what is chosen already offers nothing.
    action("Silnik_Synchroniczny_Cylindryczny")->trigger();
    QVERIFY(main().sampleHint().isEmpty());
    action("data1")->trigger();
    QVERIFY(main().sampleHint().isEmpty());
}

void tst_MainWindow::resultsTableCopiesAsText() {
    clickBackground();
    QTRY_VERIFY_WITH_TIMEOUT(!main().isRunning(), 10000);
    auto* notebook = find<QTabWidget>("PageControl1");
    notebook->setCurrentIndex(2);
    QCOMPARE(notebook->tabText(2), QString("Results table"));
    auto* table = find<QTableWidget>("ResultsTable");
    QCOMPARE(table->rowCount(), 11);
    QCOMPARE(table->horizontalHeaderItem(1)->text(), QString::fromUtf8("F/T Maxwell, N·m"));
    find<QPushButton>("CopyResults")->click();
    const QStringList copied = QApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(copied.size(), 12);
    QCOMPARE(copied[0], QString::fromUtf8("speed n, 1/s	F/T Maxwell, N·m	F/T Lorentz, N·m"));
    const QList<QPointF> maxwell = main().chart().series(0)->points();
    QCOMPARE(copied[1].split('	')[0], QString("0"));
    QCOMPARE(copied[1].split('	')[1].replace(',', '.').toDouble(), maxwell[0].y());
    QVERIFY(main().statusBar()->currentMessage().startsWith("Results table copied: 11 rows"));
}

void tst_MainWindow::reportShowsWholeLines() {
    main().resize(1264, 680);
    QTRY_COMPARE(main().size(), QSize(1264, 680));
    clickBackground();
    QTRY_VERIFY_WITH_TIMEOUT(!main().isRunning(), 10000);
    // The report is in sight whole, across: no line is cut, long ones wrap, numbers never.
    auto* report = find<QPlainTextEdit>("Memo1");
    QCOMPARE(find<QScrollArea>("TopArea")->horizontalScrollBar()->maximum(), 0);
    QCOMPARE(report->horizontalScrollBar()->maximum(), 0);
    const int room = report->viewport()->width() - 2 * int(report->document()->documentMargin());
    for (const QString& line : lines(report))
        if (line.contains(QRegularExpression("^-?\\d,\\d+E[-+]\\d+$")))
            QVERIFY2(report->fontMetrics().horizontalAdvance(line) <= room, qPrintable(line));
}

void tst_MainWindow::escClosesHelp() {
    HelpWindow& help = m_windows->help;
    QTest::keyClick(&main(), Qt::Key_F10);
    QTRY_VERIFY(help.isActiveWindow());
    // Within the screen, title bar and all.
    QVERIFY(help.screen()->availableGeometry().contains(help.frameGeometry()));
    QTest::keyClick(help.findChild<QPlainTextEdit*>("Memo1"), Qt::Key_Escape);
    QVERIFY(!help.isVisible());
}

void tst_MainWindow::tableEditsUndoAndRedo() {
    QTableWidget* table = parameters();
    table->setFocus();
    table->item(2, 1)->setText("0,002");
    table->item(3, 1)->setText("0,01");
    QTest::keyClick(table, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(table->item(3, 1)->text(), QString("0,005"));
    QTest::keyClick(table, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(table->item(2, 1)->text(), QString("0,001"));
    QCOMPARE(main().currentInputs().value(2), std::string("0,001"));
    QTest::keyClick(table, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(table->item(2, 1)->text(), QString("0,002"));
    // New inputs (a sample set, a file) start the list anew: nothing undoes into them.
    action("data1")->trigger();
    const QString set = table->item(2, 1)->text();
    QTest::keyClick(table, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(table->item(2, 1)->text(), set);
}

void tst_MainWindow::everyInputMarksTheTitle_data() {
    QTest::addColumn<QString>("control");  // an object name, or the caption of a menu command
    QTest::addColumn<QString>("how");
    QTest::newRow("reluctivity cell") << "Relukt" << "cell";
    QTest::newRow("gap ni12d") << "ni12d_gap" << "type";
    QTest::newRow("sweep To") << "LabeledEdit4" << "type";
    QTest::newRow("points per curve") << "CSpinEdit2" << "step";
    QTest::newRow("integration method") << "MetodyCalkowania" << "choose";
    QTest::newRow("formulation") << "Formulation" << "choose";
    QTest::newRow("highest harmonic") << "ComboBox1" << "choose";
    QTest::newRow("left axis title") << "CB2" << "choose";
    QTest::newRow("geometry") << "RadioGroup2" << "radio";
    QTest::newRow("swept variable") << "RadioGroup1" << "radio";
    QTest::newRow("curve box") << "Wykres3" << "check";
    QTest::newRow("accuracy box") << "Wykres12" << "check";
    QTest::newRow("motor kind") << "Synchronous" << "action";
    QTest::newRow("winding pattern") << "RG" << "mmf radio";
    QTest::newRow("no stack") << "NoStack" << "check";
}

void tst_MainWindow::everyInputMarksTheTitle() {
    QFETCH(QString, control);
    QFETCH(QString, how);
    main().setDocument("motor.txt");
    QVERIFY(!main().isWindowModified());
    const QByteArray name = control.toUtf8();
    if (how == "cell") {
        find<QTableWidget>(name)->item(1, 1)->setText("0,5");
    } else if (how == "type") {
        auto* edit = find<QLineEdit>(name);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_End);
        QTest::keyClicks(edit, "1");
    } else if (how == "step") {
        find<QSpinBox>(name)->stepUp();
    } else if (how == "choose") {
        auto* box = find<QComboBox>(name);
        box->setCurrentIndex((box->currentIndex() + 1) % box->count());
    } else if (how == "radio" || how == "mmf radio") {
        QWidget& window = how == "radio" ? static_cast<QWidget&>(main()) : m_windows->mmf;
        auto* group = window.findChild<QWidget*>(name);
        QVERIFY(group);
        for (QRadioButton* radio : group->findChildren<QRadioButton*>())
            if (!radio->isChecked()) {
                radio->click();
                break;
            }
    } else if (how == "check") {
        find<QCheckBox>(name)->click();
    } else {
        action(name.constData())->trigger();
    }
    QVERIFY(main().isWindowModified());
    QVERIFY(main().windowTitle().endsWith("motor.txt[*]"));
}

void tst_MainWindow::powerStatisticHasOneCaption() {
    // The statistic in two notations is one statistic: its caption is shown once.
    int captions = 0;
    for (const QLabel* label : main().findChildren<QLabel*>())
        if (label->text().startsWith("Average error for Power curves")) ++captions;
    QCOMPARE(captions, 1);
    find<QTabWidget>("PageControl1")->setCurrentIndex(1);
    auto* fixed = find<QLineEdit>("LabeledEdit5");
    auto* exponent = find<QLineEdit>("LabeledEdit6");
    QTRY_VERIFY(fixed->isVisible() && exponent->isVisible());
    QCOMPARE(fixed->y(), exponent->y());
    QVERIFY(fixed->x() < exponent->x());
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
