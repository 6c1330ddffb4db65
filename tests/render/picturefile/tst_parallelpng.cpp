#include "render/picturefile/parallelpng.h"

#include <QTest>

#include <random>

using namespace Vorlane;

class TestParallelPng : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decodesToTheSamePixels_data();
    void decodesToTheSamePixels();
};

void TestParallelPng::decodesToTheSamePixels_data()
{
    QTest::addColumn<QImage::Format>("format");
    QTest::addColumn<QSize>("size");
    QTest::newRow("8-bit") << QImage::Format_RGB32 << QSize(301, 203);
    QTest::newRow("8-bit with alpha") << QImage::Format_ARGB32 << QSize(64, 97);
    QTest::newRow("16-bit") << QImage::Format_RGBX64 << QSize(129, 33);
    QTest::newRow("16-bit with alpha") << QImage::Format_RGBA64 << QSize(50, 70);
    QTest::newRow("one row") << QImage::Format_RGB32 << QSize(1000, 1);
    QTest::newRow("several bands") << QImage::Format_RGB32 << QSize(600, 1900);
    QTest::newRow("one pixel") << QImage::Format_RGBA64 << QSize(1, 1);
}

// Noise, with a flat background in its upper half as posters have, read
// back by Qt's own reader pixel for pixel, with its size in dots per metre.
void TestParallelPng::decodesToTheSamePixels()
{
    QFETCH(QImage::Format, format);
    QFETCH(QSize, size);
    QImage image(size, format);
    image.setDotsPerMeterX(2835);
    image.setDotsPerMeterY(3780);
    std::mt19937 engine(11);
    std::uniform_int_distribution<int> component(0, 65535);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const bool background = y < size.height() / 2;
            const QRgba64 colour = background ? QRgba64::fromRgba64(1000, 20000, 65535, 65535)
                                              : QRgba64::fromRgba64(quint16(component(engine)),
                                                                    quint16(component(engine)),
                                                                    quint16(component(engine)),
                                                                    quint16(component(engine)));
            image.setPixelColor(x, y, QColor::fromRgba64(colour));
        }
    }
    const QImage decoded = QImage::fromData(encodePngInParallel(image), "PNG");
    QCOMPARE(decoded.format(), format);
    QCOMPARE(decoded, image);
    QCOMPARE(decoded.dotsPerMeterX(), 2835);
    QCOMPARE(decoded.dotsPerMeterY(), 3780);
}

QTEST_GUILESS_MAIN(TestParallelPng)
#include "tst_parallelpng.moc"
