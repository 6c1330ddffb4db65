#include "common/randomgenerator.h"
#include "render/exact/documentpicture.h"
#include "convert/affinemap.h"
#include "convert/flamegenome.h"
#include "convert/ifsconversion.h"
#include "convert/ifstext.h"
#include "document/documentfile.h"
#include "render/exact/renderer.h"

#include <QDir>
#include <QTest>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>

using namespace Vorlane;

namespace {

IfsBlock parsedBlock(const QByteArray &text)
{
    const auto parsed = parseIfsText(text);
    if (const auto *blocks = std::get_if<QList<IfsBlock>>(&parsed))
        return blocks->constFirst();
    qWarning() << std::get<IfsTextError>(parsed).message;
    return {};
}

QString refusal(const std::variant<IfsImport, QString> &imported)
{
    const auto *message = std::get_if<QString>(&imported);
    return message ? *message : QString();
}

// Equal to float precision: a few parts in ten million of the largest number.
bool sameMap(const AffineMap &x, const AffineMap &y)
{
    const QList<double> xs{x.a, x.b, x.c, x.d, x.e, x.f};
    const QList<double> ys{y.a, y.b, y.c, y.d, y.e, y.f};
    double largest = 1e-30;
    for (const double value : xs)
        largest = std::max(largest, std::abs(value));
    for (qsizetype i = 0; i < xs.size(); ++i) {
        if (std::abs(xs.at(i) - ys.at(i)) > 1e-6 * largest)
            return false;
    }
    return true;
}

double distance(const AffineMap &map, float cx, float cy, float rotation)
{
    Transformation tr;
    tr.contraction = {cx, cy};
    tr.rotation = rotation;
    const AffineMap held = affineMap(tr, 1.0);
    return std::hypot(std::hypot(held.a - map.a, held.b - map.b), std::hypot(held.c - map.c, held.d - map.d));
}

QList<QString> filesIn(const char *folder, const QString &pattern)
{
    const QDir dir(QString::fromUtf8(folder));
    QList<QString> paths;
    for (const QString &name : dir.entryList({pattern}, QDir::Files))
        paths.append(dir.filePath(name));
    return paths;
}

QImage picture(FractalDocument document)
{
    document.settings.totalPoints = 20000;
    RandomGenerator random;
    return renderDocumentPicture(document, startupCanvasSize(), random);
}

} // namespace

class TestIfsConversion : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void representableMapsComeBackExactly_data();
    void representableMapsComeBackExactly();
    void shearIsRefusedUnlessApproximated();
    void refusesWhatNoDocumentCanHold_data();
    void refusesWhatNoDocumentCanHold();
    void galleryDocumentsSurviveIfsText();
    void examplesFitTheCanvasAndKeepTheirMaps();
    void probabilitiesFarFromAreaWeightsAreReported();
    void flameGenomeHoldsTheMapsAndWeights();
};

void TestIfsConversion::representableMapsComeBackExactly_data()
{
    QTest::addColumn<float>("cx");
    QTest::addColumn<float>("cy");
    QTest::addColumn<float>("rotation");
    QTest::addColumn<float>("backCx");
    QTest::addColumn<float>("backCy");
    QTest::addColumn<float>("backRotation");

    QTest::newRow("similarity") << 0.5f << 0.5f << 0.0f << 0.5f << 0.5f << 0.0f;
    QTest::newRow("scaled and turned") << 0.6f << 0.3f << 30.0f << 0.6f << 0.3f << 30.0f;
    QTest::newRow("mirror") << 0.5f << -0.4f << 45.0f << 0.5f << -0.4f << 45.0f;
    QTest::newRow("beyond a right angle") << 0.7071068f << 0.7071068f << 135.0f << 0.7071068f << 0.7071068f << 135.0f;
    QTest::newRow("near half a turn") << 0.3f << 0.2f << -179.5f << 0.3f << 0.2f << -179.5f;
    QTest::newRow("half a turn") << 0.3f << 0.3f << 180.0f << 0.3f << 0.3f << 180.0f;
    QTest::newRow("tiny angle") << 0.9f << 0.8f << 0.001f << 0.9f << 0.8f << 0.001f;
    QTest::newRow("flattened to a line") << 0.0f << 0.16f << 0.0f << 0.0f << 0.16f << 0.0f;
    QTest::newRow("flattened and turned") << 0.5f << 0.0f << 20.0f << 0.5f << 0.0f << 20.0f;
    QTest::newRow("to a point") << 0.0f << 0.0f << 0.0f << 0.0f << 0.0f << 0.0f;
    QTest::newRow("negative contraction X") << -0.5f << 0.5f << 0.0f << 0.5f << -0.5f << 180.0f;
    QTest::newRow("beyond a whole turn") << 0.5f << 0.25f << 400.0f << 0.5f << 0.25f << 40.0f;
}

void TestIfsConversion::representableMapsComeBackExactly()
{
    QFETCH(float, cx);
    QFETCH(float, cy);
    QFETCH(float, rotation);
    QFETCH(float, backCx);
    QFETCH(float, backCy);
    QFETCH(float, backRotation);
    Transformation tr;
    tr.contraction = {cx, cy};
    tr.rotation = rotation;
    const AffineMap map = affineMap(tr, 1.0);
    const LinearPart part = nearestLinearPart(map);
    QVERIFY(isExact(part, map));
    QCOMPARE(part.contractionX, backCx);
    QCOMPARE(part.contractionY, backCy);
    QVERIFY2(std::abs(part.rotation - backRotation) <= 2e-5f, qPrintable(QString::number(part.rotation)));
    QCOMPARE(axesAngle(map), 90.0);
}

void TestIfsConversion::shearIsRefusedUnlessApproximated()
{
    const QByteArray text = "fern {\n"
                            "  0.85 0.04 -0.04 0.85 0 1.6 0.85\n"
                            "  0.2 -0.26 0.23 0.22 0 1.6 0.07\n"
                            "}\n";
    const IfsBlock block = parsedBlock(text);
    const QString refused = refusal(importIfsBlock(block, {}));
    QVERIFY2(refused.contains(QStringLiteral("block 'fern', map 2 (line 3): its axes meet at")), qPrintable(refused));
    QVERIFY(refused.contains(QStringLiteral("shears")));
    QVERIFY2(!refused.contains(QStringLiteral("map 1")), qPrintable(refused));

    const auto approximated = importIfsBlock(block, {true, false, std::nullopt});
    QVERIFY2(std::holds_alternative<IfsImport>(approximated), qPrintable(refusal(approximated)));
    const IfsImport &result = std::get<IfsImport>(approximated);
    QVERIFY(result.notes.join(QLatin1Char('\n')).contains(QStringLiteral("map 1 (line 2): exact")));
    QVERIFY(result.notes.join(QLatin1Char('\n')).contains(QStringLiteral("map 2 (line 3): approximated")));

    // The nearest map: no small change of its rotation or contractions comes closer.
    const AffineMap sheared = block.maps.at(1).map;
    const LinearPart part = nearestLinearPart(sheared);
    QVERIFY(!isExact(part, sheared));
    const double best = distance(sheared, part.contractionX, part.contractionY, part.rotation);
    for (const double step : {-0.001, 0.001}) {
        QVERIFY(distance(sheared, part.contractionX, part.contractionY, part.rotation + float(step * 100)) > best);
        QVERIFY(distance(sheared, part.contractionX + float(step), part.contractionY, part.rotation) > best);
        QVERIFY(distance(sheared, part.contractionX, part.contractionY + float(step), part.rotation) > best);
    }
}

void TestIfsConversion::refusesWhatNoDocumentCanHold_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("keepScale");
    QTest::addColumn<bool>("emptyBaseField");
    QTest::addColumn<QString>("message");

    const QByteArray half = "f {\n0.5 0 0 0.5 0 0 1\n}";
    QTest::newRow("no maps") << QByteArray("empty {\n}") << false << false
                             << QStringLiteral("block 'empty' has no maps");
    QTest::newRow("huge number") << QByteArray("f {\n1e12 0 0 1e12 0 0 1\n}") << false << false
                                 << QStringLiteral("block 'f', map 1 (line 2): a number beyond");
    QTest::newRow("expanding") << QByteArray("f {\n2 0 0 2 1 0 1\n}") << false << false
                               << QStringLiteral("block 'f', map 1 (line 2): it does not shrink");
    QTest::newRow("far out at the given scale") << QByteArray("f {\n0.5 0 0 0.5 100 0 1\n}") << true << false
                                                << QStringLiteral("too far out");
    QTest::newRow("empty base field") << half << false << true << QStringLiteral("the base field to copy has no points");
}

void TestIfsConversion::refusesWhatNoDocumentCanHold()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, keepScale);
    QFETCH(bool, emptyBaseField);
    QFETCH(QString, message);
    const std::optional<QList<BasePoint>> baseField =
        emptyBaseField ? std::optional(QList<BasePoint>()) : std::nullopt;
    const QString refused = refusal(importIfsBlock(parsedBlock(text), {true, keepScale, baseField}));
    QVERIFY2(refused.contains(message), qPrintable(refused));
}

void TestIfsConversion::galleryDocumentsSurviveIfsText()
{
    const QList<QString> documents = filesIn(VORLANE_GALLERY_DIR, QStringLiteral("*.vrf"));
    QVERIFY(!documents.isEmpty());
    for (const QString &path : documents) {
        const std::optional<FractalDocument> original = loadDocumentFile(path, FractalDocument());
        QVERIFY2(original, qPrintable(path));
        const QByteArray text = writeIfsText({ifsBlock(*original, ifsBlockName(path))});
        const auto imported = importIfsBlock(parsedBlock(text), {false, true, original->basePoints});
        QVERIFY2(std::holds_alternative<IfsImport>(imported), qPrintable(path + refusal(imported)));

        FractalDocument back = *original;
        back.transformations = std::get<IfsImport>(imported).document.transformations;
        QCOMPARE(back.trCount(), original->trCount());
        for (int i = 0; i < back.trCount(); ++i) {
            QVERIFY2(sameMap(affineMap(back.transformations.at(i), 1.0), affineMap(original->transformations.at(i), 1.0)),
                     qPrintable(QStringLiteral("%1, map %2").arg(path).arg(i + 1)));
        }
        QVERIFY2(picture(back) == picture(*original), qPrintable(path));
    }
}

void TestIfsConversion::examplesFitTheCanvasAndKeepTheirMaps()
{
    const QList<QString> examples = filesIn(VORLANE_EXAMPLES_DIR, QStringLiteral("*.ifs"));
    QCOMPARE(examples.size(), 6);
    for (const QString &path : examples) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const IfsBlock block = parsedBlock(file.readAll());
        const auto fitted = importIfsBlock(block, {});
        QVERIFY2(std::holds_alternative<IfsImport>(fitted), qPrintable(path + refusal(fitted)));
        const FractalDocument &document = std::get<IfsImport>(fitted).document;
        QVERIFY(renderProblem(document).isEmpty());

        // The base point is the first map's fixed point.
        const AffineMap first = affineMap(document.transformations.constFirst(), 1.0);
        const BasePoint base = document.basePoints.constFirst();
        QVERIFY(std::abs(first.a * base.x + first.b * base.y + first.e - base.x) <= 1.0);
        QVERIFY(std::abs(first.c * base.x + first.d * base.y + first.f - base.y) <= 1.0);

        // Ink, but none in the margin around the picture.
        const QImage image = picture(document);
        const QRgb paper = image.pixel(0, 0);
        const QRect inner = image.rect().adjusted(8, 8, -8, -8);
        int inked = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const bool ink = image.pixel(x, y) != paper;
                inked += ink;
                QVERIFY2(!ink || inner.contains(x, y), qPrintable(QStringLiteral("%1 at %2, %3").arg(path).arg(x).arg(y)));
            }
        }
        QVERIFY2(inked > image.width() * image.height() / 100, qPrintable(path));

        // Kept in the exchange units, the maps come back as they were written.
        const auto kept = importIfsBlock(block, {false, true, std::nullopt});
        QVERIFY2(std::holds_alternative<IfsImport>(kept), qPrintable(path + refusal(kept)));
        const IfsBlock back = ifsBlock(std::get<IfsImport>(kept).document, block.name);
        for (qsizetype i = 0; i < block.maps.size(); ++i)
            QVERIFY2(sameMap(back.maps.at(i).map, block.maps.at(i).map), qPrintable(path));
    }
}

void TestIfsConversion::probabilitiesFarFromAreaWeightsAreReported()
{
    const auto notes = [](const QByteArray &text) {
        return std::get<IfsImport>(importIfsBlock(parsedBlock(text), {})).notes;
    };
    QCOMPARE(notes("even {\n0.5 0 0 0.5 0 0 0.51\n0.5 0 0 0.5 1 0 0.49\n}"), QStringList());
    const QStringList skewed = notes("skewed {\n0.5 0 0 0.5 0 0 0.9\n0.5 0 0 0.5 1 0 0.1\n}");
    QCOMPARE(skewed.size(), 2);
    QVERIFY2(skewed.at(0).contains(QStringLiteral("map 1 (line 2): picked with probability 0.500 instead of 0.900")),
             qPrintable(skewed.at(0)));
}

void TestIfsConversion::flameGenomeHoldsTheMapsAndWeights()
{
    for (const QString &path : filesIn(VORLANE_GALLERY_DIR, QStringLiteral("*.vrf"))) {
        const std::optional<FractalDocument> document = loadDocumentFile(path, FractalDocument());
        QVERIFY(document);
        double weights = 0.0;
        for (const Transformation &tr : document->transformations)
            weights += transformationWeight(tr);

        QXmlStreamReader xml(flameGenome(*document, ifsBlockName(path)));
        int xforms = 0;
        int paletteColours = 0;
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("flame"))
                continue;
            if (xml.name() == QLatin1String("xform")) {
                const QList<QStringView> c = xml.attributes().value(QLatin1String("coefs")).split(QLatin1Char(' '));
                QCOMPARE(c.size(), 6);
                // Back from the genome's Y downwards to the document's Y up.
                const AffineMap read{c[0].toDouble(), -c[2].toDouble(), -c[1].toDouble(),
                                     c[3].toDouble(), c[4].toDouble(), -c[5].toDouble()};
                const Transformation &tr = document->transformations.at(xforms);
                QCOMPARE(read, affineMap(tr, exchangeUnit()));
                QCOMPARE(xml.attributes().value(QLatin1String("weight")).toDouble(), transformationWeight(tr) / weights);
                ++xforms;
            } else if (xml.name() == QLatin1String("palette")) {
                paletteColours = int(xml.readElementText().simplified().remove(QLatin1Char(' ')).size() / 6);
                continue;
            }
            xml.skipCurrentElement();
        }
        QVERIFY2(!xml.hasError(), qPrintable(path + xml.errorString()));
        QCOMPARE(xforms, document->trCount());
        QCOMPARE(paletteColours, 256);
    }
}

QTEST_GUILESS_MAIN(TestIfsConversion)
#include "tst_ifsconversion.moc"
