#pragma once

#include "document/documentsession.h"

#include <QString>

#include <functional>

namespace Vorlane {

// Test set-ups that reach the document only the way the program does.

// An accepted change that leaves every value as it was, as the settings
// dialog's "&OK" right after opening: the document becomes modified.
inline void markChanged(DocumentSession &session)
{
    session.change(QStringLiteral("Change Settings"), DocumentPart::RenderSettings, Modification::Sets,
                   [](FractalDocument &) { return true; });
}

// The document as if saved as currentFile, then changed when modified; the
// history goes, and the session announces the whole document as changed.
inline void setFileState(DocumentSession &session, const QString &currentFile, bool modified)
{
    session.begin(session.document(), currentFile);
    if (modified)
        markChanged(session);
}

// Values a test needs that no window sets so directly; currentFile and
// modified stay, the history goes.
inline void editDocument(DocumentSession &session, const std::function<void(FractalDocument &)> &edit)
{
    FractalDocument document = session.document();
    const QString currentFile = session.currentFile();
    const bool modified = session.isModified();
    edit(document);
    session.begin(document, currentFile);
    if (modified)
        markChanged(session);
}

} // namespace Vorlane
