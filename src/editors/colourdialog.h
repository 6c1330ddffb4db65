#pragma once

#include <QBoxLayout>
#include <QDialog>

#include <functional>

class QButtonGroup;
class QFrame;
class QGroupBox;

namespace Vorlane {

class UserDialogs;
struct ProgramState;

// Form5, "Select Colors": the two point colours, the background colour and
// the colour style. Accepting stores them and has the canvases cleared to the
// new background through resetCanvases.
class ColourDialog : public QDialog
{
    Q_OBJECT

public:
    ColourDialog(ProgramState &state, UserDialogs &dialogs, std::function<void()> resetCanvases,
                 QWidget *owner = nullptr);

private:
    QGroupBox *createStyleOptions();
    struct SwatchNames
    {
        const char *frame;
        QString caption;
        const char *swatch;
        const char *button;
        QString buttonCaption;
    };
    // A frame with a swatch and the button that changes its colour, the
    // button beside or below the swatch as direction says.
    QGroupBox *createSwatchFrame(const SwatchNames &names, QBoxLayout::Direction direction, QFrame *&swatch);
    void changeColour(QFrame *swatch);
    void acceptColours();

    ProgramState &m_state;
    UserDialogs &m_dialogs;
    std::function<void()> m_resetCanvases;

    QButtonGroup *m_styles = nullptr;
    QFrame *m_colour1 = nullptr;
    QFrame *m_colour2 = nullptr;
    QFrame *m_backColour = nullptr;
};

} // namespace Vorlane
