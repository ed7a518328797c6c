#include "MovieAdder.h"

#include "common/FolderSearch.h"
#include "common/Text.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

namespace lumo::app {

MovieAdder::MovieAdder(platform::FileSystem& files, PlaylistPanel& playlist, EditorDialogs dialogs, QWidget* owner)
    : QObject(owner)
    , m_files(files)
    , m_playlist(playlist)
    , m_dialogs(std::move(dialogs))
    , m_owner(owner)
{
}

void MovieAdder::setDialogs(UrlDialog* url, SearchDialog* search)
{
    m_url = url;
    m_search = search;
    if (m_search)
        connect(m_search, &SearchDialog::cancelRequested, this, [this] { CancelSearch = true; });
}

void MovieAdder::AddFileCommand()
{
    const std::optional<QString> chosen = m_dialogs.openMovieFile(m_owner);
    if (chosen && !chosen->isEmpty())
        m_playlist.AddEntry(chosen->toStdString(), true);
}

void MovieAdder::AddFolderCommand()
{
    if (m_searching)
        return; // one search at a time
    const std::optional<QString> folder = m_dialogs.chooseFolder(m_owner);
    if (!folder)
        return;
    searchFolder(*folder);
}

void MovieAdder::searchFolder(const QString& folder)
{
    // A request left over from a search that had ended (the Creator's, say) must not stop this one.
    CancelSearch = false;
    m_searching = true;
    const auto pump = [] { QCoreApplication::processEvents(QEventLoop::AllEvents); };
    const bool ended = searchFlashFiles(m_files, folder.toStdString(),
                                        {[this](const std::string&) {
                                             if (m_search)
                                                 m_search->showFor(m_owner);
                                         },
                                         [&] {
                                             pump();
                                             return !CancelSearch;
                                         },
                                         [&](const std::string& path) {
                                             pump();
                                             m_playlist.AddEntry(path, true);
                                             pump();
                                         }});
    if (!ended)
        SRCHFAbort();
    if (m_search)
        m_search->hide();
    m_searching = false;
}

void MovieAdder::SRCHFAbort()
{
    CancelSearch = false;
    if (m_search)
        m_search->hide();
}

void MovieAdder::AddWebsiteCommand()
{
    if (!m_url || m_url->exec() != QDialog::Accepted)
        return;
    const QString text = m_url->text();
    if (!text.isEmpty() && text != QStringLiteral("http://"))
        m_playlist.AddEntry(text.toStdString(), true);
}

void MovieAdder::Addwebsite1Click()
{
    if (!m_url || m_url->exec() != QDialog::Accepted)
        return;
    const QString text = m_url->text();
    if (!text.isEmpty())
        m_playlist.AddEntry(text.toStdString(), true);
}

void MovieAdder::addOpened(const QStringList& paths)
{
    for (const QString& path : paths) {
        const QFileInfo file(path);
        if (file.isFile())
            m_playlist.AddEntry(file.absoluteFilePath().toStdString(), true);
        else
            std::fprintf(stderr, "lumo: not added, no such file: %s\n", escapedForDisplay(path.toStdString()).c_str());
    }
}

void MovieAdder::addDropped(const QStringList& paths)
{
    for (const QString& path : paths) {
        if (QFileInfo(path).isDir()) {
            if (!m_searching)
                searchFolder(path);
        } else if (isFlashFileName(QFileInfo(path).fileName().toStdString())) {
            m_playlist.AddEntry(path.toStdString(), true);
        }
    }
}

} // namespace lumo::app
