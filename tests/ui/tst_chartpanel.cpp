// Tests of the chart: sorted batched series, the seven buttons and the axis descriptions.
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QValueAxis>
#include <QXYSeries>
#include <QtTest>
#include <algorithm>
#include <cmath>

#include "chart_texts.hpp"
#include "model/number_format.hpp"
#include "ui/axis_title_fit.hpp"
#include "ui/axis_titles.hpp"
#include "ui/chart_buttons.hpp"
#include "ui/chart_panel.hpp"

using namespace emforce;

namespace {

QString qt(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

class tst_ChartPanel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void seriesKeepPointsSortedByX();
    void pointsAppearWithoutExplicitFlush();
    void incrementButtonStepsAndReturnsToAutomatic_data();
    void incrementButtonStepsAndReturnsToAutomatic();
    void noNegativeZeroTickLabel();
    void fontButtonCycles_data();
    void fontButtonCycles();
    void zeroAndFiveButtonsToggle();
    void titleFontSizes_data();
    void titleFontSizes();
    void selectorsShowAndHide();
    void clearAndRemoveButtons();
    void legendNamesTheShownSeries();
    void unitsGetAxesOfTheirOwn_data();
    void unitsGetAxesOfTheirOwn();
    void titlesFollowTheRunUnlessChosen_data();
    void titlesFollowTheRunUnlessChosen();
    void listTitlesNeverContradictTheCurves_data();
    void listTitlesNeverContradictTheCurves();
    void readoutNamesTheCurveAndItsValues();
    void buttonsSayWhatTheyDo();
    void titlesShowWholeOnASmallChart_data();
    void titlesShowWholeOnASmallChart();

private:
    QToolButton* button(const char* name) { return m_buttons->findChild<QToolButton*>(name); }
    void click(const char* name) { button(name)->click(); }
    // The first line of a button's tooltip: the hint the button has always shown.
    QString hint(const char* name) { return button(name)->toolTip().section(u'\n', 0, 0); }
    void plot(int slot, QList<QPointF> points) {
        for (const QPointF& p : points) m_chart->appendPoint(slot, p.x(), p.y());
        m_chart->flush();
    }

    std::unique_ptr<ChartPanel> m_chart;
    std::unique_ptr<ChartButtons> m_buttons;
};

void tst_ChartPanel::init() {
    m_chart = std::make_unique<ChartPanel>();
    m_buttons = std::make_unique<ChartButtons>(*m_chart);
    m_chart->resize(800, 500);
    m_chart->show();
}

void tst_ChartPanel::cleanup() {
    m_buttons.reset();
    m_chart.reset();
}

void tst_ChartPanel::seriesKeepPointsSortedByX() {
    // A sweep from high to low, with two points on the same x: the later one follows.
    const QList<QPointF> arrived = {{5, 1}, {3, 2}, {4, 3}, {3, 4}, {1, 5}};
    for (const QPointF& p : arrived) m_chart->appendPoint(2, p.x(), p.y());
    m_chart->flush();
    const QList<QPointF> expected = {{1, 5}, {3, 2}, {3, 4}, {4, 3}, {5, 1}};
    QCOMPARE(m_chart->series(2)->points(), expected);
    QCOMPARE(m_chart->series(1)->count(), 0);

    m_chart->clearSeries(2);
    QCOMPARE(m_chart->series(2)->count(), 0);
}

void tst_ChartPanel::pointsAppearWithoutExplicitFlush() {
    for (int i = 0; i <= 1000; ++i) m_chart->appendPoint(0, 1000 - i, i);
    QTRY_COMPARE(m_chart->series(0)->count(), 1001);
    QCOMPARE(m_chart->series(0)->at(0), QPointF(0, 1000));
    QCOMPARE(m_chart->bottomAxis()->min(), 0.0);
    QCOMPARE(m_chart->bottomAxis()->max(), 1000.0);
}

void tst_ChartPanel::incrementButtonStepsAndReturnsToAutomatic_data() {
    QTest::addColumn<double>("maximum");
    QTest::newRow("0..50") << 50.0;
    QTest::newRow("0..1,2") << 1.2;
    QTest::newRow("0..0,002") << 0.002;
}

// From automatic spacing each click gives a coarser round increment whose labels fit the axis,
// and after the coarsest automatic spacing again; the hint names each increment.
void tst_ChartPanel::incrementButtonStepsAndReturnsToAutomatic() {
    QFETCH(double, maximum);
    plot(0, {{0, 0}, {1, maximum}});
    QValueAxis* left = m_chart->leftAxis();
    const double span = left->max() - left->min();
    QList<double> steps;
    for (int click = 0; click < 12 && (steps.isEmpty() || steps.last() != 0); ++click) {
        this->click("Button1");
        steps << m_chart->leftIncrement();
        QCOMPARE(hint("Button1"),
                 "Increment = " + QString::fromStdString(formatGeneral(steps.last())));
    }
    QCOMPARE(steps.last(), 0.0);
    QVERIFY2(steps.size() >= 3, qPrintable(QString::number(steps.size())));
    for (qsizetype i = 0; i + 1 < steps.size(); ++i) {
        const double mantissa = steps[i] / std::pow(10.0, std::floor(std::log10(steps[i])));
        QVERIFY(qFuzzyCompare(mantissa, 1.0) || qFuzzyCompare(mantissa, 2.0) ||
                qFuzzyCompare(mantissa, 5.0));
        if (i > 0) QVERIFY(steps[i] > steps[i - 1]);
        QVERIFY(span / steps[i] >= 2);
    }
    // No more ticks than labels fit: the first is the finest that does, the automatic one never
    // finer.
    const auto labels = [left] { return qobject_cast<QCategoryAxis*>(left)->count(); };
    QVERIFY(labels() <= 12);
    click("Button1");
    QCOMPARE(m_chart->leftIncrement(), steps.first());
    const int finest = labels();
    QVERIFY(finest * QFontMetrics(left->labelsFont()).height() * 1.5 <=
            m_chart->view()->chart()->plotArea().height() + 1);
}

void tst_ChartPanel::noNegativeZeroTickLabel() {
    plot(0, {{-1.3, -0.6}, {0.1, 1.2}, {1, 0.3}});
    for (QValueAxis* axis : {m_chart->leftAxis(), m_chart->bottomAxis()}) {
        const QStringList labels = qobject_cast<QCategoryAxis*>(axis)->categoriesLabels();
        QVERIFY(labels.contains("0,0") || labels.contains("0"));
        const QRegularExpression negativeZero("^-0([,.]0*)?$");
        for (const QString& label : labels)
            QVERIFY2(!negativeZero.match(label).hasMatch(), qPrintable(label));
    }
}

void tst_ChartPanel::fontButtonCycles_data() {
    QTest::addColumn<int>("clicks");
    QTest::addColumn<int>("size");
    QTest::newRow("first") << 1 << 13;
    QTest::newRow("up to 20") << 8 << 20;
    QTest::newRow("back to 7") << 9 << 7;
    QTest::newRow("on from 7") << 10 << 8;
}

void tst_ChartPanel::fontButtonCycles() {
    QFETCH(int, clicks);
    QFETCH(int, size);
    QCOMPARE(m_chart->leftAxis()->labelsFont().pointSize(), 12);
    for (int i = 0; i < clicks; ++i) click("Button4");
    QCOMPARE(m_chart->leftAxis()->labelsFont().pointSize(), size);
    QCOMPARE(m_chart->bottomAxis()->labelsFont().pointSize(), size);
    QCOMPARE(hint("Button4"), QString("Font Size = %1").arg(size));
}

void tst_ChartPanel::zeroAndFiveButtonsToggle() {
    for (int i = 0; i <= 10; ++i) m_chart->appendPoint(0, i, 10 + i);
    m_chart->flush();
    QValueAxis* left = m_chart->leftAxis();
    QVERIFY(left->min() > 0);
    QVERIFY(left->max() >= 20);

    click("Button2");
    QCOMPARE(left->min(), 0.0);
    QVERIFY(button("Button2")->isChecked());
    click("Button8");
    QCOMPARE(left->max(), 5.0);
    QVERIFY(button("Button8")->isChecked());
    m_chart->appendPoint(0, 11, 30);  // the pinned ends stay as new points arrive
    m_chart->flush();
    QCOMPARE(left->min(), 0.0);
    QCOMPARE(left->max(), 5.0);

    click("Button2");
    click("Button8");
    QVERIFY(left->min() > 0);
    QVERIFY(left->max() >= 30);
    QVERIFY(!button("Button2")->isChecked());
    QVERIFY(!button("Button8")->isChecked());
}

void tst_ChartPanel::titleFontSizes_data() {
    QTest::addColumn<QString>("leftText");
    QTest::addColumn<QString>("bottomText");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("bottom");
    QTest::newRow("both integers") << "20"
                                   << "10" << 20 << 10;
    QTest::newRow("typed sizes") << "22"
                                 << "9" << 22 << 9;
    QTest::newRow("bottom not an integer") << "14"
                                           << "x" << 14 << 14;
    QTest::newRow("left not an integer") << "x"
                                         << "30" << 14 << 14;
    QTest::newRow("not a drawable size") << "0"
                                         << "12" << 14 << 14;
}

void tst_ChartPanel::titleFontSizes() {
    QFETCH(QString, leftText);
    QFETCH(QString, bottomText);
    QFETCH(int, left);
    QFETCH(int, bottom);
    const auto selectors = m_chart->axisSelectors();
    selectors[0]->setCurrentIndex(1);
    selectors[1]->setEditText("my own axis");
    selectors[2]->setEditText(leftText);
    selectors[3]->setEditText(bottomText);
    m_chart->findChild<QPushButton*>("Button6")->click();
    QCOMPARE(m_chart->leftAxis()->titleText(),
             QString::fromUtf8("Moment elektromagnetyczny  T, N·m"));
    QCOMPARE(m_chart->bottomAxis()->titleText(), QString("my own axis"));
    QCOMPARE(m_chart->chosenTitleSize(m_chart->leftAxis()), left);
    QCOMPARE(m_chart->chosenTitleSize(m_chart->bottomAxis()), bottom);
}

// The selectors sit above the chart, never over its plot, and show when asked for.
void tst_ChartPanel::selectorsShowAndHide() {
    auto* accept = m_chart->findChild<QPushButton*>("Button6");
    const QRect chartBefore = m_chart->view()->geometry();
    QVERIFY(!accept->isVisible());
    m_chart->showAxisSelectorsOnce();
    QTRY_VERIFY(accept->isVisible());
    for (QComboBox* box : m_chart->axisSelectors()) {
        QVERIFY(box->isVisible());
        QTRY_VERIFY(!box->geometry().intersects(m_chart->view()->geometry()));
    }
    QVERIFY(m_chart->view()->geometry().top() > chartBefore.top());
    accept->click();
    QVERIFY(!accept->isVisible());
    m_chart->showAxisSelectorsOnce();  // later activations leave them hidden
    QVERIFY(!accept->isVisible());
    click("Button5");
    QVERIFY(accept->isVisible());
}

void tst_ChartPanel::clearAndRemoveButtons() {
    for (int slot = 0; slot < kCurveSlots; ++slot) m_chart->appendPoint(slot, slot, slot);
    click("Button3");  // also drops points not yet shown
    m_chart->flush();
    for (int slot = 0; slot < kCurveSlots; ++slot) QCOMPARE(m_chart->series(slot)->count(), 0);

    click("Button7");
    QVERIFY(m_chart->leftAxis()->titleText().isEmpty());
    QVERIFY(m_chart->bottomAxis()->titleText().isEmpty());
}

void tst_ChartPanel::legendNamesTheShownSeries() {
    QVERIFY(m_chart->legendVisible());
    QVERIFY(button("LegendButton")->isChecked());
    QVERIFY(m_chart->legendTitles().isEmpty());
    QChart* chart = m_chart->view()->chart();
    const double withoutLegend = chart->plotArea().height();
    plot(0, {{0, 1}, {1, 2}});
    plot(6, {{0, 10}, {1, 20}});
    // A curve on an axis at the right says so, with the unit of that axis.
    QCOMPARE(m_chart->legendTitles(),
             QStringList({"F/T Maxwell", "P_Joule_volume_integral (right axis, W)"}));
    // The legend takes its room under the plot, and gives it back when hidden.
    QTRY_VERIFY(chart->plotArea().height() < withoutLegend - 10);
    click("LegendButton");
    QVERIFY(!m_chart->legendVisible());
    QVERIFY(!button("LegendButton")->isChecked());
    QTRY_COMPARE(chart->plotArea().height(), withoutLegend);
}

void tst_ChartPanel::unitsGetAxesOfTheirOwn_data() {
    QTest::addColumn<QList<int>>("slots");
    QTest::addColumn<QList<int>>("sides");  // per group shown, the axis side: 1 left, 2 right
    QTest::newRow("force and power") << QList<int>{0, 5} << QList<int>{1, 2, 0};
    QTest::newRow("every unit") << QList<int>{1, 7, 9} << QList<int>{1, 2, 2};
    QTest::newRow("power alone is on the left") << QList<int>{6} << QList<int>{0, 1, 0};
    QTest::newRow("force alone") << QList<int>{0, 3} << QList<int>{1, 0, 0};
}

// Curves of different units never share an axis: force or torque keep the left one, power and
// accuracy get theirs at the right, and the first unit shown takes the left when there is no
// force.
void tst_ChartPanel::unitsGetAxesOfTheirOwn() {
    QFETCH(QList<int>, slots);
    QFETCH(QList<int>, sides);
    for (int slot : slots) plot(slot, {{0, 100.0 * slot}, {1, 100.0 * slot + 1}});
    for (int g = 0; g < kCurveGroups; ++g) {
        QValueAxis* axis = m_chart->axisOf(CurveGroup(g));
        QCOMPARE(axis != nullptr, sides[g] != 0);
        if (!axis) continue;
        QCOMPARE(axis == m_chart->leftAxis(), sides[g] == 1);
        QCOMPARE(axis->alignment(), sides[g] == 1 ? Qt::AlignLeft : Qt::AlignRight);
        for (int slot : slots)
            if (curveGroup(slot) == CurveGroup(g)) {
                QVERIFY(m_chart->series(slot)->attachedAxes().contains(axis));
                QVERIFY(axis->min() <= 100.0 * slot && axis->max() >= 100.0 * slot + 1);
            }
    }
}

void tst_ChartPanel::titlesFollowTheRunUnlessChosen_data() {
    QTest::addColumn<int>("domain");
    QTest::addColumn<int>("geometry");
    QTest::addColumn<bool>("induction");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("bottom");
    const QString torque = QString::fromUtf8("Electromagnetic torque  T, N·m");
    const QString force = "Electromagnetic force  F, N";
    QTest::newRow("speed, sphere") << 4 << 2 << true << torque << "speed n, 1/s";
    QTest::newRow("speed, linear") << 4 << 0 << true << force << "relative speed  v/Y, 1/s";
    QTest::newRow("load angle, cylinder") << 4 << 1 << false << torque << "load angle  alfa, rad";
    QTest::newRow("shift, linear") << 4 << 0 << false << force << "shift of the MMF axes  y, m";
    QTest::newRow("gap") << 1 << 1 << true << torque << "the gap width  g, m";
    QTest::newRow("layer") << 2 << 0 << true << force << "layer width  a, m";
    QTest::newRow("radius") << 0 << 2 << false << torque << "radius  r, m";
    QTest::newRow("position") << 0 << 0 << true << force
                              << "position of integration surface in the gap  x, m";
    QTest::newRow("polar angle") << 3 << 2 << true << torque << "polar angle  teta, rad";
    QTest::newRow("axial z") << 3 << 1 << true << torque << "coordinate  z, m";
}

void tst_ChartPanel::titlesFollowTheRunUnlessChosen() {
    QFETCH(int, domain);
    QFETCH(int, geometry);
    QFETCH(bool, induction);
    QFETCH(QString, left);
    QFETCH(QString, bottom);
    // Before a run: the titles of the start-up sweep, as the selectors read them.
    const auto selectors = m_chart->axisSelectors();
    QCOMPARE(m_chart->bottomAxis()->titleText(), QString("speed n, 1/s"));
    QCOMPARE(selectors[1]->currentText(), QString("speed n, 1/s"));
    m_chart->setCurveContext({Domain(domain), Geometry(geometry), induction});
    plot(0, {{0, 1}, {1, 2}});
    QCOMPARE(m_chart->leftAxis()->titleText(), left);
    QCOMPARE(m_chart->bottomAxis()->titleText(), bottom);
    QCOMPARE(selectors[0]->currentText(), left);
    QCOMPARE(selectors[1]->currentText(), bottom);

    // A chosen description stays over curves of its kind; an empty one is automatic.
    selectors[0]->setEditText("my own title");
    selectors[1]->setEditText("");
    m_chart->findChild<QPushButton*>("Button6")->click();
    m_chart->setCurveContext({Domain(domain), Geometry(geometry), induction});
    QCOMPARE(m_chart->leftAxis()->titleText(), QString("my own title"));
    QCOMPARE(m_chart->bottomAxis()->titleText(), bottom);
    // Curves of another sweep never carry it: their titles are automatic again.
    const CurveContext other{domain == 1 ? Domain::LayerWidth : Domain::GapWidth,
                             Geometry::Spherical, true};
    m_chart->setCurveContext(other);
    QCOMPARE(m_chart->leftAxis()->titleText(), QString::fromUtf8("Electromagnetic torque  T, N·m"));
    QCOMPARE(m_chart->bottomAxis()->titleText(), bottomAxisTitle(other));
}

// Pointing at a point reads out its curve and values with units; elsewhere in the plot the axis
// values under the cursor; outside it how to use the chart.
void tst_ChartPanel::readoutNamesTheCurveAndItsValues() {
    m_chart->resize(800, 500);
    m_chart->setCurveContext({Domain::GapWidth, Geometry::Linear, true});
    plot(0, {{0.001, 2.5}, {0.002, 3}});
    plot(5, {{0.001, 50}, {0.002, 40}});
    QChart* chart = m_chart->view()->chart();
    const auto at = [&](QPointF value, int slot) {
        const QPointF inChart = chart->mapToPosition(value, m_chart->series(slot));
        return QPointF(m_chart->view()->mapFromScene(chart->mapToScene(inChart)));
    };
    QTRY_VERIFY(chart->plotArea().width() > 100);
    QCOMPARE(m_chart->readoutAt(at({0.002, 3}, 0) + QPointF(3, -2)),
             QString("F/T Maxwell: the gap width  g, m = 0,002;  3 N"));
    QCOMPARE(m_chart->readoutAt(at({0.001, 50}, 5)),
             QString("P_Poynting: the gap width  g, m = 0,001;  50 W"));
    QVERIFY(m_chart->readoutAt(at({0.0015, 2.75}, 0) + QPointF(0, -60)).startsWith("x = 0,0015"));
    QVERIFY(m_chart->readoutAt(QPointF(1, 1)).startsWith("Point at a curve"));
    QVERIFY(m_chart->findChild<QToolButton*>("ResetZoom")->toolTip().contains("zoom"));
    QVERIFY(m_chart->view()->toolTip().contains("Drag a rectangle to zoom"));
    // The legend says on which axis each curve is read.
    QCOMPARE(m_chart->legendTitles(), QStringList({"F/T Maxwell", "P_Poynting (right axis, W)"}));
}

// A title of the lists names a variable or a quantity: over curves of another one it is not
// shown, whoever chose it.
void tst_ChartPanel::listTitlesNeverContradictTheCurves_data() {
    QTest::addColumn<int>("domain");
    QTest::addColumn<int>("geometry");
    QTest::addColumn<bool>("induction");
    QTest::addColumn<int>("leftItem");
    QTest::addColumn<int>("bottomItem");
    QTest::addColumn<bool>("leftShown");
    QTest::addColumn<bool>("bottomShown");
    QTest::newRow("gap sweep, speed title") << 1 << 2 << true << 0 << 0 << true << false;
    QTest::newRow("gap sweep, gap title") << 1 << 2 << true << 1 << 6 << true << true;
    QTest::newRow("sphere, force title") << 4 << 2 << true << 2 << 1 << false << true;
    QTest::newRow("linear, relative speed") << 4 << 0 << true << 3 << 4 << true << true;
    QTest::newRow("linear, speed n") << 4 << 0 << true << 2 << 0 << true << false;
    QTest::newRow("load angle, speed title") << 4 << 1 << false << 0 << 0 << true << false;
    QTest::newRow("linear shift") << 4 << 0 << false << 2 << 11 << true << true;
    QTest::newRow("radius, x title") << 0 << 1 << true << 0 << 12 << true << false;
    QTest::newRow("torque curves, power title") << 4 << 2 << true << 4 << 0 << false << true;
}

void tst_ChartPanel::listTitlesNeverContradictTheCurves() {
    QFETCH(int, domain);
    QFETCH(int, geometry);
    QFETCH(bool, induction);
    QFETCH(int, leftItem);
    QFETCH(int, bottomItem);
    QFETCH(bool, leftShown);
    QFETCH(bool, bottomShown);
    const CurveContext context{Domain(domain), Geometry(geometry), induction};
    m_chart->setCurveContext(context);
    plot(0, {{0, 1}, {1, 2}});
    const QString left = qt(kLeftAxisItems[size_t(leftItem)]);
    const QString bottom = qt(kBottomAxisItems[size_t(bottomItem)]);
    m_chart->chooseAxisTitles(left, bottom, context);
    QCOMPARE(m_chart->leftAxis()->titleText(),
             leftShown ? left : groupAxisTitle(CurveGroup::ForceTorque, Geometry(geometry)));
    QCOMPARE(m_chart->bottomAxis()->titleText(), bottomShown ? bottom : bottomAxisTitle(context));
}

void tst_ChartPanel::buttonsSayWhatTheyDo() {
    for (QToolButton* b : m_buttons->findChildren<QToolButton*>())
        QVERIFY2(b->toolTip().size() > 10, qPrintable(b->objectName()));
    QVERIFY(button("Button2")->isCheckable());
    QVERIFY(button("Button8")->isCheckable());
    QVERIFY(button("Button1")->toolTip().contains("automatic"));
}

void tst_ChartPanel::titlesShowWholeOnASmallChart_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("small") << QSize(640, 360);
    QTest::newRow("wide and low") << QSize(900, 340);
    QTest::newRow("narrow") << QSize(500, 600);
}

// The longest descriptions at 20 pt with three vertical axes: on a small chart every title is
// drawn smaller or on two lines, but whole; on a large one at the chosen size again.
void tst_ChartPanel::titlesShowWholeOnASmallChart() {
    QFETCH(QSize, size);
    m_chart->resize(size);
    for (int slot : {0, 5, 8}) plot(slot, {{0, 1}, {1, 2}});
    const auto selectors = m_chart->axisSelectors();
    selectors[0]->setCurrentIndex(6);
    // A typed title: the longest of the list names the linear position, not these curves.
    selectors[1]->setEditText("position of the integration surface in the air gap  x, m");
    selectors[2]->setEditText("20");
    selectors[3]->setEditText("20");
    m_chart->findChild<QPushButton*>("Button6")->click();
    const QList<QValueAxis*> axes = {m_chart->leftAxis(), m_chart->bottomAxis(),
                                     m_chart->axisOf(CurveGroup::Power),
                                     m_chart->axisOf(CurveGroup::Accuracy)};
    const QStringList titles = {selectors[0]->currentText(), selectors[1]->currentText(),
                                "Power losses  P, W", "I and K function accuracy, -"};
    const auto allWhole = [&] {
        const QStringList drawn = drawnTexts(*m_chart->view());
        return std::all_of(titles.begin(), titles.end(),
                           [&](const QString& t) { return drawn.contains(t.simplified()); });
    };
    QTRY_VERIFY2(allWhole(), qPrintable(drawnTexts(*m_chart->view()).join(" | ")));
    for (QValueAxis* axis : axes) {
        QCOMPARE(m_chart->chosenTitleSize(axis), 20);
        QVERIFY(axis->titleFont().pointSize() >= kSmallestTitleSize);
        QVERIFY(axis->titleFont().pointSize() <= 20);
    }
    QVERIFY(m_chart->leftAxis()->titleFont().pointSize() < 20 ||
            m_chart->leftAxis()->titleText().contains("<br>"));

    m_chart->resize(1600, 1000);
    for (qsizetype i = 0; i < axes.size(); ++i) {
        QTRY_COMPARE(axes[i]->titleFont().pointSize(), 20);
        QCOMPARE(axes[i]->titleText(), titles[i]);
    }
    QVERIFY(allWhole());
}

QTEST_MAIN(tst_ChartPanel)
#include "tst_chartpanel.moc"
