// Tests of the chart: sorted batched series, the seven buttons and the axis descriptions.
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QValueAxis>
#include <QXYSeries>
#include <QtTest>

#include "ui/chart_buttons.hpp"
#include "ui/chart_panel.hpp"

using namespace emforce;

class tst_ChartPanel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void seriesKeepPointsSortedByX();
    void pointsAppearWithoutExplicitFlush();
    void incrementButton_data();
    void incrementButton();
    void fontButtonCycles_data();
    void fontButtonCycles();
    void zeroAndFiveButtonsToggle();
    void titleFontSizes_data();
    void titleFontSizes();
    void selectorsShowAndHide();
    void clearAndRemoveButtons();

private:
    void click(const char* button) { m_buttons->findChild<QToolButton*>(button)->click(); }

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

void tst_ChartPanel::incrementButton_data() {
    QTest::addColumn<double>("maximum");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<double>("increment");
    QTest::addColumn<QString>("hint");
    QTest::newRow("0..50 once") << 50.0 << 1 << 0.5 << "Increment = 0,5";
    QTest::newRow("0..50 twice") << 50.0 << 2 << 1.0 << "Increment = 1";
    QTest::newRow("0..2 once") << 2.0 << 1 << 0.05 << "Increment = 0,05";
    QTest::newRow("0..50 reaching the span") << 50.0 << 100 << 50.0 << "Increment = 50";
    QTest::newRow("0..50 past the span") << 50.0 << 101 << 0.0 << "Increment = 0";
}

void tst_ChartPanel::incrementButton() {
    QFETCH(double, maximum);
    QFETCH(int, clicks);
    QFETCH(double, increment);
    QFETCH(QString, hint);
    m_chart->leftAxis()->setRange(0, maximum);
    for (int i = 0; i < clicks; ++i) click("Button1");
    QCOMPARE(m_chart->leftIncrement(), increment);
    QCOMPARE(m_buttons->findChild<QToolButton*>("Button1")->toolTip(), hint);
    if (increment > 0) QCOMPARE(m_chart->leftAxis()->tickInterval(), increment);
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
    QCOMPARE(m_buttons->findChild<QToolButton*>("Button4")->toolTip(),
             QString("Font Size = %1").arg(size));
}

void tst_ChartPanel::zeroAndFiveButtonsToggle() {
    for (int i = 0; i <= 10; ++i) m_chart->appendPoint(0, i, 10 + i);
    m_chart->flush();
    QValueAxis* left = m_chart->leftAxis();
    QVERIFY(left->min() > 0);
    QVERIFY(left->max() >= 20);

    click("Button2");
    QCOMPARE(left->min(), 0.0);
    click("Button8");
    QCOMPARE(left->max(), 5.0);
    m_chart->appendPoint(0, 11, 30);  // the pinned ends stay as new points arrive
    m_chart->flush();
    QCOMPARE(left->min(), 0.0);
    QCOMPARE(left->max(), 5.0);

    click("Button2");
    click("Button8");
    QVERIFY(left->min() > 0);
    QVERIFY(left->max() >= 30);
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
    selectors[0]->setCurrentIndex(2);
    selectors[1]->setEditText("my own axis");
    selectors[2]->setEditText(leftText);
    selectors[3]->setEditText(bottomText);
    m_chart->findChild<QPushButton*>("Button6")->click();
    QCOMPARE(m_chart->leftAxis()->titleText(), QString("Electromagnetic force  F, N"));
    QCOMPARE(m_chart->bottomAxis()->titleText(), QString("my own axis"));
    QCOMPARE(m_chart->leftAxis()->titleFont().pointSize(), left);
    QCOMPARE(m_chart->bottomAxis()->titleFont().pointSize(), bottom);
}

void tst_ChartPanel::selectorsShowAndHide() {
    const auto selectors = m_chart->axisSelectors();
    auto* accept = m_chart->findChild<QPushButton*>("Button6");
    for (QComboBox* box : selectors) QVERIFY(!box->isVisible());
    QVERIFY(accept->isVisible());

    click("Button5");
    for (QComboBox* box : selectors) QVERIFY(box->isVisible());
    accept->click();
    for (QComboBox* box : selectors) QVERIFY(!box->isVisible());
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

QTEST_MAIN(tst_ChartPanel)
#include "tst_chartpanel.moc"
