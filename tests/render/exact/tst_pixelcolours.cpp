#include "render/exact/pixelcolours.h"

#include "document/colour.h"
#include "document/fractaldocument.h"

#include <QTest>

#include <random>
#include <vector>

using namespace Vorlane;
using namespace Vorlane::exact;

class TestPixelColours : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lanesColourAsTheScalarCode_data();
    void lanesColourAsTheScalarCode();
};

void TestPixelColours::lanesColourAsTheScalarCode_data()
{
    QTest::addColumn<qint32>("style");
    QTest::addColumn<qint32>("colour1");
    QTest::addColumn<qint32>("colour2");
    QTest::addColumn<qint64>("totalPoints");
    QTest::addColumn<qint64>("first");
    const qint32 olive = rgbColour(100, 50, 10);
    const qint32 green = rgbColour(0, 255, 0);
    QTest::newRow("random blend") << qint32(RandomColour) << olive << green << qint64(45000) << qint64(1);
    QTest::newRow("random blend downwards")
        << qint32(RandomColour) << rgbColour(255, 255, 255) << rgbColour(0, 0, 0) << qint64(45000) << qint64(77);
    // Only the low 24 bits take part; all 32 bits of a picked colour are kept.
    QTest::newRow("random blend, high bytes") << qint32(RandomColour) << -1 << 0x01000000 << qint64(45000) << qint64(9);
    QTest::newRow("two colours, high bytes") << qint32(TwoColoursOnly) << qint32(0x7f123456) << -1 << qint64(45000)
                                             << qint64(3);
    // The last points reach colour2 exactly.
    QTest::newRow("chronological, last points")
        << qint32(ChronologicalColour) << olive << green << qint64(1'000'003) << qint64(1'000'003 - 36);
    QTest::newRow("chronological, top of 32 bits")
        << qint32(ChronologicalColour) << green << olive << qint64(2147483647) << qint64(2147483647 - 36);
    QTest::newRow("radiating across restarts") << qint32(RadiatingColour) << olive << green << qint64(45000)
                                               << qint64(13);
    QTest::newRow("no such style") << qint32(9) << olive << green << qint64(45000) << qint64(5);
}

// Numbers on and around the ties and the ends of [0, 1), and runs of any
// length, give the scalar code's pixels.
void TestPixelColours::lanesColourAsTheScalarCode()
{
    QFETCH(qint32, style);
    QFETCH(qint32, colour1);
    QFETCH(qint32, colour2);
    QFETCH(qint64, totalPoints);
    QFETCH(qint64, first);
    FractalDocument document = startupDocument(1.0f, 1.0f, 0);
    document.colours.colourStyle = style;
    document.colours.colour1 = colour1;
    document.colours.colour2 = colour2;
    document.settings.resolution = 7;
    std::vector<float> drawn{0.0f, 0.5f, 0.50000006f, 0.49999997f, 0.99999994f, 0.25f, 1.0f / 3.0f, 0.75f};
    std::mt19937 engine(11);
    std::uniform_int_distribution<int> word(0, (1 << 24) - 1);
    while (drawn.size() < 37)
        drawn.push_back(float(word(engine)) / 16777216.0f);
    const PixelColours scalar(document, totalPoints, ChainStepping::Scalar);
    const PixelColours lanes(document, totalPoints, ChainStepping::Lanes);
    for (const qint32 count : {37, 8, 5}) {
        std::vector<QRgb> scalarPixels(std::size_t(count), 0);
        std::vector<QRgb> lanePixels(std::size_t(count), 1);
        scalar.pixels(first, drawn.data(), count, scalarPixels.data());
        lanes.pixels(first, drawn.data(), count, lanePixels.data());
        QCOMPARE(lanePixels, scalarPixels);
    }
}

QTEST_GUILESS_MAIN(TestPixelColours)
#include "tst_pixelcolours.moc"
