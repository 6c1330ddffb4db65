#include "render/exact/layers.h"

#include <QTest>

#include <algorithm>
#include <vector>

using namespace Vorlane;

class TestLayers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aLayerLaysOverWhatItDrewAndForgetsIt_data();
    void aLayerLaysOverWhatItDrewAndForgetsIt();
};

void TestLayers::aLayerLaysOverWhatItDrewAndForgetsIt_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QList<qint32>>("offsets"); // -1: off the canvas
    QTest::newRow("one pixel") << QSize(1, 1) << QList<qint32>{0, -1};
    QTest::newRow("either side of a page's end") << QSize(1025, 3) << QList<qint32>{1023, 1024, 2047, 2048};
    QTest::newRow("the last pixel, in a group of four cut short") << QSize(163, 150)
                                                                  << QList<qint32>{24449, 24448, 0, 5000};
    QTest::newRow("the same pixel twice") << QSize(40, 30) << QList<qint32>{77, 78, 77};
}

// What the layer drew goes over the canvas, the last colour on a pixel
// winning, and nothing else changes. Laid over, the layer is empty: used
// again, it brings back none of what it drew before, even where the canvas
// has changed since.
void TestLayers::aLayerLaysOverWhatItDrewAndForgetsIt()
{
    QFETCH(QSize, size);
    QFETCH(QList<qint32>, offsets);
    constexpr QRgb paper = 0xFFFFFFFF;
    RasterCanvas canvas(size);
    const RasterCanvas::PixelWriter writer = canvas.pixelWriter();
    std::fill_n(writer.bits(), writer.stride() * writer.height(), paper);
    std::vector<QRgb> expected(std::size_t(writer.stride() * writer.height()), paper);
    std::vector<QRgb> colours;
    for (qsizetype n = 0; n < offsets.size(); ++n) {
        colours.push_back(0xFF000000 | QRgb(n + 1));
        if (offsets[n] >= 0)
            expected[std::size_t(offsets[n])] = colours.back();
    }

    exact::Layer layer(writer);
    layer.write(offsets.data(), colours.data(), qint32(offsets.size()));
    layer.moveOnto(writer);
    QVERIFY(std::equal(expected.begin(), expected.end(), writer.bits()));

    std::fill_n(writer.bits(), writer.stride() * writer.height(), paper);
    std::fill(expected.begin(), expected.end(), paper);
    const qint32 again = offsets.constFirst();
    const QRgb ink = 0xFFABCDEF;
    layer.write(&again, &ink, 1);
    layer.moveOnto(writer);
    if (again >= 0)
        expected[std::size_t(again)] = ink;
    QVERIFY(std::equal(expected.begin(), expected.end(), writer.bits()));
}

QTEST_GUILESS_MAIN(TestLayers)
#include "tst_layers.moc"
