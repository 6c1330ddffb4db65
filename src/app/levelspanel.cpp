#include "app/levelspanel.h"

#include "render/lesson/levels.h"
#include "render/exact/rastercanvas.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLocale>
#include <QSlider>
#include <QVBoxLayout>

namespace Vorlane {

LevelsPanel::LevelsPanel(QWidget *parent)
    : QDialog(parent)
    , m_slider(new QSlider(Qt::Horizontal, this))
    , m_count(new QLabel(this))
    , m_cap(new QLabel(this))
{
    setObjectName(QStringLiteral("levels"));
    setWindowTitle(tr("Levels"));
    m_slider->setObjectName(QStringLiteral("level"));
    m_slider->setTickPosition(QSlider::TicksBelow);
    m_slider->setPageStep(1);
    m_count->setObjectName(QStringLiteral("levelCount"));
    m_cap->setObjectName(QStringLiteral("levelCap"));
    m_cap->setWordWrap(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->setFocusPolicy(Qt::NoFocus);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    connect(m_slider, &QSlider::valueChanged, this, &LevelsPanel::showLevel);

    auto *layout = new QVBoxLayout(this);
    auto *explanation = new QLabel(tr("Level k: the base field's images under every composition of k maps, "
                                      "each copy in the colour of the map that placed it. Left and Right step."),
                                   this);
    explanation->setWordWrap(true);
    for (QWidget *widget : std::initializer_list<QWidget *>{explanation, m_slider, m_count, m_cap, buttons})
        layout->addWidget(widget);
    resize(360, sizeHint().height());
}

LevelsPanel::~LevelsPanel() = default;

void LevelsPanel::present(const FractalDocument &document, QSize canvasSize)
{
    m_document = document;
    m_canvasSize = canvasSize;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_levels = std::make_unique<FractalLevels>(document, float(canvasSize.width() * RasterCanvas::unitsPerPixel),
                                               float(canvasSize.height() * RasterCanvas::unitsPerPixel));
    QApplication::restoreOverrideCursor();
    m_cap->setText(m_levels->capped() ? tr("Levels stop at %1: the next would draw more than %2 points.")
                                            .arg(m_levels->highestLevel())
                                            .arg(QLocale().toString(mostLevelImages))
                                      : QString());
    const QSignalBlocker blocker(m_slider);
    m_slider->setRange(0, m_levels->highestLevel());
    showLevel(m_slider->value());
    show();
    raise();
    activateWindow();
    m_slider->setFocus();
}

void LevelsPanel::showLevel(int level)
{
    const std::vector<LevelPoint> &points = m_levels->level(level);
    m_count->setText(tr("Level %1: %2 points").arg(level).arg(QLocale().toString(qulonglong(points.size()))));
    RasterCanvas canvas(m_canvasSize, m_document.colours.backColour);
    drawLevel(m_document, points, canvas);
    Q_EMIT pictureChanged(canvas.persistentImage());
}

} // namespace Vorlane
