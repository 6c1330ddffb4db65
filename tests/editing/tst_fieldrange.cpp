#include "document/fractaldocument.h"
#include "editing/fieldrange.h"

#include <QTest>

using namespace Vorlane;

namespace {

QList<BasePoint> rowOfPoints(int fromX, int toX, int y)
{
    QList<BasePoint> points;
    for (int x = fromX; x <= toX; ++x)
        points.append({qint16(x), qint16(y)});
    return points;
}

QList<Transformation> translations(const QList<QPointF> &ends)
{
    QList<Transformation> transformations;
    for (const QPointF &end : ends)
        transformations.append({paddedTrName(QString()), {0.5f, 0.5f}, 0.0f, {float(end.x()), float(end.y())}});
    return transformations;
}

} // namespace

namespace Vorlane {

char *toString(const FieldRange &range)
{
    return QTest::toString(QStringLiteral("x %1..%2, y %3..%4")
                               .arg(range.fieldXMin)
                               .arg(range.fieldXMax)
                               .arg(range.fieldYMin)
                               .arg(range.fieldYMax));
}

} // namespace Vorlane

class TestFieldRange : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void detectionAndWidening_data();
    void detectionAndWidening();
    void wideningSaturates();
    void typedLimits_data();
    void typedLimits();
    void shownLimitsReadBackUnchanged();
};

void TestFieldRange::detectionAndWidening_data()
{
    QTest::addColumn<FieldRange>("start");
    QTest::addColumn<QList<BasePoint>>("points");
    QTest::addColumn<QList<Transformation>>("transformations");
    QTest::addColumn<FieldRange>("detected");
    QTest::addColumn<FieldRange>("widened");

    const QList<Transformation> zero = translations({{0, 0}, {0, 0}});
    QTest::newRow("points 0 to 300, zero translations")
        << FieldRange{} << rowOfPoints(0, 300, 0) << zero << FieldRange{0, 300, 0, 0} << FieldRange{-100, 400, -100, 100};
    QTest::newRow("a width of exactly 500 is not widened")
        << FieldRange{} << rowOfPoints(-250, 250, 600) << zero << FieldRange{-250, 250, 0, 600}
        << FieldRange{-250, 250, 0, 600};
    QTest::newRow("499 is widened") << FieldRange{} << rowOfPoints(-499, 0, 0) << zero << FieldRange{-499, 0, 0, 0}
                                    << FieldRange{-599, 100, -100, 100};
    QTest::newRow("maxima are never lowered, minima restart from point 1")
        << FieldRange{-5000, 3000, -5000, 2000} << rowOfPoints(10, 700, 20) << zero << FieldRange{0, 3000, 0, 2000}
        << FieldRange{0, 3000, 0, 2000};
    QTest::newRow("negative points keep a maximum of 0")
        << FieldRange{} << rowOfPoints(-900, -20, -30) << zero << FieldRange{-900, 0, -30, 0}
        << FieldRange{-900, 0, -130, 100};
    QTest::newRow("translation ends widen the range, rounded half to even")
        << FieldRange{} << rowOfPoints(0, 600, 0) << translations({{100, 2000.5}, {-700.5, 1500}, {700.5, -1.5}})
        << FieldRange{-700, 700, -2, 2000} << FieldRange{-700, 700, -2, 2000};
    QTest::newRow("translations beyond 16 bits stop at the limit")
        << FieldRange{} << rowOfPoints(0, 600, 0) << translations({{1e9, -1e9}}) << FieldRange{0, 32767, -32768, 0}
        << FieldRange{0, 32767, -32768, 0};
    QTest::newRow("no base points: the range itself is the start")
        << FieldRange{50, 1000, 60, 900} << QList<BasePoint>{} << translations({{200, 300}})
        << FieldRange{50, 1000, 60, 900} << FieldRange{50, 1000, 60, 900};
    QTest::newRow("no transformations: the translations count as 0")
        << FieldRange{} << rowOfPoints(100, 700, 100) << QList<Transformation>{} << FieldRange{0, 700, 0, 100}
        << FieldRange{0, 700, -100, 200};
}

void TestFieldRange::detectionAndWidening()
{
    QFETCH(FieldRange, start);
    QFETCH(QList<BasePoint>, points);
    QFETCH(QList<Transformation>, transformations);
    FractalDocument document;
    document.basePoints = points;
    document.transformations = transformations;
    FieldRange range = start;
    detectFieldRange(range, document);
    QTEST(range, "detected");
    widenFieldRange(range);
    QTEST(range, "widened");
}

void TestFieldRange::wideningSaturates()
{
    FieldRange range{32700, 32760, -32700, -32760};
    range.fieldYMin = -32760;
    range.fieldYMax = -32700;
    widenFieldRange(range);
    QCOMPARE(range, (FieldRange{32600, 32767, -32768, -32600}));
}

void TestFieldRange::typedLimits_data()
{
    QTest::addColumn<FieldRangeTexts>("texts");
    QTest::addColumn<float>("scale");
    QTest::addColumn<FieldRange>("range");
    QTest::addColumn<QString>("problem");

    QTest::newRow("halves to even") << FieldRangeTexts{" 3.5", " 4.5", " 2.5", "-3.5"} << 1.0f
                                    << FieldRange{2, 4, -4, 4} << QString();
    QTest::newRow("divided by the scale") << FieldRangeTexts{"1.25", "1.75", "-1.25", "0"} << 0.5f
                                          << FieldRange{-2, 2, 0, 4} << QString();
    QTest::newRow("minimum equal to its maximum")
        << FieldRangeTexts{"100", "100", "100", "0"} << 1.0f << FieldRange{100, 100, 0, 100} << QString();
    QTest::newRow("minimum rounding onto its maximum")
        << FieldRangeTexts{"100", "0.5", "0", "0"} << 1.0f << FieldRange{0, 100, 0, 0} << QString();
    QTest::newRow("minimum above its maximum")
        << FieldRangeTexts{"100", "100", "0", "101"} << 1.0f << FieldRange{}
        << QStringLiteral("Y-min must not lie above Y-max.");
    QTest::newRow("beyond 16 bits") << FieldRangeTexts{"32767.5", "100", "0", "0"} << 1.0f << FieldRange{}
                                    << QStringLiteral("X-max must lie between -32768 and 32767.");
    QTest::newRow("beyond 16 bits in display values")
        << FieldRangeTexts{"1", "-16384.5", "0", "-1e400"} << 2.0f << FieldRange{}
        << QStringLiteral("Y-min must lie between -65536 and 65534.");
    QTest::newRow("wider than 32767") << FieldRangeTexts{"20000", "100", "-12768", "0"} << 1.0f << FieldRange{}
                                      << QStringLiteral("X-max may lie at most 32767 above X-min.");
    QTest::newRow("widest") << FieldRangeTexts{"20000", "100", "-12767", "0"} << 1.0f
                            << FieldRange{-12767, 20000, 0, 100} << QString();
    QTest::newRow("last column at 32757") << FieldRangeTexts{"32766", "100", "32747", "0"} << 1.0f
                                          << FieldRange{32747, 32766, 0, 100} << QString();
    QTest::newRow("last row beyond 32757")
        << FieldRangeTexts{"100", "32767", "0", "32748"} << 1.0f << FieldRange{}
        << QStringLiteral("The base field may reach no further than 32757 along Y: lower Y-max or Y-min.");
}

void TestFieldRange::typedLimits()
{
    QFETCH(FieldRangeTexts, texts);
    QFETCH(float, scale);
    QFETCH(QString, problem);
    const FieldRangeReading reading = readFieldRange(texts, scale, scale);
    QCOMPARE(reading.problem, problem);
    if (problem.isEmpty())
        QTEST(reading.range, "range");
}

// What the window shows for a range reads back as that range, at the scale
// the main canvas gives at start-up.
void TestFieldRange::shownLimitsReadBackUnchanged()
{
    const float scaleX = 1.0f / 6495.0f;
    const float scaleY = 1.0f / 6075.0f;
    for (const FieldRange &range : {FieldRange{-100, 400, -7, 2000}, FieldRange{-32768, -1, 12345, 32757}}) {
        const FieldRangeTexts texts = fieldRangeTexts(range, scaleX, scaleY);
        const FieldRangeReading reading = readFieldRange(texts, scaleX, scaleY);
        QVERIFY2(reading.problem.isEmpty(), qPrintable(reading.problem));
        QCOMPARE(reading.range, range);
    }
    QCOMPARE(fieldRangeTexts({-100, 400, 0, 2000}, 1.0f, 0.5f).yMax, QStringLiteral(" 1000"));
    QCOMPARE(fieldRangeTexts({-100, 400, 0, 2000}, 1.0f, 0.5f).xMin, QStringLiteral("-100"));
}

QTEST_GUILESS_MAIN(TestFieldRange)
#include "tst_fieldrange.moc"
