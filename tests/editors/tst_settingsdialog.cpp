#include "common/rounding.h"
#include "document/colour.h"
#include "document/documentsession.h"
#include "editors/settingsdialog.h"
#include "support/controls.h"
#include "support/scripteddialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace Vorlane;

class TestSettingsDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void controlsReadAsDesigned_data();
    void controlsReadAsDesigned();
    void openingShowsTheSettings();
    void okStoresRoundedValuesAndCloses();
    void okReadsTheCanvasSizeAgain();
    void cancelAndCloseBoxChangeNothing_data();
    void cancelAndCloseBoxChangeNothing();
    void badValueIsRefusedAndTheDialogStays_data();
    void badValueIsRefusedAndTheDialogStays();

private:
    template <typename Control = QWidget>
    Control *control(const char *name) const
    {
        return findControl<Control>(m_dialog.get(), name);
    }
    void type(const char *field, const QString &text) { control<QLineEdit>(field)->setText(text); }
    void click(const char *button) { clickButton(m_dialog.get(), button); }

    std::unique_ptr<DocumentSession> m_session;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<QWidget> m_canvas;
    std::unique_ptr<SettingsDialog> m_dialog;
};

void TestSettingsDialog::init()
{
    m_session = std::make_unique<DocumentSession>();
    m_canvas = std::make_unique<QWidget>();
    m_canvas->resize(433, 390);
    m_session->begin(startupDocument(toSingle(1.0 / 6495), toSingle(1.0 / 5850), rgbColour(254, 253, 245)));
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_dialog = std::make_unique<SettingsDialog>(*m_session, *m_dialogs, *m_canvas);
    m_dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
}

void TestSettingsDialog::cleanup()
{
    QVERIFY(!m_dialogs->hasUnexpected());
    m_dialog.reset();
}

void TestSettingsDialog::controlsReadAsDesigned_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("Label1") << "Label1" << "Resolution (a positive integer<25):";
    QTest::newRow("Label8") << "Label8" << "Total no. of points to be plotted:";
    QTest::newRow("Label2") << "Label2" << "Scale along X-axis  :";
    QTest::newRow("Label5") << "Label5" << "Scale along Y-axis  :";
    QTest::newRow("Label9") << "Label9"
                            << "Note: Changing the scales won't really change the structure. It makes only apperent "
                               "change. To change size, change the translation values of the transformation.";
    QTest::newRow("Label10") << "Label10" << "If not sure, keep both the scale values equal to 1";
    QTest::newRow("Command1") << "Command1" << "&OK";
    QTest::newRow("Command2") << "Command2" << "&Cancel";
}

void TestSettingsDialog::controlsReadAsDesigned()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QCOMPARE(m_dialog->objectName(), QStringLiteral("Form7"));
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Edit Settings"));
    QCOMPARE(control(name.toLatin1().constData())->property("text").toString(), text);
}

void TestSettingsDialog::openingShowsTheSettings()
{
    QCOMPARE(control<QLineEdit>("Text1")->text(), QStringLiteral(" 20"));
    QCOMPARE(control<QLineEdit>("Text4")->text(), QStringLiteral(" 45000"));
    QCOMPARE(control<QLineEdit>("Text2")->text(), QStringLiteral(" 1"));
    QCOMPARE(control<QLineEdit>("Text3")->text(), QStringLiteral(" 1"));
}

void TestSettingsDialog::okStoresRoundedValuesAndCloses()
{
    type("Text1", QStringLiteral("7.5"));
    type("Text4", QString());
    type("Text2", QStringLiteral("2"));
    type("Text3", QStringLiteral("-.5"));
    click("Command1");
    QCOMPARE(m_session->document().settings, (RenderSettings{0, 8, toSingle(2.0 / 6495), toSingle(-0.5 / 5850)}));
    QVERIFY(m_session->isModified());
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
}

void TestSettingsDialog::okReadsTheCanvasSizeAgain()
{
    m_canvas->resize(200, 100);
    type("Text1", QStringLiteral("6.5"));
    click("Command1");
    QCOMPARE(m_session->document().settings.resolution, qint16(6));
    QCOMPARE(m_session->document().settings.scaleX, toSingle(1.0 / 3000));
    QCOMPARE(m_session->document().settings.scaleY, toSingle(1.0 / 1500));
}

void TestSettingsDialog::cancelAndCloseBoxChangeNothing_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("Cancel") << false;
    QTest::newRow("close box") << true;
}

void TestSettingsDialog::cancelAndCloseBoxChangeNothing()
{
    QFETCH(bool, closeBox);
    const FractalDocument before = m_session->document();
    for (const char *field : {"Text1", "Text2", "Text3", "Text4"})
        type(field, QStringLiteral("3"));
    if (closeBox)
        m_dialog->close();
    else
        click("Command2");
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(m_session->document(), before);
    QVERIFY(!m_session->isModified());
}

void TestSettingsDialog::badValueIsRefusedAndTheDialogStays_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("resolution 0") << "Text1" << "0" << "Resolution must lie between 1 and 32767.";
    QTest::newRow("scale X 0") << "Text2" << " 0" << "Scale along X-axis must be a number other than 0.";
    QTest::newRow("points 3e9") << "Text4" << "3e9"
                                << "Total no. of points to be plotted must lie between -2147483648 and 2147483647.";
}

void TestSettingsDialog::badValueIsRefusedAndTheDialogStays()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, message);
    const FractalDocument before = m_session->document();
    auto *edit = control<QLineEdit>(field.toLatin1().constData());
    edit->setText(text);
    m_dialogs->messageAnswers.enqueue(MessageButton::Ok);
    click("Command1");
    QCOMPARE(m_dialogs->messages.size(), 1);
    QCOMPARE(m_dialogs->messages.first().text, message);
    QCOMPARE(m_dialogs->messages.first().title, QStringLiteral("Edit Settings"));
    QCOMPARE(m_dialogs->messages.first().icon, MessageIcon::Warning);
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(m_session->document(), before);
    QVERIFY(!m_session->isModified());
    QCOMPARE(edit->text(), text);
    QCOMPARE(m_dialog->focusWidget(), edit);
}

QTEST_MAIN(TestSettingsDialog)
#include "tst_settingsdialog.moc"
