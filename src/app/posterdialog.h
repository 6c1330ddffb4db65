#pragma once

#include <QDialog>
#include <QSize>

class QCheckBox;
class QDoubleSpinBox;
class QSpinBox;

namespace Vorlane {

// What the user asks of a poster; remembered in the program's settings
// between runs, never in the document.
struct PosterChoice
{
    QSize size{2000, 2000};
    qint64 points = 80'000'000;
    double gamma = 2.2;
    bool transparent = false;
    bool deep = false; // 16 bits per colour component

    bool operator==(const PosterChoice &) const = default;

    static PosterChoice remembered();
    void remember() const;
};

// Asks for a poster's size, points, gamma, background and depth.
class PosterDialog : public QDialog
{
    Q_OBJECT

public:
    explicit PosterDialog(const PosterChoice &initial, QWidget *parent = nullptr);

    PosterChoice choice() const;

private:
    QSpinBox *m_width;
    QSpinBox *m_height;
    QSpinBox *m_millions;
    QDoubleSpinBox *m_gamma;
    QCheckBox *m_transparent;
    QCheckBox *m_deep;
};

} // namespace Vorlane
