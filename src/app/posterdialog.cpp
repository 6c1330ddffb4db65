#include "app/posterdialog.h"

#include "render/poster/poster.h"
#include "render/poster/posterpalette.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QSettings>
#include <QSpinBox>
#include <QTimer>

namespace Vorlane {

namespace {

constexpr int mostMillions = 100'000;
constexpr int previewSide = 300;
constexpr qint64 previewPointsPerPixel = 4;
// Changes that come quickly one after the other are previewed once.
constexpr int previewDelayMs = 120;
constexpr double farthestCentre = 1e7;

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

QDoubleSpinBox *realBox(const char *name, double lowest, double highest, double step, double value, QWidget *parent)
{
    auto *box = namedBox<QDoubleSpinBox>(name, parent);
    box->setDecimals(step < 0.1 ? 2 : 1);
    box->setRange(lowest, highest);
    box->setSingleStep(step);
    box->setValue(value);
    return box;
}

QSpinBox *countBox(const char *name, int lowest, int highest, int value, QWidget *parent)
{
    auto *box = namedBox<QSpinBox>(name, parent);
    box->setRange(lowest, highest);
    box->setValue(value);
    return box;
}

// A remembered number, bounded as the dialog bounds it.
double rememberedReal(const QSettings &settings, const char *key, double fallback, double lowest, double highest)
{
    return qBound(lowest, settings.value(QLatin1String(key), fallback).toDouble(), highest);
}

int rememberedCount(const QSettings &settings, const char *key, int fallback, int lowest, int highest)
{
    return qBound(lowest, settings.value(QLatin1String(key), fallback).toInt(), highest);
}

bool isPaletteName(const QString &name)
{
    for (const PaletteName &palette : posterPaletteNames()) {
        if (palette.name == name)
            return true;
    }
    return false;
}

} // namespace

PosterChoice PosterChoice::remembered()
{
    const PosterChoice defaults;
    QSettings settings(QStringLiteral("Vorlane"), QStringLiteral("Vorlane"));
    settings.beginGroup(QStringLiteral("poster"));
    PosterChoice choice;
    choice.size = QSize(rememberedCount(settings, "width", defaults.size.width(), 1, largestPosterSide),
                        rememberedCount(settings, "height", defaults.size.height(), 1, largestPosterSide));
    choice.points = qBound<qint64>(1'000'000, settings.value(QStringLiteral("points"), defaults.points).toLongLong(),
                                   qint64(mostMillions) * 1'000'000);
    choice.gamma = rememberedReal(settings, "gamma", defaults.gamma, 0.1, 10.0);
    choice.transparent = settings.value(QStringLiteral("transparent"), defaults.transparent).toBool();
    choice.deep = settings.value(QStringLiteral("deep"), defaults.deep).toBool();
    choice.fit = settings.value(QStringLiteral("fit"), defaults.fit).toBool();
    choice.zoom = rememberedReal(settings, "zoom", defaults.zoom, 0.01, 1e6);
    choice.centre = QPointF(rememberedReal(settings, "centreX", 0.0, -farthestCentre, farthestCentre),
                            rememberedReal(settings, "centreY", 0.0, -farthestCentre, farthestCentre));
    const QString palette = settings.value(QStringLiteral("palette"), defaults.palette).toString();
    choice.palette = isPaletteName(palette) ? palette : defaults.palette;
    choice.colourBy = settings.value(QStringLiteral("colourBy")).toString() == QLatin1String("map")
                          ? PosterColourBy::Map
                          : PosterColourBy::Document;
    choice.brightness = rememberedReal(settings, "brightness", defaults.brightness, 0.01, 1e6);
    choice.contrast = rememberedReal(settings, "contrast", defaults.contrast, 0.01, 100.0);
    choice.vibrancy = rememberedReal(settings, "vibrancy", defaults.vibrancy, 0.0, 1.0);
    choice.resolution = rememberedCount(settings, "resolution", defaults.resolution, 0, 32767);
    choice.skip = rememberedCount(settings, "skip", defaults.skip, 0, 32766);
    choice.supersample = rememberedCount(settings, "supersample", defaults.supersample, 1, largestSupersample);
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
    settings.setValue(QStringLiteral("fit"), fit);
    settings.setValue(QStringLiteral("zoom"), zoom);
    settings.setValue(QStringLiteral("centreX"), centre.x());
    settings.setValue(QStringLiteral("centreY"), centre.y());
    settings.setValue(QStringLiteral("palette"), palette);
    settings.setValue(QStringLiteral("colourBy"),
                      colourBy == PosterColourBy::Map ? QStringLiteral("map") : QStringLiteral("document"));
    settings.setValue(QStringLiteral("brightness"), brightness);
    settings.setValue(QStringLiteral("contrast"), contrast);
    settings.setValue(QStringLiteral("vibrancy"), vibrancy);
    settings.setValue(QStringLiteral("resolution"), resolution);
    settings.setValue(QStringLiteral("skip"), skip);
    settings.setValue(QStringLiteral("supersample"), supersample);
}

PosterRequest PosterChoice::request(FractalDocument &document) const
{
    if (resolution > 0)
        document.settings.resolution = qint16(resolution);
    PosterRequest request;
    PosterSettings &settings = request.settings;
    settings.size = size;
    settings.points = points;
    if (!fit) {
        settings.zoom = zoom;
        settings.centre = centre;
    }
    QString unused;
    settings.palette = findPosterPalette(palette, &unused).value_or(PosterPalette{});
    settings.colourBy = colourBy;
    settings.skip = qMin(skip, document.settings.resolution - 1);
    // The sums may not pass the largest side.
    settings.supersample = qBound(1, largestPosterSide / qMax(size.width(), size.height()), supersample);
    request.tone = {gamma,      transparent, deep ? 16 : 8, document.colours.backColour,
                    brightness, contrast,    vibrancy};
    return request;
}

QImage posterPreview(const FractalDocument &document, const PosterChoice &choice, int side)
{
    PosterChoice small = choice;
    const double scale = double(side) / double(qMax(choice.size.width(), choice.size.height()));
    small.size = QSize(qMax(1, int(choice.size.width() * scale)), qMax(1, int(choice.size.height() * scale)));
    small.points = previewPointsPerPixel * small.size.width() * small.size.height();
    FractalDocument previewed = document;
    return renderPoster(previewed, small.request(previewed)).picture;
}

PosterDialog::PosterDialog(const PosterChoice &initial, const FractalDocument &document, QWidget *parent)
    : QDialog(parent)
    , m_document(document)
    , m_width(sideBox("posterWidth", initial.size.width(), this))
    , m_height(sideBox("posterHeight", initial.size.height(), this))
    , m_millions(countBox("posterPoints", 1, mostMillions, int(initial.points / 1'000'000), this))
    , m_gamma(realBox("posterGamma", 0.1, 10.0, 0.1, initial.gamma, this))
    , m_transparent(namedBox<QCheckBox>("posterTransparent", this))
    , m_deep(namedBox<QCheckBox>("posterDeep", this))
    , m_preview(namedBox<QLabel>("posterPreview", this))
    , m_previewTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("posterDialog"));
    setWindowTitle(tr("Export Poster"));
    m_millions->setSuffix(tr(" million"));
    m_transparent->setText(tr("Transparent background"));
    m_transparent->setChecked(initial.transparent);
    m_deep->setText(tr("16 bits per colour"));
    m_deep->setChecked(initial.deep);
    m_preview->setFixedSize(previewSide, previewSide);
    m_preview->setAlignment(Qt::AlignCenter);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *form = new QFormLayout;
    form->addRow(tr("Width:"), m_width);
    form->addRow(tr("Height:"), m_height);
    form->addRow(tr("Points:"), m_millions);
    addFraming(form, initial);
    addColours(form, initial);
    form->addRow(m_transparent);
    form->addRow(m_deep);
    auto *sides = new QHBoxLayout;
    sides->addLayout(form);
    sides->addWidget(m_preview, 0, Qt::AlignTop);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(sides);
    layout->addWidget(buttons);

    m_previewTimer->setSingleShot(true);
    m_previewTimer->setInterval(previewDelayMs);
    connect(m_previewTimer, &QTimer::timeout, this, &PosterDialog::updatePreview);
    const auto changed = [this] { m_previewTimer->start(); };
    for (QSpinBox *box : findChildren<QSpinBox *>())
        connect(box, &QSpinBox::valueChanged, this, changed);
    for (QDoubleSpinBox *box : findChildren<QDoubleSpinBox *>())
        connect(box, &QDoubleSpinBox::valueChanged, this, changed);
    for (QComboBox *box : findChildren<QComboBox *>())
        connect(box, &QComboBox::currentIndexChanged, this, changed);
    for (QCheckBox *box : findChildren<QCheckBox *>())
        connect(box, &QCheckBox::toggled, this, changed);
    m_previewTimer->start();
}

void PosterDialog::addFraming(QFormLayout *form, const PosterChoice &initial)
{
    m_fit = namedBox<QCheckBox>("posterFit", this);
    m_fit->setText(tr("Fit"));
    m_fit->setChecked(initial.fit);
    m_zoom = realBox("posterZoom", 0.01, 1e6, 0.1, initial.zoom, this);
    m_centreX = realBox("posterCentreX", -farthestCentre, farthestCentre, 10.0, initial.centre.x(), this);
    m_centreY = realBox("posterCentreY", -farthestCentre, farthestCentre, 10.0, initial.centre.y(), this);
    auto *centre = new QHBoxLayout;
    centre->addWidget(m_centreX);
    centre->addWidget(m_centreY);
    form->addRow(tr("Framing:"), m_fit);
    form->addRow(tr("Zoom:"), m_zoom);
    form->addRow(tr("Centre X, Y:"), centre);
    m_resolution = countBox("posterResolution", 0, 32767, initial.resolution, this);
    m_resolution->setSpecialValueText(tr("the document's"));
    m_skip = countBox("posterSkip", 0, 32766, initial.skip, this);
    m_supersample = countBox("posterSupersample", 1, largestSupersample, initial.supersample, this);
    m_supersample->setPrefix(tr("x "));
    form->addRow(tr("Resolution:"), m_resolution);
    form->addRow(tr("Skip after restart:"), m_skip);
    form->addRow(tr("Supersampling:"), m_supersample);
    connect(m_fit, &QCheckBox::toggled, this, &PosterDialog::showFraming);
    showFraming();
}

void PosterDialog::addColours(QFormLayout *form, const PosterChoice &initial)
{
    m_palette = namedBox<QComboBox>("posterPalette", this);
    for (const PaletteName &palette : posterPaletteNames())
        m_palette->addItem(palette.caption, palette.name);
    m_palette->setCurrentIndex(qMax(0, m_palette->findData(initial.palette)));
    m_colourBy = namedBox<QComboBox>("posterColourBy", this);
    m_colourBy->addItem(tr("The document's colour style"), int(PosterColourBy::Document));
    m_colourBy->addItem(tr("By map"), int(PosterColourBy::Map));
    m_colourBy->setCurrentIndex(m_colourBy->findData(int(initial.colourBy)));
    m_brightness = realBox("posterBrightness", 0.01, 1e6, 0.5, initial.brightness, this);
    m_contrast = realBox("posterContrast", 0.01, 100.0, 0.1, initial.contrast, this);
    m_vibrancy = realBox("posterVibrancy", 0.0, 1.0, 0.05, initial.vibrancy, this);
    form->addRow(tr("Palette:"), m_palette);
    form->addRow(tr("Colours:"), m_colourBy);
    form->addRow(tr("Gamma:"), m_gamma);
    form->addRow(tr("Brightness:"), m_brightness);
    form->addRow(tr("Contrast:"), m_contrast);
    form->addRow(tr("Vibrancy:"), m_vibrancy);
}

// Leaving the fitted view starts from it, so that zooming keeps the picture
// where it was.
void PosterDialog::showFraming()
{
    const bool free = !m_fit->isChecked();
    if (free && m_centreX->value() == 0.0 && m_centreY->value() == 0.0) {
        PosterSettings settings;
        settings.size = QSize(m_width->value(), m_height->value());
        const PosterView fitted = fitPosterView(m_document, settings);
        m_centreX->setValue(fitted.centreX);
        m_centreY->setValue(fitted.centreY);
    }
    for (QWidget *box : {static_cast<QWidget *>(m_zoom), static_cast<QWidget *>(m_centreX),
                         static_cast<QWidget *>(m_centreY)})
        box->setEnabled(free);
}

void PosterDialog::updatePreview()
{
    m_preview->setPixmap(QPixmap::fromImage(posterPreview(m_document, choice(), previewSide)));
}

PosterChoice PosterDialog::choice() const
{
    PosterChoice choice;
    choice.size = QSize(m_width->value(), m_height->value());
    choice.points = qint64(m_millions->value()) * 1'000'000;
    choice.gamma = m_gamma->value();
    choice.transparent = m_transparent->isChecked();
    choice.deep = m_deep->isChecked();
    choice.fit = m_fit->isChecked();
    choice.zoom = m_zoom->value();
    choice.centre = QPointF(m_centreX->value(), m_centreY->value());
    choice.palette = m_palette->currentData().toString();
    choice.colourBy = PosterColourBy(m_colourBy->currentData().toInt());
    choice.brightness = m_brightness->value();
    choice.contrast = m_contrast->value();
    choice.vibrancy = m_vibrancy->value();
    choice.resolution = m_resolution->value();
    choice.skip = m_skip->value();
    choice.supersample = m_supersample->value();
    return choice;
}

} // namespace Vorlane
