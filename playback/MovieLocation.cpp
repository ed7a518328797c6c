#include "MovieLocation.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QUrl>

namespace lumo::playback {

namespace {

bool isPictureName(const QString& path)
{
    static const QStringList pictures{"png", "jpg", "jpeg", "bmp", "gif"};
    return pictures.contains(QFileInfo(QUrl(path).path()).suffix().toLower());
}

} // namespace

bool isWebAddress(const QString& location)
{
    const QString scheme = QUrl(location).scheme();
    return scheme == "http" || scheme == "https";
}

QString localPathOf(const QString& location)
{
    const QUrl url(location);
    return url.isLocalFile() ? url.toLocalFile() : location;
}

bool hasFlashSignature(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(3);
    return head == "FWS" || head == "CWS" || head == "ZWS";
}

LocationKind classifyLocation(const QString& location)
{
    if (location.isEmpty() || location == QStringLiteral("0"))
        return LocationKind::Nothing;
    if (isWebAddress(location))
        return isPictureName(location) ? LocationKind::WebPicture : LocationKind::WebMovie;
    const QString path = localPathOf(location);
    if (hasFlashSignature(path))
        return LocationKind::Movie;
    if (isPictureName(path) && QFileInfo(path).isFile())
        return LocationKind::Picture;
    return LocationKind::Nothing;
}

} // namespace lumo::playback
