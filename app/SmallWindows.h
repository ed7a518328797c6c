// The editor's small windows, created hidden at start-up and only shown and hidden afterwards:
// TForm5 (About), TForm7 ("File URL") and TForm9 ("Files search"). Their frames stand here with
// their designed captions, sizes and borders.
#pragma once

#include <QDialog>
#include <QWidget>

namespace lumo::app {

// TForm5: no border or title bar, always on top, 508 x 281.
class AboutWindow : public QWidget {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);
};

// TForm7: dialog border without system-menu buttons.
class UrlDialog : public QDialog {
    Q_OBJECT
public:
    explicit UrlDialog(QWidget* parent = nullptr);
};

// TForm9: dialog border without system-menu buttons, always on top.
class SearchDialog : public QDialog {
    Q_OBJECT
public:
    explicit SearchDialog(QWidget* parent = nullptr);
};

} // namespace lumo::app
