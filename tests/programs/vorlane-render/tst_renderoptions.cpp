#include "render/exact/documentpicture.h"
#include "programs/vorlane-render/renderoptions.h"

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
    void posterOptionsAreRead();
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
    QCOMPARE(options->output, QStringLiteral("b.BMP"));
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
    QTest::newRow("unknown mode") << "a.vrf -o a.png --mode flat";
    QTest::newRow("poster option in exact mode") << "a.vrf -o a.png --zoom 2";
    QTest::newRow("poster as bmp") << "a.vrf -o a.bmp --mode poster";
    QTest::newRow("poster beyond 32768") << "a.vrf -o a.png --mode poster --width 32769";
    QTest::newRow("exact beyond 16384") << "a.vrf -o a.png --width 16385";
    QTest::newRow("poster of no points") << "a.vrf -o a.png --mode poster --points 0";
    QTest::newRow("poster depth 12") << "a.vrf -o a.png --mode poster --depth 12";
    QTest::newRow("poster zoom 0") << "a.vrf -o a.png --mode poster --zoom 0";
    QTest::newRow("poster gamma nan") << "a.vrf -o a.png --mode poster --gamma nan";
    QTest::newRow("poster centre of one") << "a.vrf -o a.png --mode poster --centre 1.5";
    QTest::newRow("negative threads") << "a.vrf -o a.png --threads -1";
    QTest::newRow("part without a file") << "a.vrf -o a.png --mode poster --part 1/2";
    QTest::newRow("part beyond the parts") << "a.vrf --mode poster --part 3/2 --accumulation a.vacc";
    QTest::newRow("part zero") << "a.vrf --mode poster --part 0/2 --accumulation a.vacc";
    QTest::newRow("part and picture") << "a.vrf -o a.png --mode poster --part 1/2 --accumulation a.vacc";
    QTest::newRow("part in exact mode") << "a.vrf --part 1/2 --accumulation a.vacc";
    QTest::newRow("merge without picture") << "--merge a.vacc";
    QTest::newRow("merge with a size") << "--merge a.vacc -o a.png --width 20";
    QTest::newRow("merge with a seed") << "--merge a.vacc -o a.png --seed 2";
    QTest::newRow("merge of nothing") << "--merge -o a.png";
}

void TestRenderOptions::badOptionsAreRefused()
{
    QFETCH(QString, line);
    const auto parsed = parse(line);
    const auto *error = std::get_if<CommandLineError>(&parsed);
    QVERIFY(error);
    QVERIFY(!error->message.isEmpty());
}

void TestRenderOptions::helpAndVersionAreInformation()
{
    const auto help = parse(QStringLiteral("--help"));
    QVERIFY(std::get_if<CommandLineInfo>(&help));
    QVERIFY(std::get<CommandLineInfo>(help).text.contains(QLatin1String("--resolution")));
    QVERIFY(std::get<CommandLineInfo>(help).text.contains(QLatin1String("--mode poster")));
    const auto version = parse(QStringLiteral("--version"));
    QVERIFY(std::get_if<CommandLineInfo>(&version));
}

void TestRenderOptions::posterOptionsAreRead()
{
    const auto parsed = parse(QStringLiteral("a.vrf -o b.png --mode poster --width 32768 --height 2 --points "
                                             "100000000000 --centre -1.5,2e3 --zoom 2.5 --gamma 4 --transparent "
                                             "--depth 16 --threads 3 --seed 7"));
    const auto *options = std::get_if<RenderOptions>(&parsed);
    QVERIFY(options);
    QCOMPARE(int(options->mode), int(RenderMode::Poster));
    QCOMPARE(options->size, QSize(32768, 2));
    QCOMPARE(*options->poster.points, qint64(100'000'000'000));
    QCOMPARE(*options->poster.centre, QPointF(-1.5, 2000.0));
    QCOMPARE(options->poster.zoom, 2.5);
    QCOMPARE(options->poster.tone.gamma, 4.0);
    QVERIFY(options->poster.tone.transparent);
    QCOMPARE(options->poster.tone.depth, 16);
    QCOMPARE(options->threads, 3);
    QCOMPARE(options->seed, 7u);
    QVERIFY(!options->centre && !options->points);

    const auto part = parse(QStringLiteral("a.vrf --mode poster --part 2/7 --accumulation p.vacc"));
    QCOMPARE(std::get<RenderOptions>(part).poster.accumulation, QStringLiteral("p.vacc"));
    QCOMPARE(std::get<RenderOptions>(part).poster.part, 2);
    QCOMPARE(std::get<RenderOptions>(part).poster.parts, 7);
    const auto merge = parse(QStringLiteral("--merge a.vacc b.vacc -o m.png --gamma 3 --depth 16 --transparent"));
    QCOMPARE(int(std::get<RenderOptions>(merge).mode), int(RenderMode::Merge));
    QCOMPARE(std::get<RenderOptions>(merge).poster.merge, QStringList({QStringLiteral("a.vacc"), QStringLiteral("b.vacc")}));
    QCOMPARE(std::get<RenderOptions>(merge).poster.tone, (PosterToneMapping{3.0, true, 16, 0}));

    const auto plain = parse(QStringLiteral("a.vrf -o b.png --mode poster --width 100 --height 30"));
    QCOMPARE(*std::get<RenderOptions>(plain).poster.points, posterPointsPerPixel * 3000);
    QCOMPARE(std::get<RenderOptions>(plain).poster.tone, PosterToneMapping());
}

QTEST_GUILESS_MAIN(TestRenderOptions)
#include "tst_renderoptions.moc"
