#include "editors/rangewindow.h"

#include "widgets/dialogs.h"
#include "widgets/namedcontrols.h"
#include "common/twips.h"
#include "document/documentsession.h"
#include "surroundings/programstate.h"
#include "editing/fieldrange.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace Vorlane {

namespace {

constexpr QSize clientSize(4575, 2775);
constexpr int labelOffset = 600; // from a label to its field
// The design puts the left labels against the window's edge; everything
// below the introduction moves in to the introduction's margin, and each
// label ends a little before its field.
constexpr int margin = 240;
constexpr int labelGap = 60;

QPushButton *addButton(QWidget *parent, const char *name, const QString &text, int left)
{
    auto *button = placed<QPushButton>(parent, name, QRect(margin + left, 2160, 1095, 375));
    button->setText(text);
    return button;
}

} // namespace

BaseFieldRangeWindow::BaseFieldRangeWindow(ProgramState &program, const DocumentSession &session, UserDialogs &dialogs,
                                           QWidget *owner)
    : QDialog(owner)
    , m_program(program)
    , m_session(session)
    , m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Select size of Base Field"));
    useDesignFont(this);
    setFixedSize(twipsToPixels(clientSize.width()), twipsToPixels(clientSize.height()));

    auto *intro = placed<QLabel>(this, "Label1", QRect(margin, 120, 4095, 615));
    intro->setText(QStringLiteral("The following maximum and minimum range of X-axis and Y-axis has been detected for "
                                  "the base field. You may manually change them if you like ."));
    intro->setWordWrap(true);

    m_xmaxt = addLimitField("Label2", QStringLiteral("X-max :"), "xmaxt",
                            QStringLiteral("X-cordinate of top-right point"), 0, 960);
    m_xmint = addLimitField("Label4", QStringLiteral("X-min :"), "xmint",
                            QStringLiteral("X-cordinate of bottom-left point"), 2280, 960);
    m_ymaxt = addLimitField("Label3", QStringLiteral("Y-max :"), "ymaxt",
                            QStringLiteral("Y-cordinate of top-right point"), 0, 1560);
    m_ymint = addLimitField("Label5", QStringLiteral("Y-min :"), "ymint",
                            QStringLiteral("Y-cordinate of bottom-left point"), 2280, 1560);

    QPushButton *accept = addButton(this, "Command1", QStringLiteral("&Accept"), 600);
    accept->setDefault(true);
    connect(accept, &QPushButton::clicked, this, &BaseFieldRangeWindow::acceptRange);
    QPushButton *cancel = addButton(this, "Command2", QStringLiteral("&Cancel"), 2880);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    // The widening belongs to the range at once: it stays after "&Cancel".
    widenFieldRange(m_program.fieldRange);
    const RenderSettings &settings = m_session.document().settings;
    const FieldRangeTexts texts = fieldRangeTexts(m_program.fieldRange, settings.scaleX, settings.scaleY);
    m_xmaxt->setText(texts.xMax);
    m_ymaxt->setText(texts.yMax);
    m_xmint->setText(texts.xMin);
    m_ymint->setText(texts.yMin);
}

QLineEdit *BaseFieldRangeWindow::addLimitField(const char *labelName, const QString &label, const char *name,
                                               const QString &toolTip, int left, int top)
{
    const int fieldLeft = margin + left + labelOffset;
    const int labelLeft = margin / 2 + left;
    auto *caption = placed<QLabel>(this, labelName, QRect(labelLeft, top, fieldLeft - labelGap - labelLeft, 375));
    caption->setText(label);
    caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto *field = placed<QLineEdit>(this, name, QRect(fieldLeft, top, 1095, 375));
    field->setToolTip(toolTip);
    return field;
}

void BaseFieldRangeWindow::acceptRange()
{
    const RenderSettings &settings = m_session.document().settings;
    const FieldRangeReading reading = readFieldRange({m_xmaxt->text(), m_ymaxt->text(), m_xmint->text(), m_ymint->text()},
                                                     settings.scaleX, settings.scaleY);
    if (!reading.problem.isEmpty()) {
        m_dialogs.warn(this, QStringLiteral("Base Field Range"), reading.problem);
        return;
    }
    m_program.fieldRange = reading.range;
    accept();
}

} // namespace Vorlane
