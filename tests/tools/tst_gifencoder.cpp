#include "gifencoder.h"

#include <QBuffer>
#include <QImageReader>
#include <QRandomGenerator>
#include <QTest>

using namespace Vorlane;

namespace {

// Noise in the given number of colours: every pixel a new LZW string, so the
// code table fills and starts again several times.
QImage noise(int colours, quint32 seed)
{
    QRandomGenerator random(seed);
    QImage image(128, 96, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int c = int(random.bounded(colours));
            image.setPixel(x, y, qRgb(c, (c * 7) % 256, 255 - c));
        }
    }
    return image;
}

QList<QImage> decode(QByteArray gif, int *loopCount = nullptr, QList<int> *delays = nullptr)
{
    QBuffer buffer(&gif);
    QImageReader reader(&buffer, "gif");
    QList<QImage> frames;
    while (reader.canRead()) {
        const QImage frame = reader.read();
        if (frame.isNull())
            break;
        if (delays)
            delays->append(reader.nextImageDelay());
        frames.append(frame.convertToFormat(QImage::Format_RGB32));
    }
    if (loopCount)
        *loopCount = reader.loopCount();
    return frames;
}

} // namespace

class TestGifEncoder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void framesReadBackExactly_data();
    void framesReadBackExactly();
    void loopsForeverWithEachFramesDelay();
    void manyColoursAreReducedToTheCube();
};

void TestGifEncoder::framesReadBackExactly_data()
{
    QTest::addColumn<int>("colours");
    QTest::newRow("two colours") << 2;
    QTest::newRow("five colours") << 5;
    QTest::newRow("256 colours") << 256;
}

void TestGifEncoder::framesReadBackExactly()
{
    QFETCH(int, colours);
    const QList<QImage> images{noise(colours, 1), noise(colours, 2)};
    const QList<QImage> decoded = decode(encodeAnimatedGif({GifFrame{images[0], 10}, GifFrame{images[1], 10}}));
    QCOMPARE(decoded.size(), 2);
    QCOMPARE(decoded[0], images[0]);
    QCOMPARE(decoded[1], images[1]);
}

void TestGifEncoder::loopsForeverWithEachFramesDelay()
{
    int loopCount = 0;
    QList<int> delays;
    const QList<QImage> decoded = decode(
        encodeAnimatedGif({GifFrame{noise(3, 1), 12}, GifFrame{noise(3, 2), 300}}), &loopCount, &delays);
    QCOMPARE(decoded.size(), 2);
    QCOMPARE(loopCount, -1);
    QCOMPARE(delays, QList<int>({120, 3000}));
}

void TestGifEncoder::manyColoursAreReducedToTheCube()
{
    QImage gradient(256, 4, QImage::Format_RGB32);
    for (int x = 0; x < 256; ++x) {
        for (int y = 0; y < 4; ++y)
            gradient.setPixel(x, y, qRgb(x, y * 60, 255 - x));
    }
    const QList<QImage> decoded = decode(encodeAnimatedGif({GifFrame{gradient, 10}}));
    QCOMPARE(decoded.size(), 1);
    for (int x = 0; x < 256; x += 15) {
        const QRgb shown = decoded[0].pixel(x, 3);
        QVERIFY(qAbs(qRed(shown) - x) <= 26);
        QVERIFY(qAbs(qGreen(shown) - 180) <= 22);
    }
}

QTEST_GUILESS_MAIN(TestGifEncoder)
#include "tst_gifencoder.moc"
