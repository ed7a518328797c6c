#include "UrlDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace lumo::app {

UrlDialog::UrlDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName("Form7");
    setWindowTitle(QStringLiteral("File URL"));
    setFixedSize(346, 104);
    auto* label = new QLabel(QStringLiteral("Add URL of Adobe Flash file"), this);
    label->move(8, 8);
    m_edit = new QLineEdit(QStringLiteral("http://"), this);
    m_edit->setObjectName("Edit1");
    m_edit->setGeometry(8, 28, 330, 24);
    connect(m_edit, &QLineEdit::textEdited, this, [this](const QString& text) {
        const QString lower = text.toLower();
        if (lower != text) {
            const int cursor = m_edit->cursorPosition();
            m_edit->setText(lower);
            m_edit->setCursorPosition(cursor);
        }
    });
    auto* ok = new QPushButton(QStringLiteral("Ok"), this);
    ok->setObjectName("Button1");
    ok->setDefault(true);
    ok->setGeometry(182, 66, 75, 25);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName("Button2");
    cancel->setGeometry(263, 66, 75, 25);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString UrlDialog::text() const
{
    // An address typed without a scheme ("127.0.0.1:8765/a.swf") is a web address, as in a browser.
    const QString typed = m_edit->text().trimmed();
    if (typed.isEmpty() || typed.contains(QStringLiteral("://")))
        return typed;
    return QStringLiteral("http://") + typed;
}

} // namespace lumo::app
