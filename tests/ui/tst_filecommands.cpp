// Tests of the main window's file commands: parameter file, result data files and pictures.
#include <QAction>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QValueAxis>
#include <QXYSeries>
#include <QXmlStreamReader>
#include <QtTest>
#include <cmath>

#include "files/run_record.hpp"
#include "model/number_format.hpp"
#include "scripted_dialogs.hpp"
#include "ui/app_windows.hpp"
#include "ui/chart_panel.hpp"

using namespace emforce;

namespace {

QString qt(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A record unlike the start-up one in every field the parameter file holds, its numbers
// already in the form a reading gives them back.
InputRecord changedRecord() {
    InputRecord r = startupRecord();
    for (int row = 0; row < kParameterRows; ++row)
        r.value(row) = row == kSeparatorRow ? "0" : formatGeneral(0.25 * (row + 1));
    r.reluctivityTable[1][1] = "2";
    r.reluctivityTable[1][2] = "0,5";
    r.reluctivityTable[2][1] = "1,5";
    r.reluctivityTable[2][2] = "-0,5";
    r.ni12dGap = "0,3";
    r.ni21dGap = "0,4";
    r.minSpeed = "5";
    r.maxSpeed = "60";
    r.pointsPerCurve = "40";
    r.highestHarmonic = "7";
    r.geometry = Geometry::Cylindrical;
    r.induction = false;
    r.windingPattern = 9;
    r.domain = 2;
    // The file holds the first eight curve boxes; the two accuracy boxes stay as they are.
    r.curves = {false, true, true, false, true, false, true, true, false, false};
    // Titles of a layer-width sweep of the cylinder: they name what its curves show.
    r.axisDescriptions = {1, 8, 6, 7};
    return r;
}

void compareFileFields(const InputRecord& shown, const InputRecord& expected) {
    QCOMPARE(shown.parameterTable, expected.parameterTable);
    QCOMPARE(shown.reluctivityTable, expected.reluctivityTable);
    QCOMPARE(shown.ni12dGap, expected.ni12dGap);
    QCOMPARE(shown.ni21dGap, expected.ni21dGap);
    QCOMPARE(shown.minSpeed, expected.minSpeed);
    QCOMPARE(shown.maxSpeed, expected.maxSpeed);
    QCOMPARE(shown.pointsPerCurve, expected.pointsPerCurve);
    QCOMPARE(shown.highestHarmonic, expected.highestHarmonic);
    QCOMPARE(shown.geometry, expected.geometry);
    QCOMPARE(shown.induction, expected.induction);
    QCOMPARE(shown.windingPattern, expected.windingPattern);
    QCOMPARE(shown.domain, expected.domain);
    QCOMPARE(shown.curves, expected.curves);
    QCOMPARE(shown.axisDescriptions, expected.axisDescriptions);
}

bool sameToSixDigits(double a, double b) {
    return std::abs(a - b) <= 5e-6 * std::max(std::abs(a), std::abs(b));
}

}  // namespace

class tst_FileCommands : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void parameterFileRoundTrip();
    void parameterReadingStops_data();
    void parameterReadingStops();
    void parameterFileThatCannotBeCreated();
    void recordRoundTrip();
    void recordReadingRefused_data();
    void recordReadingRefused();
    void savedCurvePlotsBack();
    void plotTakesLinesByPosition_data();
    void plotTakesLinesByPosition();
    void dataFileThatCannotBeCreated();
    void picture_data();
    void picture();
    void pictureFailures_data();
    void pictureFailures();
    void curvesAsCsvWithNamesAndUnits();
    void recordNeverRelabelsOtherCurves();
    void recentFiles_data();
    void recentFiles();
    void recentListIsBoundedNewestFirst();

private:
    MainWindow& main() { return m_windows->main; }
    ChartPanel& chart() { return main().chart(); }
    void command(const QString& caption) {
        for (QAction* a : main().findChildren<QAction*>())
            if (QString(a->text()).remove('&') == caption) return a->trigger();
        qFatal("no command %s", qPrintable(caption));
    }
    QString panel2() { return main().findChild<QLabel*>("StatusPanel2")->text(); }
    QString path(const QString& name) const { return m_dir->filePath(name); }
    void writeFile(const QString& name, const QByteArray& content) {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_startDir;
    std::unique_ptr<Model> m_model;
    ScriptedMessageBoxes m_messages;
    ScriptedFileChooser m_files;
    std::unique_ptr<AppWindows> m_windows;
};

void tst_FileCommands::initTestCase() {
    // The recent files are kept in the settings: the tests keep theirs apart from the user's.
    QStandardPaths::setTestModeEnabled(true);
}

void tst_FileCommands::init() {
    QSettings("emforce", "emforce").clear();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_startDir = QDir::currentPath();
    QDir::setCurrent(m_dir->path());  // where "Data A" .. "Data D" write
    m_messages = {};
    m_files = {};
    m_model = std::make_unique<Model>();
    m_windows = std::make_unique<AppWindows>(*m_model, m_messages, m_files);
    main().show();
    QVERIFY(QTest::qWaitForWindowActive(&main()));
}

void tst_FileCommands::cleanup() {
    m_windows.reset();
    m_model.reset();
    QDir::setCurrent(m_startDir);
    m_dir.reset();
}

void tst_FileCommands::parameterFileRoundTrip() {
    const InputRecord written = changedRecord();
    main().setInputs(written);
    m_files.fileName = path("motor.txt");
    command("WRITE motor parameters to file ...");
    QCOMPARE(m_files.filters, QStringList{"*.txt"});
    QCOMPARE(m_files.defaultSuffixes, QStringList{"txt"});
    QVERIFY(panel2().isEmpty());

    main().setInputs(startupRecord());
    command("READ motor parameters from file ...");
    QVERIFY(m_messages.errors.isEmpty());
    compareFileFields(main().currentInputs(), written);
    QCOMPARE(panel2(), path("motor.txt"));
    QCOMPARE(chart().leftAxis()->titleText(), qt(kLeftAxisItems[1]));
    QCOMPARE(chart().bottomAxis()->titleText(), qt(kBottomAxisItems[8]));
}

void tst_FileCommands::recordRoundTrip() {
    InputRecord written = changedRecord();
    written.curves[9] = true;
    written.integrationMethod = kIntegrationMethodItems[6];
    written.besselAccuracy = "1e-9";
    written.besselLimit = "40";
    written.besselFunctions = kBesselFunctionItems[1];
    main().setInputs(written);
    m_files.fileName = path("run.json");
    command("WRITE all settings (record) ...");
    QCOMPARE(m_files.filters, QStringList{"*.json"});
    QCOMPARE(m_files.defaultSuffixes, QStringList{"json"});

    main().setInputs(startupRecord());
    command("READ all settings (record) ...");
    QVERIFY(m_messages.errors.isEmpty());
    QVERIFY(main().currentInputs() == written);
    QCOMPARE(panel2(), path("run.json"));
    QCOMPARE(chart().leftAxis()->titleText(), qt(kLeftAxisItems[1]));
    QCOMPARE(chart().bottomAxis()->titleText(), qt(kBottomAxisItems[8]));
}

void tst_FileCommands::recordReadingRefused_data() {
    QTest::addColumn<QString>("file");  // empty: the dialog is cancelled
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("error");
    QTest::newRow("cancelled") << QString() << QByteArray() << QString();
    QTest::newRow("missing file") << "missing.json" << QByteArray() << "Cannot open file %1";
    QTest::newRow("unknown key") << "bad.json"
                                 << QByteArray("{\"format\": \"emforce-record\", \"version\": 1, \"x\": 0}")
                                 << "Record file %1: unknown key 'x'";
}

void tst_FileCommands::recordReadingRefused() {
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QString, error);
    if (!content.isEmpty()) writeFile(file, content);
    const InputRecord start = main().currentInputs();
    m_files.fileName = file.isEmpty() ? QString() : path(file);
    command("READ all settings (record) ...");
    QCOMPARE(m_messages.errors, error.isEmpty() ? QStringList{} : QStringList{error.arg(path(file))});
    QVERIFY(main().currentInputs() == start);
    QVERIFY(panel2().isEmpty());
}

void tst_FileCommands::parameterReadingStops_data() {
    QTest::addColumn<QString>("file");   // empty: the dialog is cancelled
    QTest::addColumn<int>("keptLines");  // lines of a written file that stay; -1 no file
    QTest::addColumn<QString>("error");
    QTest::newRow("cancelled") << QString() << -1 << QString();
    QTest::newRow("missing file") << "missing.txt" << -1 << "Cannot open file %1";
    QTest::newRow("cut after line 60")
        << "cut.txt" << 60 << "Line 62 of file %1: '' is not a valid integer value";
}

void tst_FileCommands::parameterReadingStops() {
    QFETCH(QString, file);
    QFETCH(int, keptLines);
    QFETCH(QString, error);
    const InputRecord start = main().currentInputs();
    if (keptLines >= 0) {
        main().setInputs(changedRecord());
        m_files.fileName = path(file);
        command("WRITE motor parameters to file ...");
        QFile written(path(file));
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = written.readAll().split('\n');
        written.close();
        writeFile(file, lines.mid(0, keptLines).join('\n') + '\n');
        main().setInputs(start);
    }
    m_files.fileName = file.isEmpty() ? QString() : path(file);
    command("READ motor parameters from file ...");
    QCOMPARE(m_messages.errors,
             error.isEmpty() ? QStringList{} : QStringList{error.arg(path(file))});
    QVERIFY(panel2().isEmpty());  // a file name shows only once the file was read to its end

    // Lines 1 to 60 reach the highest harmonic; the winding pattern of line 62 does not.
    InputRecord expected = start;
    if (keptLines == 60) {
        const InputRecord changed = changedRecord();
        expected.parameterTable = changed.parameterTable;
        expected.reluctivityTable = changed.reluctivityTable;
        expected.ni12dGap = changed.ni12dGap;
        expected.ni21dGap = changed.ni21dGap;
        expected.induction = changed.induction;
        expected.geometry = changed.geometry;
        expected.highestHarmonic = changed.highestHarmonic;
    }
    compareFileFields(main().currentInputs(), expected);
}

void tst_FileCommands::parameterFileThatCannotBeCreated() {
    m_files.fileName = path("no/such/dir/motor.txt");
    command("WRITE motor parameters to file ...");
    QCOMPARE(m_messages.errors, QStringList{"Cannot create file " + m_files.fileName});
}

void tst_FileCommands::savedCurvePlotsBack() {
    // Before any induction run the saved curve is empty.
    m_files.fileName = path("Data_B.txt");
    command("Data B");
    QCOMPARE(m_files.initialNames.last(), QString("Data_B.txt"));
    QCOMPARE(m_files.filters.last(), QString("*.txt"));
    QVERIFY(QFile::exists("Data_B.txt"));
    QCOMPARE(QFileInfo("Data_B.txt").size(), 0);
    QCOMPARE(main().statusBar()->currentMessage(),
             "Data B: 0 points (no induction curve has been calculated yet) written to " +
                 path("Data_B.txt"));

    main().startRun();
    QTRY_VERIFY_WITH_TIMEOUT(!main().isRunning(), 10000);
    const std::vector<double>& x = m_model->induction.curveX();
    const std::vector<double>& y = m_model->induction.curveY();
    QCOMPARE(x.size(), size_t(11));
    m_files.fileName = path("Data_A.txt");
    command("Data A");
    // The dialog starts at a name that says which file and which curve.
    QCOMPARE(m_files.initialNames.last(), QString("Data_A F-T Lorentz.txt"));
    QVERIFY(m_messages.errors.isEmpty());
    QCOMPARE(main().statusBar()->currentMessage(),
             "Data A: 11 points of the curve \"F/T Lorentz\" written to " + path("Data_A.txt"));

    const QList<QPointF> first = chart().series(0)->points();
    const QList<QPointF> second = chart().series(1)->points();
    m_files.fileName = path("Data_A.txt");
    command("... as serie 3 (bold line)");
    QCOMPARE(m_files.filters.last(), QString("*.txt"));
    const QList<QPointF> plotted = chart().series(2)->points();
    QCOMPARE(plotted.size(), qsizetype(x.size()));
    for (size_t k = 0; k < x.size(); ++k) {
        // The sweep of the speed runs upwards: the file's order is the chart's.
        QVERIFY2(sameToSixDigits(plotted[qsizetype(k)].x(), x[k]), qPrintable(QString::number(k)));
        QVERIFY2(sameToSixDigits(plotted[qsizetype(k)].y(), y[k]), qPrintable(QString::number(k)));
    }
    QCOMPARE(chart().series(0)->points(), first);
    QCOMPARE(chart().series(1)->points(), second);
    QVERIFY(m_messages.errors.isEmpty());
}

void tst_FileCommands::plotTakesLinesByPosition_data() {
    QTest::addColumn<QByteArray>("content");  // null: no such file
    QTest::addColumn<QList<QPointF>>("points");
    QTest::addColumn<int>("badLines");
    QTest::newRow("five numbers: the fifth is ignored")
        << QByteArray("1\n2\n3\n4\n5\n") << QList<QPointF>{{1, 2}, {3, 4}} << 0;
    QTest::newRow("point or comma")
        << QByteArray("0.5\n1,5\n2,5\r\n3.5e1\r\n") << QList<QPointF>{{0.5, 1.5}, {2.5, 35}} << 0;
    QTest::newRow("a bad line uses up its turn")
        << QByteArray("1\n2\nabc\n4\n5\n6\n") << QList<QPointF>{{1, 2}, {5, 4}} << 1;
    QTest::newRow("many bad lines, one message")
        << QByteArray("1\n2\nx\ny\n5\nz\n") << QList<QPointF>{{1, 2}} << 3;
    QTest::newRow("kept sorted by x")
        << QByteArray("3\n1\n1\n2\n") << QList<QPointF>{{1, 2}, {3, 1}} << 0;
    QTest::newRow("missing file") << QByteArray() << QList<QPointF>{} << 0;
}

void tst_FileCommands::plotTakesLinesByPosition() {
    QFETCH(QByteArray, content);
    QFETCH(QList<QPointF>, points);
    QFETCH(int, badLines);
    for (int slot : {0, 1, 2}) chart().appendPoint(slot, 10 + slot, 1);
    chart().flush();
    if (!content.isNull()) writeFile("curve.txt", content);
    m_files.fileName = path("curve.txt");

    command("... as serie 2 (points)");
    QCOMPARE(chart().series(1)->points(), points);
    QCOMPARE(chart().series(0)->points(), QList<QPointF>{QPointF(10, 1)});
    QCOMPARE(chart().series(2)->points(), QList<QPointF>{QPointF(12, 1)});
    QStringList errors;
    const QString taken =
        "; each still takes its turn as an abscissa or an ordinate.\n"
        "For continue click  OK ";
    if (badLines == 1) errors << "Line 3 of " + m_files.fileName + " is not a number" + taken;
    if (badLines > 1)
        errors << QString("%1 lines of %2 are not numbers, the first is line 3")
                          .arg(badLines)
                          .arg(m_files.fileName) +
                      taken;
    if (content.isNull()) errors << "Cannot open file " + m_files.fileName;
    QCOMPARE(m_messages.errors, errors);
}

void tst_FileCommands::dataFileThatCannotBeCreated() {
    QVERIFY(QDir().mkdir("Data_C.txt"));
    m_files.fileName = "Data_C.txt";
    command("Data C");
    QCOMPARE(m_messages.errors, QStringList{"Cannot create file Data_C.txt"});
    // A cancelled dialog writes nothing.
    m_files.fileName.clear();
    command("Data D");
    QVERIFY(!QFile::exists("Data_D.txt"));
}

void tst_FileCommands::picture_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<int>("scale");  // PNG pixels per pixel on the screen
    QTest::newRow("svg") << "chart.svg" << QByteArray("<?xml") << 0;
    QTest::newRow("no ending is svg") << "chart" << QByteArray("<?xml") << 0;
    QTest::newRow("pdf") << "chart.pdf" << QByteArray("%PDF") << 0;
    QTest::newRow("PNG at twice the screen") << "chart.PNG" << QByteArray("\x89PNG") << 2;
    QTest::newRow("png at a chosen resolution") << "chart.png" << QByteArray("\x89PNG") << 3;
}

void tst_FileCommands::picture() {
    QFETCH(QString, name);
    QFETCH(QByteArray, start);
    QFETCH(int, scale);
    // Points of every style, so that every marker is in the picture.
    main().setInputs([] {
        InputRecord r = startupRecord();
        r.curves.fill(true);
        return r;
    }());
    main().startRun();
    QTRY_VERIFY_WITH_TIMEOUT(!main().isRunning(), 20000);
    m_files.fileName = path(name);
    m_files.scale = scale == 2 ? 0 : scale;  // 0: the suggestion is taken
    command("Save the Picture (F9)");
    QVERIFY(m_messages.errors.isEmpty());
    QCOMPARE(m_files.initialNames, QStringList{"*.svg"});
    QFile file(m_files.fileName);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    QVERIFY(content.startsWith(start));

    if (start == "<?xml") {
        QXmlStreamReader xml(content);
        while (!xml.atEnd()) xml.readNext();
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        const QString text = QString::fromUtf8(content);
        QVERIFY(text.contains(chart().leftAxis()->titleText()));
        QVERIFY(text.contains(chart().bottomAxis()->titleText()));
        // Markers are shapes, not one bitmap each: the picture holds no image at all.
        QCOMPARE(text.count("<image"), 0);
        QVERIFY(text.count("<rect") >= 22);  // the Lorentz and Joule squares, 11 each
    }
    if (start == "\x89PNG") {
        QCOMPARE(m_files.suggestedScales, QList<int>{2});
        QCOMPARE(QImage::fromData(content).size(), chart().view()->viewport()->size() * scale);
    }
}

void tst_FileCommands::pictureFailures_data() {
    QTest::addColumn<QString>("name");  // empty: the dialog is cancelled
    QTest::addColumn<QString>("error");
    QTest::newRow("cancelled") << QString() << QString();
    QTest::newRow("missing directory") << "no/such/dir/chart.svg"
                                       << "Cannot create file %1";
    QTest::newRow("missing directory, pdf") << "no/such/dir/chart.pdf"
                                            << "Cannot create file %1";
    QTest::newRow("an ending it cannot write")
        << "chart.wmf"
        << "Cannot write a picture as '%1': choose a name ending in .svg, .pdf or .png";
    QTest::newRow("resolution dialog cancelled") << "chart.png" << QString();
}

void tst_FileCommands::pictureFailures() {
    QFETCH(QString, name);
    QFETCH(QString, error);
    m_files.fileName = name.isEmpty() ? QString() : path(name);
    m_files.scale = -1;  // cancels the resolution dialog
    command("Save the Picture (F9)");
    QCOMPARE(m_messages.errors,
             error.isEmpty() ? QStringList{} : QStringList{error.arg(m_files.fileName)});
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{});
}

void tst_FileCommands::curvesAsCsvWithNamesAndUnits() {
    main().startRun();
    QTRY_VERIFY_WITH_TIMEOUT(!main().isRunning(), 10000);
    m_files.fileName = path("curves.csv");
    command("all shown curves (CSV) ...");
    QCOMPARE(m_files.filters.last(), QString("*.csv"));
    QVERIFY(m_messages.errors.isEmpty());
    QFile file(path("curves.csv"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 12);
    QCOMPARE(lines[0],
             QString::fromUtf8("\"speed n, 1/s\",\"F/T Maxwell, N·m\",\"F/T Lorentz, N·m\""));
    const QList<QPointF> maxwell = chart().series(0)->points();
    const QStringList last = lines[11].split(',');
    QCOMPARE(last[0], QString("50"));
    QCOMPARE(last[1].toDouble(), maxwell.last().y());  // the shortest text that reads back the same
    QCOMPARE(main().statusBar()->currentMessage(),
             "2 curves of 11 rows written to " + path("curves.csv"));
}

// A record of a gap sweep whose descriptions still say "speed": read over the curves of a gap
// sweep, the chart keeps saying what they are drawn against, and so do the selectors.
void tst_FileCommands::recordNeverRelabelsOtherCurves() {
    InputRecord gap = main().currentInputs();
    gap.domain = 1;
    main().setInputs(gap);
    main().startRun();
    QTRY_VERIFY_WITH_TIMEOUT(!main().isRunning(), 10000);
    QCOMPARE(chart().bottomAxis()->titleText(), QString("the gap width  g, m"));
    InputRecord stale = gap;
    stale.axisDescriptions = {0, 0, 4, 4};
    writeRunRecord(path("stale.json").toStdString(), stale);
    m_files.fileName = path("stale.json");
    command("READ all settings (record) ...");
    QVERIFY(m_messages.errors.isEmpty());
    QCOMPARE(chart().bottomAxis()->titleText(), QString("the gap width  g, m"));
    QCOMPARE(main().findChild<QComboBox*>("CB3")->currentText(), QString("the gap width  g, m"));
    QCOMPARE(main().windowTitle().endsWith(" - stale.json[*]"), true);
    QVERIFY(!main().isWindowModified());
}

void tst_FileCommands::recentFiles_data() {
    QTest::addColumn<QString>("write");
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("file");
    QTest::newRow("parameter file") << "WRITE motor parameters to file ..."
                                    << "RecentParameterFiles" << "motor.txt";
    QTest::newRow("record") << "WRITE all settings (record) ..." << "RecentRecords" << "run.json";
}

void tst_FileCommands::recentFiles() {
    QFETCH(QString, write);
    QFETCH(QString, menu);
    QFETCH(QString, file);
    const bool records = menu == "RecentRecords";
    FileCommands& commands = m_windows->commands;
    auto* recent = main().findChild<QMenu*>(menu);
    QVERIFY(recent);
    const auto items = [&] {
        commands.showRecentFiles(records);  // as the menu does before it opens
        QStringList texts;
        for (QAction* a : recent->actions()) texts << QString(a->text()).remove('&');
        return texts;
    };
    QCOMPARE(items(), QStringList{"(none yet)"});

    const InputRecord written = changedRecord();
    main().setInputs(written);
    m_files.fileName = path(file);
    command(write);
    QCOMPARE(items(), QStringList{"1  " + path(file)});
    main().setInputs(startupRecord());
    recent->actions().first()->trigger();
    QVERIFY(m_messages.errors.isEmpty());
    compareFileFields(main().currentInputs(), written);
    // The other kind's list knows nothing of it.
    commands.showRecentFiles(!records);
    QCOMPARE(main().recentFilesMenu(!records)->actions().first()->text(), QString("(none yet)"));

    // Gone before the menu opens: taken off, and the status bar says so.
    QFile::remove(path(file));
    QCOMPARE(items(), QStringList{"(none yet)"});
    QCOMPARE(main().statusBar()->currentMessage(),
             "No longer there, taken off the recent files: " + path(file));
    // Gone after it opened: the choice says so and takes it off.
    command(write);
    items();
    QFile::remove(path(file));
    recent->actions().first()->trigger();
    QCOMPARE(m_messages.errors,
             QStringList{"The file " + path(file) +
                         " no longer exists: it was taken off the recent files"});
    QCOMPARE(items(), QStringList{"(none yet)"});
}

void tst_FileCommands::recentListIsBoundedNewestFirst() {
    const RecentFiles recent("recentFiles/records");
    for (int i = 0; i < RecentFiles::kMaxFiles + 2; ++i) {
        writeFile(QString("r%1.json").arg(i), "{}");
        recent.add(path(QString("r%1.json").arg(i)));
    }
    recent.add(path("r5.json"));  // again: moved first, not twice
    const QStringList files = recent.files();
    QCOMPARE(files.size(), RecentFiles::kMaxFiles);
    QCOMPARE(files.first(), path("r5.json"));
    QCOMPARE(files.count(path("r5.json")), 1);
    QCOMPARE(files[1], path("r9.json"));
    QVERIFY(!files.contains(path("r1.json")));
}

QTEST_MAIN(tst_FileCommands)
#include "tst_filecommands.moc"
