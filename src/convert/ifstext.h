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
// one map a line, with x' = a x + b y + e, y' = c x + d y + f and p the
// probability of picking the map. A ";" starts a comment to the end of its line.
namespace Vorlane {

struct IfsMap
{
    AffineMap map;
    double probability = 0.0;
    int line = 0;

    bool operator==(const IfsMap &) const = default;
};

struct IfsBlock
{
    QString name;
    int line = 0; // where the name stands
    QList<IfsMap> maps;
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
// too long, a line that is not seven finite numbers (the probability not
// negative), a block without a name, an unclosed or unopened brace, a block of
// more than 50 maps, no block at all.
std::variant<QList<IfsBlock>, IfsTextError> parseIfsText(const QByteArray &text);

// A number in as few digits as read back to the same double, "-0" as "0".
QString exchangeNumber(double value);

// The blocks as IFS text, each number written in as few digits as read back
// to the same double; comment lines first, each prefixed with "; ".
QByteArray writeIfsText(const QList<IfsBlock> &blocks, const QStringList &comments = {});

} // namespace Vorlane
