#include "convert/ifstext.h"

#include <QTest>

using namespace Vorlane;

namespace {

QString refusal(const QByteArray &text)
{
    const auto parsed = parseIfsText(text);
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
                                 << QStringLiteral("line 3: block 'f', map 2: 6 numbers where a map has seven");
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
        << QByteArray("f {\n1 2 3 4 5 6 7\ng {\n") << QStringLiteral("line 3: '{' inside block 'f'");
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
}

QTEST_GUILESS_MAIN(TestIfsText)
#include "tst_ifstext.moc"
