#include "editors/basefieldeditor.h"

#include "widgets/dialogs.h"
#include "widgets/namedcontrols.h"
#include "editors/basefieldareaview.h"
#include "common/numbertext.h"
#include "common/twips.h"
#include "document/documentsession.h"
#include "surroundings/programfiles.h"
#include "surroundings/programstate.h"
#include "editing/pensweep.h"

#include <QElapsedTimer>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>

namespace Vorlane {

namespace {

constexpr int widthBesideArea = 2345;
constexpr int clientHeight = 5835;
constexpr QPoint areaPosition(2040, 720);
constexpr int labelHeight = 240;
constexpr int cornerLabelWidth = 2400;
constexpr int framesPerSecond = 60;

void setBackground(QWidget *widget, QPalette::ColorRole role, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QColor systemColour(QPalette::ColorRole role)
{
    return QGuiApplication::palette().color(role);
}

QLabel *addLabel(QWidget *parent, const char *name, const QString &text, QPoint twips, int widthTwips = 840)
{
    auto *label = placed<QLabel>(parent, name, QRect(twips, QSize(widthTwips, labelHeight)));
    label->setText(text);
    return label;
}

// A font wider than the design's would wrap a caption, even between "<" and
// "1 )", and push it against the corner label below the area; it takes a
// smaller size of the font instead.
void fitOnOneLine(QLabel *label)
{
    constexpr qreal smallest = 6.0;
    QFont font = label->font();
    while (QFontMetrics(font).horizontalAdvance(label->text()) > label->width() && font.pointSizeF() > smallest)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    label->setFont(font);
}

QLineEdit *addField(QWidget *parent, const char *name, const QRect &twips)
{
    auto *field = placed<QLineEdit>(parent, name, twips);
    field->setText(QStringLiteral("0"));
    return field;
}

QPushButton *addButton(QWidget *parent, const char *name, const QString &text, const QRect &twips)
{
    auto *button = placed<QPushButton>(parent, name, twips);
    button->setText(text);
    // Return in a field must not save the drawing.
    button->setAutoDefault(false);
    return button;
}

QIcon toolIcon(BaseFieldTool tool)
{
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(QPen(Qt::black, 2));
    switch (tool) {
    case StraightLine:
        painter.drawLine(4, 20, 20, 4);
        break;
    case EllipseTool:
        painter.drawEllipse(3, 6, 18, 12);
        break;
    case Pencil:
        painter.drawLine(5, 19, 19, 5);
        painter.drawLine(5, 19, 8, 19);
        break;
    case Eraser:
        painter.setBrush(Qt::white);
        painter.drawRect(4, 8, 16, 9);
        break;
    case NoTool:
        break;
    }
    return QIcon(pixmap);
}

QString cornerText(int x, int y, float scaleX, float scaleY)
{
    return QLatin1Char('(') + numToField(float(x) * scaleX) + QLatin1Char(',') + numToField(float(y) * scaleY)
           + QLatin1Char(')');
}

std::array<QString, 4> numericCaptions(BaseFieldTool tool)
{
    switch (tool) {
    case StraightLine:
        return {QStringLiteral("x1 :"), QStringLiteral("y1 :"), QStringLiteral("x2 :"), QStringLiteral("y2 :")};
    case EllipseTool:
        return {QStringLiteral("X-Center:"), QStringLiteral("Y-Center:"), QStringLiteral("X-radius:"),
                QStringLiteral("Y-radius:")};
    default:
        return {};
    }
}

} // namespace

BaseFieldEditor::BaseFieldEditor(DocumentSession &session, ProgramState &program, UserDialogs &dialogs,
                                 BaseFieldEditorState &state, QWidget *owner)
    : QDialog(owner)
    , m_session(session)
    , m_program(program)
    , m_dialogs(dialogs)
    , m_drawing(program.fieldRange, program.appDir + testBitmapName, state, &program.workingFiles)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Edit Base Field"));
    useDesignFont(this);

    QPushButton *save = addButton(this, "save", QStringLiteral("&Save"), QRect(120, 120, 1095, 375));
    QFont bold = save->font();
    bold.setPointSize(12);
    bold.setBold(true);
    save->setFont(bold);
    connect(save, &QPushButton::clicked, this, &BaseFieldEditor::captureBaseField);

    m_strip = placed<QWidget>(this, "Picture3", QRect(120, 480, 1095, 135));
    setBackground(m_strip, QPalette::Window, systemColour(QPalette::Dark));

    createToolButtons();
    createPenFields();
    createNumericInput();

    m_area = new BaseFieldAreaView(m_drawing, this);
    placeAreaAndCorners();
    m_drawing.open(session.document().basePoints);
}

BaseFieldEditor::~BaseFieldEditor() = default;

void BaseFieldEditor::createToolButtons()
{
    const struct
    {
        BaseFieldTool tool;
        const char *name;
        const char *toolTip;
        QPoint twips;
    } tools[] = {
        {StraightLine, "line1", "Straight Line", {120, 840}},
        {Pencil, "Command3", "Pencil", {720, 840}},
        {EllipseTool, "circle1", "Ellipse", {120, 1440}},
        {Eraser, "Command4", "Eraser", {720, 1440}},
    };
    for (std::size_t i = 0; i < std::size(tools); ++i) {
        auto *button = placed<QToolButton>(this, tools[i].name, QRect(tools[i].twips, QSize(495, 495)));
        button->setToolTip(QLatin1String(tools[i].toolTip));
        button->setIcon(toolIcon(tools[i].tool));
        button->setIconSize(button->size() - QSize(8, 8));
        m_toolButtons[i] = {tools[i].tool, button};
        connect(button, &QToolButton::clicked, this, [this, i] { chooseTool(m_toolButtons[i]); });
    }
    deselect();
}

void BaseFieldEditor::createPenFields()
{
    addLabel(this, "Label5", QStringLiteral("Width(X):"), {120, 2160});
    addLabel(this, "Label7", QStringLiteral("Width(Y):"), {960, 2160});
    QLabel *hint = addLabel(this, "Label6", QStringLiteral("( Recomended value < 1 )"), {0, 2760}, 1935);
    hint->setAlignment(Qt::AlignCenter);
    hint->resize(hint->width(), twipsToPixels(255));
    fitOnOneLine(hint);
    QLineEdit *widthd = addField(this, "widthd", QRect(120, 2400, 615, 375));
    QLineEdit *widthe = addField(this, "widthe", QRect(960, 2400, 615, 375));
    connect(widthd, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_drawing.state().penWidthX = penWidthFromText(text, m_session.document().settings.scaleX);
        manual();
    });
    connect(widthe, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_drawing.state().penWidthY = penWidthFromText(text, m_session.document().settings.scaleY);
        manual();
    });
}

void BaseFieldEditor::createNumericInput()
{
    m_numericInput = placed<QGroupBox>(this, "Frame1", QRect(0, 3240, 1935, 2535));
    m_numericInput->setTitle(QStringLiteral("Numeric Input :"));
    const struct
    {
        const char *label;
        const char *field;
        QPoint twips;
    } places[] = {
        {"Label1", "Text1", {120, 360}},
        {"Label2", "Text2", {960, 360}},
        {"Label3", "Text3", {120, 1200}},
        {"Label4", "Text4", {960, 1200}},
    };
    for (std::size_t i = 0; i < std::size(places); ++i) {
        const QPoint label = places[i].twips;
        m_numericLabels[i] = addLabel(m_numericInput, places[i].label, QString(), label);
        m_numericFields[i] = addField(m_numericInput, places[i].field, QRect(label + QPoint(0, 240), QSize(735, 375)));
        connect(m_numericFields[i], &QLineEdit::textChanged, this, &BaseFieldEditor::manual);
    }
    QPushButton *accept = addButton(m_numericInput, "accept", QStringLiteral("&Accept"), QRect(480, 2040, 735, 375));
    connect(accept, &QPushButton::clicked, this, &BaseFieldEditor::fixNumericShape);
}

// The window grows with the area so that the corner labels stay at its
// corners; its height stays, and a tall area runs off the bottom.
void BaseFieldEditor::placeAreaAndCorners()
{
    const int width = int(m_drawing.width());
    const int height = int(m_drawing.height());
    m_area->setGeometry(QRect(QPoint(twipsToPixels(areaPosition.x()), twipsToPixels(areaPosition.y())),
                              m_drawing.area().pixelSize()));
    // Never so narrow that the corner labels and the title are cut off.
    const int narrowest = areaPosition.x() + cornerLabelWidth + 120;
    setFixedSize(twipsToPixels(qMax(width + widthBesideArea, narrowest)), twipsToPixels(clientHeight));

    const FieldRange &range = m_program.fieldRange;
    const RenderSettings &settings = m_session.document().settings;
    const QString topRight = cornerText(range.fieldXMin + width, range.fieldYMin + height, settings.scaleX,
                                        settings.scaleY);
    const QString bottomLeft = cornerText(range.fieldXMin, range.fieldYMin, settings.scaleX, settings.scaleY);
    // max ends at the area's right edge, wherever its text starts; above an
    // area narrower than the label it starts at the area's left edge instead.
    const bool narrowArea = width < cornerLabelWidth;
    const int maxLeft = narrowArea ? areaPosition.x() : areaPosition.x() + width - cornerLabelWidth;
    QLabel *max = addLabel(this, "max", topRight, {maxLeft, 480}, cornerLabelWidth);
    max->setAlignment((narrowArea ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    addLabel(this, "min", bottomLeft, {1920, areaPosition.y() + height}, cornerLabelWidth);
}

void BaseFieldEditor::deselect()
{
    for (const ToolButton &choice : m_toolButtons)
        setBackground(choice.button, QPalette::Button, systemColour(QPalette::Button));
}

void BaseFieldEditor::chooseTool(const ToolButton &choice)
{
    const bool numeric = choice.tool == StraightLine || choice.tool == EllipseTool;
    m_numericInput->setEnabled(numeric);
    deselect();
    setBackground(choice.button, QPalette::Button, QColor(highlight));
    m_drawing.state().currentTool = choice.tool;
    const std::array<QString, 4> captions = numericCaptions(choice.tool);
    for (std::size_t i = 0; i < captions.size(); ++i)
        m_numericLabels[i]->setText(captions[i]);
}

void BaseFieldEditor::manual()
{
    BaseFieldDrawing::NumericInput fields;
    for (std::size_t i = 0; i < fields.size(); ++i)
        fields[i] = m_numericFields[i]->text();
    const RenderSettings &settings = m_session.document().settings;
    m_drawing.manual(fields, settings.scaleX, settings.scaleY);
    m_area->update();
}

void BaseFieldEditor::fixNumericShape()
{
    m_drawing.release();
    m_area->update();
}

void BaseFieldEditor::captureBaseField()
{
    // The strip changes colour after every column; it is painted at most once
    // a frame, so that showing it does not slow the capture down.
    QElapsedTimer sincePainted;
    sincePainted.start();
    const BaseFieldCapture capture = m_drawing.capture(m_program.random, [this, &sincePainted](qint32 colour) {
        setBackground(m_strip, QPalette::Window, QColor(RasterCanvas::toRgb(colour)));
        if (sincePainted.elapsed() >= 1000 / framesPerSecond) {
            m_strip->repaint();
            sincePainted.restart();
        }
    });
    setBackground(m_strip, QPalette::Window, systemColour(QPalette::Dark));
    m_session.change(tr("Save Base Field"), DocumentPart::BasePoints, Modification::Sets,
                     [&capture](FractalDocument &document) {
                         document.basePoints = capture.points;
                         return true;
                     });
    if (capture.stoppedAtLimit) {
        m_dialogs.warn(this, QStringLiteral("Base Field"),
                       QStringLiteral("The base field holds at most %1 points. The drawing holds more ink: only the "
                                      "first %1 points, from the left, were taken.")
                           .arg(maxBasePoints));
    }
}

} // namespace Vorlane
