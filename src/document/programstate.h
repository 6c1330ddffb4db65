#pragma once

#include "common/filestore.h"
#include "common/randomgenerator.h"
#include "fractaldocument.h"
#include "online/netinfo.h"

#include <QString>
#include <QtGlobal>

namespace Vorlane {

// The area, in document units, that the base field editor's drawing area
// covers. Not stored in documents.
struct FieldRange
{
    qint16 fieldXMin = 0;
    qint16 fieldXMax = 0;
    qint16 fieldYMin = 0;
    qint16 fieldYMax = 0;

    bool operator==(const FieldRange &) const = default;
};

// The program-wide values: the document and what lives beside it. The program
// makes one instance at start-up and hands it to every window; tests make
// their own.
struct ProgramState
{
    FractalDocument document;
    QString currentFile;   // empty, "Untitled.vrf" or the path last read or saved
    qint16 modified = 0;   // 1: an accepted change is unsaved
    QString appDir;        // the program's folder, ending in a separator
    qint16 selectedTr = 0; // the transformation editor's selection, 0 for none
    FieldRange fieldRange;
    RandomGenerator random;
    NetInfo netInfo;       // the web addresses and where to update them
    OwnedFiles workingFiles; // the bitmaps this instance wrote to hand pictures on
};

} // namespace Vorlane
