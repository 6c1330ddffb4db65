#pragma once

#include "document/fractaldocument.h"
#include "convert/ifstext.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

// Between Vorlane documents and classic IFS blocks. IFS coordinates are in
// exchange units (affinemap.h), Y up.
namespace Vorlane {

// A block name made from a file name: its base name with blanks as "_".
QString ifsBlockName(const QString &filePath);

// The document's maps, exactly as the renderer applies them, each with its
// weight normalised to a probability (0 for all when every weight is 0).
IfsBlock ifsBlock(const FractalDocument &document, const QString &name);

// The document as IFS text of one block, with comments that say where it
// came from and how to read it.
QByteArray documentIfsText(const FractalDocument &document, const QString &name, const QString &sourceFileName);

// The block of that name, letter case aside; the first for an empty name.
std::optional<IfsBlock> ifsBlockNamed(const QList<IfsBlock> &blocks, const QString &name);

struct IfsImportOptions
{
    // Take the nearest map Vorlane can hold for a map that shears, instead of
    // refusing the block.
    bool approximate = false;
    // Keep the block's units as exchange units, as Vorlane writes them,
    // instead of fitting the attractor to the start-up canvas.
    bool keepScale = false;
    // The base field to use instead of one point at the first map's fixed point.
    std::optional<QList<BasePoint>> baseField;
};

// Margin left around the fitted attractor, as a fraction of the canvas's side.
constexpr double fitMargin = 0.05;

// A probability of the file that Vorlane's area weights move by more than
// this is reported.
constexpr double probabilityTolerance = 0.03;

struct IfsImport
{
    FractalDocument document;
    // What the user should know: each approximated map's error, probabilities
    // that Vorlane's area weights change by more than a few percent.
    QStringList notes;
};

// The block as a document with the start-up document's settings and colours,
// its view centred on the attractor; or why it cannot be one (no maps, a
// shearing map without approximate, a map that does not shrink, numbers too
// large for the document).
std::variant<IfsImport, QString> importIfsBlock(const IfsBlock &block, const IfsImportOptions &options);

} // namespace Vorlane
