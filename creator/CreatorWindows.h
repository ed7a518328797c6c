// The Creator's windows: the wizard TForm4 ("Lumo ScreenSaver - Creator", modal) and the live
// preview of the produced settings window TForm8 (resizable, 469 x 262 as designed).
#pragma once

#include "formats/FileStorage.h"

#include <QDialog>
#include <QWidget>

namespace lumo::creator {

// Its storage `files` holds the player program; it is read when the window is created, set to
// extract nowhere by itself (tdNone) and to replace what it writes.
class CreatorWindow : public QDialog {
    Q_OBJECT
public:
    CreatorWindow(formats::StorageServices services, QWidget* parent = nullptr);

    formats::FileStorage& files() { return m_files; }
    // How reading the carried storage went; a damaged one is reported when a build needs it.
    const Status& filesStatus() const { return m_filesStatus; }

private:
    formats::FileStorage m_files;
    Status m_filesStatus;
};

class CreatorPreviewWindow : public QWidget {
    Q_OBJECT
public:
    explicit CreatorPreviewWindow(QWidget* parent = nullptr);
};

} // namespace lumo::creator
