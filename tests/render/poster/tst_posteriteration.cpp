#include "document/colourstyles.h"
#include "document/documentfile.h"
#include "document/fractaldocument.h"
#include "render/poster/posteriteration.h"

#include <QDir>
#include <QTest>

#include <cmath>
#include <cstring>
#include <vector>

using namespace Vorlane;

namespace {

// A plotted point as bits, so that the comparison is exact.
struct PlottedPoint
{
    quint64 x;
    quint64 y;
    qint32 colour;

    bool operator==(const PlottedPoint &) const = default;
};

void keep(std::vector<PlottedPoint> &points, double x, double y, qint32 colour)
{
    // A point at NaN touches no pixel, and the blocks put skipped points there.
    if (std::isnan(x))
        return;
    PlottedPoint point{0, 0, colour};
    std::memcpy(&point.x, &x, sizeof(x));
    std::memcpy(&point.y, &y, sizeof(y));
    points.push_back(point);
}

// How a row varies the document and the poster's options.
struct Variation
{
    const char *name;
    qint32 colourStyle;
    qint16 resolution; // 0: the document's
    PosterColourBy colourBy;
    bool palette;
    int skip;
    // Maps beyond what the lanes hold in registers, so that they gather.
    bool manyMaps = false;
};

const Variation variations[] = {
    {"as saved", -1, 0, PosterColourBy::Document, false, 0},
    {"random colour, skip", RandomColour, 0, PosterColourBy::Document, false, 7},
    {"chronological through a palette", ChronologicalColour, 0, PosterColourBy::Document, true, 0},
    {"two colours, every point a restart", TwoColoursOnly, 1, PosterColourBy::Document, false, 0},
    {"by map, chains longer than a block", -1, 9000, PosterColourBy::Map, true, 3},
    {"twenty maps", -1, 0, PosterColourBy::Document, false, 0, true},
};

// The document's maps repeated, each copy shrunk a little more, up to 20.
void addMaps(FractalDocument &document)
{
    const int given = document.trCount();
    for (int k = given; k < 20; ++k) {
        Transformation copy = document.transformations.at(k % given);
        copy.contraction[0] *= 0.9f;
        copy.contraction[1] *= 0.8f;
        document.transformations.append(copy);
    }
}

} // namespace

Q_DECLARE_METATYPE(PosterStepping)

class TestPosterIteration : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void blocksGiveTheReferencePoints_data();
    void blocksGiveTheReferencePoints();
};

// Every gallery document, each under one variation in turn, on every
// stepping this processor has (the others fall back to the scalar code).
void TestPosterIteration::blocksGiveTheReferencePoints_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("variation");
    QTest::addColumn<PosterStepping>("stepping");
    const QDir gallery(QStringLiteral(VORLANE_GALLERY_DIR));
    const QStringList files = gallery.entryList({QStringLiteral("*.vrf")}, QDir::Files, QDir::Name);
    QVERIFY(!files.isEmpty());
    const std::pair<const char *, PosterStepping> steppings[] = {{"scalar", PosterStepping::Scalar},
                                                                 {"four lanes", PosterStepping::FourLanes},
                                                                 {"eight lanes", PosterStepping::EightLanes}};
    for (int f = 0; f < files.size(); ++f) {
        const int v = f % int(std::size(variations));
        for (const auto &[name, stepping] : steppings)
            QTest::addRow("%s, %s, %s", qPrintable(files[f]), variations[v].name, name)
                << gallery.filePath(files[f]) << v << stepping;
    }
}

void TestPosterIteration::blocksGiveTheReferencePoints()
{
    QFETCH(QString, path);
    QFETCH(int, variation);
    QFETCH(PosterStepping, stepping);
    std::optional<FractalDocument> document = loadDocumentFile(path, FractalDocument());
    QVERIFY(document);
    const Variation &v = variations[variation];
    if (v.colourStyle >= 0)
        document->colours.colourStyle = v.colourStyle;
    if (v.resolution > 0)
        document->settings.resolution = v.resolution;
    if (v.manyMaps)
        addMaps(*document);
    PosterSettings settings;
    settings.colourBy = v.colourBy;
    settings.skip = v.skip;
    if (v.palette) {
        QString error;
        settings.palette = *findPosterPalette(QStringLiteral("ocean"), &error);
    }
    settings.points = 3 * posterPiecePoints;
    const PosterIteration iteration(*document, settings, settings.points);
    PosterBlock block(document->settings.resolution);
    // The first piece, and a stretch of another that ends inside a block.
    for (const auto &[piece, count] : {std::pair<quint64, qint64>{0, 50'000}, {2, 3 * block.capacity() + 17}}) {
        const qint64 first = qint64(piece) * posterPiecePoints + 1;
        std::vector<PlottedPoint> reference;
        iteration.run(settings.seed, piece, first, first + count,
                      [&](double x, double y, qint32 colour) { keep(reference, x, y, colour); });
        std::vector<PlottedPoint> blocks;
        iteration.runInBlocks(stepping, block, settings.seed, piece, first, first + count,
                              [&](const PosterBlock &filled, qint32 points) {
                                  for (qint32 n = 0; n < points; ++n)
                                      keep(blocks, filled.xs[n], filled.ys[n], filled.colours[n]);
                              });
        QVERIFY(!reference.empty());
        QVERIFY2(blocks == reference, qPrintable(QStringLiteral("piece %1").arg(piece)));
    }
}

QTEST_GUILESS_MAIN(TestPosterIteration)
#include "tst_posteriteration.moc"
