// Adding movies to the playlist: one file from the open-file dialog, every Flash movie of a folder
// tree (one search at a time, with the "Files search" dialog, the window responsive meanwhile), or a
// web address from the "File URL" dialog. Every added row is checked.
#pragma once

#include "EditorDialogs.h"
#include "PlaylistPanel.h"
#include "SearchDialog.h"
#include "UrlDialog.h"

#include "platform/FileSystem.h"

#include <QObject>

namespace lumo::app {

class MovieAdder : public QObject {
    Q_OBJECT

public:
    MovieAdder(platform::FileSystem& files, PlaylistPanel& playlist, EditorDialogs dialogs, QWidget* owner);

    void setDialogs(UrlDialog* url, SearchDialog* search);

    void AddFileCommand();
    void AddFolderCommand();
    void AddWebsiteCommand(); // side bar: neither empty nor the untouched "http://"
    void Addwebsite1Click(); // menu: anything not empty
    // Dropped from a file manager: files as they are, folders searched as "Add folder" does.
    void addDropped(const QStringList& paths);
    // Files the editor was started with (a file manager's "Open with"): each that exists becomes a
    // checked row, whatever its kind; the others are named on stderr.
    void addOpened(const QStringList& paths);

    bool searching() const { return m_searching; }
    // Set by the "Files search" dialog's close; cleared by the abort it causes and when a search starts.
    bool CancelSearch = false;

private:
    void searchFolder(const QString& folder);
    void SRCHFAbort();

    platform::FileSystem& m_files;
    PlaylistPanel& m_playlist;
    EditorDialogs m_dialogs;
    QWidget* m_owner;
    UrlDialog* m_url = nullptr;
    SearchDialog* m_search = nullptr;
    bool m_searching = false;
};

} // namespace lumo::app
