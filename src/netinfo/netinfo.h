#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <array>

namespace Vorlane {

// The web addresses the program links to, read from the net-info file
// "vornet.dat" and refreshed by the net-info update.
struct NetInfo
{
    static constexpr int sourceCount = 10;

    QString authorPage;
    QString siteAddr;
    QString galleryAddr;
    QString authorMail; // without "mailto:"
    QString adAddr;     // the advertisement picture
    QString extraAddr;  // kept, used by no command
    qint16 netVersion = 0;
    // Where the update fetches the web file "vornet.txt", tried in order;
    // netAddr(1) is netAddr[0]. Empty entries are not tried.
    std::array<QString, sourceCount> netAddr;

    bool operator==(const NetInfo &) const = default;
};

// The version of a valid net-info file.
constexpr qint16 validNetVersion = 456;

// The team that makes the program, as the about and note windows name it.
QString authorName();

// The built-in mirrors of the web file, all ending in "vornet.txt".
QStringList defaultMirrors();

// netAddr 1 to 10: the given sources, then empty texts. Sources beyond ten
// are dropped.
void fillNetInfoSources(NetInfo &info, const QStringList &sources);

// The six addresses as built in, used until a net-info file is read.
void setDefaultAddresses(NetInfo &info);

// The addresses of the net-info file the program is shipped with: the
// built-in ones and the address of our advertisement picture.
NetInfo shippedNetInfo();

// Reads the version and the six addresses from the bytes of a net-info file.
// The bytes are untrusted and taken whole or not at all: fewer than the
// 14 bytes of the header, or a string running past the end, give false and
// leave info unchanged. A length field that does not hold a number, or holds
// a negative one, reads as 0, an empty string. Bytes after the sixth string
// are ignored.
bool readNetInfo(const QByteArray &bytes, NetInfo &info);

// readNetInfo on a file; a missing or unreadable file gives false and leaves
// info unchanged.
bool readNetInfoFile(const QString &path, NetInfo &info);

// The bytes of a net-info file holding info's version and addresses, each
// address cut to the 99 bytes its length field can count.
QByteArray netInfoFileBytes(const NetInfo &info);

// The update's test of a downloaded file: version 456 and a whole record, so
// that readNetInfo takes it.
bool isValidNetInfoFile(const QByteArray &bytes);

// The one rule for every address read from a file: an http or https address
// with a host, or "mailto:" and a plain address, without a query, a fragment,
// another parameter, blanks or control characters. Anything else (a local
// program, another scheme, a mail link that attaches or adds) is not opened.
bool isOpenableAddress(const QString &address);

// The prepared e-mail to the author: "mailto:" + authorMail +
// "?subject=Mail from VR 2.0 user", or an empty text when authorMail is not a
// plain address (it holds blanks, control characters, "?", "&" or "#", which
// would add to or change the prepared message).
QString mailLink(const QString &authorMail);

// True for a link as mailLink makes it.
bool isMailLink(const QString &link);

} // namespace Vorlane
