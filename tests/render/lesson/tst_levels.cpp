#include "common/rounding.h"
#include "document/documentfile.h"
#include "document/fractaldocument.h"
#include "render/lesson/levels.h"

#include <QDir>
#include <QSet>
#include <QTest>

#include <cmath>

using namespace Vorlane;

namespace {

constexpr float canvasWidth = 6495.0f;
constexpr float canvasHeight = 6045.0f;

using Position = std::pair<qint16, qint16>;

// One map on one point, step by step as the renderer's rules put it.
Position applied(const FractalDocument &document, const Transformation &map, Position point)
{
    const double degToRad = toSingle(4.0 * std::atan(1.0) / 180.0);
    const double theta = degToRad * double(map.rotation);
    const float a = toSingle(double(point.first) * double(map.contraction[0]));
    const float b = toSingle(double(point.second) * double(map.contraction[1]));
    const float x = toSingle(double(a) * std::cos(theta) - double(b) * std::sin(theta));
    const float y = toSingle(double(a) * std::sin(theta) + double(b) * std::cos(theta));
    return {cint16(double(document.settings.scaleX) * double(map.translation[0]) * double(canvasWidth) + double(x)),
            cint16(double(document.settings.scaleY) * double(map.translation[1]) * double(canvasHeight) + double(y))};
}

// Every composition of depth maps on every base point, one word after another.
void addImages(const FractalDocument &document, Position point, int depth, QSet<Position> &images)
{
    if (depth == 0) {
        images.insert(point);
        return;
    }
    for (const Transformation &map : document.transformations)
        addImages(document, applied(document, map, point), depth - 1, images);
}

QSet<Position> kFoldImages(const FractalDocument &document, int depth)
{
    const double unitX = toSingle(double(canvasWidth) * double(document.settings.scaleX));
    const double unitY = toSingle(double(canvasHeight) * double(document.settings.scaleY));
    QSet<Position> images;
    for (const BasePoint &base : document.basePoints)
        addImages(document, {cint16(base.x * unitX), cint16(base.y * unitY)}, depth, images);
    return images;
}

} // namespace

class TestLevels : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void levelIsTheUnionOfTheKFoldImages_data();
    void levelIsTheUnionOfTheKFoldImages();
};

void TestLevels::levelIsTheUnionOfTheKFoldImages_data()
{
    QTest::addColumn<QString>("name");
    const QDir gallery(QStringLiteral(VORLANE_GALLERY_DIR));
    for (const QString &name : gallery.entryList({QStringLiteral("*.vrf")}))
        QTest::newRow(qPrintable(name)) << gallery.filePath(name);
}

void TestLevels::levelIsTheUnionOfTheKFoldImages()
{
    QFETCH(QString, name);
    std::optional<FractalDocument> document = loadDocumentFile(name, FractalDocument());
    QVERIFY(document);
    document->settings.scaleX = 1.0f / canvasWidth;
    document->settings.scaleY = 1.0f / canvasHeight;
    const FractalLevels levels(*document, canvasWidth, canvasHeight, 4);
    for (int k = 0; k <= levels.highestLevel(); ++k) {
        QSet<Position> level;
        for (const LevelPoint &point : levels.level(k))
            level.insert({point.x, point.y});
        QCOMPARE(qsizetype(levels.level(k).size()), level.size()); // each point once
        QCOMPARE(level, kFoldImages(*document, k));
    }
}

QTEST_GUILESS_MAIN(TestLevels)
#include "tst_levels.moc"
