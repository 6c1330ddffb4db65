#include "app/posterdialog.h"

#include "render/poster/poster.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QSettings>
#include <QSpinBox>

namespace Vorlane {

namespace {

constexpr int mostMillions = 100'000;

template<typename Box>
Box *namedBox(const char *name, QWidget *parent)
{
    auto *box = new Box(parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

QSpinBox *sideBox(const char *name, int value, QWidget *parent)
{
    auto *box = namedBox<QSpinBox>(name, parent);
    box->setRange(1, largestPosterSide);
    box->setSuffix(QObject::tr(" px"));
    box->setValue(value);
    return box;
}

} // namespace

PosterChoice PosterChoice::remembered()
{
    const PosterChoice defaults;
    QSettings settings(QStringLiteral("Vorlane"), QStringLiteral("Vorlane"));
    settings.beginGroup(QStringLiteral("poster"));
    PosterChoice choice;
    choice.size = QSize(qBound(1, settings.value(QStringLiteral("width"), defaults.size.width()).toInt(), largestPosterSide),
                        qBound(1, settings.value(QStringLiteral("height"), defaults.size.height()).toInt(), largestPosterSide));
    choice.points = qBound<qint64>(1'000'000, settings.value(QStringLiteral("points"), defaults.points).toLongLong(),
                                   qint64(mostMillions) * 1'000'000);
    choice.gamma = qBound(0.1, settings.value(QStringLiteral("gamma"), defaults.gamma).toDouble(), 10.0);
    choice.transparent = settings.value(QStringLiteral("transparent"), defaults.transparent).toBool();
    choice.deep = settings.value(QStringLiteral("deep"), defaults.deep).toBool();
    return choice;
}

void PosterChoice::remember() const
{
    QSettings settings(QStringLiteral("Vorlane"), QStringLiteral("Vorlane"));
    settings.beginGroup(QStringLiteral("poster"));
    settings.setValue(QStringLiteral("width"), size.width());
    settings.setValue(QStringLiteral("height"), size.height());
    settings.setValue(QStringLiteral("points"), points);
    settings.setValue(QStringLiteral("gamma"), gamma);
    settings.setValue(QStringLiteral("transparent"), transparent);
    settings.setValue(QStringLiteral("deep"), deep);
}

PosterDialog::PosterDialog(const PosterChoice &initial, QWidget *parent)
    : QDialog(parent)
    , m_width(sideBox("posterWidth", initial.size.width(), this))
    , m_height(sideBox("posterHeight", initial.size.height(), this))
    , m_millions(namedBox<QSpinBox>("posterPoints", this))
    , m_gamma(namedBox<QDoubleSpinBox>("posterGamma", this))
    , m_transparent(namedBox<QCheckBox>("posterTransparent", this))
    , m_deep(namedBox<QCheckBox>("posterDeep", this))
{
    setObjectName(QStringLiteral("posterDialog"));
    setWindowTitle(tr("Export Poster"));
    m_millions->setRange(1, mostMillions);
    m_millions->setSuffix(tr(" million"));
    m_millions->setValue(int(initial.points / 1'000'000));
    m_gamma->setRange(0.1, 10.0);
    m_gamma->setSingleStep(0.1);
    m_gamma->setValue(initial.gamma);
    m_transparent->setText(tr("Transparent background"));
    m_transparent->setChecked(initial.transparent);
    m_deep->setText(tr("16 bits per colour"));
    m_deep->setChecked(initial.deep);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *form = new QFormLayout(this);
    form->addRow(tr("Width:"), m_width);
    form->addRow(tr("Height:"), m_height);
    form->addRow(tr("Points:"), m_millions);
    form->addRow(tr("Gamma:"), m_gamma);
    form->addRow(m_transparent);
    form->addRow(m_deep);
    form->addRow(buttons);
}

PosterChoice PosterDialog::choice() const
{
    return {QSize(m_width->value(), m_height->value()), qint64(m_millions->value()) * 1'000'000, m_gamma->value(),
            m_transparent->isChecked(), m_deep->isChecked()};
}

} // namespace Vorlane
