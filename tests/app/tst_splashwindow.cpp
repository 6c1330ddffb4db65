#include "app/mainwindow.h"
#include "app/splashwindow.h"
#include "app/startuppicture.h"
#include "support/launchcount.h"
#include "support/scripteddialogs.h"
#include "support/testfolder.h"

#include <QPointer>
#include <QTest>
#include <QTimer>

using namespace Vorlane;

class TestSplashWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void secondTickLoadsTheMainWindow();
    void startupPictureIsAFractal();
};

void TestSplashWindow::secondTickLoadsTheMainWindow()
{
    TestFolder folder;
    keepNoUpdateDue();
    ProgramState state;
    ScriptedDialogs dialogs;
    QPointer<SplashWindow> splash =
        new SplashWindow(state, dialogs, {QDir(folder.appDir()).absolutePath(), QString()});
    splash->show();
    QCOMPARE(splash->objectName(), QStringLiteral("startupfrm"));
    QTimer *timer = splash->timer();
    QCOMPARE(timer->objectName(), QStringLiteral("Timer1"));
    QCOMPARE(timer->interval(), 1000);
    QVERIFY(timer->isActive());

    // The ticks are called here rather than waited for.
    splash->tick();
    QVERIFY(splash->isVisible());
    QVERIFY(timer->isActive());
    QCOMPARE(dialogs.beeps, 0);
    QVERIFY(!splash->mainWindow());

    splash->tick();
    QVERIFY(!timer->isActive());
    QVERIFY(splash->isHidden());
    QCOMPARE(dialogs.beeps, 1);
    QPointer<MainWindow> window = splash->mainWindow();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(state.appDir, folder.appDir());
    QCOMPARE(window->session().document().trCount(), 3);
    QVERIFY(QFile::exists(folder.filePath(QStringLiteral("TEMP.BMP"))));

    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(splash.isNull());
    QVERIFY(window->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(window.isNull());
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("TEMP.BMP"))));
    QVERIFY(dialogs.messages.isEmpty());
}

void TestSplashWindow::startupPictureIsAFractal()
{
    const QImage picture = startupPicture(QSize(240, 150));
    QCOMPARE(picture.size(), QSize(240, 150));
    QCOMPARE(startupPicture(QSize(240, 150)), picture);
    QSet<QRgb> colours;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            colours.insert(picture.pixel(x, y));
    }
    QVERIFY(colours.size() > 10);
}

QTEST_MAIN(TestSplashWindow)
#include "tst_splashwindow.moc"
