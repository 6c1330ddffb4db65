#pragma once

#include "common/filestore.h"
#include "common/randomgenerator.h"

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

// The program-wide values beside the document, which lives in the
// DocumentSession. The program makes one instance at start-up and hands it to
// the windows that need these values; tests make their own.
struct ProgramState
{
    QString appDir;        // the program's folder, ending in a separator
    qint16 selectedTr = 0; // the transformation editor's selection, 0 for none
    FieldRange fieldRange;
    RandomGenerator random;
    OwnedFiles workingFiles; // the bitmaps this instance wrote to hand pictures on
};

} // namespace Vorlane
