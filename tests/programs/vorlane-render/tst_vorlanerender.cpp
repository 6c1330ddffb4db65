#include "render/exact/documentpicture.h"
#include "programs/vorlane-render/renderoptions.h"
#include "render/lesson/levels.h"
#include "document/documentfile.h"
#include "surroundings/programstate.h"
#include "widgets/canvasview.h"
#include "support/files.h"
#include "support/mainwindowfixture.h"
#include "support/programrun.h"
#include "support/testfolder.h"

#include "render/poster/posterpart.h"

#include <QDataStream>
#include <QDir>
#include <QTest>
#include <QtEndian>

#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/sysmacros.h>
#include <zlib.h>

using namespace Vorlane;

namespace {

ProgramRun runRenderer(const QStringList &arguments, ProgramLimits limits = {})
{
    return runProgram(QStringLiteral(VORLANE_RENDER_PATH), arguments, limits);
}

// Under AddressSanitizer a process needs terabytes of address space for its
// shadow memory, so no address-space limit can be set.
#if defined(__SANITIZE_ADDRESS__)
constexpr rlim_t smallAddressSpace = 0;
#else
constexpr rlim_t smallAddressSpace = rlim_t(1) << 30;
#endif

// zlib's stream of bytes zeros, made a megabyte at a time.
QByteArray deflatedZeros(qint64 bytes)
{
    z_stream stream = {};
    deflateInit(&stream, Z_BEST_SPEED);
    QByteArray zeros(1 << 20, '\0');
    QByteArray deflated;
    char buffer[1 << 16];
    for (qint64 left = bytes; left >= 0; left -= zeros.size()) {
        stream.next_in = reinterpret_cast<Bytef *>(zeros.data());
        stream.avail_in = uInt(qMin<qint64>(left, zeros.size()));
        const int flush = left <= zeros.size() ? Z_FINISH : Z_NO_FLUSH;
        do {
            stream.next_out = reinterpret_cast<Bytef *>(buffer);
            stream.avail_out = sizeof buffer;
            deflate(&stream, flush);
            deflated.append(buffer, qsizetype(sizeof buffer - stream.avail_out));
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    return deflated;
}

// A chunk of a part file as the writer stores it: the length, the size
// its sums claim (big-endian, as qCompress puts it) and zlib's stream.
QByteArray storedChunk(quint32 claimedSize, const QByteArray &stream)
{
    QByteArray chunk(8, '\0');
    qToLittleEndian<quint32>(quint32(stream.size() + 4), chunk.data());
    qToBigEndian<quint32>(claimedSize, chunk.data() + 4);
    return chunk + stream;
}

// The header of a one-part poster of 64 x 48 pixels that says it is part 1 of parts.
QByteArray partHeader(int parts)
{
    PosterSettings settings;
    settings.size = QSize(64, 48);
    return posterPartHeaderBytes({QByteArray(32, 'd'), QByteArray(32, 'a'), 0, settings, 1, parts});
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
    void hostilePartsAreRefusedInLittleMemory_data();
    void hostilePartsAreRefusedInLittleMemory();
    void partReplacedDuringTheMergeIsRefused();
    void killedWhileWritingLeavesNothingBehind();
    void targetsThatMustNotBeWrittenAreRefusedBeforeWork_data();
    void targetsThatMustNotBeWrittenAreRefusedBeforeWork();
    void infoAndLevelsServeALesson();

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

    const ProgramRun run = runRenderer(arguments, {rlim_t(output == QLatin1String("full") ? 4096 : 0)});
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
    const QString longer = m_parts.filePath(QStringLiteral("longer.vacc"));
    writeFile(longer, fileContents(p2) + "more");
    const QString junk = m_parts.filePath(QStringLiteral("junk.vacc"));
    writeFile(junk, "VACD junk");
    const QString fifo = m_parts.filePath(QStringLiteral("fifo.vacc"));
    if (!QFile::exists(fifo))
        makeFifo(fifo);

    QTest::addColumn<QStringList>("parts");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("exitCode");
    const int refused = int(ToolExit::Refused);
    const int unreadable = int(ToolExit::MissingInput);
    QTest::newRow("another document") << QStringList{p1, renderPart(tree, 2, QStringLiteral("t2.vacc")), p3}
                                      << "another document" << refused;
    QTest::newRow("another seed") << QStringList{p1, renderPart(fern, 2, QStringLiteral("o2.vacc"), QStringLiteral("6")), p3}
                                  << "another seed" << refused;
    QTest::newRow("a part twice") << QStringList{p1, p2, p3, p2} << "Part 2 of 3 is given twice" << refused;
    QTest::newRow("a part missing") << QStringList{p3, p1} << "Part 2 of 3 is missing" << refused;
    QTest::newRow("damaged") << QStringList{p1, damaged, p3} << "damaged" << refused;
    QTest::newRow("cut short") << QStringList{p1, cut, p3} << "damaged" << refused;
    QTest::newRow("bytes after the end") << QStringList{p1, longer, p3} << "damaged" << refused;
    QTest::newRow("not a part") << QStringList{p1, junk, p3} << "not a poster part" << refused;
    QTest::newRow("no such file") << QStringList{p1, m_parts.filePath(QStringLiteral("none.vacc")), p3}
                                  << "cannot be read" << unreadable;
    QTest::newRow("a folder") << QStringList{p1, m_parts.appDir(), p3} << "Not a regular file" << unreadable;
    QTest::newRow("a FIFO without a writer") << QStringList{fifo, p2, p3} << "Not a regular file" << unreadable;
}

void TestVorlaneRender::mergeRefusesPartsThatDoNotBelong()
{
    QFETCH(QStringList, parts);
    QFETCH(QString, message);
    QFETCH(int, exitCode);
    const QString output = m_parts.filePath(QStringLiteral("refused.png"));
    const ProgramRun run = runRenderer(QStringList{QStringLiteral("--merge")} + parts + QStringList{QStringLiteral("-o"), output});
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.errors.contains(message), qPrintable(run.errors));
    // Our message alone: no warning of a library before it.
    QVERIFY2(run.errors.startsWith(QLatin1String("vorlane-render: ")) && run.errors.count(QLatin1Char('\n')) == 1,
             qPrintable(run.errors));
    QVERIFY(!QFile::exists(output));
}

void TestVorlaneRender::hostilePartsAreRefusedInLittleMemory_data()
{
    const int pixelsBytes = 64 * 48 * 32;
    QTest::addColumn<QByteArray>("part");
    QTest::addColumn<qint64>("sparseSize"); // the file made this long with a hole, 0 for none
    QTest::newRow("a chunk that inflates to 1 GiB")
        << partHeader(1) + storedChunk(pixelsBytes, deflatedZeros(qint64(1) << 30)) + "END!" << qint64(0);
    QTest::newRow("a chunk that claims 4 GB of a sparse file")
        << partHeader(1) + QByteArray::fromHex("f0ffffff") << (qint64(1) << 32) + 4096;
    QTest::newRow("a billion parts") << partHeader(1'000'000'000) << qint64(0);
    QTest::newRow("2^31 - 1 parts") << partHeader(std::numeric_limits<qint32>::max()) << qint64(0);
}

void TestVorlaneRender::hostilePartsAreRefusedInLittleMemory()
{
    QFETCH(QByteArray, part);
    QFETCH(qint64, sparseSize);
    TestFolder folder;
    const QString path = folder.filePath(QStringLiteral("hostile.vacc"));
    writeFile(path, part);
    if (sparseSize > 0)
        QVERIFY(QFile::resize(path, sparseSize));
    const QString output = folder.filePath(QStringLiteral("poster.png"));
    ProgramLimits limits;
    limits.addressSpace = smallAddressSpace;
    const ProgramRun run = runRenderer({QStringLiteral("--merge"), path, QStringLiteral("-o"), output}, limits);
    QCOMPARE(run.exitCode, int(ToolExit::Refused));
    QVERIFY2(run.errors.contains(QLatin1String("damaged")), qPrintable(run.errors));
    QVERIFY(!QFile::exists(output));
}

void TestVorlaneRender::partReplacedDuringTheMergeIsRefused()
{
    // Tall, so that the merge reads each part in several bands, twice.
    const QString document = QDir(QStringLiteral(VORLANE_GALLERY_DIR)).filePath(QStringLiteral("Fern.vrf"));
    const auto tallPart = [&](const QString &part, const QString &seed) {
        const QString path = m_parts.filePath(QStringLiteral("tall%1-%2.vacc").arg(part, seed));
        const ProgramRun run = runRenderer({document, QStringLiteral("--mode"), QStringLiteral("poster"),
                                            QStringLiteral("--width"), QStringLiteral("1024"), QStringLiteral("--height"),
                                            QStringLiteral("4096"), QStringLiteral("--points"), QStringLiteral("2500000"),
                                            QStringLiteral("--seed"), seed, QStringLiteral("--part"), part + QLatin1String("/3"),
                                            QStringLiteral("--accumulation"), path});
        return run.exitCode == 0 ? path : QString();
    };
    const QStringList parts{tallPart(QStringLiteral("1"), QStringLiteral("5")), tallPart(QStringLiteral("2"), QStringLiteral("5")),
                            tallPart(QStringLiteral("3"), QStringLiteral("5"))};
    const QString otherSecond = tallPart(QStringLiteral("2"), QStringLiteral("6"));
    QVERIFY(!parts.contains(QString()) && !otherSecond.isEmpty());

    // Once the merge has checked the second part's header and closed it,
    // another part 2 takes its place.
    const int watch = inotify_init1(IN_CLOEXEC);
    QVERIFY(watch >= 0);
    QVERIFY(inotify_add_watch(watch, QFile::encodeName(parts[1]).constData(), IN_CLOSE_NOWRITE) >= 0);
    const QString output = m_parts.filePath(QStringLiteral("mixed.png"));
    QProcess merge;
    startProgram(merge, QStringLiteral(VORLANE_RENDER_PATH),
                 QStringList{QStringLiteral("--merge")} + parts + QStringList{QStringLiteral("-o"), output});
    pollfd closed{watch, POLLIN, 0};
    QCOMPARE(poll(&closed, 1, 60000), 1);
    QCOMPARE(::rename(QFile::encodeName(otherSecond).constData(), QFile::encodeName(parts[1]).constData()), 0);
    ::close(watch);

    QVERIFY(merge.waitForFinished(60000));
    QCOMPARE(merge.exitCode(), int(ToolExit::Refused));
    QVERIFY(QString::fromLocal8Bit(merge.readAllStandardError()).contains(QLatin1String("was changed")));
    QVERIFY(!QFile::exists(output));
}

void TestVorlaneRender::killedWhileWritingLeavesNothingBehind()
{
    TestFolder folder;
    const QString document = QDir(QStringLiteral(VORLANE_GALLERY_DIR)).filePath(QStringLiteral("Fern.vrf"));
    const QString output = folder.filePath(QStringLiteral("fern.png"));
    QProcess render;
    startProgram(render, QStringLiteral(VORLANE_RENDER_PATH),
                 {document, QStringLiteral("-o"), output, QStringLiteral("--mode"), QStringLiteral("poster"),
                  QStringLiteral("--width"), QStringLiteral("2000"), QStringLiteral("--height"), QStringLiteral("2000"),
                  QStringLiteral("--points"), QStringLiteral("1000000"), QStringLiteral("--depth"), QStringLiteral("16")});
    QVERIFY(render.waitForStarted());
    // Killed as soon as it has a file open in the output's folder.
    const QDir descriptors(QStringLiteral("/proc/%1/fd").arg(render.processId()));
    bool writing = false;
    while (!writing && render.state() == QProcess::Running) {
        for (const QString &descriptor : descriptors.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
            char target[4096] = {};
            const QByteArray link = QFile::encodeName(descriptors.filePath(descriptor));
            if (readlink(link.constData(), target, sizeof target - 1) > 0)
                writing = writing || QFile::decodeName(target).startsWith(folder.appDir());
        }
        if (!writing)
            render.waitForFinished(1);
    }
    QVERIFY(writing);
    ::kill(pid_t(render.processId()), SIGKILL);
    QVERIFY(render.waitForFinished());
    QCOMPARE(QDir(folder.appDir()).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList());
}

void TestVorlaneRender::targetsThatMustNotBeWrittenAreRefusedBeforeWork_data()
{
    QTest::addColumn<QString>("target"); // "document", "fifo", "device" or "missing folder"
    QTest::addColumn<QString>("option"); // -o or --accumulation
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("reason");
    const int failed = int(ToolExit::OutputFailed);
    QTest::newRow("sums over the document") << "document" << "--accumulation" << int(ToolExit::BadOptions)
                                            << "input of this run";
    QTest::newRow("picture over the document") << "document" << "-o" << int(ToolExit::BadOptions)
                                               << "input of this run";
    QTest::newRow("sums onto a FIFO") << "fifo" << "--accumulation" << failed << "Not a regular file";
    QTest::newRow("sums onto a device") << "device" << "--accumulation" << failed << "Not a regular file";
    QTest::newRow("sums into a missing folder") << "missing folder" << "--accumulation" << failed
                                                << qt_error_string(ENOENT);
    QTest::newRow("picture into a missing folder") << "missing folder" << "-o" << failed << qt_error_string(ENOENT);
}

void TestVorlaneRender::targetsThatMustNotBeWrittenAreRefusedBeforeWork()
{
    QFETCH(QString, target);
    QFETCH(QString, option);
    QFETCH(int, exitCode);
    QFETCH(QString, reason);
    TestFolder folder;
    const QString ending = option == QLatin1String("-o") ? QStringLiteral(".png") : QStringLiteral(".vacc");
    // A document whose name has the target's ending, so that only its being
    // the input speaks against it.
    const QString document = folder.filePath(QLatin1String("fern") + ending);
    QVERIFY(QFile::copy(QDir(QStringLiteral(VORLANE_GALLERY_DIR)).filePath(QStringLiteral("Fern.vrf")), document));
    const QByteArray original = fileContents(document);
    QString path = folder.filePath(QLatin1String("no such folder/out") + ending);
    if (target == QLatin1String("document"))
        path = document;
    else if (target == QLatin1String("fifo"))
        makeFifo(path = folder.filePath(QLatin1String("fifo") + ending));
    else if (target == QLatin1String("device")) {
        path = folder.filePath(QLatin1String("null") + ending);
        if (mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
            QSKIP("making a device node needs root");
    }
    // Hours of work, were it started.
    QStringList arguments{document, QStringLiteral("--mode"), QStringLiteral("poster"), QStringLiteral("--width"),
                          QStringLiteral("64"), QStringLiteral("--height"), QStringLiteral("48"),
                          QStringLiteral("--points"), QStringLiteral("100000000000000"), option, path};
    if (option == QLatin1String("--accumulation"))
        arguments << QStringLiteral("--part") << QStringLiteral("1/2");
    const ProgramRun run = runRenderer(arguments);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.errors.contains(reason), qPrintable(run.errors));
    QCOMPARE(fileContents(document), original);
    struct stat status = {};
    QVERIFY(target == QLatin1String("missing folder") || lstat(QFile::encodeName(path).constData(), &status) == 0);
    QVERIFY(target != QLatin1String("fifo") || S_ISFIFO(status.st_mode));
    QVERIFY(target != QLatin1String("device") || S_ISCHR(status.st_mode));
}

void TestVorlaneRender::infoAndLevelsServeALesson()
{
    const QString triangle = QDir(QStringLiteral(VORLANE_GALLERY_DIR)).filePath(QStringLiteral("Sierpinski Triangle.vrf"));
    const ProgramRun info = runRenderer({triangle, QStringLiteral("--info")});
    QCOMPARE(info.exitCode, 0);
    QVERIFY2(info.output.contains(QLatin1String("Similarity dimension: 1.585")), qPrintable(info.output));
    QVERIFY2(info.output.contains(QLatin1String("Box-counting dimension of the picture (433 x 403 pixels): 1.5")),
             qPrintable(info.output));

    TestFolder folder;
    const QString output = folder.filePath(QStringLiteral("level.png"));
    const ProgramRun level = runRenderer({triangle, QStringLiteral("--mode"), QStringLiteral("levels"),
                                          QStringLiteral("--level"), QStringLiteral("3"), QStringLiteral("-o"), output});
    QCOMPARE(level.exitCode, 0);
    QCOMPARE(QImage(output).convertToFormat(QImage::Format_RGB32),
             levelPicture(*loadDocumentFile(triangle, FractalDocument()), 3, startupCanvasSize()));
}

QTEST_MAIN(TestVorlaneRender)
#include "tst_vorlanerender.moc"
