#pragma once

#include "convert/affinemap.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <variant>

// The classic IFS text format: blocks of the form
//     name {
//       a b c d e f p
//       ...
//     }
// with x' = a x + b y + e, y' = c x + d y + f and p the probability of
// picking the map. A block's numbers are one stream, whatever the lines: every
// seven make a map. A name ending in "(3D)" marks a block of three-dimensional
// maps of 13 numbers each. A ";" starts a comment to the end of its line. An
// older layout holds one fractal's numbers alone, without name or braces.
namespace Vorlane {

struct IfsMap
{
    AffineMap map;
    double probability = 0.0;
    int line = 0; // where the map's first number stands

    bool operator==(const IfsMap &) const = default;
};

struct IfsBlock
{
    QString name;
    int line = 0; // where the name stands
    QList<IfsMap> maps;
    // A 3-D block keeps only its number of maps; Vorlane cannot draw it.
    bool threeD = false;
    int threeDMapCount = 0;

    int mapCount() const { return threeD ? threeDMapCount : int(maps.size()); }
};

// Limits that keep a hostile file from taking the machine's memory.
constexpr qsizetype maxIfsTextSize = 4 * 1024 * 1024;
constexpr qsizetype maxIfsLineLength = 4096;
constexpr qsizetype maxIfsNameLength = 100;
constexpr qsizetype maxIfsBlocks = 10000;

// Why a text is not IFS text, as a sentence starting with the line number.
struct IfsTextError
{
    QString message;
};

// The blocks of the text, in order, or why it is not IFS text: a file or line
// too long, UTF-16 text, a block whose numbers are not finite or not a whole
// number of maps, a negative probability, a block without a name, an unclosed
// or unopened brace, a 2-D block of more than 50 maps, no block at all. Text
// of numbers alone, without braces, is one block named legacyName.
std::variant<QList<IfsBlock>, IfsTextError> parseIfsText(const QByteArray &text,
                                                        const QString &legacyName = QStringLiteral("fractal"));

// The text with control characters (a NUL, an escape, a line feed...) written
// as \xNN, so that quoting a file's text cannot cut a message short or drive
// the user's terminal.
QString escapedControls(const QString &text);

// A number in as few digits as read back to the same double, "-0" as "0".
QString exchangeNumber(double value);

// The blocks as IFS text, each number written in as few digits as read back
// to the same double; comment lines first, each prefixed with "; ".
QByteArray writeIfsText(const QList<IfsBlock> &blocks, const QStringList &comments = {});

} // namespace Vorlane
