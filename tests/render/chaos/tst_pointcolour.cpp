#include "common/randomgenerator.h"
#include "document/colour.h"
#include "document/colourstyles.h"
#include "document/fractaldocument.h"
#include "render/chaos/pointcolour.h"

#include <QTest>

using namespace Vorlane;

namespace {

// The colour of a point of a run as long as the document says.
qint32 colourOf(const FractalDocument &document, RandomGenerator &random, qint64 pointNumber, qint16 cir)
{
    return pointColour(document, document.settings.totalPoints, random, pointNumber, cir);
}

FractalDocument documentWithStyle(qint32 style)
{
    FractalDocument document;
    document.colours = {style, rgbColour(100, 50, 10), rgbColour(0, 255, 0), 0};
    document.settings.resolution = 20;
    document.settings.totalPoints = 1000;
    return document;
}

} // namespace

class TestPointColour : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void blendsRoundDown_data();
    void blendsRoundDown();
    void radiatingFollowsIterationsSinceRestart();
    void chronologicalReachesSecondColourAtLastPoint();
    void randomStylesDrawOneNumberEach();
    void twoColoursOnlyTakesFirstAtHalf();
    void unknownStyleIsBlack();
    void equalColoursStayInEveryStyle();
    void stylesWorkedOutOncePerIterationIgnorePointAndChance();
};

void TestPointColour::blendsRoundDown_data()
{
    QTest::addColumn<qint32>("from");
    QTest::addColumn<qint32>("to");
    QTest::addColumn<float>("t");
    QTest::addColumn<qint32>("expected");
    QTest::newRow("halfway") << rgbColour(100, 50, 10) << rgbColour(0, 255, 0) << 0.5f << rgbColour(50, 152, 5);
    QTest::newRow("start") << rgbColour(100, 50, 10) << rgbColour(0, 255, 0) << 0.0f << rgbColour(100, 50, 10);
    QTest::newRow("end") << rgbColour(100, 50, 10) << rgbColour(0, 255, 0) << 1.0f << rgbColour(0, 255, 0);
    QTest::newRow("down arrives early") << rgbColour(100, 0, 0) << rgbColour(0, 0, 0) << 0.999f << rgbColour(0, 0, 0);
    QTest::newRow("up arrives late") << rgbColour(0, 0, 0) << rgbColour(255, 0, 0) << 0.999f << rgbColour(254, 0, 0);
    QTest::newRow("top byte ignored") << qint32(0x7F000000) << rgbColour(0, 0, 200) << 0.5f << rgbColour(0, 0, 100);
}

void TestPointColour::blendsRoundDown()
{
    QFETCH(qint32, from);
    QFETCH(qint32, to);
    QFETCH(float, t);
    QFETCH(qint32, expected);
    QCOMPARE(blendColours(from, to, t), expected);
}

void TestPointColour::radiatingFollowsIterationsSinceRestart()
{
    const FractalDocument document = documentWithStyle(RadiatingColour);
    RandomGenerator random;
    QCOMPARE(colourOf(document, random, 1, 0), document.colours.colour1);
    QCOMPARE(colourOf(document, random, 1, 10), rgbColour(50, 152, 5));
    QVERIFY(colourOf(document, random, 1, 19) != document.colours.colour2);
    RandomGenerator untouched;
    QCOMPARE(random.next(), untouched.next()); // no number was drawn
}

void TestPointColour::chronologicalReachesSecondColourAtLastPoint()
{
    const FractalDocument document = documentWithStyle(ChronologicalColour);
    RandomGenerator random;
    QCOMPARE(colourOf(document, random, 1000, 5), document.colours.colour2);
    QCOMPARE(colourOf(document, random, 500, 5), rgbColour(50, 152, 5));
}

void TestPointColour::randomStylesDrawOneNumberEach()
{
    for (const qint32 style : {RandomColour, TwoColoursOnly}) {
        const FractalDocument document = documentWithStyle(style);
        RandomGenerator random;
        RandomGenerator reference;
        colourOf(document, random, 1, 0);
        reference.next();
        QCOMPARE(random.next(), reference.next());
    }
}

void TestPointColour::twoColoursOnlyTakesFirstAtHalf()
{
    FractalDocument document = documentWithStyle(TwoColoursOnly);
    document.colours.colour1 = qint32(0x01000000) | rgbColour(1, 2, 3); // kept whole
    RandomGenerator random;
    RandomGenerator reference;
    for (int i = 0; i < 1000; ++i) {
        const float r = reference.next();
        QCOMPARE(colourOf(document, random, i + 1, 0), r <= 0.5f ? document.colours.colour1 : document.colours.colour2);
    }
}

void TestPointColour::unknownStyleIsBlack()
{
    RandomGenerator random;
    QCOMPARE(pointColour(documentWithStyle(0), 0, random, 1, 3), 0);
    QCOMPARE(pointColour(documentWithStyle(5), 0, random, 1, 3), 0);
}

void TestPointColour::equalColoursStayInEveryStyle()
{
    for (qint32 style = 1; style <= 4; ++style) {
        FractalDocument document = documentWithStyle(style);
        document.colours.colour2 = document.colours.colour1;
        RandomGenerator random;
        for (qint16 cir = 0; cir < 20; ++cir)
            QCOMPARE(colourOf(document, random, cir + 1, cir), document.colours.colour1);
    }
}

// The renderer works a style's colours out once per run when the style table
// says they depend on the iteration alone: point number and random draws must
// then change nothing, and a style that does depend on them must say so; and
// it takes as many random numbers as the table says.
void TestPointColour::stylesWorkedOutOncePerIterationIgnorePointAndChance()
{
    for (const ColourStyleEntry &entry : colourStyles) {
        const FractalDocument document = documentWithStyle(entry.style);
        RandomGenerator random;
        bool same = true;
        for (qint16 cir = 0; cir < document.settings.resolution; ++cir)
            same = same && colourOf(document, random, 1, cir) == colourOf(document, random, 777, cir);
        same = same && random.next() == RandomGenerator().next();
        QVERIFY2(same == (entry.rule == ColourRule::BlendByIteration), entry.caption);
        // The renderer skips the generator ahead by what the table says a point takes.
        RandomGenerator drawn, skipped;
        colourOf(document, drawn, 1, 0);
        skipped.discard(quint64(entry.randomDraws));
        QVERIFY2(drawn == skipped, entry.caption);
    }
    QCOMPARE(colourStyleEntry(0), nullptr);
    QCOMPARE(colourStyleEntry(4)->style, TwoColoursOnly);
}

QTEST_GUILESS_MAIN(TestPointColour)
#include "tst_pointcolour.moc"
