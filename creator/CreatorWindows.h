// The Creator's windows: the wizard TForm4 ("Lumo ScreenSaver - Creator", modal) and the live
// preview of the produced settings window TForm8 (resizable, 469 x 262 as designed).
#pragma once

#include <QDialog>
#include <QWidget>

namespace lumo::creator {

class CreatorWindow : public QDialog {
    Q_OBJECT
public:
    explicit CreatorWindow(QWidget* parent = nullptr);
};

class CreatorPreviewWindow : public QWidget {
    Q_OBJECT
public:
    explicit CreatorPreviewWindow(QWidget* parent = nullptr);
};

} // namespace lumo::creator
