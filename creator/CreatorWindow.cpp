#include "CreatorWindow.h"

#include "PlayerCarrier.h"
#include "core/ProjectBuild.h"

#include "common/FolderSearch.h"
#include "common/Text.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QWindow>

namespace lumo::creator {

namespace {

constexpr const char* kCaption = "Lumo ScreenSaver - Creator";
enum Page { Welcome, Play, Logo, Dialog, Saving, Compiling, Congratulations };

struct PageText {
    const char* title;
    const char* subtitle;
    bool help;
};
const PageText kPages[] = {
    {"Lumo ScreenSaver - Creator",
     "Welcome to Lumo ScreenSaver - Creator. Just four easy steps and you get your own screensaver!", true},
    {"Play settings", "This is the first step. Select file(s) and how to play them, then click \"Next\"", true},
    {"Logo select", "This is your second step. Here you choose a logo for your screensaver.", false},
    {"Configure dialog settings",
     "This is your third step. Set the window's size, caption and other settings, then click \"Next\"", true},
    {"Saving screensaver",
     "This is your last step! Now choose the file name, the project icon and the license text of your project, then "
     "click \"Next\"",
     true},
    {"Compiling ScreenSaver file", "You can see progress of compiling your screensaver", true},
    {"Congratulations", "Now you can test your screensaver", true},
};

void pump()
{
    QCoreApplication::processEvents();
}

} // namespace

QString ReplaceAll(const QString& text, const QString& pattern, const QString& replacement)
{
    if (pattern.isEmpty())
        return text;
    QString out;
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(pattern); at >= 0; at = text.indexOf(pattern, from)) {
        out += text.mid(from, at - from) + replacement;
        from = at + pattern.size();
    }
    return out + text.mid(from);
}

CreatorWindow::CreatorWindow(CreatorServices services, QWidget* parent)
    : QDialog(parent)
    , m_services(std::move(services))
    , m_files(m_services.storage)
{
    m_files.autoExtract.extractTo.toplevelDir = formats::ToplevelDir::tdNone;
    m_files.autoExtract.Overwrite = formats::FileStorageOverwrite::owAlways;
    m_filesStatus = m_files.ReadData(carriedStorage(), "the editor's player program");
    m_files.loaded();

    setObjectName("Form4");
    setWindowTitle(QString::fromLatin1(kCaption));
    setModal(true);
    setFixedSize(504, 383);
    buildHeader();
    m_pages = new QStackedWidget(this);
    m_pages->setGeometry(8, 70, 488, 260);
    m_pages->addWidget(buildWelcomePage(
        QStringLiteral("The Creator makes a screensaver of your Flash movies: one program that installs itself on "
                       "Windows, with your logo, your licence and a settings window of your own.")));
    m_pages->addWidget(buildPlayPage());
    m_pages->addWidget(buildLogoPage());
    m_pages->addWidget(buildDialogPage());
    m_pages->addWidget(buildSavingPage());
    m_pages->addWidget(buildCompilingPage());
    m_pages->addWidget(buildFinishPage());

    m_back = new QPushButton(QStringLiteral("< &Back"), this);
    m_next = new QPushButton(QStringLiteral("&Next >"), this);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_help = new QPushButton(QStringLiteral("&Help"), this);
    m_finish = new QPushButton(QStringLiteral("Finish"), this);
    m_back->setObjectName("Back");
    m_next->setObjectName("Next");
    m_cancel->setObjectName("Cancel");
    m_help->setObjectName("Help");
    m_finish->setObjectName("Button7");
    m_back->setGeometry(180, 346, 75, 25);
    m_next->setGeometry(258, 346, 75, 25);
    m_finish->setGeometry(258, 346, 75, 25);
    m_cancel->setGeometry(340, 346, 75, 25);
    m_help->setGeometry(421, 346, 75, 25);
    // Enter means Next (Finish on the last page), never whichever button happens to be first.
    for (QPushButton* b : findChildren<QPushButton*>())
        b->setAutoDefault(false);
    m_next->setDefault(true);
    connect(m_back, &QPushButton::clicked, this, &CreatorWindow::back);
    connect(m_next, &QPushButton::clicked, this, &CreatorWindow::next);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::close);
    connect(m_help, &QPushButton::clicked, this, &CreatorWindow::help);
    // The window's own help request, on every page.
    auto* helpKey = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(helpKey, &QShortcut::activated, this, &CreatorWindow::help);
    connect(m_finish, &QPushButton::clicked, this, &CreatorWindow::finish);

    if (m_services.preview) {
        CreatorPreviewWindow* preview = m_services.preview.data();
        preview->userMovedOrResized = [this](const QRect& g) {
            // Written to the spin boxes without moving the preview back: no feedback.
            for (auto [box, value] : {std::pair{m_we, g.width()}, {m_he, g.height()}, {m_te, g.y()}, {m_le, g.x()}}) {
                const QSignalBlocker quiet(box);
                box->setValue(value);
            }
        };
        connect(m_edit2, &QLineEdit::textChanged, preview, [preview](const QString& text) {
            preview->label()->setText(text);
            preview->label()->adjustSize();
        });
        connect(m_edit3, &QLineEdit::textChanged, preview, &QWidget::setWindowTitle);
        connect(m_checkBox1, &QCheckBox::clicked, preview,
                [this, preview] { preview->mute()->setVisible(m_checkBox1->isChecked()); });
        connect(m_checkBox2, &QCheckBox::clicked, preview,
                [this, preview] { preview->label()->setVisible(m_checkBox2->isChecked()); });
    }
    showPage(Welcome);
}

CreatorWindow::~CreatorWindow()
{
    if (m_services.preview)
        m_services.preview->userMovedOrResized = nullptr;
    (void)m_st.release(); // a child widget of its page
}

void CreatorWindow::buildHeader()
{
    auto* header = new QWidget(this);
    header->setGeometry(0, 0, 504, 62);
    header->setAutoFillBackground(true);
    QPalette white = header->palette();
    white.setColor(QPalette::Window, Qt::white);
    header->setPalette(white);
    m_title = new QLabel(header);
    m_title->setObjectName("Title");
    QFont bold = m_title->font();
    bold.setBold(true);
    bold.setPixelSize(16);
    m_title->setFont(bold);
    m_title->setGeometry(12, 6, 480, 22);
    m_subtitle = new QLabel(header);
    m_subtitle->setObjectName("Subtitle");
    QFont small = m_subtitle->font();
    small.setPixelSize(11);
    m_subtitle->setFont(small);
    m_subtitle->setWordWrap(true);
    m_subtitle->setGeometry(24, 28, 470, 32);
}

int CreatorWindow::page() const
{
    return m_pages->currentIndex();
}

void CreatorWindow::showPage(int index)
{
    m_pages->setCurrentIndex(index);
    m_title->setText(QString::fromLatin1(kPages[index].title));
    m_subtitle->setText(QString::fromLatin1(kPages[index].subtitle));
    const bool last = index == Congratulations;
    m_back->setVisible(!last);
    m_next->setVisible(!last);
    m_cancel->setVisible(!last);
    m_finish->setVisible(last);
    (last ? m_finish : m_next)->setDefault(true);
    m_help->setVisible(kPages[index].help);
    // Navigation waits while a build runs; from the build's page only a finished build goes on.
    m_back->setEnabled(!m_building && index > Welcome);
    m_next->setEnabled(!m_building && (index != Compiling || m_projectBuilt));
    // Cancel stays: it stops a build, which may record movies for minutes.
    m_cancel->setEnabled(!m_building || !m_cancelBuild);
}

void CreatorWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        m_projectBuilt = false;
        showPage(Welcome);
        if (parentWidget())
            move(parentWidget()->frameGeometry().center() - QPoint(width() / 2, height() / 2));
    }
}

void CreatorWindow::next()
{
    switch (page()) {
    case Play:
        if (m_fl->topLevelItemCount() == 0) {
            m_services.inform(this, QStringLiteral("To continue creating the screensaver, select at least one file."));
            return;
        }
        break;
    case Saving:
        build();
        return;
    case Compiling:
        if (!m_projectBuilt)
            return;
        break;
    case Congratulations:
        return;
    default:
        break;
    }
    showPage(page() + 1);
}

void CreatorWindow::back()
{
    if (page() > Welcome && page() < Congratulations)
        showPage(page() - 1);
}

void CreatorWindow::CheckAndAdd(const QString& text)
{
    auto* item = new QTreeWidgetItem(m_fl, {text});
    item->setCheckState(0, Qt::Checked);
}

void CreatorWindow::addFile()
{
    const std::optional<QString> chosen = m_services.chooseFile(this, QStringLiteral("Select Macromedia Flash files"),
                                                                QStringLiteral("Shockwave Flash (*.swf)"), false);
    if (chosen && !chosen->isEmpty())
        CheckAndAdd(*chosen);
}

void CreatorWindow::addFolder()
{
    if (m_searching)
        return; // one search at a time
    const std::optional<QString> folder = m_services.chooseFolder(this, QStringLiteral("Select folder to add"));
    if (!folder)
        return;
    m_searching = true;
    // A request left over from another search must not stop this one.
    m_abort = false;
    const bool ended = searchFlashFiles(m_services.storage.files, folder->toStdString(),
                                        {[this](const std::string&) {
                                             if (m_services.showSearch)
                                                 m_services.showSearch(this);
                                         },
                                         [this] {
                                             pump();
                                             return !m_abort;
                                         },
                                         [this](const std::string& path) {
                                             pump();
                                             CheckAndAdd(QString::fromStdString(path));
                                             pump();
                                         }});
    if (!ended)
        m_abort = false;
    if (m_services.hideSearch)
        m_services.hideSearch();
    m_searching = false;
}

void CreatorWindow::addUrl()
{
    const std::optional<QString> text = m_services.askUrl(this);
    if (text && !text->isEmpty())
        CheckAndAdd(*text);
}

void CreatorWindow::deleteSelected()
{
    QList<int> selected;
    for (QTreeWidgetItem* item : m_fl->selectedItems())
        selected << m_fl->indexOfTopLevelItem(item);
    if (selected.isEmpty())
        return;
    std::sort(selected.begin(), selected.end());
    delete m_fl->takeTopLevelItem(selected.front());
    int first = -1;
    for (int i = 0; i < m_fl->topLevelItemCount(); ++i)
        if (m_fl->topLevelItem(i)->isSelected()) {
            first = i;
            break;
        }
    if (first + 1 < m_fl->topLevelItemCount()) {
        m_fl->clearSelection();
        QTreeWidgetItem* next = m_fl->topLevelItem(first + 1);
        next->setSelected(true);
        m_fl->setCurrentItem(next);
    }
}

void CreatorWindow::openLogoFile()
{
    const std::optional<QString> chosen = m_services.chooseFile(
        this, QStringLiteral("Open"),
        QStringLiteral("All support formats (*.swf *.png *.jpg *.bmp);;Bitmap (*.bmp);;JPEG (*.jpg);;PNG (*.png)"),
        false);
    if (chosen && !chosen->isEmpty())
        m_lastLogo = *chosen;
    m_st->setBackgroundColor(-1);
    m_st->setBGColor("");
    // A cancelled dialog reloads the file chosen last time.
    if (!m_lastLogo.isEmpty())
        m_st->loadMovie(0, m_lastLogo.toStdString());
}

void CreatorWindow::openLogoUrl()
{
    m_st->setBackgroundColor(-1);
    m_st->setBGColor("");
    const std::optional<QString> text = m_services.askUrl(this);
    if (text && !text->isEmpty() && *text != QStringLiteral("http://"))
        m_st->loadMovie(0, text->toStdString());
}

void CreatorWindow::geometryChanged()
{
    // Only while the wizard is the active window: a change that comes from the preview's own
    // resizing never moves it back.
    if (!m_services.preview || !isActiveWindow())
        return;
    m_services.preview->applyGeometry(QRect(m_le->value(), m_te->value(), m_we->value(), m_he->value()));
}

void CreatorWindow::showPreview()
{
    CreatorPreviewWindow* preview = m_services.preview.data();
    if (!preview)
        return;
    preview->label()->setText(m_edit2->text());
    preview->label()->adjustSize();
    preview->setWindowTitle(m_edit3->text());
    preview->view().loadMovie(0, m_st->movie());
    // A window of the modal wizard's own, so it takes input while the wizard is open.
    preview->winId();
    if (QWindow* wizard = windowHandle())
        preview->windowHandle()->setTransientParent(wizard);
    preview->show();
    // Once shown, its frame is known: the size given is the outer one.
    preview->applyGeometry(QRect(m_le->value(), m_te->value(), m_we->value(), m_he->value()));
}

void CreatorWindow::browse(QLineEdit* edit, const QString& title, const QString& filter, bool save)
{
    const std::optional<QString> chosen = m_services.chooseFile(this, title, filter, save);
    if (!chosen || chosen->isEmpty())
        return;
    if (save)
        m_savedProject = *chosen;
    edit->setText(chosen->contains(' ') ? '"' + *chosen + '"' : *chosen);
}

bool CreatorWindow::chooseProjectPath()
{
    // A full path typed into the edit, in a folder that exists, is as good as one chosen.
    const QString typed = m_filed->text();
    if (m_savedProject.isEmpty() && QDir::isAbsolutePath(typed) && QFileInfo(typed).absoluteDir().exists()
        && !QFileInfo(typed).fileName().isEmpty())
        m_savedProject = typed;
    if (m_savedProject.isEmpty()) {
        m_services.inform(this, QStringLiteral("Please select project name and path to save"));
        const std::optional<QString> chosen = m_services.chooseFile(this, QStringLiteral("Save project as"),
                                                                    QStringLiteral("Executable (*.exe)"), true);
        if (chosen && !chosen->isEmpty())
            m_savedProject = *chosen;
        // Whatever the dialog returned: the name it holds, empty when none was ever chosen.
        m_filed->setText(m_savedProject.contains(' ') ? '"' + m_savedProject + '"' : m_savedProject);
        return false;
    }
    // Windows starts a program by its extension: a name without ".exe" would never install.
    if (!m_filed->text().endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive))
        m_filed->setText(m_filed->text() + QStringLiteral(".exe"));
    return true;
}

bool CreatorWindow::build()
{
    if (!chooseProjectPath())
        return false;
    m_building = true;
    m_cancelBuild = false;
    m_label11->clear();
    showPage(Compiling);
    BuildRequest request;
    for (int i = 0; i < m_fl->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = m_fl->topLevelItem(i);
        request.items.push_back({item->text(0).toStdString(), item->checkState(0) == Qt::Checked});
    }
    request.logo = m_st->movie();
    ProjectSettings& s = request.settings;
    s.mode = m_rnd->isChecked() ? PlayMode::Round : m_one->isChecked() ? PlayMode::OneByOne : PlayMode::Play;
    s.interval = m_timer->value();
    s.height = m_he->value();
    s.width = m_we->value();
    s.left = m_le->value();
    s.top = m_te->value();
    s.title = m_edit3->text().toStdString();
    s.showMute = m_checkBox1->isChecked();
    s.muteOn = m_checkBox3->isChecked();
    s.showText = m_checkBox2->isChecked();
    s.text = m_edit2->text().toStdString();
    request.projectPath = m_filed->text().toStdString();
    request.iconFile = m_iconed->text().toStdString();
    request.licenceFile = m_liced->text().toStdString();
    request.videos = m_videos->isChecked();
    request.videoSeconds = m_videoSeconds->value();

    BuildEvents events;
    events.status = [this](const std::string& text) { m_label11->setText(QString::fromStdString(text)); };
    events.barPosition = [this](int position) { m_bar->setValue(position); };
    events.archiveProgress = [this](std::int32_t position, std::int32_t total) {
        m_bar->setMaximum(total);
        m_bar->setValue(position);
    };
    events.processEvents = pump;
    events.cancelled = [this] { return m_cancelBuild; };
    BuildServices services{m_services.storage.files, m_services.storage.environment, m_files, m_services.web,
                           m_services.recorder};
    Result<BuildReport> built
        = m_filesStatus ? buildProject(services, request, events) : Result<BuildReport>(m_filesStatus.error());
    m_building = false;
    if (!built && built.message() == kCancelled) {
        showPage(Compiling);
        m_label11->setText(QStringLiteral("Cancelled: the screensaver was not built"));
        return false;
    }
    if (!built) {
        // Nothing was written: the page stays with the error, Back leads to the settings again,
        // and there is no way on to "Congratulations".
        showPage(Compiling);
        m_label11->setText(QStringLiteral("The screensaver was not built: ")
                           + QString::fromStdString(escapedForDisplay(built.message())));
        m_services.reportError(QString::fromStdString(escapedForDisplay(built.message())));
        return false;
    }
    m_projectBuilt = true;
    QString told;
    for (const auto& [heading, lines] :
         {std::pair{"The screensaver was built without these files:", &built->notCopied},
          {"These files were renamed for Windows:", &built->renamed},
          {"These movies have no video for Windows without Flash (they show a still picture there):",
           &built->notRecorded}}) {
        if (lines->empty())
            continue;
        told += (told.isEmpty() ? "" : "\n\n") + QString::fromLatin1(heading);
        for (const std::string& line : *lines)
            told += "\n" + QString::fromStdString(escapedForDisplay(line));
    }
    if (!told.isEmpty())
        m_services.inform(this, told);
    showPage(Congratulations);
    return true;
}

void CreatorWindow::finish()
{
    // The screensaver is written either way; a launch that could not happen is said, not skipped.
    const std::string product = m_filed->text().toStdString();
    if (m_checkBox4->isChecked() && !m_services.shell.open(product))
        m_services.inform(this,
                          QStringLiteral("Your screensaver is saved as %1, but it could not be started here. "
                                         "On Linux, a Windows program starts through Wine.")
                              .arg(QString::fromStdString(escapedForDisplay(product))));
    accept();
}

void CreatorWindow::help()
{
    if (m_services.help)
        m_services.help(this);
}

bool CreatorWindow::mayLeave()
{
    if (m_building) {
        // A build runs: it is stopped at its next step and writes nothing; the wizard stays.
        m_cancelBuild = true;
        m_cancel->setEnabled(false);
        m_label11->setText(QStringLiteral("Cancelling..."));
        return false;
    }
    if (m_projectBuilt)
        return true;
    if (!m_services.ask(this, QStringLiteral("Do you want to exit from Lumo ScreenSaver - Creator?")))
        return false;
    if (m_services.preview)
        m_services.preview->hide();
    return true;
}

void CreatorWindow::closeEvent(QCloseEvent* event)
{
    // Cancel and the close box: the question first; closing means the result "cancelled".
    event->ignore();
    if (mayLeave())
        QDialog::reject();
}

void CreatorWindow::reject()
{
    if (mayLeave()) // Escape asks as the close box does
        QDialog::reject();
}

void CreatorWindow::setVisible(bool visible)
{
    playback::prepareBeforeFirstShow(*this, *m_st, visible);
    QDialog::setVisible(visible);
}

} // namespace lumo::creator
