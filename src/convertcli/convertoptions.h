#pragma once

#include <QString>
#include <QStringList>

#include <variant>

namespace Vorlane {

// What vorlane-convert exits with, as vorlane-render does.
enum class ConvertExit : int {
    Success = 0,
    BadOptions = 2,
    MissingInput = 3,
    Refused = 4,
    OutputFailed = 5,
};

enum class Conversion {
    DocumentToIfs,
    DocumentToFlame,
    IfsToDocument,
    ListBlocks,
};

// A command line of vorlane-convert, checked.
struct ConvertOptions
{
    Conversion conversion = Conversion::DocumentToIfs;
    QString input;
    QString output;
    QString blockName; // empty: the first block
    QString baseFieldDocument;
    bool approximate = false;
    bool keepScale = false;
};

// Text to print on standard output and leave with success (--help, --version).
struct ConvertInfo
{
    QString text;
};

// A message for standard error and leave with ConvertExit::BadOptions.
struct ConvertOptionsError
{
    QString message;
};

using ParsedConvertOptions = std::variant<ConvertOptions, ConvertInfo, ConvertOptionsError>;

// Parses the arguments, the program's name first. The conversion follows
// from the files' extensions.
ParsedConvertOptions parseConvertOptions(const QStringList &arguments);

} // namespace Vorlane
