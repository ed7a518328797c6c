// TForm4, "Lumo ScreenSaver - Creator": the seven-page wizard that puts a screensaver together and
// builds it. Its state is its controls. The pages are laid out in CreatorPages.cpp; this class
// navigates, answers the pages' commands and runs the build of creator/core on page 5's Next.
#pragma once

#include "CreatorPreviewWindow.h"
#include "creator/core/MovieVideo.h"

#include "formats/FileStorage.h"
#include "platform/Shell.h"
#include "platform/WebClient.h"
#include "playback/MovieView.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedWidget;
class QTreeWidget;

namespace lumo::creator {

struct CreatorServices {
    formats::StorageServices storage;
    platform::Shell& shell;
    playback::MovieViewFactory views;
    QPointer<CreatorPreviewWindow> preview; // TForm8, which may go first when the program ends
    std::function<void(QWidget* owner)> help; // the editor's help document
    // The main window's "File URL" dialog: its text when confirmed with OK.
    std::function<std::optional<QString>(QWidget* owner)> askUrl;
    // The main window's "Files search" dialog.
    std::function<void(QWidget* owner)> showSearch;
    std::function<void()> hideSearch;
    // System dialogs: a file (save or open, with a title and a filter), a folder; questions.
    std::function<std::optional<QString>(QWidget* owner, const QString& title, const QString& filter, bool save)>
        chooseFile;
    std::function<std::optional<QString>(QWidget* owner, const QString& title)> chooseFolder;
    std::function<bool(QWidget* owner, const QString& text)> ask; // Yes / No
    std::function<void(QWidget* owner, const QString& text)> inform;
    std::function<void(const QString& text)> reportError;
    platform::WebClient* web = nullptr; // fetches the web movies a build packs
    MovieRecorder* recorder = nullptr; // records the videos a build packs beside Flash movies
};

class CreatorWindow : public QDialog {
    Q_OBJECT
public:
    explicit CreatorWindow(CreatorServices services, QWidget* parent = nullptr);
    ~CreatorWindow() override;

    formats::FileStorage& files() { return m_files; }
    const Status& filesStatus() const { return m_filesStatus; }
    int page() const;
    bool projectBuilt() const { return m_projectBuilt; }
    playback::MovieView& logoView() { return *m_st; }

    void next();
    void back();
    void CheckAndAdd(const QString& text);
    // The "Files search" dialog was closed: the wizard's own search stops at its next step.
    void requestAbort() { m_abort = true; }

protected:
    void setVisible(bool visible) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void buildHeader();
    QWidget* buildWelcomePage(const QString& text);
    QWidget* buildPlayPage();
    QWidget* buildLogoPage();
    QWidget* buildDialogPage();
    QWidget* buildSavingPage();
    QWidget* buildCompilingPage();
    QWidget* buildFinishPage();
    void showPage(int index);

    void addFile();
    void addFolder();
    void addUrl();
    void deleteSelected();
    void openLogoFile();
    void openLogoUrl();
    void geometryChanged();
    void showPreview();
    void browse(QLineEdit* edit, const QString& title, const QString& filter, bool save);
    bool build();
    bool chooseProjectPath();
    void finish();
    void help();
    bool mayLeave();

    CreatorServices m_services;
    formats::FileStorage m_files;
    Status m_filesStatus;
    bool m_projectBuilt = false;
    bool m_abort = false;
    bool m_searching = false;
    bool m_building = false;
    bool m_cancelBuild = false; // Cancel was clicked while the build ran
    QString m_savedProject; // the name the save dialog of `filed` chose last
    QString m_lastLogo; // the name the logo's open dialog chose last

    QLabel* m_title = nullptr;
    QLabel* m_subtitle = nullptr;
    QStackedWidget* m_pages = nullptr;
    QPushButton* m_back = nullptr;
    QPushButton* m_next = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_help = nullptr;
    QPushButton* m_finish = nullptr; // Button7
    // Play settings
    QTreeWidget* m_fl = nullptr;
    QRadioButton* m_play1 = nullptr;
    QRadioButton* m_rnd = nullptr;
    QRadioButton* m_one = nullptr;
    QSpinBox* m_timer = nullptr;
    QCheckBox* m_videos = nullptr;
    QSpinBox* m_videoSeconds = nullptr;
    QCheckBox* m_selectAll = nullptr;
    // Logo select
    std::unique_ptr<playback::MovieView> m_st;
    // Configure dialog settings
    QSpinBox* m_he = nullptr;
    QSpinBox* m_we = nullptr;
    QSpinBox* m_le = nullptr;
    QSpinBox* m_te = nullptr;
    QLineEdit* m_edit3 = nullptr;
    QLineEdit* m_edit2 = nullptr;
    QCheckBox* m_checkBox1 = nullptr;
    QCheckBox* m_checkBox2 = nullptr;
    QCheckBox* m_checkBox3 = nullptr;
    // Saving screensaver
    QLineEdit* m_filed = nullptr;
    QLineEdit* m_iconed = nullptr;
    QLineEdit* m_liced = nullptr;
    // Compiling, Congratulations
    QLabel* m_label11 = nullptr;
    QProgressBar* m_bar = nullptr;
    QCheckBox* m_checkBox4 = nullptr;
};

// Every occurrence of pattern replaced, scanning on after each replacement.
QString ReplaceAll(const QString& text, const QString& pattern, const QString& replacement);

} // namespace lumo::creator
