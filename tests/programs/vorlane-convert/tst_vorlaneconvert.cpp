#include "convert/affinemap.h"
#include "document/documentfile.h"
#include "support/files.h"
#include "support/programrun.h"
#include "support/testfolder.h"

#include <QTest>

#include <cerrno>

using namespace Vorlane;

namespace {

ProgramRun runConverter(const QStringList &arguments)
{
    return runProgram(QStringLiteral(VORLANE_CONVERT_PATH), arguments);
}

QString gallery(const char *name)
{
    return QStringLiteral(VORLANE_GALLERY_DIR "/") + QLatin1String(name);
}

QString example(const char *name)
{
    return QStringLiteral(VORLANE_EXAMPLES_DIR "/") + QLatin1String(name);
}

} // namespace

class TestVorlaneConvert : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void exitCodesTellWhatWentWrong_data();
    void exitCodesTellWhatWentWrong();
    void faultyFilesAreRefused_data();
    void faultyFilesAreRefused();
    void documentThroughIfsTextAndBack();
    void listsAndPicksBlocks();
    void tellsItsVersionAndUnits();
};

void TestVorlaneConvert::exitCodesTellWhatWentWrong_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");

    const QString out = QStringLiteral("%1/out.vrf");
    QTest::newRow("one file") << QStringList{example("dragon.ifs")} << 2 << QStringLiteral("Give the file");
    QTest::newRow("unknown output") << QStringList{gallery("Fern.vrf"), QStringLiteral("%1/out.png")} << 2
                                    << QStringLiteral("Convert a .vrf document to");
    QTest::newRow("import option on export") << QStringList{gallery("Fern.vrf"), QStringLiteral("%1/out.ifs"),
                                                            QStringLiteral("--approximate")}
                                             << 2 << QStringLiteral("belong to IFS text");
    QTest::newRow("no such block") << QStringList{example("dragon.ifs"), out, QStringLiteral("--name"),
                                                  QStringLiteral("fern")}
                                   << 2 << QStringLiteral("no block named 'fern'");
    QTest::newRow("missing input") << QStringList{QStringLiteral("%1/missing.ifs"), out} << 3
                                   << QStringLiteral("cannot read");
    QTest::newRow("missing base field") << QStringList{example("dragon.ifs"), out, QStringLiteral("--base-field"),
                                                       QStringLiteral("%1/missing.vrf")}
                                        << 3 << QStringLiteral("cannot read");
    QTest::newRow("not a document") << QStringList{QStringLiteral("%1/junk.vrf"), QStringLiteral("%1/out.ifs")} << 4
                                    << QStringLiteral("is not a whole Vorlane fractal document");
    QTest::newRow("malformed text") << QStringList{QStringLiteral("%1/junk.vrf.ifs"), out} << 4
                                    << QStringLiteral("line 1: 'junk' is not followed by '{'");
    QTest::newRow("shear") << QStringList{QStringLiteral("%1/shear.ifs"), out} << 4
                           << QStringLiteral("block 'sheared', map 1 (line 1): its axes meet at");
    QTest::newRow("output folder missing") << QStringList{example("dragon.ifs"), QStringLiteral("%1/no/out.vrf")} << 5
                                           << QStringLiteral("cannot write");
    QTest::newRow("text output folder missing") << QStringList{gallery("Fern.vrf"), QStringLiteral("%1/no/out.ifs")}
                                                << 5 << QStringLiteral("cannot write");
    QTest::newRow("approximated") << QStringList{QStringLiteral("%1/shear.ifs"), out, QStringLiteral("--approximate")}
                                  << 0 << QStringLiteral("approximated, a, b, c and d move by at most");
}

void TestVorlaneConvert::exitCodesTellWhatWentWrong()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    TestFolder folder;
    const QString root = folder.appDir().chopped(1);
    writeFile(folder.filePath(QStringLiteral("junk.vrf")), "junk");
    writeFile(folder.filePath(QStringLiteral("junk.vrf.ifs")), "junk");
    writeFile(folder.filePath(QStringLiteral("shear.ifs")), "sheared { 0.5 0.25 0 0.5 0 0 1 }\n");
    for (QString &argument : arguments)
        argument.replace(QStringLiteral("%1"), root);
    const ProgramRun run = runConverter(arguments);
    QVERIFY2(run.errors.contains(message), qPrintable(run.errors));
    QCOMPARE(run.exitCode, exitCode);
}

void TestVorlaneConvert::faultyFilesAreRefused_data()
{
    QTest::addColumn<QString>("input");  // "fifo" or a file of the examples or gallery
    QTest::addColumn<QString>("output"); // "fifo", "full" (an old file, no room to write) or a new file's name
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("reason");
    QTest::newRow("IFS text a FIFO without a writer") << "fifo" << "out.vrf" << 3 << "Not a regular file";
    QTest::newRow("document onto a FIFO") << gallery("Fern.vrf") << "fifo" << 5 << "Not a regular file";
    QTest::newRow("IFS text over a file on a full disk") << gallery("Fern.vrf") << "full" << 5
                                                         << qt_error_string(EFBIG);
    QTest::newRow("document over a file on a full disk") << example("dragon.ifs") << "full" << 5
                                                         << qt_error_string(EFBIG);
}

// A FIFO is neither waited on nor replaced, and a failed write keeps the
// old file.
void TestVorlaneConvert::faultyFilesAreRefused()
{
    QFETCH(QString, input);
    QFETCH(QString, output);
    QFETCH(int, exitCode);
    QFETCH(QString, reason);
    TestFolder folder;
    const QString fifo = folder.filePath(QStringLiteral("fifo.ifs"));
    makeFifo(fifo);
    const bool full = output == QLatin1String("full");
    const QString target = output == QLatin1String("fifo") ? fifo
                           : full ? folder.filePath(input.endsWith(QLatin1String(".vrf")) ? QStringLiteral("old.ifs")
                                                                                         : QStringLiteral("old.vrf"))
                                  : folder.filePath(output);
    const QByteArray old(8192, 'o');
    if (full)
        writeFile(target, old);

    const ProgramRun run =
        runProgram(QStringLiteral(VORLANE_CONVERT_PATH), {input == QLatin1String("fifo") ? fifo : input, target},
                   full ? 16 : 0);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.errors.contains(reason), qPrintable(run.errors));
    QVERIFY(isFifo(fifo));
    if (full)
        QCOMPARE(fileContents(target), old);
}

void TestVorlaneConvert::documentThroughIfsTextAndBack()
{
    TestFolder folder;
    const QString source = gallery("Fern.vrf");
    const QString text = folder.filePath(QStringLiteral("fern.ifs"));
    const QString back = folder.filePath(QStringLiteral("fern.vrf"));
    ProgramRun run = runConverter({source, text});
    QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
    QVERIFY(fileContents(text).contains("\nFern {\n"));
    run = runConverter({text, back, QStringLiteral("--keep-scale"), QStringLiteral("--base-field"), source});
    QVERIFY2(run.exitCode == 0, qPrintable(run.errors));

    const std::optional<FractalDocument> original = loadDocumentFile(source, FractalDocument());
    const std::optional<FractalDocument> converted = loadDocumentFile(back, FractalDocument());
    QVERIFY(original && converted);
    QCOMPARE(converted->basePoints, original->basePoints);
    QCOMPARE(converted->transformations, original->transformations);

    const QString genome = folder.filePath(QStringLiteral("fern.flame"));
    run = runConverter({source, genome});
    QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
    QVERIFY(fileContents(genome).contains("<flame name=\"Fern\""));
}

void TestVorlaneConvert::listsAndPicksBlocks()
{
    TestFolder folder;
    const QString collection = folder.filePath(QStringLiteral("collection.ifs"));
    writeFile(collection, fileContents(example("dragon.ifs")) + fileContents(example("maple-leaf.ifs")));
    ProgramRun run = runConverter({collection, QStringLiteral("--list")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.output, QStringLiteral("dragon\t2 maps\nmaple_leaf\t4 maps\n"));

    const QString leaf = folder.filePath(QStringLiteral("leaf.vrf"));
    run = runConverter({collection, leaf, QStringLiteral("--name"), QStringLiteral("Maple_Leaf")});
    QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
    const std::optional<FractalDocument> document = loadDocumentFile(leaf, FractalDocument());
    QVERIFY(document);
    QCOMPARE(document->trCount(), 4);
    QCOMPARE(document->basePointCount(), 1);
    // The stem's probability is far below its file's.
    QVERIFY2(run.errors.contains(QStringLiteral("block 'maple_leaf', map 4")), qPrintable(run.errors));
}

void TestVorlaneConvert::tellsItsVersionAndUnits()
{
    const ProgramRun version = runConverter({QStringLiteral("--version")});
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.output, QStringLiteral("vorlane-convert " VORLANE_VERSION "\n"));
    const ProgramRun help = runConverter({QStringLiteral("--help")});
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.output.contains(QStringLiteral("%1 canvas units").arg(exchangeUnit())));
    QVERIFY(help.output.contains(QStringLiteral("--approximate")));
}

QTEST_GUILESS_MAIN(TestVorlaneConvert)
#include "tst_vorlaneconvert.moc"
