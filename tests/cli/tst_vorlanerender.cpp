#include "cli/headlessrender.h"
#include "cli/renderoptions.h"
#include "document/documentfile.h"
#include "document/programstate.h"
#include "ui/canvasview.h"
#include "support/files.h"
#include "support/mainwindowfixture.h"
#include "support/testfolder.h"

#include <QDir>
#include <QProcess>
#include <QTest>

using namespace Vorlane;

namespace {

struct Run
{
    int exitCode;
    QString errors;
};

Run runRenderer(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(VORLANE_RENDER_PATH), arguments);
    if (!process.waitForFinished(60000))
        return {-1, QStringLiteral("did not finish")};
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardError())};
}

} // namespace

class TestVorlaneRender : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sameDocumentGivesTheWindowsPixels();
    void exitCodesTellWhatWentWrong();
    void everyGalleryDocumentRenders();
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
        const Run run = runRenderer({path, QStringLiteral("-o"), output});
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
             int(RenderExit::MissingInput));
    const QString junk = folder.filePath(QStringLiteral("junk.vrf"));
    writeFile(junk, "junk");
    QCOMPARE(runRenderer({junk, QStringLiteral("-o"), output}).exitCode, int(RenderExit::RefusedDocument));
    QCOMPARE(runRenderer({document, QStringLiteral("-o"), output, QStringLiteral("--resolution"), QStringLiteral("0")})
                 .exitCode,
             int(RenderExit::BadOptions));
    QCOMPARE(runRenderer({document, QStringLiteral("-o"), folder.filePath(QStringLiteral("no/such/out.png"))}).exitCode,
             int(RenderExit::OutputFailed));
    QCOMPARE(runRenderer({document, QStringLiteral("-o"), output, QStringLiteral("--points"), QStringLiteral("500")})
                 .exitCode,
             int(RenderExit::Success));
    QVERIFY(!QImage(output).isNull());
}

void TestVorlaneRender::everyGalleryDocumentRenders()
{
    TestFolder folder;
    const QDir gallery(QStringLiteral(VORLANE_GALLERY_DIR));
    const QStringList documents = gallery.entryList({QStringLiteral("*.vrf")});
    QVERIFY(documents.size() >= 10);
    for (const QString &name : documents) {
        const QString output = folder.filePath(QStringLiteral("picture.png"));
        const Run run = runRenderer({gallery.filePath(name), QStringLiteral("-o"), output,
                                     QStringLiteral("--points"), QStringLiteral("20000")});
        QVERIFY2(run.exitCode == 0, qPrintable(name + QLatin1String(": ") + run.errors));
        const QImage picture(output);
        QCOMPARE(picture.size(), startupCanvasSize());
        int inked = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x)
                inked += picture.pixel(x, y) != picture.pixel(0, 0);
        }
        QVERIFY2(inked > picture.width() * picture.height() / 200, qPrintable(name + QLatin1String(" is nearly empty")));
    }
}

QTEST_MAIN(TestVorlaneRender)
#include "tst_vorlanerender.moc"
