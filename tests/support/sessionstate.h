#pragma once

#include "document/documentsession.h"

#include <QString>

#include <functional>

namespace Vorlane {

// Test set-ups that reach the document only the way the program does.

// An accepted change that leaves every value as it was, as the settings
// dialog's "&OK" right after opening: modified becomes 1.
inline void markChanged(DocumentSession &session)
{
    session.change(QStringLiteral("Change Settings"), DocumentPart::RenderSettings, Modification::Sets,
                   [](FractalDocument &) { return true; });
}

// The document as if saved as currentFile, then changed when modified is 1.
inline void setFileState(DocumentSession &session, const QString &currentFile, qint16 modified)
{
    session.markSaved(currentFile);
    if (modified == 1)
        markChanged(session);
}

// Values a test needs that no window sets so directly; currentFile and
// modified stay, the history goes.
inline void editDocument(DocumentSession &session, const std::function<void(FractalDocument &)> &edit)
{
    FractalDocument document = session.document();
    const QString currentFile = session.currentFile();
    const qint16 modified = session.modified();
    edit(document);
    session.begin(document, currentFile);
    if (modified == 1)
        markChanged(session);
}

} // namespace Vorlane
