#include "EditorDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>

namespace lumo::app {

EditorDialogs EditorDialogs::system()
{
    EditorDialogs dialogs;
    dialogs.openMovieFile = [](QWidget* parent) -> std::optional<QString> {
        QFileDialog dialog(parent, QStringLiteral("Select Adobe Flash files"));
        dialog.setNameFilter(QStringLiteral("Shockwave Flash (*.swf)"));
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().front();
    };
    dialogs.chooseFolder = [](QWidget* parent) -> std::optional<QString> {
        const QString folder = QFileDialog::getExistingDirectory(
            parent, QStringLiteral("Lumo ScreenSaver - select folder to add"), QString(), QFileDialog::ShowDirsOnly);
        if (folder.isEmpty())
            return std::nullopt;
        return folder;
    };
    dialogs.closeWithoutSaving = [](QWidget* parent, const QString& message) {
        return QMessageBox::warning(parent, QStringLiteral("Lumo ScreenSaver"),
                                    message
                                        + QStringLiteral("\n\nThe playlist and the settings were not saved. "
                                                         "Close all the same and lose the changes?"),
                                    QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            == QMessageBox::Yes;
    };
    dialogs.chooseFile
        = [](QWidget* parent, const QString& title, const QString& filter, bool save) -> std::optional<QString> {
        // Each dialog starts where the last one ended; a name typed without an extension gets the
        // filter's ("Executable (*.exe)" makes "MySaver" "MySaver.exe").
        static QString lastFolder;
        QFileDialog dialog(parent, title, lastFolder, filter);
        dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        const QRegularExpressionMatch pattern = QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(filter);
        if (pattern.hasMatch())
            dialog.setDefaultSuffix(pattern.captured(1));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        const QString chosen = dialog.selectedFiles().front();
        lastFolder = QFileInfo(chosen).absolutePath();
        return chosen;
    };
    dialogs.chooseWizardFolder = [](QWidget* parent, const QString& title) -> std::optional<QString> {
        const QString folder = QFileDialog::getExistingDirectory(parent, title);
        if (folder.isEmpty())
            return std::nullopt;
        return folder;
    };
    // The program's own notices take the owning window's caption as their title.
    const auto caption = [](QWidget* parent) {
        return parent ? parent->window()->windowTitle() : QStringLiteral("Lumo ScreenSaver");
    };
    dialogs.ask = [caption](QWidget* parent, const QString& question) {
        return QMessageBox::question(parent, caption(parent), question, QMessageBox::Yes | QMessageBox::No)
            == QMessageBox::Yes;
    };
    dialogs.inform = [caption](QWidget* parent, const QString& text) {
        QMessageBox::information(parent, caption(parent), text);
    };
    return dialogs;
}

} // namespace lumo::app
