#include "editors/settingsdialog.h"

#include "widgets/dialogs.h"
#include "widgets/namedcontrols.h"
#include "common/twips.h"
#include "document/documentsession.h"
#include "editing/settingsfields.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace Vorlane {

SettingsDialog::SettingsDialog(DocumentSession &session, UserDialogs &dialogs, const QWidget &canvas, QWidget *owner)
    : QDialog(owner)
    , m_session(session)
    , m_dialogs(dialogs)
    , m_canvas(canvas)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(tr("Edit Settings"));
    createControls();
    showFields(settingsFields(m_session.document().settings, canvasOuterTwips()));
}

void SettingsDialog::createControls()
{
    m_resolution = named(new QLineEdit(this), "Text1");
    m_totalPoints = named(new QLineEdit(this), "Text4");
    m_scaleX = named(new QLineEdit(this), "Text2");
    m_scaleY = named(new QLineEdit(this), "Text3");

    QFrame *separator = addSeparatorLine(this, "Line1");

    auto *scales = new QGridLayout;
    scales->addWidget(namedLabel(this, "Label2", tr("Scale along X-axis  :")), 0, 0);
    scales->addWidget(m_scaleX, 0, 1);
    scales->addWidget(namedLabel(this, "Label5", tr("Scale along Y-axis  :")), 1, 0);
    scales->addWidget(m_scaleY, 1, 1);

    auto *structureNote = namedLabel(this, "Label9",
                                     tr("Note: Changing the scales won't really change the structure. It makes only "
                                        "apperent change. To change size, change the translation values of the "
                                        "transformation."));
    structureNote->setWordWrap(true);
    auto *equalNote = namedLabel(this, "Label10", tr("If not sure, keep both the scale values equal to 1"));
    equalNote->setWordWrap(true);

    auto *ok = named(new QPushButton(tr("&OK"), this), "Command1");
    ok->setDefault(true);
    auto *cancel = named(new QPushButton(tr("&Cancel"), this), "Command2");
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(namedLabel(this, "Label1", tr("Resolution (a positive integer<25):")));
    layout->addWidget(m_resolution);
    layout->addWidget(namedLabel(this, "Label8", tr("Total no. of points to be plotted:")));
    layout->addWidget(m_totalPoints);
    layout->addWidget(separator);
    layout->addLayout(scales);
    layout->addWidget(structureNote);
    layout->addWidget(equalNote);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &SettingsDialog::storeSettings);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QSize SettingsDialog::canvasOuterTwips() const
{
    return pixelsToTwips(m_canvas.size());
}

void SettingsDialog::showFields(const SettingsFields &fields)
{
    m_resolution->setText(fields.resolution);
    m_totalPoints->setText(fields.totalPoints);
    m_scaleX->setText(fields.scaleX);
    m_scaleY->setText(fields.scaleY);
}

SettingsFields SettingsDialog::typedFields() const
{
    return SettingsFields{m_resolution->text(), m_totalPoints->text(), m_scaleX->text(), m_scaleY->text()};
}

QLineEdit *SettingsDialog::field(SettingsField which) const
{
    switch (which) {
    case SettingsField::Resolution:
        return m_resolution;
    case SettingsField::TotalPoints:
        return m_totalPoints;
    case SettingsField::ScaleX:
        return m_scaleX;
    case SettingsField::ScaleY:
        return m_scaleY;
    }
    return m_resolution;
}

void SettingsDialog::storeSettings()
{
    SettingsProblem problem;
    const std::optional<RenderSettings> settings = settingsFromFields(typedFields(), canvasOuterTwips(), &problem);
    if (!settings) {
        m_dialogs.warn(this, windowTitle(), problem.text);
        field(problem.field)->setFocus();
        field(problem.field)->selectAll();
        return;
    }
    m_session.change(tr("Change Settings"), DocumentPart::RenderSettings | DocumentPart::Scales, Modification::Sets,
                     [&settings](FractalDocument &document) {
                         document.settings = *settings;
                         return true;
                     });
    accept();
}

} // namespace Vorlane
