// TForm7, "File URL": asks for the web address of a Flash movie. Letters typed or pasted become
// lower case; the text starts as "http://" and is kept from one use to the next.
#pragma once

#include <QDialog>

class QLineEdit;

namespace lumo::app {

class UrlDialog : public QDialog {
    Q_OBJECT
public:
    explicit UrlDialog(QWidget* parent = nullptr);
    QString text() const;

private:
    QLineEdit* m_edit = nullptr;
};

} // namespace lumo::app
