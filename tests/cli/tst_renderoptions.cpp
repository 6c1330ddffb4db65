#include "render/documentpicture.h"
#include "cli/renderoptions.h"

#include <QTest>

using namespace Vorlane;

namespace {

ParsedRenderOptions parse(const QString &line)
{
    return parseRenderOptions(QStringList{QStringLiteral("vorlane-render")} + line.split(QLatin1Char(' ')));
}

} // namespace

class TestRenderOptions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaultsComeFromTheDocumentAndWindow();
    void everyOptionIsRead();
    void badOptionsAreRefused_data();
    void badOptionsAreRefused();
    void helpAndVersionAreInformation();
};

void TestRenderOptions::defaultsComeFromTheDocumentAndWindow()
{
    const auto parsed = parse(QStringLiteral("tree.vrf -o tree.png"));
    const auto *options = std::get_if<RenderOptions>(&parsed);
    QVERIFY(options);
    QCOMPARE(options->input, QStringLiteral("tree.vrf"));
    QCOMPARE(options->output, QStringLiteral("tree.png"));
    QCOMPARE(options->size, startupCanvasSize());
    QVERIFY(!options->points && !options->resolution && !options->centre);
    QCOMPARE(options->seed, 5489u);
    QCOMPARE(options->threads, 0);
}

void TestRenderOptions::everyOptionIsRead()
{
    const auto parsed = parse(QStringLiteral("a.vrf --output b.BMP --width 640 --height 480 --points 3 "
                                             "--resolution 32767 --centre -32768,32767 --seed 4294967295 --threads 7"));
    const auto *options = std::get_if<RenderOptions>(&parsed);
    QVERIFY(options);
    QCOMPARE(options->size, QSize(640, 480));
    QCOMPARE(*options->points, 3);
    QCOMPARE(*options->resolution, qint16(32767));
    QCOMPARE(*options->centre, QPoint(-32768, 32767));
    QCOMPARE(options->seed, 4294967295u);
    QCOMPARE(options->threads, 7);
    QCOMPARE(pictureFormat(options->output), QByteArray("BMP"));
}

void TestRenderOptions::badOptionsAreRefused_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("no output") << "a.vrf";
    QTest::newRow("no input") << "-o a.png";
    QTest::newRow("two inputs") << "a.vrf b.vrf -o a.png";
    QTest::newRow("other format") << "a.vrf -o a.jpg";
    QTest::newRow("zero width") << "a.vrf -o a.png --width 0";
    QTest::newRow("huge height") << "a.vrf -o a.png --height 100000";
    QTest::newRow("words") << "a.vrf -o a.png --points many";
    QTest::newRow("points beyond 32 bits") << "a.vrf -o a.png --points 2147483648";
    QTest::newRow("no points") << "a.vrf -o a.png --points 0";
    QTest::newRow("negative points") << "a.vrf -o a.png --points -3";
    QTest::newRow("resolution 0") << "a.vrf -o a.png --resolution 0";
    QTest::newRow("centre of one") << "a.vrf -o a.png --centre 5";
    QTest::newRow("centre beyond 16 bits") << "a.vrf -o a.png --centre 0,40000";
    QTest::newRow("negative seed") << "a.vrf -o a.png --seed -1";
    QTest::newRow("negative threads") << "a.vrf -o a.png --threads -1";
    QTest::newRow("unknown option") << "a.vrf -o a.png --colour red";
}

void TestRenderOptions::badOptionsAreRefused()
{
    QFETCH(QString, line);
    const auto parsed = parse(line);
    const auto *error = std::get_if<RenderOptionsError>(&parsed);
    QVERIFY(error);
    QVERIFY(!error->message.isEmpty());
}

void TestRenderOptions::helpAndVersionAreInformation()
{
    const auto help = parse(QStringLiteral("--help"));
    QVERIFY(std::get_if<RenderInfo>(&help));
    QVERIFY(std::get<RenderInfo>(help).text.contains(QLatin1String("--resolution")));
    const auto version = parse(QStringLiteral("--version"));
    QVERIFY(std::get_if<RenderInfo>(&version));
}

QTEST_GUILESS_MAIN(TestRenderOptions)
#include "tst_renderoptions.moc"
