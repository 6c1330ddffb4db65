#include "document/colour.h"
#include "document/documentsession.h"
#include "editors/colourdialog.h"
#include "support/controls.h"
#include "support/scripteddialogs.h"
#include "support/sessionstate.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGroupBox>
#include <QRadioButton>
#include <QTest>

using namespace Vorlane;

Q_DECLARE_METATYPE(Vorlane::ColourScheme)

namespace {

const ColourScheme scheme{RadiatingColour, rgbColour(100, 50, 10), rgbColour(0, 255, 0), rgbColour(254, 253, 245)};

} // namespace

class TestColourDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void optionsReadAsDesigned_data();
    void optionsReadAsDesigned();
    void framesAndButtonsReadAsDesigned_data();
    void framesAndButtonsReadAsDesigned();
    void openingSelectsTheStoredStyle_data();
    void openingSelectsTheStoredStyle();
    void acceptStoresTheChoiceAndResetsTheCanvases();
    void acceptWithoutChoiceKeepsTheStoredStyle();
    void pickedColourIsStored_data();
    void pickedColourIsStored();
    void cancelledPickerKeepsTheSwatch();
    void cancelChangesNothing();

private:
    void openDialog();
    template <typename Control = QWidget>
    Control *control(const char *name) const
    {
        return findControl<Control>(m_dialog.get(), name);
    }
    QButtonGroup *options() const { return control<QButtonGroup>("Option1"); }
    void click(const char *button) { clickButton(m_dialog.get(), button); }

    std::unique_ptr<DocumentSession> m_session;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<ColourDialog> m_dialog;
    int m_resets = 0; // changes of the colours announced, each clearing the canvases
    ColourScheme m_announced;
};

void TestColourDialog::init()
{
    m_session = std::make_unique<DocumentSession>();
    FractalDocument document;
    document.colours = scheme;
    m_session->begin(document);
    connect(m_session.get(), &DocumentSession::changed, this, [this](DocumentParts parts) {
        if (!parts.testFlag(DocumentPart::Colours))
            return;
        // The canvases are reset from the stored colours, so they must be stored first.
        m_announced = m_session->document().colours;
        ++m_resets;
    });
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_resets = 0;
    openDialog();
}

void TestColourDialog::cleanup()
{
    QVERIFY(!m_dialogs->hasUnexpected());
    m_dialog.reset();
}

void TestColourDialog::openDialog()
{
    m_dialog = std::make_unique<ColourDialog>(*m_session, *m_dialogs);
    m_dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
}

void TestColourDialog::optionsReadAsDesigned_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("toolTip");
    QTest::newRow("0") << 0 << "Radiating Color" << "Colours radiating out from base field";
    QTest::newRow("1") << 1 << "Random Color"
                       << "Random colour of points, colours being those between Colour1 and Colour2";
    QTest::newRow("2") << 2 << "Chronological Color"
                       << "As the fractal structure is plotted you can see colours gradually changing with time";
    QTest::newRow("3") << 3 << "Two Colors Only" << "Random colour of points, colours being Colour1 and Colour2 only";
}

void TestColourDialog::optionsReadAsDesigned()
{
    QFETCH(int, index);
    QFETCH(QString, caption);
    QFETCH(QString, toolTip);
    QCOMPARE(m_dialog->objectName(), QStringLiteral("Form5"));
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Select Colors"));
    QAbstractButton *option = options()->button(index);
    QVERIFY(option);
    QCOMPARE(option->text(), caption);
    QCOMPARE(option->toolTip(), toolTip);
    QCOMPARE(option->parentWidget(), control("Frame1"));
    if (index > 0) // shown from top to bottom in index order
        QVERIFY(options()->button(index - 1)->y() < option->y());
}

void TestColourDialog::framesAndButtonsReadAsDesigned_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("Frame1") << "Frame1" << "Chose the color style :";
    QTest::newRow("Frame2") << "Frame2" << "Color 1 :";
    QTest::newRow("Frame4") << "Frame4" << "Color 2 :";
    QTest::newRow("Frame3") << "Frame3" << "Background Color";
    QTest::newRow("Change1") << "Change1" << "C&hange...";
    QTest::newRow("Change2") << "Change2" << "Ch&ange...";
    QTest::newRow("change3") << "change3" << "Change &Background...";
    QTest::newRow("Cmdaccept") << "Cmdaccept" << "&Accept";
    QTest::newRow("Cmdcancel") << "Cmdcancel" << "&Cancel";
}

void TestColourDialog::framesAndButtonsReadAsDesigned()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    const QWidget *widget = control(name.toLatin1().constData());
    const QByteArray property = qobject_cast<const QGroupBox *>(widget) ? "title" : "text";
    QCOMPARE(widget->property(property).toString(), text);
}

void TestColourDialog::openingSelectsTheStoredStyle_data()
{
    QTest::addColumn<qint32>("style");
    QTest::addColumn<int>("checked");
    QTest::newRow("radiating, the top option") << qint32(1) << 0;
    QTest::newRow("two colours") << qint32(4) << 3;
    QTest::newRow("0 from a file") << qint32(0) << -1;
    QTest::newRow("5 from a file") << qint32(5) << -1;
}

void TestColourDialog::openingSelectsTheStoredStyle()
{
    QFETCH(qint32, style);
    QFETCH(int, checked);
    editDocument(*m_session, [style](FractalDocument &document) { document.colours.colourStyle = style; });
    openDialog();
    QCOMPARE(options()->checkedId(), checked);
}

void TestColourDialog::acceptStoresTheChoiceAndResetsTheCanvases()
{
    options()->button(3)->click();
    click("Cmdaccept");
    QCOMPARE(m_session->document().colours,
             (ColourScheme{TwoColoursOnly, scheme.colour1, scheme.colour2, scheme.backColour}));
    QCOMPARE(m_resets, 1);
    QCOMPARE(m_announced, m_session->document().colours);
    QVERIFY(m_session->isModified());
    QVERIFY(!m_dialog->isVisible());
}

void TestColourDialog::acceptWithoutChoiceKeepsTheStoredStyle()
{
    editDocument(*m_session, [](FractalDocument &document) { document.colours.colourStyle = 7; });
    openDialog();
    click("Cmdaccept");
    QCOMPARE(m_session->document().colours.colourStyle, 7);
    QVERIFY(m_session->isModified());
}

void TestColourDialog::pickedColourIsStored_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<qint32>("initial");
    QTest::addColumn<ColourScheme>("stored");
    const qint32 picked = rgbColour(1, 2, 3);
    QTest::newRow("colour 1") << "Change1" << scheme.colour1
                              << ColourScheme{RadiatingColour, picked, scheme.colour2, scheme.backColour};
    QTest::newRow("colour 2") << "Change2" << scheme.colour2
                              << ColourScheme{RadiatingColour, scheme.colour1, picked, scheme.backColour};
    QTest::newRow("background") << "change3" << scheme.backColour
                                << ColourScheme{RadiatingColour, scheme.colour1, scheme.colour2, picked};
}

void TestColourDialog::pickedColourIsStored()
{
    QFETCH(QString, button);
    QFETCH(qint32, initial);
    QFETCH(ColourScheme, stored);
    m_dialogs->colourAnswers.enqueue(rgbColour(1, 2, 3));
    click(button.toLatin1().constData());
    QCOMPARE(m_dialogs->colourRequests, QList<qint32>{initial});
    QCOMPARE(m_session->document().colours, scheme); // only "&Accept" stores
    click("Cmdaccept");
    QCOMPARE(m_session->document().colours, stored);
}

void TestColourDialog::cancelledPickerKeepsTheSwatch()
{
    m_dialogs->colourAnswers.enqueue(std::nullopt);
    click("change3");
    QCOMPARE(control<QFrame>("clr3")->palette().color(QPalette::Window), QColor(254, 253, 245));
    click("Cmdaccept");
    QCOMPARE(m_session->document().colours, scheme);
    QCOMPARE(m_resets, 1);
}

void TestColourDialog::cancelChangesNothing()
{
    m_dialogs->colourAnswers.enqueue(rgbColour(9, 9, 9));
    click("Change2");
    options()->button(2)->click();
    click("Cmdcancel");
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(m_session->document().colours, scheme);
    QVERIFY(!m_session->isModified());
    QCOMPARE(m_resets, 0);
}

QTEST_MAIN(TestColourDialog)
#include "tst_colourdialog.moc"
