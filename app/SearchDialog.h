// TForm9, "Files search": shown while a folder search runs, with an endlessly running bar and
// "Cancel". Any close of it (Cancel included) is a cancel request for the searches that listen.
#pragma once

#include <QDialog>

namespace lumo::app {

class SearchDialog : public QDialog {
    Q_OBJECT
public:
    explicit SearchDialog(QWidget* parent = nullptr);
    // Non-modal, centred on its owner; nothing happens when it is shown already.
    void showFor(QWidget* owner);

signals:
    void cancelRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
};

} // namespace lumo::app
