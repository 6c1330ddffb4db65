#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>

namespace Vorlane {

struct FractalDocument;

// A poster's gradient: 256 colours, red + 256 × green + 65536 × blue.
using PosterGradient = std::array<qint32, 256>;

// A gradient by name. The document's own colours have no colours of their
// own until a document is known; a named or read gradient carries them.
struct PosterPalette
{
    QString name; // "document", a built-in name, or the file it was read from
    std::optional<PosterGradient> gradient; // none for the document's colours

    bool operator==(const PosterPalette &) const = default;

    bool isDocumentColours() const { return !gradient.has_value(); }
};

// The name of the document's colours, the default palette.
QString documentColoursName();

// The 256 colours from colour1 to colour2 of the document, blended as its
// colour styles blend them.
PosterGradient documentGradient(const FractalDocument &document);

// The gradient of palette for document.
PosterGradient gradientFor(const PosterPalette &palette, const FractalDocument &document);

// Colours spread evenly over the gradient and blended between in the OKLab
// space, where equal steps look equally large; at least two stops.
PosterGradient gradientThroughStops(const QList<qint32> &stops);

// The built-in palettes' names, "document" first, and their captions.
struct PaletteName
{
    QString name;
    QString caption;
};
QList<PaletteName> posterPaletteNames();

// The palette named nameOrFile: a built-in name, or else the path of a
// gradient file. A file is plain text, one colour a line as #RRGGBB or as
// three whole numbers R G B from 0 to 255; blank lines and lines starting with
// "//" are skipped; 2 to 256 colours, spread evenly and blended in OKLab when
// fewer than 256; at most 64 KB. None, with error set to a message naming
// the file and line, for an unknown name, an unreadable or malformed file.
std::optional<PosterPalette> findPosterPalette(const QString &nameOrFile, QString *error);

// A gradient file's text read as a palette; for tests and the reader above.
std::optional<PosterGradient> parseGradientText(const QByteArray &text, QString *error);

} // namespace Vorlane
