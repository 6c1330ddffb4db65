#include "render/exact/documentpicture.h"
#include "programs/vorlane-render/renderoptions.h"
#include "document/documentfile.h"
#include "surroundings/programstate.h"
#include "widgets/canvasview.h"
#include "support/files.h"
#include "support/mainwindowfixture.h"
#include "support/programrun.h"
#include "support/testfolder.h"

#include <QDir>
#include <QTest>

using namespace Vorlane;

namespace {

ProgramRun runRenderer(const QStringList &arguments, rlim_t fileSizeLimit = 0)
{
    return runProgram(QStringLiteral(VORLANE_RENDER_PATH), arguments, fileSizeLimit);
}

} // namespace

class TestVorlaneRender : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sameDocumentGivesTheWindowsPixels();
    void exitCodesTellWhatWentWrong();
    void faultyFilesAndCountsAreRefused_data();
    void faultyFilesAndCountsAreRefused();
    void everyGalleryDocumentRenders();
    void versionIsTheAboutWindows();
    void exactModeIsTheDefault();
    void postersAreTheSameWhateverTheThreads();
    void posterSizesAreLimited_data();
    void posterSizesAreLimited();
    void partsMergeIntoTheSinglePoster();
    void mergeRefusesPartsThatDoNotBelong_data();
    void mergeRefusesPartsThatDoNotBelong();

private:
    // Part K of 3 of a small poster of document, written to name.
    QString renderPart(const QString &document, int part, const QString &name, const QString &seed = QStringLiteral("5"));

    TestFolder m_parts;
};

void TestVorlaneRender::sameDocumentGivesTheWindowsPixels()
{
    const MainWindowFixture fixture;
    MainWindow &window = *fixture.window;
    QCOMPARE(window.visibleCanvas()->canvas().pixelSize(), startupCanvasSize());

    FractalDocument document = fixture.session().document();
    document.colours = {ChronologicalColour, 255, 65280 * 2, 0x102030};
    const QString path = fixture.folder.filePath(QStringLiteral("tree.vrf"));
    QVERIFY(saveDocumentFile(document, path));
    QVERIFY(window.readDocumentFile(path));
    window.startRendering();

    for (const QString &name : {QStringLiteral("tree.png"), QStringLiteral("tree.bmp")}) {
        const QString output = fixture.folder.filePath(name);
        const ProgramRun run = runRenderer({path, QStringLiteral("-o"), output});
        QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
        const QImage picture(output);
        QCOMPARE(picture.convertToFormat(QImage::Format_RGB32), window.lastPicture().load());
    }
}

void TestVorlaneRender::exitCodesTellWhatWentWrong()
{
    TestFolder folder;
    const QString document = folder.filePath(QStringLiteral("tree.vrf"));
    QVERIFY(saveDocumentFile(startupDocument(1, 1, 0), document));
    const QString output = folder.filePath(QStringLiteral("out.png"));
    QCOMPARE(runRenderer({folder.filePath(QStringLiteral("missing.vrf")), QStringLiteral("-o"), output}).exitCode,
             int(ToolExit::MissingInput));
    const QString junk = folder.filePath(QStringLiteral("junk.vrf"));
    writeFile(junk, "junk");
    QCOMPARE(runRenderer({junk, QStringLiteral("-o"), output}).exitCode, int(ToolExit::Refused));
    QCOMPARE(runRenderer({document, QStringLiteral("-o"), output, QStringLiteral("--resolution"), QStringLiteral("0")})
                 .exitCode,
             int(ToolExit::BadOptions));
    QCOMPARE(runRenderer({document, QStringLiteral("-o"), folder.filePath(QStringLiteral("no/such/out.png"))}).exitCode,
             int(ToolExit::OutputFailed));
    QCOMPARE(runRenderer({document, QStringLiteral("-o"), output, QStringLiteral("--points"), QStringLiteral("500")})
                 .exitCode,
             int(ToolExit::Success));
    QVERIFY(!QImage(output).isNull());
}

void TestVorlaneRender::faultyFilesAndCountsAreRefused_data()
{
    QTest::addColumn<QString>("input");  // "fifo" or the document
    QTest::addColumn<QString>("output"); // "fifo", "full" (a picture, no room to write) or a new file
    QTest::addColumn<QString>("points");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("reason");
    QTest::newRow("input a FIFO without a writer") << "fifo" << "new" << "" << int(ToolExit::MissingInput)
                                                 << "Not a regular file";
    QTest::newRow("output over a picture on a full disk") << "document" << "full" << "" << int(ToolExit::OutputFailed)
                                                          << qt_error_string(EFBIG);
    QTest::newRow("output onto a FIFO") << "document" << "fifo" << "" << int(ToolExit::OutputFailed)
                                        << "Not a regular file";
    QTest::newRow("no points") << "document" << "new" << "0" << int(ToolExit::BadOptions) << "points";
    QTest::newRow("negative points") << "document" << "new" << "-5" << int(ToolExit::BadOptions) << "points";
}

void TestVorlaneRender::faultyFilesAndCountsAreRefused()
{
    QFETCH(QString, input);
    QFETCH(QString, output);
    QFETCH(QString, points);
    QFETCH(int, exitCode);
    QFETCH(QString, reason);
    TestFolder folder;
    const QString document = folder.filePath(QStringLiteral("tree.vrf"));
    QVERIFY(saveDocumentFile(startupDocument(1, 1, 0), document));
    const QString fifo = folder.filePath(QStringLiteral("fifo.png"));
    makeFifo(fifo);
    const QString picture = output == QLatin1String("fifo") ? fifo : folder.filePath(QStringLiteral("out.png"));
    const QByteArray old("old picture");
    if (output == QLatin1String("full"))
        writeFile(picture, old);
    QStringList arguments{input == QLatin1String("fifo") ? fifo : document, QStringLiteral("-o"), picture};
    if (!points.isEmpty())
        arguments << QStringLiteral("--points") << points;

    const ProgramRun run = runRenderer(arguments, output == QLatin1String("full") ? 4096 : 0);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.errors.contains(reason), qPrintable(run.errors));
    QVERIFY(isFifo(fifo));
    if (output == QLatin1String("full"))
        QCOMPARE(fileContents(picture), old);
}

// The About window shows "Version:  2.0.2".
void TestVorlaneRender::versionIsTheAboutWindows()
{
    QCOMPARE(runRenderer({QStringLiteral("--version")}).output, QStringLiteral("vorlane-render 2.0.2\n"));
}

// Each fits the start-up canvas with room to spare on every side.
void TestVorlaneRender::everyGalleryDocumentRenders()
{
    TestFolder folder;
    const QDir gallery(QStringLiteral(VORLANE_GALLERY_DIR));
    const QStringList documents = gallery.entryList({QStringLiteral("*.vrf")});
    QVERIFY(documents.size() >= 10);
    for (const QString &name : documents) {
        const QString output = folder.filePath(QStringLiteral("picture.png"));
        const ProgramRun run = runRenderer({gallery.filePath(name), QStringLiteral("-o"), output,
                                     QStringLiteral("--points"), QStringLiteral("20000")});
        QVERIFY2(run.exitCode == 0, qPrintable(name + QLatin1String(": ") + run.errors));
        const QImage picture(output);
        QCOMPARE(picture.size(), startupCanvasSize());
        int inked = 0;
        QRect drawn;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                const bool ink = picture.pixel(x, y) != picture.pixel(0, 0);
                inked += ink;
                if (ink)
                    drawn |= QRect(x, y, 1, 1);
            }
        }
        QVERIFY2(inked > picture.width() * picture.height() / 200, qPrintable(name + QLatin1String(" is nearly empty")));
        // Clear of every edge by a twentieth of the canvas.
        const QMargins margin(picture.width() / 20, picture.height() / 20, picture.width() / 20, picture.height() / 20);
        QVERIFY2(picture.rect().marginsRemoved(margin).contains(drawn), qPrintable(name + QLatin1String(" touches an edge")));
    }
}

void TestVorlaneRender::exactModeIsTheDefault()
{
    TestFolder folder;
    const QString document = folder.filePath(QStringLiteral("tree.vrf"));
    QVERIFY(saveDocumentFile(startupDocument(1, 1, 0), document));
    const QString plain = folder.filePath(QStringLiteral("plain.png"));
    const QString exact = folder.filePath(QStringLiteral("exact.png"));
    QCOMPARE(runRenderer({document, QStringLiteral("-o"), plain}).exitCode, 0);
    QCOMPARE(runRenderer({document, QStringLiteral("-o"), exact, QStringLiteral("--mode"), QStringLiteral("exact")})
                 .exitCode,
             0);
    QCOMPARE(fileContents(exact), fileContents(plain));
}

void TestVorlaneRender::postersAreTheSameWhateverTheThreads()
{
    TestFolder folder;
    const QString document = QDir(QStringLiteral(VORLANE_GALLERY_DIR)).filePath(QStringLiteral("Fern.vrf"));
    QByteArray first;
    for (const QString &threads : {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}) {
        const QString output = folder.filePath(QStringLiteral("fern%1.png").arg(threads));
        const ProgramRun run = runRenderer({document, QStringLiteral("-o"), output, QStringLiteral("--mode"),
                                     QStringLiteral("poster"), QStringLiteral("--width"), QStringLiteral("90"),
                                     QStringLiteral("--height"), QStringLiteral("70"), QStringLiteral("--points"),
                                     QStringLiteral("2500000"), QStringLiteral("--threads"), threads,
                                     QStringLiteral("--transparent"), QStringLiteral("--depth"), QStringLiteral("16")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
        const QByteArray bytes = fileContents(output);
        QVERIFY(first.isEmpty() || bytes == first);
        first = bytes;
    }
    const QImage poster(folder.filePath(QStringLiteral("fern1.png")));
    QCOMPARE(poster.size(), QSize(90, 70));
    QCOMPARE(poster.depth(), 64);
    QCOMPARE(poster.pixelColor(0, 0).alpha(), 0);
}

void TestVorlaneRender::posterSizesAreLimited_data()
{
    QTest::addColumn<QStringList>("size");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("too wide") << QStringList{QStringLiteral("--width"), QStringLiteral("32769")}
                              << int(ToolExit::BadOptions);
    QTest::newRow("too tall") << QStringList{QStringLiteral("--height"), QStringLiteral("40000")}
                              << int(ToolExit::BadOptions);
}

void TestVorlaneRender::posterSizesAreLimited()
{
    QFETCH(QStringList, size);
    QFETCH(int, exitCode);
    TestFolder folder;
    const QString document = folder.filePath(QStringLiteral("tree.vrf"));
    QVERIFY(saveDocumentFile(startupDocument(1, 1, 0), document));
    const QString output = folder.filePath(QStringLiteral("poster.png"));
    const ProgramRun run = runRenderer(QStringList{document, QStringLiteral("-o"), output, QStringLiteral("--mode"),
                                           QStringLiteral("poster")}
                                + size);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY(!QFile::exists(output));
}

QStringList smallPoster(const QString &seed)
{
    return {QStringLiteral("--mode"), QStringLiteral("poster"), QStringLiteral("--width"), QStringLiteral("64"),
            QStringLiteral("--height"), QStringLiteral("48"), QStringLiteral("--points"), QStringLiteral("3500000"),
            QStringLiteral("--seed"), seed};
}

QString TestVorlaneRender::renderPart(const QString &document, int part, const QString &name, const QString &seed)
{
    const QString path = m_parts.filePath(name);
    const ProgramRun run = runRenderer(QStringList{document} + smallPoster(seed)
                                + QStringList{QStringLiteral("--part"), QStringLiteral("%1/3").arg(part),
                                              QStringLiteral("--accumulation"), path});
    if (run.exitCode != 0)
        qWarning("%s", qPrintable(run.errors));
    return path;
}

void TestVorlaneRender::partsMergeIntoTheSinglePoster()
{
    const QString document = QDir(QStringLiteral(VORLANE_GALLERY_DIR)).filePath(QStringLiteral("Spiral.vrf"));
    const QString single = m_parts.filePath(QStringLiteral("single.png"));
    const QStringList picture{QStringLiteral("--depth"), QStringLiteral("16"), QStringLiteral("--gamma"),
                              QStringLiteral("1.5")};
    QCOMPARE(runRenderer(QStringList{document, QStringLiteral("-o"), single} + smallPoster(QStringLiteral("5")) + picture)
                 .exitCode,
             0);
    const QString merged = m_parts.filePath(QStringLiteral("merged.png"));
    const ProgramRun run = runRenderer(QStringList{QStringLiteral("--merge"), renderPart(document, 3, QStringLiteral("s3.vacc")),
                                            renderPart(document, 1, QStringLiteral("s1.vacc")),
                                            renderPart(document, 2, QStringLiteral("s2.vacc")), QStringLiteral("-o"),
                                            merged}
                                + picture);
    QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
    QCOMPARE(fileContents(merged), fileContents(single));
}

void TestVorlaneRender::mergeRefusesPartsThatDoNotBelong_data()
{
    const QDir gallery(QStringLiteral(VORLANE_GALLERY_DIR));
    const QString fern = gallery.filePath(QStringLiteral("Fern.vrf"));
    const QString tree = gallery.filePath(QStringLiteral("Tree.vrf"));
    const QString p1 = renderPart(fern, 1, QStringLiteral("p1.vacc"));
    const QString p2 = renderPart(fern, 2, QStringLiteral("p2.vacc"));
    const QString p3 = renderPart(fern, 3, QStringLiteral("p3.vacc"));
    const QString damaged = m_parts.filePath(QStringLiteral("damaged.vacc"));
    QByteArray bytes = fileContents(p2);
    bytes[bytes.size() / 2] = char(bytes[bytes.size() / 2] ^ 0x5a);
    writeFile(damaged, bytes);
    const QString cut = m_parts.filePath(QStringLiteral("cut.vacc"));
    writeFile(cut, fileContents(p2).left(fileContents(p2).size() - 3));
    const QString junk = m_parts.filePath(QStringLiteral("junk.vacc"));
    writeFile(junk, "VACD junk");

    QTest::addColumn<QStringList>("parts");
    QTest::addColumn<QString>("message");
    QTest::newRow("another document") << QStringList{p1, renderPart(tree, 2, QStringLiteral("t2.vacc")), p3}
                                      << "another document";
    QTest::newRow("another seed") << QStringList{p1, renderPart(fern, 2, QStringLiteral("o2.vacc"), QStringLiteral("6")), p3}
                                  << "another seed";
    QTest::newRow("a part twice") << QStringList{p1, p2, p3, p2} << "Part 2 of 3 is given twice";
    QTest::newRow("a part missing") << QStringList{p3, p1} << "Part 2 of 3 is missing";
    QTest::newRow("damaged") << QStringList{p1, damaged, p3} << "damaged";
    QTest::newRow("cut short") << QStringList{p1, cut, p3} << "damaged";
    QTest::newRow("not a part") << QStringList{p1, junk, p3} << "not a poster part";
    QTest::newRow("no such file") << QStringList{p1, m_parts.filePath(QStringLiteral("none.vacc")), p3}
                                  << "cannot be read";
}

void TestVorlaneRender::mergeRefusesPartsThatDoNotBelong()
{
    QFETCH(QStringList, parts);
    QFETCH(QString, message);
    const QString output = m_parts.filePath(QStringLiteral("refused.png"));
    const ProgramRun run = runRenderer(QStringList{QStringLiteral("--merge")} + parts + QStringList{QStringLiteral("-o"), output});
    QCOMPARE(run.exitCode, int(ToolExit::Refused));
    QVERIFY2(run.errors.contains(message), qPrintable(run.errors));
    QVERIFY(!QFile::exists(output));
}

QTEST_MAIN(TestVorlaneRender)
#include "tst_vorlanerender.moc"
