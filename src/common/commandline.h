#pragma once

#include <QString>

// What the command-line programs share: how they leave, and what option
// parsing gives back besides the options themselves.
namespace Vorlane {

// The exit code of vorlane-render and vorlane-convert alike.
enum class ToolExit : int {
    Success = 0,
    BadOptions = 2,
    MissingInput = 3,
    Refused = 4, // a document or file the program cannot work with
    OutputFailed = 5,
};

// Text to print on standard output and leave with success (--help, --version).
struct CommandLineInfo
{
    QString text;
};

// A message for standard error and leave with ToolExit::BadOptions.
struct CommandLineError
{
    QString message;
};

} // namespace Vorlane
