#pragma once

#include <QWidget>

class QLabel;

namespace Vorlane {

// The progress bar under the main canvas: 60 steps across its width, filled
// one column box at a time, with the status label inside it.
class ProgressStrip : public QWidget
{
    Q_OBJECT

public:
    static constexpr int steps = 60;

    explicit ProgressStrip(QWidget *parent = nullptr);

    QLabel *statusLabel() const { return m_label; }
    // Shows steps 1 to stepsDone filled; steps beyond 60 fall outside.
    void setStepsDone(int stepsDone);
    int stepsDone() const { return m_stepsDone; }
    // Centres the status label horizontally in the bar.
    void centreStatusLabel();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *m_label;
    int m_stepsDone = 0;
};

} // namespace Vorlane
