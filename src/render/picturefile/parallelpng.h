#pragma once

#include <QByteArray>
#include <QImage>

namespace Vorlane {

// True for the image formats encodePngInParallel writes: RGB32 and ARGB32
// (8 bits a component), RGBX64 and RGBA64 (16 bits).
bool encodesPngInParallel(QImage::Format format);

// The PNG file of image, its rows compressed in bands on every processor and
// the bands joined into one zlib stream, as parallel compressors do: any PNG
// reader decodes it to exactly the image's pixels, and the bytes do not
// depend on the number of processors. An empty result for a
// format it does not write, an empty image, or when memory runs out.
QByteArray encodePngInParallel(const QImage &image);

} // namespace Vorlane
