// The Render menu's poster export.
#include "app/mainwindow.h"

#include "document/documentsession.h"
#include "surroundings/programstate.h"
#include "app/posterdialog.h"
#include "app/posterexport.h"
#include "render/picturefile/bitmapfile.h"
#include "render/exact/renderer.h"
#include "widgets/dialogs.h"

#include <QFileInfo>

namespace Vorlane {

namespace {

QString suggestedPosterName(const QString &currentFile)
{
    const QFileInfo document(currentFile);
    return document.completeBaseName().isEmpty() ? QStringLiteral("Poster.png")
                                                 : document.path() + QLatin1Char('/') + document.completeBaseName()
                                                       + QLatin1String(".png");
}

} // namespace

void MainWindow::exportPoster()
{
    const QString problem = renderProblem(m_session.document());
    if (!problem.isEmpty()) {
        m_dialogs.warn(this, tr("Export Poster"), problem);
        return;
    }
    PosterDialog dialog(PosterChoice::remembered(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const PosterChoice choice = dialog.choice();
    choice.remember();
    const QString path = m_dialogs.chooseFileToSave(
        this, {QStringLiteral("PNG Pictures (*.png)|*.png"), suggestedPosterName(m_session.currentFile())});
    if (path.isEmpty())
        return;
    // Posters are PNG pictures whatever name the user typed.
    const QString png = pictureFormatFor(path) == "PNG" ? path : path + QLatin1String(".png");
    if (!mayReplacePicture(png))
        return;
    PosterRequest request;
    request.settings.size = choice.size;
    request.settings.points = choice.points;
    request.tone = {choice.gamma, choice.transparent, choice.deep ? 16 : 8, m_session.document().colours.backColour};
    m_commands.posterAction->setEnabled(false);
    m_posterExport->start(m_session.document(), request, png);
}

} // namespace Vorlane
