#include "render/exact/chainlanes.h"

#include <QTest>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

using namespace Vorlane;

namespace {

struct MapValues
{
    float contractionX;
    float contractionY;
    double angle; // radians
    double translationX;
    double translationY;
};

SteppingMaps steppingMaps(const QList<MapValues> &values)
{
    SteppingMaps maps;
    maps.count = int(values.size()) + 1;
    for (qsizetype i = 0; i < values.size(); ++i) {
        const MapValues &v = values.at(i);
        const std::size_t k = std::size_t(i) + 1;
        maps.contractionX[k] = v.contractionX;
        maps.contractionY[k] = v.contractionY;
        maps.cosTheta[k] = std::cos(v.angle);
        maps.sinTheta[k] = std::sin(v.angle);
        maps.translationX[k] = v.translationX;
        maps.translationY[k] = v.translationY;
    }
    return maps;
}

// Chains of random lengths one after another, starting anywhere in the
// 16-bit range, with random maps (0 included) for their iterations.
struct Block
{
    std::vector<Chain> chains;
    std::vector<quint8> transformations;
};

Block randomBlock(std::mt19937 &engine, int mapCount, int chainCount, int longest)
{
    Block block;
    std::uniform_int_distribution<int> length(1, longest);
    std::uniform_int_distribution<int> coordinate(-32768, 32767);
    std::uniform_int_distribution<int> map(0, mapCount);
    qint32 begin = 0;
    for (int c = 0; c < chainCount; ++c) {
        const qint32 end = begin + length(engine);
        block.chains.push_back({begin, end, {qint16(coordinate(engine)), qint16(coordinate(engine))}});
        begin = end;
    }
    for (qint32 n = 0; n < begin; ++n)
        block.transformations.push_back(quint8(map(engine)));
    return block;
}

bool samePoints(const std::vector<CanvasPoint> &a, const std::vector<CanvasPoint> &b)
{
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].x != b[i].x || a[i].y != b[i].y)
            return false;
    }
    return a.size() == b.size();
}

} // namespace

class TestChainLanes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lanesStepAsTheScalarCode_data();
    void lanesStepAsTheScalarCode();
    void lanesChooseAsTheScalarCode();
    void lanesMapPixelsAsTheScalarCode_data();
    void lanesMapPixelsAsTheScalarCode();
};

void TestChainLanes::lanesStepAsTheScalarCode_data()
{
    constexpr float huge = std::numeric_limits<float>::max();
    constexpr double infinity = std::numeric_limits<double>::infinity();
    QTest::addColumn<QList<MapValues>>("maps");
    QTest::addColumn<int>("longest");
    QTest::newRow("start-up tree") << QList<MapValues>{{0.6f, 0.6f, -0.1745, 2000, 0}, {0.45f, 0.45f, -0.698, 1120, 0},
                                                       {0.5f, 0.5f, 0.5236, 1200, 0}}
                                   << 20;
    // x + 0.5 is a tie, which goes to the even neighbour.
    QTest::newRow("halves") << QList<MapValues>{{1.0f, 1.0f, 0.0, 0.5, -0.5}, {1.0f, -1.0f, 0.0, 1.5, 2.5}} << 9;
    QTest::newRow("leaving the range") << QList<MapValues>{{3.0f, 3.0f, 0.3, 30000, -30000}, {huge, huge, 0.7854, 1, 1}}
                                       << 33;
    QTest::newRow("not a number") << QList<MapValues>{{1.0f, 1.0f, 0.0, infinity, std::nan("")},
                                                      {0.0f, 0.5f, 1.0, -infinity, 3}, {0.5f, 0.5f, 2.0, 1, 1}}
                                  << 7;
    QTest::newRow("mirrors and tiny scales") << QList<MapValues>{{-0.7f, 0.9f, 3.49, 3000, 1},
                                                                 {1e-30f, -1e-30f, -0.58, -20000, 7000},
                                                                 {1.3f, 0.5f, 1.5708, 0, 0}}
                                             << 1;
    // More maps than one register holds, and more than two.
    QList<MapValues> many;
    for (int k = 0; k < 20; ++k)
        many.append({0.1f * float(k % 7), 0.9f - 0.04f * float(k), 0.3 * k, 100.0 * k - 900.5, 7.5 - k});
    QTest::newRow("ten maps") << many.mid(0, 10) << 40;
    QTest::newRow("twenty maps") << many << 40;
}

// Any mix of chain lengths, including chains shorter than their neighbours
// in the lanes, gives the scalar code's points and end points.
void TestChainLanes::lanesStepAsTheScalarCode()
{
    QFETCH(QList<MapValues>, maps);
    QFETCH(int, longest);
    const SteppingMaps stepping = steppingMaps(maps);
    std::mt19937 engine(7);
    for (const int chainCount : {1, 8, 13, 64}) {
        const Block block = randomBlock(engine, int(maps.size()), chainCount, longest);
        std::vector<Chain> scalarChains = block.chains;
        std::vector<Chain> laneChains = block.chains;
        std::vector<CanvasPoint> scalarPoints(block.transformations.size());
        std::vector<CanvasPoint> lanePoints(block.transformations.size());
        stepChains(ChainStepping::Scalar, stepping, block.transformations.data(), scalarChains.data(),
                   scalarChains.size(), scalarPoints.data());
        stepChains(ChainStepping::Lanes, stepping, block.transformations.data(), laneChains.data(), laneChains.size(),
                   lanePoints.data());
        QVERIFY(samePoints(scalarPoints, lanePoints));
        for (std::size_t c = 0; c < scalarChains.size(); ++c) {
            QCOMPARE(laneChains[c].point.x, scalarChains[c].point.x);
            QCOMPARE(laneChains[c].point.y, scalarChains[c].point.y);
        }
    }
}

// Numbers that land exactly on an entry of the table, and beyond it, choose
// as in the scalar code, and a number that chooses none keeps the choice
// before it, also across the lanes' groups of eight.
void TestChainLanes::lanesChooseAsTheScalarCode()
{
    const std::vector<float> table{0.0f, 0.25f, 0.25f, 0.5f, 0.75f, 1.0f};
    std::vector<float> numbers{0.0f, 0.25f, 0.5f, 0.75f, 0.99999994f, 0.125f, 0.2500001f, 0.7499999f, 0.5f};
    std::mt19937 engine(3);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (int i = 0; i < 100; ++i)
        numbers.push_back(i % 11 < 3 ? 0.0f : unit(engine));
    for (const int trCount : {0, 1, 5}) {
        for (const int selected : {0, 3}) {
            std::vector<quint8> scalar(numbers.size());
            std::vector<quint8> lanes(numbers.size());
            const int scalarLast = chooseMaps(ChainStepping::Scalar, table.data(), trCount, numbers.data(),
                                              scalar.data(), numbers.size(), selected);
            const int lanesLast = chooseMaps(ChainStepping::Lanes, table.data(), trCount, numbers.data(), lanes.data(),
                                             numbers.size(), selected);
            QCOMPARE(lanes, scalar);
            QCOMPARE(lanesLast, scalarLast);
        }
    }
}

void TestChainLanes::lanesMapPixelsAsTheScalarCode_data()
{
    QTest::addColumn<QSize>("canvas");
    QTest::addColumn<QPoint>("centre");
    QTest::addColumn<int>("stride");
    QTest::newRow("main window") << QSize(433, 360) << QPoint(0, 0) << 433;
    QTest::newRow("far centre, wide rows") << QSize(160, 150) << QPoint(-32768, 32767) << 200;
    QTest::newRow("largest canvas") << QSize(16384, 16384) << QPoint(32767, -32768) << 16384;
    QTest::newRow("centre on the canvas") << QSize(16384, 16384) << QPoint(100, 100) << 16384;
}

// Every point of the 16-bit range's edges and many between land on the
// scalar code's pixels, and off the canvas alike; a pixel on the canvas is
// its row and column.
void TestChainLanes::lanesMapPixelsAsTheScalarCode()
{
    QFETCH(QSize, canvas);
    QFETCH(QPoint, centre);
    QFETCH(int, stride);
    const ViewTransform view(float(canvas.width() * canvasUnitsPerPixel), float(canvas.height() * canvasUnitsPerPixel),
                             qint16(centre.x()), qint16(centre.y()));
    std::vector<CanvasPoint> points;
    for (const int x : {-32768, -32767, -1, 0, 1, 14, 15, 29, 30, 32766, 32767}) {
        for (const int y : {-32768, -15, 0, 7, 32767})
            points.push_back({qint16(x), qint16(y)});
    }
    std::mt19937 engine(5);
    std::uniform_int_distribution<int> coordinate(-32768, 32767);
    for (int i = 0; i < 1000; ++i)
        points.push_back({qint16(coordinate(engine)), qint16(coordinate(engine))});
    const qint32 count = qint32(points.size());
    std::vector<qint32> scalar(points.size()), lanes(points.size());
    pixelOffsets(ChainStepping::Scalar, view, points.data(), count, canvas.width(), canvas.height(), stride,
                 scalar.data());
    pixelOffsets(ChainStepping::Lanes, view, points.data(), count, canvas.width(), canvas.height(), stride,
                 lanes.data());
    QCOMPARE(lanes, scalar);
    for (qint32 n = 0; n < count; ++n) {
        const int column = view.column(points[std::size_t(n)].x);
        const int row = view.row(points[std::size_t(n)].y);
        const bool onCanvas = column >= 0 && column < canvas.width() && row >= 0 && row < canvas.height();
        QCOMPARE(scalar[std::size_t(n)], onCanvas ? row * stride + column : -1);
    }
}

QTEST_GUILESS_MAIN(TestChainLanes)
#include "tst_chainlanes.moc"
