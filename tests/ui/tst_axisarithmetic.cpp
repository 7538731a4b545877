// The arithmetic of the chart's axes: the "In" increments and the tick labels.
#include <QtTest>
#include <string>
#include <vector>

#include "ui/axis_arithmetic.hpp"

using namespace emforce;

class tst_AxisArithmetic : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void incrementSequence_data();
    void incrementSequence();
    void ticks_data();
    void ticks();
};

void tst_AxisArithmetic::incrementSequence_data() {
    QTest::addColumn<double>("span");
    QTest::addColumn<double>("maxTicks");
    QTest::addColumn<QList<double>>("steps");  // from automatic until automatic again
    QTest::newRow("0..50, room for 12") << 50.0 << 12.0 << QList<double>{5, 10, 20, 0};
    QTest::newRow("0..1,2, room for 12") << 1.2 << 12.0 << QList<double>{0.1, 0.2, 0.5, 0};
    QTest::newRow("small plot") << 50.0 << 4.0 << QList<double>{20, 0};
    QTest::newRow("tiny span") << 2e-6 << 10.0 << QList<double>{2e-7, 5e-7, 1e-6, 0};
    QTest::newRow("no room") << 50.0 << 0.5 << QList<double>{0};
}

void tst_AxisArithmetic::incrementSequence() {
    QFETCH(double, span);
    QFETCH(double, maxTicks);
    QFETCH(QList<double>, steps);
    double increment = 0;
    for (double expected : steps) {
        increment = nextIncrement(span, increment, maxTicks);
        QVERIFY2(expected == 0 ? increment == 0 : qFuzzyCompare(increment, expected),
                 qPrintable(QString::number(increment)));
    }
}

void tst_AxisArithmetic::ticks_data() {
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("step");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("through zero") << -0.6 << 0.6 << 0.2
                                  << QStringList{"-0,6", "-0,4", "-0,2", "0,0",
                                                 "0,2",  "0,4",  "0,6"};
    QTest::newRow("ends off the ticks")
        << -0.05 << 0.35 << 0.1 << QStringList{"0,0", "0,1", "0,2", "0,3"};
    QTest::newRow("whole numbers")
        << 0.0 << 50.0 << 10.0 << QStringList{"0", "10", "20", "30", "40", "50"};
    QTest::newRow("finer than four decimals")
        << 0.0 << 3e-5 << 1e-5 << QStringList{"0", "1E-5", "2E-5", "3E-5"};
    QTest::newRow("fine steps on a large value")
        << 1.00001 << 1.00003 << 1e-5 << QStringList{"1,00001E+0", "1,00002E+0", "1,00003E+0"};
}

// Each tick is a whole multiple of the step, so zero reads "0" however the range lies.
void tst_AxisArithmetic::ticks() {
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, step);
    QFETCH(QStringList, labels);
    QStringList shown;
    for (const AxisTick& tick : axisTicks(minimum, maximum, step, 4))
        shown << QString::fromStdString(tick.text);
    QCOMPARE(shown, labels);
}

QTEST_MAIN(tst_AxisArithmetic)
#include "tst_axisarithmetic.moc"
