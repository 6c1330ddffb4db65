#include "editors/colourdialog.h"

#include "widgets/dialogs.h"
#include "widgets/namedcontrols.h"
#include "document/colour.h"
#include "document/colourstyles.h"
#include "document/documentsession.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace Vorlane {

namespace {

constexpr int swatchSide = 25;

// The swatch holds its colour as its background, which is where "&Accept" reads it.
void setSwatchColour(QFrame *swatch, qint32 colour)
{
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Window, QColor(colourRed(colour), colourGreen(colour), colourBlue(colour)));
    swatch->setPalette(palette);
}

qint32 swatchColour(const QFrame *swatch)
{
    const QColor colour = swatch->palette().color(QPalette::Window);
    return rgbColour(colour.red(), colour.green(), colour.blue());
}

} // namespace

ColourDialog::ColourDialog(DocumentSession &session, UserDialogs &dialogs, QWidget *owner)
    : QDialog(owner)
    , m_session(session)
    , m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(tr("Select Colors"));

    QGroupBox *styles = createStyleOptions();
    QGroupBox *colour1 = createSwatchFrame({"Frame2", tr("Color 1 :"), "clr1", "Change1", tr("C&hange...")},
                                           QBoxLayout::LeftToRight, m_colour1);
    QGroupBox *colour2 = createSwatchFrame({"Frame4", tr("Color 2 :"), "clr2", "Change2", tr("Ch&ange...")},
                                           QBoxLayout::LeftToRight, m_colour2);
    QGroupBox *background =
        createSwatchFrame({"Frame3", tr("Background Color"), "clr3", "change3", tr("Change &Background...")},
                          QBoxLayout::TopToBottom, m_backColour);

    auto *accept = named(new QPushButton(tr("&Accept"), this), "Cmdaccept");
    accept->setDefault(true);
    auto *cancel = named(new QPushButton(tr("&Cancel"), this), "Cmdcancel");

    auto *swatchRow = new QHBoxLayout;
    swatchRow->addWidget(colour1);
    swatchRow->addWidget(colour2);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(accept);
    buttonRow->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(styles);
    layout->addLayout(swatchRow);
    layout->addWidget(background);
    layout->addLayout(buttonRow);

    const ColourScheme &colours = m_session.document().colours;
    setSwatchColour(m_colour1, colours.colour1);
    setSwatchColour(m_colour2, colours.colour2);
    setSwatchColour(m_backColour, colours.backColour);
    // A style outside 1 to 4, read from a file, selects no option.
    if (QAbstractButton *option = m_styles->button(colours.colourStyle - 1))
        option->setChecked(true);

    connect(accept, &QPushButton::clicked, this, &ColourDialog::acceptColours);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QGroupBox *ColourDialog::createStyleOptions()
{
    auto *frame = named(new QGroupBox(tr("Chose the color style :"), this), "Frame1");
    auto *options = new QVBoxLayout(frame);
    m_styles = named(new QButtonGroup(this), "Option1");
    // Option k chooses colourStyle k + 1.
    for (const ColourStyleEntry &style : colourStyles) {
        auto *option = named(new QRadioButton(tr(style.caption), frame), "Option1");
        option->setToolTip(QLatin1String(style.toolTip));
        m_styles->addButton(option, style.style - 1);
        options->addWidget(option);
    }
    return frame;
}

QGroupBox *ColourDialog::createSwatchFrame(const SwatchNames &names, QBoxLayout::Direction direction, QFrame *&swatch)
{
    auto *frame = named(new QGroupBox(names.caption, this), names.frame);
    swatch = named(new QFrame(frame), names.swatch);
    swatch->setFrameStyle(QFrame::Box | QFrame::Plain);
    swatch->setAutoFillBackground(true);
    if (direction == QBoxLayout::LeftToRight)
        swatch->setFixedSize(swatchSide, swatchSide);
    else
        swatch->setFixedHeight(swatchSide);
    auto *button = named(new QPushButton(names.buttonCaption, frame), names.button);
    button->setAutoDefault(false);
    auto *layout = new QBoxLayout(direction, frame);
    layout->addWidget(swatch);
    layout->addWidget(button);
    connect(button, &QPushButton::clicked, this, [this, swatch] { changeColour(swatch); });
    return frame;
}

void ColourDialog::changeColour(QFrame *swatch)
{
    if (const std::optional<qint32> chosen = m_dialogs.chooseColour(this, swatchColour(swatch)))
        setSwatchColour(swatch, *chosen);
}

void ColourDialog::acceptColours()
{
    ColourScheme colours = m_session.document().colours;
    colours.colour1 = swatchColour(m_colour1);
    colours.colour2 = swatchColour(m_colour2);
    colours.backColour = swatchColour(m_backColour);
    // Without a choice (a style read from a file that no option stands for) the stored style stays.
    if (m_styles->checkedId() >= 0)
        colours.colourStyle = m_styles->checkedId() + 1;
    m_session.change(tr("Change Colors"), DocumentPart::Colours, Modification::Sets,
                     [&colours](FractalDocument &document) {
                         document.colours = colours;
                         return true;
                     });
    accept();
}

} // namespace Vorlane
