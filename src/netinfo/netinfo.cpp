#include "netinfo/netinfo.h"

#include "common/filestore.h"
#include "common/numbertext.h"
#include "common/rounding.h"

#include <QUrl>
#include <QtEndian>

#include <algorithm>

namespace Vorlane {

namespace {

// Every address the program is shipped with. They all live under the
// reserved domain vorlane.example, so that nothing points at somebody's site.
constexpr auto teamName = "The Vorlane team";
constexpr auto teamPage = "https://team.vorlane.example/";
constexpr auto programSite = "https://www.vorlane.example/";
constexpr auto teamMail = "team@vorlane.example";
constexpr auto advertisementPicture = "https://www.vorlane.example/net/vornad.gif";
constexpr auto unusedAddress = "xxx";
constexpr std::array mirrors{
    "https://www.vorlane.example/net/vornet.txt",    "https://mirror1.vorlane.example/net/vornet.txt",
    "https://mirror2.vorlane.example/net/vornet.txt", "https://mirror3.vorlane.example/net/vornet.txt",
    "https://mirror4.vorlane.example/net/vornet.txt", "https://mirror5.vorlane.example/net/vornet.txt",
};

constexpr int headerSize = 14;
constexpr int lengthFieldSize = 2;
constexpr int addressCount = 6;
constexpr int longestAddress = 99;

// The six addresses in the order of the file.
template<typename Info>
auto addressesOf(Info &info)
{
    return std::array{&info.authorPage, &info.siteAddr, &info.galleryAddr,
                      &info.authorMail, &info.adAddr,   &info.extraAddr};
}

qsizetype lengthField(const QByteArray &bytes, int index)
{
    const QByteArray field = bytes.mid(2 + index * lengthFieldSize, lengthFieldSize);
    return std::max<qsizetype>(0, cint16(fieldToNum(QString::fromLatin1(field))));
}

bool isControl(QChar c)
{
    return c.category() == QChar::Other_Control;
}

template<typename Predicate>
bool containsAny(const QString &text, Predicate predicate)
{
    return std::any_of(text.cbegin(), text.cend(), predicate);
}

constexpr QLatin1String mailtoScheme("mailto:");
constexpr QLatin1String mailSubject("?subject=Mail from VR 2.0 user");

// An address alone: whatever would add to the message or change it (a query,
// a fragment, another parameter, blanks or control characters) makes it
// something else.
bool isPlainMailAddress(const QString &address)
{
    const auto changesTheMessage = [](QChar c) {
        return isControl(c) || c.isSpace() || c == QLatin1Char('?') || c == QLatin1Char('&') || c == QLatin1Char('#');
    };
    return !address.isEmpty() && !containsAny(address, changesTheMessage);
}

} // namespace

QString authorName()
{
    return QLatin1String(teamName);
}

QStringList defaultMirrors()
{
    QStringList list;
    for (const char *mirror : mirrors)
        list.append(QLatin1String(mirror));
    return list;
}

void fillNetInfoSources(NetInfo &info, const QStringList &sources)
{
    for (int i = 0; i < NetInfo::sourceCount; ++i)
        info.netAddr[i] = i < sources.size() ? sources.at(i) : QString();
}

void setDefaultAddresses(NetInfo &info)
{
    info.authorPage = QLatin1String(teamPage);
    info.siteAddr = QLatin1String(programSite);
    info.galleryAddr = info.siteAddr;
    info.authorMail = QLatin1String(teamMail);
    info.adAddr = QLatin1String(unusedAddress);
    info.extraAddr = QLatin1String(unusedAddress);
}

NetInfo shippedNetInfo()
{
    NetInfo info;
    setDefaultAddresses(info);
    info.adAddr = QLatin1String(advertisementPicture);
    info.netVersion = validNetVersion;
    return info;
}

bool readNetInfo(const QByteArray &bytes, NetInfo &info)
{
    if (bytes.size() < headerSize)
        return false;
    NetInfo read = info;
    read.netVersion = qFromLittleEndian<qint16>(bytes.constData());
    qsizetype offset = headerSize;
    const auto addresses = addressesOf(read);
    for (int i = 0; i < addressCount; ++i) {
        const qsizetype length = lengthField(bytes, i);
        if (length > bytes.size() - offset)
            return false;
        *addresses[i] = QString::fromLatin1(bytes.mid(offset, length));
        offset += length;
    }
    info = std::move(read);
    return true;
}

bool readNetInfoFile(const QString &path, NetInfo &info)
{
    const std::optional<QByteArray> bytes = readRegularFile(path, headerSize + addressCount * longestAddress);
    return bytes && readNetInfo(*bytes, info);
}

QByteArray netInfoFileBytes(const NetInfo &info)
{
    QByteArray header(headerSize, '\0');
    qToLittleEndian<qint16>(info.netVersion, header.data());
    QByteArray strings;
    const auto addresses = addressesOf(info);
    for (int i = 0; i < addressCount; ++i) {
        const QByteArray address = addresses[i]->toLatin1().left(longestAddress);
        const QByteArray length = QByteArray::number(address.size()).rightJustified(lengthFieldSize, '0');
        header.replace(2 + i * lengthFieldSize, lengthFieldSize, length);
        strings += address;
    }
    return header + strings;
}

bool isValidNetInfoFile(const QByteArray &bytes)
{
    NetInfo whole;
    return bytes.size() > 4 && qFromLittleEndian<qint16>(bytes.constData()) == validNetVersion
        && readNetInfo(bytes, whole);
}

bool isOpenableAddress(const QString &address)
{
    if (address.startsWith(mailtoScheme, Qt::CaseInsensitive))
        return isPlainMailAddress(address.mid(mailtoScheme.size()));
    const QUrl url(address, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty()
        && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

QString mailLink(const QString &authorMail)
{
    if (!isPlainMailAddress(authorMail))
        return QString();
    return mailtoScheme + authorMail + mailSubject;
}

bool isMailLink(const QString &link)
{
    if (!link.startsWith(mailtoScheme) || !link.endsWith(mailSubject))
        return false;
    return isPlainMailAddress(link.mid(mailtoScheme.size(), link.size() - mailtoScheme.size() - mailSubject.size()));
}

} // namespace Vorlane
