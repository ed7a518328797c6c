#include "CreatorWindows.h"

#include "PlayerCarrier.h"

namespace lumo::creator {

CreatorWindow::CreatorWindow(formats::StorageServices services, QWidget* parent)
    : QDialog(parent)
    , m_files(services)
{
    m_files.autoExtract.extractTo.toplevelDir = formats::ToplevelDir::tdNone;
    m_files.autoExtract.Overwrite = formats::FileStorageOverwrite::owAlways;
    m_filesStatus = m_files.ReadData(carriedStorage(), "the editor's player program");
    m_files.loaded();

    setObjectName("Form4");
    setWindowTitle(QStringLiteral("Lumo ScreenSaver - Creator"));
    setModal(true);
}

CreatorPreviewWindow::CreatorPreviewWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName("Form8");
    resize(469, 262);
}

} // namespace lumo::creator
