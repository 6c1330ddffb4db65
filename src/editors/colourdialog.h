#pragma once

#include <QBoxLayout>
#include <QDialog>

class QButtonGroup;
class QFrame;
class QGroupBox;

namespace Vorlane {

class DocumentSession;
class UserDialogs;

// Form5, "Select Colors": the two point colours, the background colour and
// the colour style. Accepting stores them as one step; the main window clears
// the canvases to the new background when the session announces it.
class ColourDialog : public QDialog
{
    Q_OBJECT

public:
    ColourDialog(DocumentSession &session, UserDialogs &dialogs, QWidget *owner = nullptr);

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

    DocumentSession &m_session;
    UserDialogs &m_dialogs;

    QButtonGroup *m_styles = nullptr;
    QFrame *m_colour1 = nullptr;
    QFrame *m_colour2 = nullptr;
    QFrame *m_backColour = nullptr;
};

} // namespace Vorlane
