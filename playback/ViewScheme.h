// What the editor's web movie views load, served through the private URL scheme "lumo-view:" and
// never through a network port: the page and Ruffle's files from the installed view folder
// ("lumo-view://app/..."), and the one file each view is showing ("lumo-view://media/<token>/<name>"),
// by a random token handed out for that file only. Nothing else on the disk can be reached.
#pragma once

#include <QString>

class QWebEngineProfile;

namespace lumo::playback {

// Must run before the QApplication is created (prepareViewEngine does).
void registerViewScheme();

// The profile every view shares (one engine, one cache): off the record, with the scheme installed.
QWebEngineProfile* viewProfile();

// The folder holding view.html, view.js and ruffle/: $LUMO_VIEW_DIR, else share/lumo-screensaver/view
// beside the program's bin folder (or above its libexec/lumo-screensaver folder).
QString viewFolder();

// A URL for one local file, valid until it is released.
QString publishMedia(const QString& path);
void releaseMedia(const QString& url);

} // namespace lumo::playback
