// Text for a script the program runs in a movie view's page.
#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QString>

namespace lumo::playback {

// text as a JavaScript string literal (a JSON string is one).
inline QString jsString(const QString& text)
{
    const QByteArray json = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(1, json.size() - 2));
}

} // namespace lumo::playback
