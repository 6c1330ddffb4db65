#include "document/colour.h"
#include "editors/transformationeditor.h"
#include "support/controls.h"
#include "support/scripteddialogs.h"
#include "support/sessionstate.h"
#include "support/testfolder.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QKeyEvent>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

using namespace Vorlane;

namespace {

// A control's caption as the user reads it, rich text rendered.
QString shownText(const QWidget *widget)
{
    const auto *label = qobject_cast<const QLabel *>(widget);
    if (!label || label->textFormat() != Qt::RichText)
        return widget->property("text").toString();
    QTextDocument document;
    document.setHtml(label->text());
    return document.toPlainText();
}

} // namespace

class TestTransformationEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void controlsReadAsDesigned_data();
    void controlsReadAsDesigned();
    void controlsStandInTheirOrder();
    void openingListsTheNamesAndSelectsNothing();
    void typedNameIsCutToEight();
    void nameTakesOnlyLettersTheFileCanHold();
    void addWithEmptyNameTakesTheNextDefaultName();
    void addingToAnEmptyListSelectsNothing();
    void selectingShowsDisplayValuesAndAcceptStoresThemAgain();
    void acceptStoresTypedValuesButKeepsTheListEntry();
    void removeShiftsTheRestAndKeepsTheFields();
    void removingTheLastLeavesAnEmptyList();
    void reopenedEditorActsOnTheKeptSelection();
    void acceptAndRemoveWithoutSelectionDoNothing();
    void addRefusesTheFiftyFirst();
    void helpOpensTheLocalPage();
    void closeDropsWhatWasNotAccepted();
    void returnInAFieldPressesNoButton();
    void noteUnderlinesItsMarkerOnly();

private:
    void openEditor();
    template <typename Control = QWidget>
    Control *control(const char *name) const
    {
        return findControl<Control>(m_editor.get(), name);
    }
    QComboBox *nameList() const { return control<QComboBox>("Lst1"); }
    QString fieldText(const char *name) const { return control<QLineEdit>(name)->text(); }
    void click(const char *button) { clickButton(m_editor.get(), button); }
    void pickEntry(int index);
    QStringList listEntries() const;

    std::unique_ptr<TestFolder> m_folder;
    std::unique_ptr<ProgramState> m_state;
    std::unique_ptr<DocumentSession> m_session;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<TransformationEditor> m_editor;
};

void TestTransformationEditor::init()
{
    m_folder = std::make_unique<TestFolder>();
    m_state = std::make_unique<ProgramState>();
    m_state->appDir = m_folder->appDir();
    m_session = std::make_unique<DocumentSession>();
    m_session->begin(startupDocument(1.0f / 6495.0f, 1.0f / 5850.0f, rgbColour(254, 253, 245)));
    m_dialogs = std::make_unique<ScriptedDialogs>();
    openEditor();
}

void TestTransformationEditor::cleanup()
{
    QVERIFY(!m_dialogs->hasUnexpected());
    m_editor.reset();
}

void TestTransformationEditor::openEditor()
{
    m_editor = std::make_unique<TransformationEditor>(*m_session, *m_state, *m_dialogs);
    m_editor->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_editor.get()));
}

// Picks an entry from the drop-down list, as the user does.
void TestTransformationEditor::pickEntry(int index)
{
    QComboBox *list = nameList();
    list->showPopup();
    QAbstractItemView *view = list->view();
    view->setCurrentIndex(view->model()->index(index, 0));
    QTest::keyClick(view, Qt::Key_Return);
}

QStringList TestTransformationEditor::listEntries() const
{
    QStringList entries;
    for (int i = 0; i < nameList()->count(); ++i)
        entries.append(nameList()->itemText(i));
    return entries;
}

void TestTransformationEditor::controlsReadAsDesigned_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("toolTip");
    QTest::newRow("Lbl1") << "Lbl1" << "Transformation name:" << "";
    QTest::newRow("Add") << "Add" << "Add" << "Click to add a transformation with the name ";
    QTest::newRow("rem") << "rem" << "Remove" << "Click to remove selected transformation";
    QTest::newRow("Label3") << "Label3" << "Transformation no." << "";
    QTest::newRow("Label1") << "Label1" << "Contraction :" << "";
    QTest::newRow("Label2") << "Label2" << "| value | < 1" << "";
    QTest::newRow("Label6") << "Label6" << "X:" << "";
    QTest::newRow("Label7") << "Label7" << "Y:" << "";
    QTest::newRow("Text1") << "Text1" << "" << "contracrion along X-axis";
    QTest::newRow("Text2") << "Text2" << "" << "contracrion along Y-axis";
    QTest::newRow("Label4") << "Label4" << "Rotation:" << "";
    QTest::newRow("Text3") << "Text3" << "" << "Rotarion(anti-clockwise)";
    QTest::newRow("Label5") << "Label5" << "degrees" << "";
    QTest::newRow("Label10") << "Label10" << "Translation:" << "";
    QTest::newRow("Label11") << "Label11" << "( in Units)" << "";
    QTest::newRow("Label8") << "Label8" << "X:" << "";
    QTest::newRow("Label9") << "Label9" << "Y:" << "";
    QTest::newRow("Text5") << "Text5" << "" << "translation along X-axis";
    QTest::newRow("Text6") << "Text6" << "" << "translation along Y-axis";
    QTest::newRow("Command1") << "Command1" << "&Accept Transformation"
                              << "Accept the changes made to the currently selected transformation";
    QTest::newRow("Command2") << "Command2" << "&Close" << "";
    QTest::newRow("hlp") << "hlp" << "&Help" << "";
    QTest::newRow("Label12") << "Label12"
                             << "Note : You must click 'Accpt Transformation' button each time you finish making "
                                "changes to a perticular transformation before shifting to the next transformation."
                             << "";
}

void TestTransformationEditor::controlsReadAsDesigned()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, toolTip);
    QCOMPARE(m_editor->objectName(), QStringLiteral("Form2"));
    QCOMPARE(m_editor->windowTitle(), QStringLiteral("Edit Transformation"));
    const QWidget *widget = control(name.toLatin1().constData());
    QCOMPARE(shownText(widget), text);
    QCOMPARE(widget->toolTip(), toolTip);
    QVERIFY(widget->isVisible());
}

void TestTransformationEditor::controlsStandInTheirOrder()
{
    const auto top = [this](const char *name) { return control(name)->mapTo(m_editor.get(), QPoint()).y(); };
    const auto left = [this](const char *name) { return control(name)->mapTo(m_editor.get(), QPoint()).x(); };
    const char *downwards[] = {"Lbl1", "Lst1", "Label3", "Text1", "Label2", "Text3", "Text5",
                               "Label11", "Command1", "Command2", "Frame1"};
    for (size_t i = 1; i < std::size(downwards); ++i)
        QVERIFY2(top(downwards[i - 1]) < top(downwards[i]), downwards[i]);
    QVERIFY(left("Lst1") < left("Add") && left("Add") < left("rem"));
    QVERIFY(left("Text1") < left("Text2") && left("Text5") < left("Text6") && left("Text3") < left("Label5"));
    QCOMPARE(top("Command2"), top("hlp"));
    QCOMPARE(control("Label12")->parentWidget(), control("Frame1"));
}

void TestTransformationEditor::openingListsTheNamesAndSelectsNothing()
{
    m_state->selectedTr = 2;
    openEditor();
    QCOMPARE(listEntries(), (QStringList{"Tr 1    ", "Tr 2    ", "Tr 3    "}));
    QCOMPARE(nameList()->currentText(), QString());
    QCOMPARE(control<QLabel>("Label3")->text(), QStringLiteral("Transformation no."));
    for (const char *field : {"Text1", "Text2", "Text3", "Text5", "Text6"})
        QCOMPARE(fieldText(field), QString());
    QCOMPARE(m_state->selectedTr, qint16(2));
}

void TestTransformationEditor::typedNameIsCutToEight()
{
    QTest::keyClicks(nameList()->lineEdit(), QStringLiteral("abcdefghijklmnop"));
    QCOMPARE(nameList()->currentText(), QStringLiteral("abcdefgh"));
    click("Add");
    QCOMPARE(m_session->document().transformations.last().name, QStringLiteral("abcdefgh"));
    QCOMPARE(listEntries().last(), QStringLiteral("abcdefgh"));
    QCOMPARE(m_session->document().trNameCounter, qint16(4));
    QCOMPARE(nameList()->currentText(), QString());
}

void TestTransformationEditor::nameTakesOnlyLettersTheFileCanHold()
{
    // One Latin-1 byte per letter: "ü" fits, "€" and "Ж" would become "?".
    for (const QChar letter : QStringLiteral("Tr\u20ac\u00fc\u0416")) {
        QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, QString(letter));
        QApplication::sendEvent(nameList()->lineEdit(), &typed);
    }
    QCOMPARE(nameList()->currentText(), QStringLiteral("Tr\u00fc"));
    click("Add");
    QCOMPARE(m_session->document().transformations.last().name, QStringLiteral("Tr\u00fc     "));
}

void TestTransformationEditor::addWithEmptyNameTakesTheNextDefaultName()
{
    m_state->selectedTr = 1;
    click("Add");
    QCOMPARE(listEntries(), (QStringList{"Tr 1    ", "Tr 2    ", "Tr 3    ", "Tr 4    "}));
    QCOMPARE(nameList()->currentText(), QString());
    QCOMPARE(m_session->document().trCount(), 4);
    QCOMPARE(m_session->document().trNameCounter, qint16(5));
    QCOMPARE(m_session->document().transformations.last(), (Transformation{"Tr 4    ", {0, 0}, 0, {0, 0}}));
    QCOMPARE(m_state->selectedTr, qint16(1));
    QVERIFY(!m_session->isModified());
    QCOMPARE(control<QLabel>("Label3")->text(), QStringLiteral("Transformation no."));
}

void TestTransformationEditor::addingToAnEmptyListSelectsNothing()
{
    editDocument(*m_session, [](FractalDocument &document) { document.transformations.clear(); });
    openEditor();
    click("Add");
    click("Add");
    QCOMPARE(nameList()->currentIndex(), -1);
    // The arrow key then steps to the first entry, not past it.
    QTest::keyClick(nameList(), Qt::Key_Down);
    QCOMPARE(m_state->selectedTr, qint16(1));
}

void TestTransformationEditor::selectingShowsDisplayValuesAndAcceptStoresThemAgain()
{
    editDocument(*m_session, [](FractalDocument &document) {
        document.settings.scaleX = 2.0f;
        document.settings.scaleY = 0.5f;
        document.transformations[1].translation = {0.25f, 1120.0f};
    });
    const Transformation before = m_session->document().transformations.at(1);
    pickEntry(1);
    QCOMPARE(m_state->selectedTr, qint16(2));
    QCOMPARE(control<QLabel>("Label3")->text(), QStringLiteral("Transformation no. 2"));
    QCOMPARE(nameList()->currentText(), QStringLiteral("Tr 2    "));
    QCOMPARE(fieldText("Text1"), QStringLiteral(" .45"));
    QCOMPARE(fieldText("Text2"), QStringLiteral(" .45"));
    QCOMPARE(fieldText("Text3"), QStringLiteral("-40"));
    QCOMPARE(fieldText("Text5"), QStringLiteral(" .5"));
    QCOMPARE(fieldText("Text6"), QStringLiteral(" 560"));
    click("Command1");
    QCOMPARE(m_session->document().transformations.at(1), before);
    QVERIFY(m_session->isModified());
    QVERIFY(m_editor->isVisible());
}

void TestTransformationEditor::acceptStoresTypedValuesButKeepsTheListEntry()
{
    editDocument(*m_session, [](FractalDocument &document) { document.settings.scaleX = 2.0f; });
    pickEntry(0);
    nameList()->setEditText(QStringLiteral("twig"));
    control<QLineEdit>("Text1")->setText(QStringLiteral("0.3"));
    control<QLineEdit>("Text2")->clear();
    control<QLineEdit>("Text3")->setText(QStringLiteral("1e39"));
    control<QLineEdit>("Text5")->setText(QStringLiteral("-1"));
    click("Command1");
    const Transformation &stored = m_session->document().transformations.at(0);
    QCOMPARE(stored.name, QStringLiteral("twig    "));
    QCOMPARE(stored.contraction, (std::array<float, 2>{0.3f, 0.0f}));
    QCOMPARE(stored.rotation, std::numeric_limits<float>::max());
    QCOMPARE(stored.translation[0], -0.5f);
    QCOMPARE(listEntries().first(), QStringLiteral("Tr 1    "));
    // Picked again, the entry shows its listed name beside the stored values.
    nameList()->setEditText(QString());
    pickEntry(0);
    QCOMPARE(nameList()->currentText(), QStringLiteral("Tr 1    "));
    QCOMPARE(fieldText("Text1"), QStringLiteral(" .3"));
    QCOMPARE(m_session->document().transformations.at(0).name, QStringLiteral("twig    "));
}

void TestTransformationEditor::removeShiftsTheRestAndKeepsTheFields()
{
    click("Add");
    const QList<Transformation> before = m_session->document().transformations;
    pickEntry(1);
    const QString shownRotation = fieldText("Text3");
    click("rem");
    QCOMPARE(m_session->document().transformations, (QList<Transformation>{before.at(0), before.at(2), before.at(3)}));
    QCOMPARE(listEntries(), (QStringList{"Tr 1    ", "Tr 3    ", "Tr 4    "}));
    QCOMPARE(nameList()->currentText(), QStringLiteral("Tr 2    "));
    QCOMPARE(fieldText("Text3"), shownRotation);
    QCOMPARE(control<QLabel>("Label3")->text(), QStringLiteral("Transformation no. 2"));
    QCOMPARE(m_state->selectedTr, qint16(2));
    QVERIFY(!m_session->isModified());
}

void TestTransformationEditor::removingTheLastLeavesAnEmptyList()
{
    editDocument(*m_session, [](FractalDocument &document) { document.transformations.resize(1); });
    openEditor();
    pickEntry(0);
    click("rem");
    QCOMPARE(m_session->document().trCount(), 0);
    QCOMPARE(nameList()->count(), 0);
    click("rem");
    QCOMPARE(m_session->document().trCount(), 0);
    // The name field still shows the removed transformation's name.
    click("Add");
    QCOMPARE(m_session->document().transformations, (QList<Transformation>{{"Tr 1    ", {0, 0}, 0, {0, 0}}}));
    QCOMPARE(m_session->document().trNameCounter, qint16(4));
}

void TestTransformationEditor::reopenedEditorActsOnTheKeptSelection()
{
    pickEntry(1);
    m_editor->close();
    openEditor();
    click("Command1");
    QCOMPARE(m_session->document().transformations.at(1), (Transformation{"        ", {0, 0}, 0, {0, 0}}));
    QVERIFY(m_session->isModified());

    const Transformation third = m_session->document().transformations.at(2);
    openEditor();
    click("rem");
    QCOMPARE(m_session->document().trCount(), 2);
    QCOMPARE(m_session->document().transformations.at(1), third);
}

void TestTransformationEditor::acceptAndRemoveWithoutSelectionDoNothing()
{
    const FractalDocument before = m_session->document();
    control<QLineEdit>("Text1")->setText(QStringLiteral("0.5"));
    click("Command1");
    click("rem");
    m_state->selectedTr = 4; // kept from a document with more transformations
    click("Command1");
    click("rem");
    QCOMPARE(m_session->document(), before);
    QVERIFY(!m_session->isModified());
}

void TestTransformationEditor::addRefusesTheFiftyFirst()
{
    editDocument(*m_session, [](FractalDocument &document) {
        while (document.trCount() < maxTransformations)
            document.transformations.append(document.transformations.first());
    });
    openEditor();
    const FractalDocument before = m_session->document();
    m_dialogs->messageAnswers.enqueue(MessageButton::Ok);
    nameList()->setEditText(QStringLiteral("one more"));
    click("Add");
    QCOMPARE(m_dialogs->messages.size(), 1);
    const MessageRequest &message = m_dialogs->messages.first();
    QCOMPARE(message.text, QStringLiteral("A fractal can hold at most 50 transformations."));
    QCOMPARE(message.title, QStringLiteral("Edit Transformation"));
    QCOMPARE(message.icon, MessageIcon::Warning);
    QCOMPARE(m_session->document(), before);
    QCOMPARE(nameList()->count(), maxTransformations);
    QCOMPARE(nameList()->currentText(), QStringLiteral("one more"));
}

void TestTransformationEditor::helpOpensTheLocalPage()
{
    click("hlp");
    QCOMPARE(m_dialogs->openedLinks,
             QStringList{m_folder->appDir() + "help" + QDir::separator() + "trans_edit.html"});
}

void TestTransformationEditor::closeDropsWhatWasNotAccepted()
{
    const FractalDocument before = m_session->document();
    pickEntry(0);
    control<QLineEdit>("Text1")->setText(QStringLiteral("0.9"));
    click("Command2");
    QVERIFY(!m_editor->isVisible());
    QCOMPARE(m_session->document(), before);
    QVERIFY(!m_session->isModified());
}

void TestTransformationEditor::returnInAFieldPressesNoButton()
{
    pickEntry(0);
    const FractalDocument before = m_session->document();
    for (const char *field : {"Text1", "Text5"}) {
        control(field)->setFocus();
        QTest::keyClick(control(field), Qt::Key_Return);
    }
    QTest::keyClick(nameList()->lineEdit(), Qt::Key_Return);
    QVERIFY(m_editor->isVisible());
    QCOMPARE(m_session->document(), before);
    QVERIFY(!m_session->isModified());
}

void TestTransformationEditor::noteUnderlinesItsMarkerOnly()
{
    QTextDocument note;
    note.setHtml(control<QLabel>("Label12")->text());
    const QString text = note.toPlainText();
    const qsizetype marked = text.indexOf(QStringLiteral(" a perticular")) + 1;
    const auto underlinedAt = [&note](qsizetype position) {
        QTextCursor cursor(&note);
        cursor.setPosition(int(position + 1)); // the format of the character before the cursor
        return cursor.charFormat().fontUnderline();
    };
    QVERIFY(underlinedAt(marked));
    for (qsizetype position = 0; position < text.size(); ++position)
        QVERIFY2(position == marked || !underlinedAt(position), qPrintable(QString::number(position)));
    // Only a mnemonic in looks: Alt+A stays the accept button's.
    QVERIFY(!control<QLabel>("Label12")->buddy());
}

QTEST_MAIN(TestTransformationEditor)
#include "tst_transformationeditor.moc"
