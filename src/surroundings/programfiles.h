#pragma once

#include <QString>
#include <QStringList>

// The files the program keeps beside itself, and what it is started with.
namespace Vorlane {

// The bitmaps that carry pictures from one command to the next, in appDir:
// the blank canvas, the last picture and the base field editor's working copy.
inline constexpr QLatin1String blankBitmapName("BLANK.BMP");
inline constexpr QLatin1String tempBitmapName("TEMP.BMP");
inline constexpr QLatin1String testBitmapName("TEST.BMP");

// The advertisement picture while the program runs and while it does not.
inline constexpr QLatin1String advertisementShownName("vornad.gif");
inline constexpr QLatin1String advertisementHiddenName("vornad.dat");

// What the program is started with.
struct LaunchOptions
{
    QString programFolder;   // the executable's folder
    QString documentPath;    // the document named on the command line, or empty
    QString userFolder = {}; // the user's data folder, where an installed copy works
};

// The document path of a command line: the first argument after the
// program's name, without one pair of surrounding double quotes.
QString documentPathArgument(const QStringList &arguments);

// The program folder in native form followed by a separator, even when it
// already ends in one.
QString appDirFor(const QString &programFolder);

// The advertisement picture is "vornad.gif" while the program runs and
// "vornad.dat" while it does not. Nothing happens when the file to rename is
// missing or the new name is taken.
void showAdvertisementFile(const QString &appDir);
void hideAdvertisementFile(const QString &appDir);

} // namespace Vorlane
