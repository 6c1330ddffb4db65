#include "document/colour.h"
#include "document/documentfile.h"
#include "document/fractaldocument.h"
#include "render/picturefile/bitmapfile.h"
#include "render/poster/poster.h"
#include "render/poster/posterpart.h"
#include "render/poster/posterrender.h"
#include "support/testfolder.h"

#include <QDir>
#include <QRect>
#include <QSet>
#include <QTest>

#include <cmath>
#include <cstring>
#include <utility>
#include <functional>

using namespace Vorlane;

namespace {

constexpr qint32 paper = rgbColour(250, 248, 240);

Transformation map(float contraction, float translationX, float translationY)
{
    return Transformation{paddedTrName(QString()), {contraction, contraction}, 0.0f, {translationX, translationY}};
}

// The triangle of triangles, drawn in one colour.
FractalDocument triangle()
{
    FractalDocument document;
    document.transformations = {map(0.5f, -200.0f, 0.0f), map(0.5f, 200.0f, 0.0f), map(0.5f, 0.0f, 300.0f)};
    document.basePoints = {{0, 0}};
    document.settings = {45000, 20, 1.0f, 1.0f};
    document.colours = {TwoColoursOnly, rgbColour(20, 60, 160), rgbColour(20, 60, 160), paper};
    return document;
}

PosterRequest request(QSize size, qint64 points)
{
    PosterRequest request;
    request.settings.size = size;
    request.settings.points = points;
    request.tone.backColour = paper;
    return request;
}

QImage poster(const FractalDocument &document, const PosterRequest &request, int threads = 0)
{
    RunControl control;
    control.threads = threads;
    const PosterResult result = renderPoster(document, request, control);
    if (result.end != PosterRunEnd::Finished)
        qWarning("%s", qPrintable(result.error));
    return result.picture;
}

QRect inkBounds(const QImage &picture, QRgb background)
{
    QRect bounds;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (picture.pixel(x, y) != background)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

// The sums of pieces, added by threads workers, and what the run found
// while adding them.
PosterAccumulation accumulate(const FractalDocument &document, const PosterSettings &settings, PosterPieces pieces,
                              int threads, PosterReach *reach = nullptr,
                              PosterStepping stepping = fastestPosterStepping())
{
    QString error;
    std::optional<PosterAccumulation> sums = PosterAccumulation::allocate(posterSumsSize(settings), 0, &error);
    RunControl control;
    control.threads = threads;
    const PosterRunResult run =
        accumulatePoster(document, settings, fitPosterView(document, settings), pieces, *sums, control, stepping);
    Q_ASSERT(run.end == PosterRunEnd::Finished);
    if (reach)
        *reach = run.reach;
    return std::move(*sums);
}

// The four pixels around spot hold exactly points times their shares of a
// point of rgbColour(200, 100, 3), and no other pixel holds anything.
bool holdsTheSpot(const PosterAccumulation &sums, QPointF spot, qint64 points)
{
    const QSize size = sums.size();
    const int left = int(std::floor(spot.x()));
    const int top = int(std::floor(spot.y()));
    const quint64 right = quint64((spot.x() - left) * 256.0);
    const quint64 below = quint64((spot.y() - top) * 256.0);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const quint64 across = x == left ? 256 - right : x == left + 1 ? right : 0;
            const quint64 down = y == top ? 256 - below : y == top + 1 ? below : 0;
            const quint64 weight = quint64(points) * across * down;
            const PixelSums &pixel = sums.row(y)[x];
            if (pixel.weight != weight || pixel.red != weight * 200 || pixel.green != weight * 100
                || pixel.blue != weight * 3) {
                qWarning("pixel %d, %d holds %llu", x, y, pixel.weight);
                return false;
            }
        }
    }
    return true;
}

// The run's densest pixel is that of the sums, and it missed no row with sums.
bool reachHolds(const PosterAccumulation &sums, const PosterReach &reach)
{
    if (reach.largestWeight != sums.largestWeight() || int(reach.rows.size()) != sums.size().height())
        return false;
    for (int y = 0; y < sums.size().height(); ++y) {
        if (!reach.rows[std::size_t(y)] && largestWeight(sums.row(y), sums.size().width()) != 0)
            return false;
    }
    return true;
}

bool sameSums(const PosterAccumulation &a, const PosterAccumulation &b)
{
    const qint64 bytes = PosterAccumulation::bytesFor(a.size());
    return a.size() == b.size() && std::memcmp(a.row(0), b.row(0), std::size_t(bytes)) == 0;
}

// Adds from's sums to to's pixel by pixel, as merging parts does.
void addSums(PosterAccumulation &to, const PosterAccumulation &from)
{
    const qint64 count = qint64(to.size().width()) * to.size().height();
    for (qint64 i = 0; i < count; ++i) {
        PixelSums &sum = to.row(0)[i];
        const PixelSums &other = from.row(0)[i];
        sum.weight += other.weight;
        sum.red += other.red;
        sum.green += other.green;
        sum.blue += other.blue;
    }
}

// The parts at paths merged, and the picture of whole's sums as the merge
// tones it: at 16 bits a level, one point more or less in a pixel shows.
std::pair<MergedPicture, QImage> mergedAndWhole(const QStringList &paths, const PosterAccumulation &whole)
{
    PosterToneMapping tone;
    tone.depth = 16;
    MergedPicture merged = mergePosterPicture(paths, tone);
    tone.backColour = paper;
    QString error;
    return {merged, posterPicture(whole, tone, &error)};
}

// The files of parts, in that order, of a poster in as many parts.
QStringList writeParts(const TestFolder &folder, const FractalDocument &document, const PosterSettings &settings,
                       const QList<int> &parts)
{
    QStringList paths;
    for (int part : parts) {
        paths.append(folder.filePath(QStringLiteral("part%1.vacc").arg(part)));
        QString error;
        const bool written = writePosterPart(
            posterPartHeader(document, settings, part, int(parts.size())),
            accumulate(document, settings, posterPart(settings.points, part, int(parts.size())), 2), paths.last(),
            &error);
        if (!written)
            qWarning("%s", qPrintable(error));
    }
    return paths;
}

PosterPalette namedPalette(const char *name)
{
    QString error;
    return *findPosterPalette(QLatin1String(name), &error);
}

// The settings of each new option of the poster, alone or together.
void addOptionRows()
{
    QTest::addColumn<PosterSettings>("options");
    const PosterSettings plain;
    PosterSettings palette = plain;
    palette.palette = namedPalette("ocean");
    PosterSettings byMap = palette;
    byMap.colourBy = PosterColourBy::Map;
    PosterSettings skip = plain;
    skip.skip = 3;
    PosterSettings supersample = plain;
    supersample.supersample = 2;
    PosterSettings all = byMap;
    all.skip = 5;
    all.supersample = 3;
    QTest::newRow("defaults") << plain;
    QTest::newRow("palette through the colour style") << palette;
    QTest::newRow("colour by map") << byMap;
    QTest::newRow("skip") << skip;
    QTest::newRow("supersample") << supersample;
    QTest::newRow("all together") << all;
    PosterSettings cut = plain;
    cut.zoom = 4.0; // the edges cut through the fractal
    QTest::newRow("zoomed past the edges") << cut;
}

PosterSettings withOptions(const PosterSettings &options, QSize size, qint64 points)
{
    PosterSettings settings = options;
    settings.size = size;
    settings.points = points;
    return settings;
}

double luminance(QRgb pixel)
{
    return 0.2126 * qRed(pixel) + 0.7152 * qGreen(pixel) + 0.0722 * qBlue(pixel);
}

// A field that all parts of a poster share, changed alone, and the words
// that refuse a part differing in it.
struct FieldChange
{
    const char *field;
    std::function<void(PosterPartHeader &)> change;
    const char *refusal;
};

const FieldChange fieldChanges[] = {
    {"document", [](PosterPartHeader &h) { h.documentChecksum[0] = char(h.documentChecksum[0] ^ 1); },
     "another document"},
    {"background colour", [](PosterPartHeader &h) { h.backColour ^= 1; }, "another document"},
    {"mathematics", [](PosterPartHeader &h) { h.arithmeticChecksum[0] = char(h.arithmeticChecksum[0] ^ 1); },
     "other mathematics"},
    {"size", [](PosterPartHeader &h) { h.settings.size.rheight() += 1; }, "another size"},
    {"points", [](PosterPartHeader &h) { h.settings.points += 1; }, "another number of points"},
    {"seed", [](PosterPartHeader &h) { h.settings.seed += 1; }, "another seed"},
    {"zoom", [](PosterPartHeader &h) { h.settings.zoom *= 2.0; }, "another zoom"},
    {"centre", [](PosterPartHeader &h) { h.settings.centre = QPointF(0.0, 0.5); }, "another centre"},
    {"palette", [](PosterPartHeader &h) { h.settings.palette = namedPalette("ocean"); }, "another palette"},
    {"colour mode", [](PosterPartHeader &h) { h.settings.colourBy = PosterColourBy::Map; }, "another colour mode"},
    {"skip", [](PosterPartHeader &h) { h.settings.skip += 1; }, "another skip"},
    {"supersampling", [](PosterPartHeader &h) { h.settings.supersample = 2; }, "another supersampling"},
    {"parts", [](PosterPartHeader &h) { h.parts = 3; }, "another number of parts"},
};

} // namespace

Q_DECLARE_METATYPE(const FieldChange *)

class TestPoster : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theFractalFillsTheFrameWithAMargin_data();
    void theFractalFillsTheFrameWithAMargin();
    void zoomAndCentreMoveTheFittedView();
    void densityShadesAOneColourFractal();
    void toneFollowsTheHitCount_data();
    void toneFollowsTheHitCount();
    void threadsAndPartsGiveTheSameSums_data();
    void threadsAndPartsGiveTheSameSums();
    void colourByMapSeparatesTheMaps();
    void brightnessLiftsADarkPosterWithoutClipping();
    void aPointIsSharedExactlyAtEdgesAndBandBounds_data();
    void aPointIsSharedExactlyAtEdgesAndBandBounds();
    void partsHoldEveryPieceOnce_data();
    void partsHoldEveryPieceOnce();
    void transparentAndDeepPicturesReadBack();
    void tooLittleMemoryIsReported();
    void cancellingStopsTheRun();
    void partFilesKeepTheSumsExactly_data();
    void partFilesKeepTheSumsExactly();
    void mergeRefusesAPartDifferingInAnyField_data();
    void mergeRefusesAPartDifferingInAnyField();
    void mergingBandByBandGivesTheSamePicture();
};

void TestPoster::theFractalFillsTheFrameWithAMargin_data()
{
    QTest::addColumn<FractalDocument>("document");
    QTest::addColumn<QSize>("size");
    QTest::newRow("triangle, wide frame") << triangle() << QSize(300, 160);
    QTest::newRow("triangle, tall frame") << triangle() << QSize(120, 300);
    QTest::newRow("tree, square frame") << startupDocument(1.0f, 1.0f, paper) << QSize(200, 200);
}

void TestPoster::theFractalFillsTheFrameWithAMargin()
{
    QFETCH(FractalDocument, document);
    QFETCH(QSize, size);
    const QImage picture = poster(document, request(size, 400'000));
    QCOMPARE(picture.size(), size);
    const QRect ink = inkBounds(picture, picture.pixel(0, 0));
    QVERIFY2(ink.width() >= size.width() * 0.8 || ink.height() >= size.height() * 0.8,
             qPrintable(QStringLiteral("ink %1 x %2").arg(ink.width()).arg(ink.height())));
    QVERIFY(ink.left() > 0 && ink.top() > 0);
    QVERIFY(ink.right() < size.width() - 1 && ink.bottom() < size.height() - 1);
    // Centred: the free space either side differs by a few pixels at most.
    QVERIFY(qAbs(ink.left() - (size.width() - 1 - ink.right())) <= size.width() / 20 + 2);
}

void TestPoster::zoomAndCentreMoveTheFittedView()
{
    const FractalDocument document = triangle();
    PosterSettings settings;
    settings.size = QSize(400, 400);
    const PosterView fitted = fitPosterView(document, settings);
    // The triangle's corners lie at (-400, 0), (400, 0) and (0, 600).
    QVERIFY(qAbs(fitted.centreX) < 5.0 && qAbs(fitted.centreY - 300.0) < 5.0);
    QVERIFY(qAbs(fitted.pixelsPerUnit - 400 * 0.9 / 800) < 0.01);
    settings.zoom = 3.0;
    settings.centre = QPointF(-400.0, 0.0);
    const PosterView moved = fitPosterView(document, settings);
    QCOMPARE(moved.pixelsPerUnit, fitted.pixelsPerUnit * 3.0);
    QCOMPARE(QPointF(moved.centreX, moved.centreY), QPointF(-400.0, 0.0));
}

void TestPoster::densityShadesAOneColourFractal()
{
    FractalDocument document = startupDocument(1.0f, 1.0f, paper);
    document.colours.colour2 = document.colours.colour1;
    const QImage picture = poster(document, request(QSize(200, 200), 2'000'000));
    QSet<QRgb> levels;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            levels.insert(picture.pixel(x, y));
    }
    QVERIFY2(levels.size() > 100, qPrintable(QString::number(levels.size())));
}

void TestPoster::toneFollowsTheHitCount_data()
{
    QTest::addColumn<double>("gamma");
    QTest::addColumn<bool>("transparent");
    // Of white pixels of 0, 1, 3 and 7 hits: red over black, else opacity.
    QTest::addColumn<QList<quint16>>("levels");
    // log(1 + hits) / log(8) is 0, 1/3, 2/3 and 1.
    QTest::newRow("gamma 1") << 1.0 << false << QList<quint16>{0, 21845, 43690, 65535};
    QTest::newRow("gamma 2") << 2.0 << false << QList<quint16>{0, 37837, 53509, 65535};
    QTest::newRow("over transparency") << 1.0 << true << QList<quint16>{0, 21845, 43690, 65535};
}

void TestPoster::toneFollowsTheHitCount()
{
    QFETCH(double, gamma);
    QFETCH(bool, transparent);
    QFETCH(QList<quint16>, levels);
    QString error;
    std::optional<PosterAccumulation> sums = PosterAccumulation::allocate(QSize(4, 1), 0, &error);
    const quint64 hits[] = {0, 1, 3, 7};
    for (int x = 0; x < 4; ++x) {
        const quint64 weight = hits[x] * posterPointWeight;
        sums->row(0)[x] = {weight, weight * 255, weight * 255, weight * 255};
    }
    const PosterToneMapping tone{gamma, transparent, 16, 0};
    const QImage picture = posterPicture(*sums, tone, &error);
    for (int x = 0; x < 4; ++x) {
        const QRgba64 pixel = picture.pixelColor(x, 0).rgba64();
        QCOMPARE(transparent ? pixel.alpha() : pixel.red(), levels[x]);
    }
}

void TestPoster::threadsAndPartsGiveTheSameSums_data()
{
    addOptionRows();
}

void TestPoster::threadsAndPartsGiveTheSameSums()
{
    QFETCH(PosterSettings, options);
    FractalDocument document = startupDocument(1.0f, 1.0f, paper);
    document.colours.colourStyle = RandomColour;
    // One thread takes more than one round; the last piece is short.
    PosterSettings settings = withOptions(options, QSize(160, 120), posterPiecePoints * 4 + 12345);
    const PosterPieces all{0, posterPieceCount(settings.points)};
    PosterReach reach;
    const PosterAccumulation one = accumulate(document, settings, all, 1, &reach);
    QVERIFY(reachHolds(one, reach));
    for (int threads : {2, 3}) {
        const PosterAccumulation sums = accumulate(document, settings, all, threads, &reach);
        QVERIFY2(sameSums(one, sums), qPrintable(QString::number(threads)));
        QVERIFY(reachHolds(sums, reach));
    }
    // The plain code, splats added one pixel at a time, is the reference;
    // AVX2 adds a pixel's four sums at once.
    for (const PosterStepping stepping : {PosterStepping::Scalar, PosterStepping::FourLanes}) {
        const PosterAccumulation other = accumulate(document, settings, all, 2, &reach, stepping);
        QVERIFY2(sameSums(one, other), qPrintable(QString::number(int(stepping))));
        QVERIFY(reachHolds(other, reach));
    }
    PosterAccumulation merged = accumulate(document, settings, posterPart(settings.points, 1, 3), 1);
    for (int part : {2, 3})
        addSums(merged, accumulate(document, settings, posterPart(settings.points, part, 3), 2));
    QVERIFY(sameSums(one, merged));
    settings.seed = 1;
    QVERIFY(!sameSums(one, accumulate(document, settings, all, 1)));
}

// Two maps, each shrinking the line into a stretch of its own: a point the
// first map put there has its place on the gradient in the first half, one
// of the second map in the second half.
void TestPoster::colourByMapSeparatesTheMaps()
{
    FractalDocument document = triangle();
    document.transformations = {map(0.4f, -300.0f, 0.0f), map(0.4f, 300.0f, 0.0f)};
    PosterRequest byMap = request(QSize(200, 100), 600'000);
    byMap.settings.colourBy = PosterColourBy::Map;
    PosterGradient halves;
    std::fill(halves.begin(), halves.end(), rgbColour(0, 0, 255));
    std::fill(halves.begin(), halves.begin() + 128, rgbColour(255, 0, 0));
    byMap.settings.palette = {QStringLiteral("red, then blue"), halves};
    byMap.settings.skip = 1; // the base point between them has the middle place
    byMap.tone.gamma = 1e6; // every inked pixel at its full colour
    const QImage picture = poster(document, byMap);
    int left = 0, right = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = picture.pixel(x, y);
            if (pixel == picture.pixel(0, 0))
                continue;
            QVERIFY2(qRgb(qRed(pixel), 0, qBlue(pixel)) == (x < 100 ? qRgb(255, 0, 0) : qRgb(0, 0, 255)),
                     qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
            (x < 100 ? left : right) += 1;
        }
    }
    QVERIFY(left > 40 && right > 40);
}

// The Spiral on its dark background, lifted: its inked pixels at least twice
// as bright on average, fewer than 1 % of them at full strength (the tone
// never takes a pixel beyond its own colour, so that is as far as it clips).
void TestPoster::brightnessLiftsADarkPosterWithoutClipping()
{
    const std::optional<FractalDocument> spiral =
        loadDocumentFile(QDir(QStringLiteral(VORLANE_GALLERY_DIR)).filePath(QStringLiteral("Spiral.vrf")),
                         FractalDocument());
    QVERIFY(spiral);
    PosterRequest plain = request(QSize(200, 200), 1'000'000);
    plain.tone.backColour = spiral->colours.backColour;
    PosterRequest lifted = plain;
    lifted.tone.brightness = 6.0;
    lifted.tone.vibrancy = 0.0;
    PosterRequest full = lifted;
    full.tone.brightness = 1e12;
    const QImage before = poster(*spiral, plain);
    const QImage after = poster(*spiral, lifted);
    const QImage strongest = poster(*spiral, full);
    const QRgb background = before.pixel(0, 0);
    double beforeSum = 0.0, afterSum = 0.0;
    int inked = 0, clipped = 0;
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x) {
            if (before.pixel(x, y) == background)
                continue;
            ++inked;
            beforeSum += luminance(before.pixel(x, y)) - luminance(background);
            afterSum += luminance(after.pixel(x, y)) - luminance(background);
            clipped += after.pixel(x, y) == strongest.pixel(x, y) ? 1 : 0;
        }
    }
    QVERIFY(inked > 1000);
    QVERIFY2(afterSum >= 2.0 * beforeSum, qPrintable(QStringLiteral("%1 %2").arg(beforeSum).arg(afterSum)));
    QVERIFY2(clipped * 100 < inked, qPrintable(QStringLiteral("%1 of %2").arg(clipped).arg(inked)));
}

void TestPoster::aPointIsSharedExactlyAtEdgesAndBandBounds_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPointF>("spot"); // in pixels, 0.0 the first pixel's middle
    QTest::newRow("off the top left corner") << QSize(40, 30) << QPointF(-0.5, -0.25);
    QTest::newRow("off the bottom right corner") << QSize(40, 30) << QPointF(39.75, 29.5);
    QTest::newRow("across bands of a narrow poster") << QSize(5, 600) << QPointF(2.125, 383.5);
    QTest::newRow("a narrow poster's 512th row") << QSize(5, 600) << QPointF(2.125, 511.5);
    QTest::newRow("widest poster, last column") << QSize(largestPosterSide, 4) << QPointF(32767.5, 1.75);
}

// Every point of a fractal shrunk to one spot lands there, so the four pixels
// around the spot hold exactly the points' count times their shares, and the
// run knows the rows and the densest pixel without scanning.
void TestPoster::aPointIsSharedExactlyAtEdgesAndBandBounds()
{
    QFETCH(QSize, size);
    QFETCH(QPointF, spot);
    const qint32 colour = rgbColour(200, 100, 3);
    FractalDocument document = triangle();
    document.transformations = {map(1e-30f, 0.0f, 0.0f)};
    document.colours = {TwoColoursOnly, colour, colour, paper};
    PosterSettings settings;
    settings.size = size;
    settings.points = 30000;
    settings.centre = QPointF(size.width() / 2.0 - 0.5 - spot.x(), spot.y() - size.height() / 2.0 + 0.5);
    for (const PosterStepping stepping :
         {PosterStepping::Scalar, PosterStepping::FourLanes, PosterStepping::EightLanes}) {
        PosterReach reach;
        const PosterAccumulation sums = accumulate(document, settings, {0, 1}, 2, &reach, stepping);
        QVERIFY(reachHolds(sums, reach));
        QVERIFY2(holdsTheSpot(sums, spot, settings.points), qPrintable(QString::number(int(stepping))));
    }
}

void TestPoster::partsHoldEveryPieceOnce_data()
{
    QTest::addColumn<qint64>("points");
    QTest::addColumn<int>("parts");
    QTest::newRow("fewer pieces than parts") << qint64(3) * posterPiecePoints << 5;
    QTest::newRow("one part") << qint64(1000) << 1;
    QTest::newRow("uneven") << qint64(10) * posterPiecePoints + 1 << 3;
    QTest::newRow("beyond 32 bits") << qint64(1e11) << 7;
}

void TestPoster::partsHoldEveryPieceOnce()
{
    QFETCH(qint64, points);
    QFETCH(int, parts);
    qint64 next = 0;
    for (int part = 1; part <= parts; ++part) {
        const PosterPieces pieces = posterPart(points, part, parts);
        QCOMPARE(pieces.first, next);
        QVERIFY(pieces.end >= pieces.first);
        next = pieces.end;
    }
    QCOMPARE(next, posterPieceCount(points));
}

void TestPoster::transparentAndDeepPicturesReadBack()
{
    TestFolder folder;
    const FractalDocument document = triangle();
    PosterRequest deep = request(QSize(120, 100), 200'000);
    deep.tone.transparent = true;
    deep.tone.depth = 16;
    const QImage picture = poster(document, deep);
    const QString path = folder.filePath(QStringLiteral("deep.png"));
    QString error;
    QVERIFY2(writePictureFile(picture, path, &error), qPrintable(error));
    const QImage read(path);
    QCOMPARE(read.depth(), 64);
    QVERIFY(read.hasAlphaChannel());
    QCOMPARE(read.convertToFormat(QImage::Format_RGBA64), picture);
    QCOMPARE(read.pixelColor(0, 0).alpha(), 0);
    const QRect ink = inkBounds(read, read.pixel(0, 0));
    QVERIFY(!ink.isEmpty());
    // Levels between the 8-bit steps are kept.
    bool between = false;
    for (int x = 0; x < picture.width() && !between; ++x)
        between = picture.pixelColor(x, picture.height() / 2).alpha() % 257 != 0;
    QVERIFY(between);

    const QImage opaque = poster(document, request(QSize(120, 100), 200'000));
    QCOMPARE(opaque.format(), QImage::Format_RGB32);
    QCOMPARE(opaque.pixel(0, 0), qRgb(250, 248, 240));
}

void TestPoster::tooLittleMemoryIsReported()
{
    QString error;
    QVERIFY(!PosterAccumulation::allocate(QSize(1000, 1000), 32'000'000 - 1, &error));
    QVERIFY2(error.contains(QLatin1String("31 MB")), qPrintable(error));
    QVERIFY(PosterAccumulation::allocate(QSize(1000, 1000), 32'000'000, &error));

    PosterRequest tooLarge = request(QSize(largestPosterSide, largestPosterSide), 1000);
    tooLarge.memoryLimit = qint64(1) << 30;
    const PosterResult result = renderPoster(triangle(), tooLarge);
    QCOMPARE(int(result.end), int(PosterRunEnd::Failed));
    QVERIFY(result.picture.isNull());
    QVERIFY2(result.error.contains(QLatin1String("32768 x 32768")), qPrintable(result.error));
}

void TestPoster::cancellingStopsTheRun()
{
    std::atomic<bool> cancel{false};
    qint64 reported = 0;
    int reports = 0;
    RunControl control;
    control.threads = 2;
    control.stop = &cancel;
    control.onProgress = [&](qint64 done, qint64) {
        reported = done;
        ++reports;
        cancel = true;
    };
    const qint64 points = posterPiecePoints * 20;
    const PosterResult result = renderPoster(triangle(), request(QSize(50, 50), points), control);
    QCOMPARE(int(result.end), int(PosterRunEnd::Cancelled));
    QCOMPARE(reports, 1);
    QVERIFY(reported > 0 && reported < points);
}

void TestPoster::partFilesKeepTheSumsExactly_data()
{
    addOptionRows();
}

void TestPoster::partFilesKeepTheSumsExactly()
{
    QFETCH(PosterSettings, options);
    TestFolder folder;
    const FractalDocument document = startupDocument(1.0f, 1.0f, paper);
    const PosterSettings settings = withOptions(options, QSize(70, 50), posterPiecePoints + 99);
    const PosterAccumulation whole = accumulate(document, settings, {0, 2}, 2);
    const QStringList paths = writeParts(folder, document, settings, {2, 1});
    // At 16 bits a level, one point more or less in a pixel shows.
    PosterRequest single = request(settings.size, settings.points);
    single.settings = settings;
    single.tone.depth = 16;
    single.tone.brightness = 3.0;
    single.tone.vibrancy = 0.5;
    PosterToneMapping tone = single.tone;
    tone.backColour = 0;
    const MergedPicture merged = mergePosterPicture(paths, tone);
    QVERIFY2(!merged.picture.isNull(), qPrintable(merged.error));
    QCOMPARE(merged.picture, poster(document, single));
    QCOMPARE(merged.header.settings, settings);
    QCOMPARE(merged.header.backColour, paper);

    QString error;
    // A file that cannot be written whole is reported and leaves nothing.
    const QString nowhere = folder.filePath(QStringLiteral("missing/part.vacc"));
    QVERIFY(!writePosterPart(posterPartHeader(document, settings, 1, 1), whole, nowhere, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFile::exists(nowhere));
}

void TestPoster::mergeRefusesAPartDifferingInAnyField_data()
{
    QTest::addColumn<const FieldChange *>("change");
    for (const FieldChange &change : fieldChanges)
        QTest::newRow(change.field) << &change;
    // A field added to the header needs a row of its own.
    for (const SharedPartField &field : sharedPartFields()) {
        const auto named = [&](const FieldChange &change) { return qstrcmp(change.field, field.name) == 0; };
        if (std::none_of(std::begin(fieldChanges), std::end(fieldChanges), named))
            QTest::newRow(field.name) << static_cast<const FieldChange *>(nullptr);
    }
}

void TestPoster::mergeRefusesAPartDifferingInAnyField()
{
    QFETCH(const FieldChange *, change);
    QVERIFY2(change, "the header has a field that no row changes");
    TestFolder folder;
    const FractalDocument document = triangle();
    PosterSettings settings;
    settings.size = QSize(6, 4);
    settings.points = 1000;
    QString error;
    const std::optional<PosterAccumulation> sums = PosterAccumulation::allocate(settings.size, 0, &error);
    const QStringList paths{folder.filePath(QStringLiteral("1.vacc")), folder.filePath(QStringLiteral("2.vacc"))};
    QVERIFY(writePosterPart(posterPartHeader(document, settings, 1, 2), *sums, paths[0], &error));
    PosterPartHeader changed = posterPartHeader(document, settings, 2, 2);
    change->change(changed);
    QVERIFY(writePosterPart(changed, *sums, paths[1], &error));
    const MergedPicture refused = mergePosterPicture(paths, PosterToneMapping());
    QVERIFY(refused.picture.isNull());
    QVERIFY2(refused.error.contains(QLatin1String(change->refusal)), qPrintable(refused.error));
}

// Wide enough that the parts are read in three bands, the last one short.
void TestPoster::mergingBandByBandGivesTheSamePicture()
{
    TestFolder folder;
    const FractalDocument document = startupDocument(1.0f, 1.0f, paper);
    PosterSettings settings;
    settings.size = QSize(8192, 300);
    settings.points = posterPiecePoints + 99;
    const QStringList paths = writeParts(folder, document, settings, {1, 2});
    const PosterAccumulation whole = accumulate(document, settings, {0, posterPieceCount(settings.points)}, 2);
    const auto [banded, expected] = mergedAndWhole(paths, whole);
    QVERIFY2(!banded.picture.isNull(), qPrintable(banded.error));
    QCOMPARE(banded.picture, expected);

    // Damage in the last band is found before a picture is given.
    QFile file(paths.constLast());
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.resize(file.size() - 2));
    file.close();
    const MergedPicture refused = mergePosterPicture(paths, PosterToneMapping());
    QVERIFY(refused.picture.isNull());
    QVERIFY2(refused.error.contains(QLatin1String("damaged")), qPrintable(refused.error));
}

QTEST_GUILESS_MAIN(TestPoster)
#include "tst_poster.moc"
