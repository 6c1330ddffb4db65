#include "common/numbertext.h"
#include "common/twips.h"
#include "surroundings/programstate.h"
#include "editors/basefieldeditor.h"
#include "editing/fieldrange.h"
#include "editors/rangewindow.h"
#include "widgets/canvasview.h"
#include "support/controls.h"
#include "support/mainwindowfixture.h"
#include "support/modalwindows.h"
#include "support/pictures.h"
#include "support/scripteddialogs.h"
#include "support/testfolder.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QToolButton>

#include <functional>

using namespace Vorlane;

namespace {

// W = 600, H = 450: 40 × 30 pixels.
constexpr FieldRange editedRange{-300, 300, 200, 650};

void type(const QWidget *window, const char *name, const QString &text)
{
    auto *field = findControl<QLineEdit>(window, name);
    field->selectAll();
    QTest::keyClicks(field, text);
}

QColor buttonColour(const QWidget *window, const char *name)
{
    return findControl(window, name)->palette().color(QPalette::Button);
}

QColor systemColour(QPalette::ColorRole role)
{
    return QGuiApplication::palette().color(role);
}

qint32 areaPixel(const BaseFieldEditor &editor, int px, int py)
{
    return colourAt(editor.drawing().area(), px, py);
}

} // namespace

class TestBaseFieldEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void rangeWindowShowsTheWidenedRange();
    void cancelKeepsTheWidening();
    void acceptStoresLimitsRoundedHalfToEven();
    void flatRangeOpensAnEmptyArea();
    void acceptRefusesARangeAndStaysOpen_data();
    void acceptRefusesARangeAndStaysOpen();
    void editorIsAsLargeAsTheRange();
    void toolButtonsHighlightTheChosenTool();
    void widthFieldsSetThePen();
    void numericShapeIsPreviewedAndFixedByAccept();
    void pointerDrawsAndEveryReleaseCommits();
    void untouchedPenDrawsOnePixelRow();
    void saveReplacesTheBasePoints();
    void saveWithoutInkEmptiesTheList();
    void saveStopsAtTheLargestPointCount();
    void toolAndPenSurviveReopening();
    void baseFieldCommandOpensTheRangeWindow();
    void acceptedRangeLeadsToARenderableBaseField();

private:
    std::unique_ptr<BaseFieldEditor> openEditor();

    std::unique_ptr<TestFolder> m_folder;
    std::unique_ptr<ProgramState> m_program;
    std::unique_ptr<DocumentSession> m_session;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    BaseFieldEditorState m_state;
};

void TestBaseFieldEditor::init()
{
    m_folder = std::make_unique<TestFolder>();
    m_program = std::make_unique<ProgramState>();
    m_program->appDir = m_folder->appDir();
    m_session = std::make_unique<DocumentSession>();
    m_session->setScales(0.5f, 2.0f);
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_state = BaseFieldEditorState();
}

void TestBaseFieldEditor::cleanup()
{
    QVERIFY(!m_dialogs->hasUnexpected());
}

std::unique_ptr<BaseFieldEditor> TestBaseFieldEditor::openEditor()
{
    m_program->fieldRange = editedRange;
    auto editor = std::make_unique<BaseFieldEditor>(*m_session, *m_program, *m_dialogs, m_state, nullptr);
    editor->show();
    return editor;
}

void TestBaseFieldEditor::rangeWindowShowsTheWidenedRange()
{
    m_program->fieldRange = {0, 300, 0, 1000};
    BaseFieldRangeWindow window(*m_program, *m_session, *m_dialogs, nullptr);
    QCOMPARE(window.objectName(), QStringLiteral("Form4"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Select size of Base Field"));
    QCOMPARE(findControl<QLabel>(&window, "Label1")->text(),
             QStringLiteral("The following maximum and minimum range of X-axis and Y-axis has been detected for the "
                            "base field. You may manually change them if you like ."));
    QCOMPARE(findControl<QLabel>(&window, "Label2")->text(), QStringLiteral("X-max :"));
    QCOMPARE(findControl<QLabel>(&window, "Label5")->text(), QStringLiteral("Y-min :"));
    QCOMPARE(findControl<QLineEdit>(&window, "xmaxt")->toolTip(), QStringLiteral("X-cordinate of top-right point"));
    QCOMPARE(findControl<QLineEdit>(&window, "xmint")->toolTip(), QStringLiteral("X-cordinate of bottom-left point"));
    QCOMPARE(findControl<QLineEdit>(&window, "ymaxt")->toolTip(), QStringLiteral("Y-cordinate of top-right point"));
    QCOMPARE(findControl<QLineEdit>(&window, "ymint")->toolTip(), QStringLiteral("Y-cordinate of bottom-left point"));
    QCOMPARE(findControl<QPushButton>(&window, "Command1")->text(), QStringLiteral("&Accept"));
    QCOMPARE(findControl<QPushButton>(&window, "Command2")->text(), QStringLiteral("&Cancel"));
    // X spanned 300 and is widened; Y spanned 1000 and is not. Display values are X × 0.5 and Y × 2.
    QCOMPARE(findControl<QLineEdit>(&window, "xmaxt")->text(), QStringLiteral(" 200"));
    QCOMPARE(findControl<QLineEdit>(&window, "xmint")->text(), QStringLiteral("-50"));
    QCOMPARE(findControl<QLineEdit>(&window, "ymaxt")->text(), QStringLiteral(" 2000"));
    QCOMPARE(findControl<QLineEdit>(&window, "ymint")->text(), QStringLiteral(" 0"));
}

void TestBaseFieldEditor::cancelKeepsTheWidening()
{
    m_program->fieldRange = {0, 300, 0, 100};
    BaseFieldRangeWindow window(*m_program, *m_session, *m_dialogs, nullptr);
    window.show();
    type(&window, "xmaxt", QStringLiteral("9"));
    clickButton(&window, "Command2");
    QCOMPARE(window.result(), int(QDialog::Rejected));
    QVERIFY(!window.isVisible());
    QCOMPARE(m_program->fieldRange, (FieldRange{-100, 400, -100, 200}));
}

void TestBaseFieldEditor::acceptStoresLimitsRoundedHalfToEven()
{
    m_session->setScales(1.0f, 1.0f);
    BaseFieldRangeWindow window(*m_program, *m_session, *m_dialogs, nullptr);
    window.show();
    type(&window, "xmaxt", QStringLiteral("3.5"));
    type(&window, "xmint", QStringLiteral("2.5"));
    type(&window, "ymaxt", QStringLiteral("600.5"));
    type(&window, "ymint", QStringLiteral("-1.5"));
    clickButton(&window, "Command1");
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QVERIFY(!window.isVisible());
    QCOMPARE(m_program->fieldRange, (FieldRange{2, 4, -2, 600}));
    QVERIFY(m_dialogs->messages.isEmpty());
}

// A range no wider or no higher than a point is usable: the editor shows an
// empty area, and Save finds no ink in it.
void TestBaseFieldEditor::flatRangeOpensAnEmptyArea()
{
    m_program->fieldRange = {0, 600, 0, 600};
    editDocument(*m_session, [](FractalDocument &document) { document.basePoints = {{100, 100}}; });
    BaseFieldRangeWindow window(*m_program, *m_session, *m_dialogs, nullptr);
    window.show();
    type(&window, "xmaxt", QStringLiteral("50"));
    type(&window, "xmint", QStringLiteral("50"));
    clickButton(&window, "Command1");
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QVERIFY(m_dialogs->messages.isEmpty());
    QCOMPARE(m_program->fieldRange, (FieldRange{100, 100, 0, 600}));

    BaseFieldEditor editor(*m_session, *m_program, *m_dialogs, m_state, nullptr);
    editor.show();
    QCOMPARE(findControl(&editor, "Picture1")->width(), 0);
    clickButton(&editor, "save");
    QVERIFY(m_session->document().basePoints.isEmpty());
}

void TestBaseFieldEditor::acceptRefusesARangeAndStaysOpen_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("minimum above maximum")
        << "xmint" << "301" << QStringLiteral("X-min must not lie above X-max.");
    QTest::newRow("beyond 16 bits") << "ymaxt" << "65536" << QStringLiteral("Y-max must lie between -65536 and 65534.");
    QTest::newRow("last row beyond 32757")
        << "ymaxt" << "65534" << QStringLiteral("The base field may reach no further than 65514 along Y: lower Y-max or "
                                                "Y-min.");
}

void TestBaseFieldEditor::acceptRefusesARangeAndStaysOpen()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    m_program->fieldRange = {0, 600, 16000, 16600};
    BaseFieldRangeWindow window(*m_program, *m_session, *m_dialogs, nullptr);
    window.show();
    type(&window, qPrintable(field), text);
    m_dialogs->messageAnswers.enqueue(MessageButton::Ok);
    clickButton(&window, "Command1");
    QCOMPARE(m_dialogs->messages.size(), 1);
    QTEST(m_dialogs->messages.first().text, "message");
    QCOMPARE(m_dialogs->messages.first().icon, MessageIcon::Warning);
    QVERIFY(window.isVisible());
    QCOMPARE(m_program->fieldRange, (FieldRange{0, 600, 16000, 16600}));
}

void TestBaseFieldEditor::editorIsAsLargeAsTheRange()
{
    const std::unique_ptr<BaseFieldEditor> editor = openEditor();
    QCOMPARE(editor->objectName(), QStringLiteral("Form3"));
    QCOMPARE(editor->windowTitle(), QStringLiteral("Edit Base Field"));
    QWidget *area = findControl(editor.get(), "Picture1");
    QCOMPARE(area->geometry(), QRect(136, 48, 40, 30));
    // A narrow area keeps the window wide enough for its corner labels, and
    // the top-right label starts over the area instead of ending at its edge.
    QCOMPARE(editor->width(), twipsToPixels(2040 + 2400 + 120));
    QCOMPARE(findControl<QLabel>(editor.get(), "min")->text(), QStringLiteral("(-150, 400)"));
    QCOMPARE(findControl<QLabel>(editor.get(), "max")->text(), QStringLiteral("( 150, 1300)"));
    QCOMPARE(findControl<QLabel>(editor.get(), "max")->geometry().left(), area->geometry().left());
    QCOMPARE(findControl<QLabel>(editor.get(), "min")->y(), area->geometry().bottom() + 1);
    QCOMPARE(areaPixel(*editor, 0, 0), rgbColour(224, 224, 224));
    m_program->fieldRange = {-300, 4550, 200, 650};
    const auto wide = std::make_unique<BaseFieldEditor>(*m_session, *m_program, *m_dialogs, m_state, nullptr);
    QCOMPARE(wide->width(), twipsToPixels(4850 + 2345));
    QCOMPARE(findControl<QLabel>(wide.get(), "max")->geometry().right(),
             findControl(wide.get(), "Picture1")->geometry().right());

    QPushButton *save = findControl<QPushButton>(editor.get(), "save");
    QCOMPARE(save->text(), QStringLiteral("&Save"));
    QVERIFY(save->font().bold());
    QCOMPARE(save->font().pointSize(), 12);
    QCOMPARE(findControl(editor.get(), "Picture3")->palette().color(QPalette::Window), systemColour(QPalette::Dark));
    QCOMPARE(findControl<QToolButton>(editor.get(), "line1")->toolTip(), QStringLiteral("Straight Line"));
    QCOMPARE(findControl<QToolButton>(editor.get(), "Command3")->toolTip(), QStringLiteral("Pencil"));
    QCOMPARE(findControl<QToolButton>(editor.get(), "circle1")->toolTip(), QStringLiteral("Ellipse"));
    QCOMPARE(findControl<QToolButton>(editor.get(), "Command4")->toolTip(), QStringLiteral("Eraser"));
    QCOMPARE(findControl<QLabel>(editor.get(), "Label5")->text(), QStringLiteral("Width(X):"));
    QCOMPARE(findControl<QLabel>(editor.get(), "Label7")->text(), QStringLiteral("Width(Y):"));
    QCOMPARE(findControl<QLabel>(editor.get(), "Label6")->text(), QStringLiteral("( Recomended value < 1 )"));
    QGroupBox *frame = findControl<QGroupBox>(editor.get(), "Frame1");
    QCOMPARE(frame->title(), QStringLiteral("Numeric Input :"));
    QVERIFY(frame->isEnabled());
    QCOMPARE(findControl<QPushButton>(frame, "accept")->text(), QStringLiteral("&Accept"));
    for (const char *name : {"widthd", "widthe", "Text1", "Text2", "Text3", "Text4"})
        QCOMPARE(findControl<QLineEdit>(editor.get(), name)->text(), QStringLiteral("0"));
    for (const char *name : {"Label1", "Label2", "Label3", "Label4"})
        QVERIFY(findControl<QLabel>(frame, name)->text().isEmpty());
}

void TestBaseFieldEditor::toolButtonsHighlightTheChosenTool()
{
    const std::unique_ptr<BaseFieldEditor> editor = openEditor();
    const QColor face = systemColour(QPalette::Button);
    const QColor highlight(255, 0, 125);
    clickButton(editor.get(), "line1");
    QCOMPARE(buttonColour(editor.get(), "line1"), highlight);
    QCOMPARE(m_state.currentTool, StraightLine);
    QCOMPARE(findControl<QLabel>(editor.get(), "Label1")->text(), QStringLiteral("x1 :"));
    QCOMPARE(findControl<QLabel>(editor.get(), "Label4")->text(), QStringLiteral("y2 :"));

    clickButton(editor.get(), "circle1");
    QCOMPARE(buttonColour(editor.get(), "line1"), face);
    QCOMPARE(buttonColour(editor.get(), "circle1"), highlight);
    QCOMPARE(findControl<QLabel>(editor.get(), "Label1")->text(), QStringLiteral("X-Center:"));
    QCOMPARE(findControl<QLabel>(editor.get(), "Label3")->text(), QStringLiteral("X-radius:"));

    clickButton(editor.get(), "Command4");
    QCOMPARE(m_state.currentTool, Eraser);
    QVERIFY(!findControl<QGroupBox>(editor.get(), "Frame1")->isEnabled());
    QVERIFY(findControl<QLabel>(editor.get(), "Label2")->text().isEmpty());
    QVERIFY(!m_state.dragging);

    editor->deselect();
    for (const char *name : {"line1", "circle1", "Command3", "Command4"})
        QCOMPARE(buttonColour(editor.get(), name), face);
}

void TestBaseFieldEditor::widthFieldsSetThePen()
{
    const std::unique_ptr<BaseFieldEditor> editor = openEditor();
    QCOMPARE(m_state.penWidthX, 0.0f);
    type(editor.get(), "widthd", QStringLiteral("2"));
    QCOMPARE(m_state.penWidthX, 5.0f); // 2 / 0.5 + 1
    type(editor.get(), "widthe", QStringLiteral("2"));
    QCOMPARE(m_state.penWidthY, 2.0f); // 2 / 2 + 1
    findControl<QLineEdit>(editor.get(), "widthd")->clear();
    QCOMPARE(m_state.penWidthX, 1.0f);
}

void TestBaseFieldEditor::numericShapeIsPreviewedAndFixedByAccept()
{
    const std::unique_ptr<BaseFieldEditor> editor = openEditor();
    clickButton(editor.get(), "line1");
    QFile::remove(m_folder->filePath(QStringLiteral("TEST.BMP")));
    // From (−200, 500) to (100, 500): display values X × 0.5, Y × 2.
    type(editor.get(), "Text1", QStringLiteral("-100"));
    type(editor.get(), "Text2", QStringLiteral("1000"));
    type(editor.get(), "Text3", QStringLiteral("50"));
    type(editor.get(), "Text4", QStringLiteral("1000"));
    QCOMPARE(areaPixel(*editor, 16, 10), BaseFieldDrawing::ink);
    QVERIFY(m_state.dragging);
    QVERIFY(!QFile::exists(m_folder->filePath(QStringLiteral("TEST.BMP"))));
    clickButton(editor.get(), "accept");
    QVERIFY(!m_state.dragging);
    QCOMPARE(colourAt(readBitmap(m_folder->filePath(QStringLiteral("TEST.BMP"))), 16, 10), BaseFieldDrawing::ink);
}

void TestBaseFieldEditor::pointerDrawsAndEveryReleaseCommits()
{
    const std::unique_ptr<BaseFieldEditor> editor = openEditor();
    QWidget *area = findControl(editor.get(), "Picture1");
    QTest::mousePress(area, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseRelease(area, Qt::LeftButton, {}, QPoint(2, 2));
    QVERIFY(QFile::exists(m_folder->filePath(QStringLiteral("TEST.BMP"))));

    clickButton(editor.get(), "Command3");
    QTest::mousePress(area, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseMove(area, QPoint(20, 2));
    QTest::mouseMove(area, QPoint(20, 20));
    QTest::mouseRelease(area, Qt::LeftButton, {}, QPoint(20, 20));
    QCOMPARE(areaPixel(*editor, 10, 2), BaseFieldDrawing::ink);
    QCOMPARE(areaPixel(*editor, 20, 10), BaseFieldDrawing::ink);
    QCOMPARE(colourAt(readBitmap(m_folder->filePath(QStringLiteral("TEST.BMP"))), 20, 10), BaseFieldDrawing::ink);
}

// The untouched pen draws two lines 2.2 units apart: from the middle of a
// pixel both stay in its row, and the capture finds the two grid rows in it.
void TestBaseFieldEditor::untouchedPenDrawsOnePixelRow()
{
    const std::unique_ptr<BaseFieldEditor> editor = openEditor();
    QWidget *area = findControl(editor.get(), "Picture1");
    for (const char *tool : {"line1", "Command3"}) {
        clickButton(editor.get(), tool);
        QTest::mousePress(area, Qt::LeftButton, {}, QPoint(2, 10));
        QTest::mouseMove(area, QPoint(30, 10));
        QTest::mouseRelease(area, Qt::LeftButton, {}, QPoint(30, 10));
    }
    const QImage &picture = editor->drawing().area().persistentImage();
    for (int py = 0; py < picture.height(); ++py) {
        for (int px = 0; px < picture.width(); ++px) {
            const bool onTheLine = py == 10 && px >= 2 && px <= 30;
            QCOMPARE(colourAt(picture, px, py) == BaseFieldDrawing::ink, onTheLine);
        }
    }
    // Pixel row 10 is v 150 to 165, and v = 450 − (y − 200).
    clickButton(editor.get(), "save");
    QSet<qint16> rows;
    for (const BasePoint &point : m_session->document().basePoints)
        rows.insert(point.y);
    QCOMPARE(rows, (QSet<qint16>{490, 500}));
}

void TestBaseFieldEditor::saveReplacesTheBasePoints()
{
    editDocument(*m_session, [](FractalDocument &document) { document.basePoints = {{0, 425}}; });
    const std::unique_ptr<BaseFieldEditor> editor = openEditor();
    clickButton(editor.get(), "save");
    // The one plotted point, pixel (20, 15): u 300 to 315, v 225 to 240, and v = 450 − (y − 200).
    QCOMPARE(m_session->document().basePoints, (QList<BasePoint>{{0, 420}, {10, 420}}));
    QVERIFY(m_session->isModified());
    QCOMPARE(findControl(editor.get(), "Picture3")->palette().color(QPalette::Window), systemColour(QPalette::Dark));
    // Three draws for each of the 61 columns.
    RandomGenerator expected;
    for (int draw = 0; draw < 3 * 61; ++draw)
        expected.next();
    QCOMPARE(m_program->random.next(), expected.next());
}

void TestBaseFieldEditor::saveWithoutInkEmptiesTheList()
{
    editDocument(*m_session, [](FractalDocument &document) { document.basePoints = {{-1000, 0}, {0, 5000}}; });
    const std::unique_ptr<BaseFieldEditor> editor = openEditor();
    clickButton(editor.get(), "save");
    QVERIFY(m_session->document().basePoints.isEmpty());
    QVERIFY(m_session->isModified());
}

void TestBaseFieldEditor::saveStopsAtTheLargestPointCount()
{
    // Every pixel of a 2000 × 2000 area inked, through the plotted points.
    QList<BasePoint> everyPixel;
    for (int x = 0; x < 2000; x += 15) {
        for (int y = 5; y <= 2000; y += 15)
            everyPixel.append({qint16(x), qint16(y)});
    }
    editDocument(*m_session, [&everyPixel](FractalDocument &document) { document.basePoints = everyPixel; });
    m_program->fieldRange = {0, 2000, 0, 2000};
    BaseFieldEditor editor(*m_session, *m_program, *m_dialogs, m_state, nullptr);
    m_dialogs->messageAnswers.enqueue(MessageButton::Ok);
    clickButton(&editor, "save");
    QCOMPARE(m_session->document().basePointCount(), maxBasePoints);
    QVERIFY(m_session->isModified());
    QCOMPARE(m_dialogs->messages.size(), 1);
    QCOMPARE(m_dialogs->messages.first().title, QStringLiteral("Base Field"));
    QCOMPARE(m_dialogs->messages.first().text,
             QStringLiteral("The base field holds at most 32767 points. The drawing holds more ink: only the first "
                            "32767 points, from the left, were taken."));
}

void TestBaseFieldEditor::toolAndPenSurviveReopening()
{
    {
        const std::unique_ptr<BaseFieldEditor> editor = openEditor();
        clickButton(editor.get(), "Command3");
        type(editor.get(), "widthd", QStringLiteral("2"));
        editor->close();
    }
    const std::unique_ptr<BaseFieldEditor> reopened = openEditor();
    for (const char *name : {"line1", "circle1", "Command3", "Command4"})
        QCOMPARE(buttonColour(reopened.get(), name), systemColour(QPalette::Button));
    QCOMPARE(findControl<QLineEdit>(reopened.get(), "widthd")->text(), QStringLiteral("0"));
    QVERIFY(findControl<QLabel>(reopened.get(), "Label1")->text().isEmpty());
    QVERIFY(findControl<QGroupBox>(reopened.get(), "Frame1")->isEnabled());
    QCOMPARE(m_state.currentTool, Pencil);
    QCOMPARE(m_state.penWidthX, 5.0f);
    QWidget *area = findControl(reopened.get(), "Picture1");
    QTest::mousePress(area, Qt::LeftButton, {}, QPoint(2, 20));
    QTest::mouseMove(area, QPoint(30, 20));
    QCOMPARE(areaPixel(*reopened, 15, 20), BaseFieldDrawing::ink);
}

void TestBaseFieldEditor::baseFieldCommandOpensTheRangeWindow()
{
    MainWindowFixture fixture;
    MainWindow &window = *fixture.window;
    ProgramState &program = fixture.state;
    for (const auto &trigger : std::initializer_list<std::function<void()>>{
             [&window] { QTest::keyClick(&window, Qt::Key_B, Qt::ControlModifier); },
             [&window] { clickButton(&window, "Cmd3"); }}) {
        bool shown = false;
        whenModalShows(&window, QStringLiteral("Form4"), [&](QWidget *form4) {
            shown = form4->parentWidget() == &window && form4->isModal();
            clickButton(form4, "Command2");
        });
        trigger();
        QVERIFY(shown);
        QVERIFY(!window.findChild<QDialog *>(QStringLiteral("Form3")));
    }
    // The start-up stem from (0, 1) to (0, 2000), widened along X; the second
    // detection starts its maximum from the first widening.
    QCOMPARE(program.fieldRange, (FieldRange{-100, 200, 1, 2000}));
    QVERIFY(!fixture.dialogs.hasUnexpected());
}

void TestBaseFieldEditor::acceptedRangeLeadsToARenderableBaseField()
{
    MainWindowFixture fixture;
    MainWindow &window = *fixture.window;
    ProgramState &program = fixture.state;
    DocumentSession &session = fixture.session();
    // outside the range typed below
    editDocument(session, [](FractalDocument &document) { document.basePoints = {{1000, 1000}}; });
    const float scaleX = session.document().settings.scaleX;
    const float scaleY = session.document().settings.scaleY;
    whenModalShows(&window, QStringLiteral("Form4"), [&](QWidget *form4) {
        const FieldRangeTexts texts = fieldRangeTexts(editedRange, scaleX, scaleY);
        type(form4, "xmaxt", texts.xMax);
        type(form4, "xmint", texts.xMin);
        type(form4, "ymaxt", texts.yMax);
        type(form4, "ymint", texts.yMin);
        clickButton(form4, "Command1");
    });
    bool edited = false;
    whenModalShows(&window, QStringLiteral("Form3"), [&](QWidget *form3) {
        edited = form3->parentWidget() == &window;
        clickButton(form3, "circle1");
        type(form3, "Text1", numToField(0.0f));
        type(form3, "Text2", numToField(425.0f * scaleY));
        type(form3, "Text3", numToField(400.0f * scaleX));
        type(form3, "Text4", numToField(300.0f * scaleY));
        clickButton(form3, "accept");
        clickButton(form3, "save");
        form3->close();
    });
    QTest::keyClick(&window, Qt::Key_B, Qt::ControlModifier);
    QVERIFY(edited);
    QCOMPARE(program.fieldRange, editedRange);
    QVERIFY(session.isModified());
    const QList<BasePoint> &points = session.document().basePoints;
    QVERIFY(points.size() > 50);
    // The ellipse spans X −200 to 200 and Y 275 to 575; a sample may find ink
    // up to one pixel, 15 units, beyond it, depending on the canvas's scale.
    for (const BasePoint &point : points) {
        QVERIFY(point.x >= -215 && point.x <= 215);
        QVERIFY(point.y >= 260 && point.y <= 590);
    }

    window.startRendering();
    QVERIFY(fixture.dialogs.messages.isEmpty());
    QVERIFY(readBitmap(fixture.folder.filePath(QStringLiteral("TEMP.BMP")))
            != readBitmap(fixture.folder.filePath(QStringLiteral("BLANK.BMP"))));
    QVERIFY(!fixture.dialogs.hasUnexpected());
}

QTEST_MAIN(TestBaseFieldEditor)
#include "tst_basefieldeditor.moc"
