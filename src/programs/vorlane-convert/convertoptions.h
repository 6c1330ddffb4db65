#pragma once

#include "common/commandline.h"

#include <QString>
#include <QStringList>

#include <variant>

namespace Vorlane {

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

using ParsedConvertOptions = std::variant<ConvertOptions, CommandLineInfo, CommandLineError>;

// Parses the arguments, the program's name first. The conversion follows
// from the files' extensions.
ParsedConvertOptions parseConvertOptions(const QStringList &arguments);

} // namespace Vorlane
