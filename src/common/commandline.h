#pragma once

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QString>

#include <optional>

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

// Parses arguments and answers what every program answers alike: a parse
// error, --help and --version. None when the program is to read its options.
template<typename Parsed>
std::optional<Parsed> commonAnswer(QCommandLineParser &parser, const QStringList &arguments,
                                   const QCommandLineOption &help, const QCommandLineOption &version)
{
    if (!parser.parse(arguments))
        return Parsed{CommandLineError{parser.errorText()}};
    if (parser.isSet(help))
        return Parsed{CommandLineInfo{parser.helpText()}};
    if (parser.isSet(version))
        return Parsed{CommandLineInfo{QCoreApplication::applicationName() + QLatin1Char(' ')
                                      + QCoreApplication::applicationVersion() + QLatin1Char('\n')}};
    return std::nullopt;
}

} // namespace Vorlane
