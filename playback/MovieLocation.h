// What a movie view makes of a location: a web address (a movie or a picture, by its name), a local
// Flash movie (by its signature FWS, CWS or ZWS, whatever its name), a local picture (.png, .jpg,
// .jpeg, .bmp, .gif), or nothing it can show.
#pragma once

#include <QString>

namespace lumo::playback {

enum class LocationKind { Nothing, Movie, Picture, WebMovie, WebPicture };

LocationKind classifyLocation(const QString& location);

// http: or https:, read from the text alone.
bool isWebAddress(const QString& location);

// The local path of a location that is no web address ("file:" URLs included).
QString localPathOf(const QString& location);

// "FWS", "CWS" or "ZWS": an uncompressed, zlib- or LZMA-compressed Flash movie.
bool hasFlashSignature(const QString& path);

} // namespace lumo::playback
