#include "HelpDocument.h"

#include "common/PathRules.h"

#include <QDir>
#include <QFile>

namespace lumo::app {

void HelpDocument::place(const QString& resource, const std::string& path)
{
    QFile carried(resource);
    if (m_services.files.exists(path) || !carried.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = carried.readAll();
    // A failure shows as the shell's failure to open it, which is said below.
    (void)m_services.files.writeFileAtomically(path, std::string_view(bytes.constData(), bytes.size()));
}

void HelpDocument::open(QWidget* owner, const std::string& listFolder)
{
    place(QStringLiteral(":/lumo/Help.chm"), joinHostPath(listFolder, "Help.chm"));
    if (m_services.shell.open("Help.chm", "", listFolder))
        return;
    if (!m_services.ask(owner, QStringLiteral("No program on this computer opens the help document Help.chm.\n\n"
                                              "Show the same help in your web browser?")))
        return;
    const std::string pages = joinHostPath(listFolder, "Help");
    m_services.files.createFolder(pages);
    for (const QString& page : QDir(QStringLiteral(":/lumo/help")).entryList(QDir::Files))
        place(QStringLiteral(":/lumo/help/") + page, joinHostPath(pages, page.toStdString()));
    const std::string index = joinHostPath(pages, "index.html");
    if (!m_services.shell.open(index))
        m_services.inform(owner, QStringLiteral("No web browser could be started either. The help is in %1.")
                                     .arg(QString::fromStdString(index)));
}

} // namespace lumo::app
