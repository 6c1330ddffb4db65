#pragma once

#include "render/lesson/boxcounting.h"

#include <QWidget>

namespace Vorlane {

// The box counts of a picture on log-log axes: log N(s) against log(1 / s),
// the fitted line over the sizes used for it, and those sizes marked.
class LogLogPlot : public QWidget
{
    Q_OBJECT

public:
    explicit LogLogPlot(QWidget *parent = nullptr);

    void setCounts(const BoxCountingResult &counts);
    QSize sizeHint() const override { return {360, 240}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    BoxCountingResult m_counts;
};

} // namespace Vorlane
