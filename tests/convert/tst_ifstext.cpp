#include "convert/ifstext.h"

#include <QTest>

#include <algorithm>

using namespace Vorlane;

namespace {

QString refusal(const QByteArray &text)
{
    const auto parsed = parseIfsText(text, QStringLiteral("legacy"));
    const auto *error = std::get_if<IfsTextError>(&parsed);
    return error ? error->message : QString();
}

QByteArray mapLines(int count)
{
    QByteArray lines;
    for (int i = 0; i < count; ++i)
        lines += "0.5 0 0 0.5 0 0 1\n";
    return lines;
}

} // namespace

class TestIfsText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsBlocksWrittenAnyWay();
    void readsLibrariesAsTheirProgramDoes_data();
    void readsLibrariesAsTheirProgramDoes();
    void writtenTextReadsBackExactly();
    void refusesBrokenText_data();
    void refusesBrokenText();
};

void TestIfsText::readsBlocksWrittenAnyWay()
{
    const QByteArray text = "; a collection\r\n"
                            "first {\r\n"
                            "  .5 -.5 .5 .5 0 0 .5 ; the comment ends the line\r\n"
                            "  -0.5 -0.5 0.5 -0.5 1 0 5e-1 }\r\n"
                            "\n"
                            "second block\n"
                            "{\n"
                            "1 2 3 4 5 6 7}";
    const auto parsed = parseIfsText(text);
    QVERIFY2(std::holds_alternative<QList<IfsBlock>>(parsed), qPrintable(refusal(text)));
    const QList<IfsBlock> blocks = std::get<QList<IfsBlock>>(parsed);
    QCOMPARE(blocks.size(), 2);
    QCOMPARE(blocks.at(0).name, QStringLiteral("first"));
    QCOMPARE(blocks.at(0).line, 2);
    QCOMPARE(blocks.at(0).maps.size(), 2);
    QCOMPARE(blocks.at(0).maps.at(1).map, (AffineMap{-0.5, -0.5, 0.5, -0.5, 1, 0}));
    QCOMPARE(blocks.at(0).maps.at(1).probability, 0.5);
    QCOMPARE(blocks.at(0).maps.at(1).line, 4);
    QCOMPARE(blocks.at(1).name, QStringLiteral("second block"));
    QCOMPARE(blocks.at(1).maps.constFirst().map, (AffineMap{1, 2, 3, 4, 5, 6}));
}

// Each block as "name maps [3-D] line-of-last-map probability-of-last-map".
void TestIfsText::readsLibrariesAsTheirProgramDoes_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("blocks");

    const QByteArray cube = "cube (3D) {\n"
                            "  .5 0 0 0 .5 0 0 0 .5 0 0 0 .5\n"
                            "  .5 0 0 0 .5 0 0 0 .5 1 0 0 .5\n"
                            "}\n";
    QTest::newRow("3-D blocks among 2-D ones")
        << QByteArray("tri {\n.5 0 0 .5 0 0 .5\n.5 0 0 .5 1 0 .5\n}\n" + cube + "flat(3d){ 1 2 3 4 5 6 7 8 9 10 11 12 13 }")
        << QStringLiteral("tri 2 3 0.5; cube 2 3-D; flat 1 3-D");
    QTest::newRow("a map split over two lines")
        << QByteArray("fern {\n 0 0 0 .16\n   0 0 .01\n .85 .04 -.04 .85 0 1.6 .85\n}")
        << QStringLiteral("fern 2 4 0.85");
    QTest::newRow("two maps on one line") << QByteArray("pair { .5 0 0 .5 0 0 .5 .5 0 0 .5 1 0 .25 }")
                                          << QStringLiteral("pair 2 1 0.25");
    QTest::newRow("numbers without name or braces")
        << QByteArray("; an old fern\n0 0 0 .16 0 0 .01\n.85 .04 -.04 .85 0 1.6 .85\n")
        << QStringLiteral("oldfern 2 3 0.85");
    QTest::newRow("a byte-order mark before UTF-8 text") << QByteArray("\xef\xbb\xbf" "b\xc3\xa4r { .5 0 0 .5 0 0 1 }")
                                                         << QStringLiteral("b\u00e4r 1 1 1");
    QTest::newRow("a byte-order mark among the words of a name")
        << QByteArray("a\n\xef\xbb\xbf; a comment\nb { .5 0 0 .5 0 0 1 }") << QStringLiteral("a b 1 3 1");
}

void TestIfsText::readsLibrariesAsTheirProgramDoes()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, blocks);
    const auto parsed = parseIfsText(text, QStringLiteral("oldfern"));
    QVERIFY2(std::holds_alternative<QList<IfsBlock>>(parsed), qPrintable(refusal(text)));
    QStringList read;
    for (const IfsBlock &block : std::get<QList<IfsBlock>>(parsed)) {
        read.append(block.threeD ? QStringLiteral("%1 %2 3-D").arg(block.name).arg(block.mapCount())
                                 : QStringLiteral("%1 %2 %3 %4")
                                       .arg(block.name)
                                       .arg(block.mapCount())
                                       .arg(block.maps.constLast().line)
                                       .arg(block.maps.constLast().probability));
    }
    QCOMPARE(read.join(QStringLiteral("; ")), blocks);
}

void TestIfsText::writtenTextReadsBackExactly()
{
    const QList<IfsBlock> blocks{
        {QStringLiteral("awkward"), 0, {{{0.1, -1.0 / 3.0, 2e-300, 0.7071067811865476, -12345.678, 1e20}, 0.25, 0}}},
        {QStringLiteral("plain"), 0, {{{0.5, 0, 0, 0.5, 0, 0}, 1, 0}, {{0.5, 0, 0, 0.5, 0.5, 0}, 0, 0}}}};
    const QByteArray text = writeIfsText(blocks, {QStringLiteral("a comment")});
    QVERIFY(text.startsWith("; a comment\n"));
    const auto parsed = parseIfsText(text);
    QVERIFY2(std::holds_alternative<QList<IfsBlock>>(parsed), qPrintable(refusal(text)));
    const QList<IfsBlock> back = std::get<QList<IfsBlock>>(parsed);
    QCOMPARE(back.size(), blocks.size());
    for (qsizetype b = 0; b < blocks.size(); ++b) {
        QCOMPARE(back.at(b).name, blocks.at(b).name);
        QCOMPARE(back.at(b).maps.size(), blocks.at(b).maps.size());
        for (qsizetype m = 0; m < blocks.at(b).maps.size(); ++m) {
            QCOMPARE(back.at(b).maps.at(m).map, blocks.at(b).maps.at(m).map);
            QCOMPARE(back.at(b).maps.at(m).probability, blocks.at(b).maps.at(m).probability);
        }
    }
}

void TestIfsText::refusesBrokenText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("message");

    QTest::newRow("six numbers") << QByteArray("f {\n1 2 3 4 5 6 7\n1 2 3 4 5 6\n}")
                                 << QStringLiteral("line 4: block 'f': 13 numbers, which is not a whole number of maps "
                                                   "(7 numbers a map: a b c d e f p)");
    QTest::newRow("3-D map short of a number") << QByteArray("c (3D) {\n1 2 3 4 5 6 7 8 9 10 11 12\n}")
                                               << QStringLiteral("block 'c': 12 numbers, which is not a whole number "
                                                                 "of maps (13 numbers a map)");
    QTest::newRow("numbers alone, not whole maps") << QByteArray("0 0 0 .16 0 0 .01\n.85 .04 -.04\n")
                                                   << QStringLiteral("block 'legacy': 10 numbers, which is not a whole");
    QTest::newRow("UTF-16") << QByteArray("\xff\xfe" "f\0 \0{\0") << QStringLiteral("the file is UTF-16 text, and it "
                                                                               "must be UTF-8 or ASCII text");
    QTest::newRow("NUL in a number") << QByteArray("f {\n1 2 3\0 4 5 6 7\n}", 20)
                                     << QStringLiteral("map 1: '3\\x00' is not a finite number");
    QTest::newRow("terminal escape in a name") << QByteArray("a\x1b[2Jb {\n1 2 3 4 5 6 7\n")
                                               << QStringLiteral("block 'a\\x1b[2Jb' from line 1 is not closed");
    QTest::newRow("a word among the numbers") << QByteArray("f {\n1 2 x 4 5 6 7\n}")
                                              << QStringLiteral("line 2: block 'f', map 1: 'x' is not a finite number");
    QTest::newRow("not a number") << QByteArray("f {\n1 2 nan 4 5 6 7\n}")
                                  << QStringLiteral("line 2: block 'f', map 1: 'nan' is not a finite number");
    QTest::newRow("infinite") << QByteArray("f {\n1 2 3 4 5 1e999 7\n}")
                              << QStringLiteral("'1e999' is not a finite number");
    QTest::newRow("negative probability") << QByteArray("f {\n1 2 3 4 5 6 -1\n}")
                                          << QStringLiteral("line 2: block 'f', map 1: the probability -1 is negative");
    QTest::newRow("closing brace missing") << QByteArray("f {\n1 2 3 4 5 6 7\n")
                                           << QStringLiteral("block 'f' from line 1 is not closed with '}'");
    QTest::newRow("closing brace missing before the next block")
        << QByteArray("f {\n1 2 3 4 5 6 7\ng {\n")
        << QStringLiteral("line 3: block 'f', map 2: 'g' is not a finite number; is a '}' missing?");
    QTest::newRow("opening brace missing") << QByteArray("f\n1 2 3 4 5 6 7\n}")
                                           << QStringLiteral("line 3: '}' without a block to close");
    QTest::newRow("no name") << QByteArray("{\n1 2 3 4 5 6 7\n}")
                             << QStringLiteral("line 1: '{' without a block name");
    QTest::newRow("name without braces") << QByteArray("f\n") << QStringLiteral("'f' is not followed by '{'");
    QTest::newRow("no block") << QByteArray("; only a comment\n") << QStringLiteral("no block of maps");
    QTest::newRow("51 maps") << QByteArray("big {\n" + mapLines(51) + "}")
                             << QStringLiteral("line 52: block 'big', map 51: more than 50 maps");
    QTest::newRow("long line") << QByteArray(5000, ' ') << QStringLiteral("line 1: the line is longer than 4096");
    QTest::newRow("long name") << QByteArray(200, 'n') << QStringLiteral("a block name is longer than 100");
    QTest::newRow("large file") << QByteArray(maxIfsTextSize + 1, '\n')
                                << QStringLiteral("the file is larger than");
}

void TestIfsText::refusesBrokenText()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, message);
    const QString error = refusal(text);
    QVERIFY2(error.contains(message), qPrintable(error));
    QVERIFY2(std::none_of(error.cbegin(), error.cend(), [](QChar c) { return c.category() == QChar::Other_Control; }),
             qPrintable(error));
}

QTEST_GUILESS_MAIN(TestIfsText)
#include "tst_ifstext.moc"
