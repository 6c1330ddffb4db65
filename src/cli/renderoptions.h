#pragma once

#include <QByteArray>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <variant>

namespace Vorlane {

// What vorlane-render exits with.
enum class RenderExit : int {
    Success = 0,
    BadOptions = 2,
    MissingInput = 3,
    RefusedDocument = 4,
    OutputFailed = 5,
};

// A command line of vorlane-render, checked. What is not given comes from the
// document or the program's defaults.
struct RenderOptions
{
    QString input;
    QString output;
    QSize size;
    std::optional<qint32> points;
    std::optional<qint16> resolution;
    std::optional<QPoint> centre;
    std::uint32_t seed = 5489;
    int threads = 0; // 0: one for every core; 1 renders on the calling thread alone
};

// Text to print on standard output and leave with success (--help, --version).
struct RenderInfo
{
    QString text;
};

// A message for standard error and leave with RenderExit::BadOptions.
struct RenderOptionsError
{
    QString message;
};

using ParsedRenderOptions = std::variant<RenderOptions, RenderInfo, RenderOptionsError>;

// "PNG" or "BMP" by the file's extension, empty for any other.
QByteArray pictureFormat(const QString &path);

// Parses the arguments, the program's name first.
ParsedRenderOptions parseRenderOptions(const QStringList &arguments);

} // namespace Vorlane
