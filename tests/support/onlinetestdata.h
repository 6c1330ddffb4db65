#pragma once

#include <QByteArray>
#include <QSize>
#include <QtEndian>

namespace Vorlane {

// A GIF picture of one pixel, padded with a comment to exactly size bytes
// (at least 39). A larger screen and more frames make a picture that costs
// screen × frames pixels to play, whatever its size in bytes.
inline QByteArray gifOfSize(int size, char colour = '\xff', QSize screen = QSize(1, 1), int frames = 1)
{
    QByteArray head = QByteArray("GIF89a\x01\x00\x01\x00\x80\x00\x00", 13) + QByteArray("\x00\x00\x00", 3)
        + QByteArray(3, colour);
    qToLittleEndian<quint16>(quint16(screen.width()), head.data() + 6);
    qToLittleEndian<quint16>(quint16(screen.height()), head.data() + 8);
    QByteArray frame("\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00", 15);
    frame.replace(5, 4, head.mid(6, 4)); // each frame covers the screen
    const QByteArray image = frame.repeated(frames) + '\x3b';
    int padding = size - int(head.size() + image.size()) - 3; // extension introducer, label and terminator
    QByteArray comment("\x21\xfe", 2);
    while (padding > 0) {
        int block = qMin(255, padding - 1);
        if (padding - (block + 1) == 1)
            --block; // a block of length 0 would end the comment
        comment += char(block) + QByteArray(block, 'c');
        padding -= block + 1;
    }
    comment += '\0';
    return head + comment + image;
}

} // namespace Vorlane
