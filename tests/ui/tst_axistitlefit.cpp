// Axis titles drawn whole: the forms of a title and the first one that fits its room.
#include <QFont>
#include <QtTest>

#include "ui/axis_title_fit.hpp"

using namespace emforce;

namespace {

const QString kTitle = QString::fromUtf8("Electromagnetic torque  T, N·m");

double lengthAt(const QString& text, int points) {
    QFont font("Times New Roman", points);
    font.setStyleHint(QFont::Serif);
    return titleLength(font, text);
}

}  // namespace

class tst_AxisTitleFit : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void forms_data();
    void forms();
    void fit_data();
    void fit();
};

void tst_AxisTitleFit::forms_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QList<int>>("sizes");
    QTest::addColumn<QString>("wrapped");  // empty: one line only
    QTest::newRow("broken at the middle space")
        << kTitle << 12 << QList<int>{12, 11, 10, 9, 12, 11, 10, 9}
        << QString::fromUtf8("Electromagnetic<br>torque  T, N·m");
    QTest::newRow("one word") << "Przepływ" << 10 << QList<int>{10, 9} << QString();
    QTest::newRow("chosen below the smallest")
        << "speed n, 1/s" << 7 << QList<int>{7, 7} << "speed<br>n, 1/s";
}

// One line from the chosen size down, then two lines: each size a point apart.
void tst_AxisTitleFit::forms() {
    QFETCH(QString, title);
    QFETCH(int, chosen);
    QFETCH(QList<int>, sizes);
    QFETCH(QString, wrapped);
    const std::vector<DrawnTitle> forms = titleForms(title, chosen);
    QCOMPARE(qsizetype(forms.size()), sizes.size());
    for (size_t i = 0; i < forms.size(); ++i) {
        QCOMPARE(forms[i].points, sizes[qsizetype(i)]);
        QCOMPARE(forms[i].text, 2 * i < forms.size() || wrapped.isEmpty() ? title : wrapped);
    }
}

void tst_AxisTitleFit::fit_data() {
    QTest::addColumn<double>("room");  // as a share of the title's length on one line at 14 pt
    QTest::addColumn<int>("lines");
    QTest::addColumn<bool>("smaller");
    QTest::newRow("room to spare") << 1.2 << 1 << false;
    QTest::newRow("a little short") << 0.9 << 1 << true;
    QTest::newRow("shorter than the smallest on one line") << 0.58 << 2 << false;
    QTest::newRow("about half") << 0.4 << 2 << true;
    QTest::newRow("none fits") << 0.05 << 2 << true;
}

// The first form that fits, so the largest size on the fewest lines; the last form when none
// fits, which the chart then cuts short.
void tst_AxisTitleFit::fit() {
    QFETCH(double, room);
    QFETCH(int, lines);
    QFETCH(bool, smaller);
    constexpr int chosen = 14;
    const double pixels = room * lengthAt(kTitle, chosen);
    QFont font("Times New Roman", 30);
    font.setStyleHint(QFont::Serif);
    const DrawnTitle fitted = fitTitle(font, kTitle, chosen, pixels);

    QCOMPARE(fitted.text.count("<br>") + 1, lines);
    QCOMPARE(fitted.points < chosen, smaller);
    const std::vector<DrawnTitle> forms = titleForms(kTitle, chosen);
    const auto at = std::find(forms.begin(), forms.end(), fitted);
    QVERIFY(at != forms.end());
    const bool fits = lengthAt(fitted.text, fitted.points) <= pixels;
    QVERIFY(fits || at + 1 == forms.end());
    for (auto before = forms.begin(); before != at; ++before)
        QVERIFY2(lengthAt(before->text, before->points) > pixels - 1,
                 qPrintable(QString("%1 pt fits").arg(before->points)));
}

QTEST_MAIN(tst_AxisTitleFit)
#include "tst_axistitlefit.moc"
