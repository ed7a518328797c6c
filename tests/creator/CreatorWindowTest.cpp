// The Creator wizard driven by its object names, with answers in place of the system dialogs and
// recording views in place of the movie views; its build runs on the real player program.
#include "creator/CreatorWindow.h"
#include "creator/CreatorPreviewWindow.h"

#include "platform/fake/FakeServices.h"
#include "platform/posix/PosixFileSystem.h"
#include "playback/RecordingMovieView.h"
#include "support/SwfBytes.h"
#include "support/TempDir.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QtTest>

#include <deque>
#include <optional>

using namespace lumo;
using namespace lumo::creator;

class CreatorWindowTest : public QObject {
    Q_OBJECT

private:
    std::optional<test::TempDir> m_dir;
    platform::PosixFileSystem m_files;
    platform::FakeEnvironment m_environment;
    platform::FakeRegistry m_registry;
    platform::FakeShell m_shell;
    std::unique_ptr<CreatorPreviewWindow> m_preview;
    std::unique_ptr<CreatorWindow> m_wizard;
    std::deque<std::optional<QString>> m_files_chosen; // answers of the file dialogs, in turn
    std::optional<QString> m_url;
    QStringList m_told;
    bool m_answerYes = true;
    QList<QWidget*> m_helpAsked;

    // Records for as long as it is let, saying what the wizard shows meanwhile, until cancelled.
    struct SlowRecorder final : MovieRecorder {
        std::vector<RecordingPlan> plans;
        std::function<void()> whileRecording;
        Status record(const std::string&, const std::string& video, const RecordingPlan& plan,
                      const RecordingEvents& events) override
        {
            plans.push_back(plan);
            QElapsedTimer clock;
            clock.start();
            while (clock.elapsed() < 3000) {
                events.recorded(std::min(plan.seconds, clock.elapsed() / 1000.0));
                events.idle();
                if (whileRecording)
                    std::exchange(whileRecording, {})();
                if (events.cancelled())
                    return Error{kCancelled};
                QTest::qWait(20);
            }
            test::writeFile(video, "video");
            return {};
        }
    } m_recorder;

    CreatorServices services()
    {
        return {{m_files, m_environment, m_registry},
                m_shell,
                playback::recordingViews(),
                m_preview.get(),
                [this](QWidget* owner) { m_helpAsked << owner; },
                [this](QWidget*) { return m_url; },
                {},
                {},
                [this](QWidget*, const QString&, const QString&, bool) {
                    std::optional<QString> next;
                    if (!m_files_chosen.empty()) {
                        next = m_files_chosen.front();
                        m_files_chosen.pop_front();
                    }
                    return next;
                },
                [](QWidget*, const QString&) { return std::optional<QString>(); },
                [this](QWidget*, const QString& question) {
                    m_told << question;
                    return m_answerYes;
                },
                [this](QWidget*, const QString& text) { m_told << text; },
                [this](const QString& text) { m_told << text; },
                nullptr,
                &m_recorder};
    }
    template <typename T>
    T* get(const char* name)
    {
        return m_wizard->findChild<T*>(name);
    }
    void click(const char* name)
    {
        // With LUMO_WIZARD_SHOTS set, every page met is kept as a picture there (for the README);
        // the build's page is caught while the build lets events run.
        const QString shots = qEnvironmentVariable("LUMO_WIZARD_SHOTS");
        const auto keep
            = [this, shots] { m_wizard->grab().save(QString("%1/page%2.png").arg(shots).arg(m_wizard->page() + 1)); };
        if (!shots.isEmpty() && m_wizard->page() == 0)
            keep();
        if (!shots.isEmpty() && m_wizard->page() == 4)
            QTimer::singleShot(0, this, keep);
        get<QPushButton>(name)->click();
        if (!shots.isEmpty())
            keep();
    }
    QString title() { return get<QLabel>("Title")->text(); }
    playback::RecordingMovieView& st() { return static_cast<playback::RecordingMovieView&>(m_wizard->logoView()); }

private slots:
    void init()
    {
        m_dir.emplace();
        m_environment.variables = {{"TMPDIR", m_dir->path()}};
        m_files_chosen.clear();
        m_told.clear();
        m_answerYes = true;
        m_preview = std::make_unique<CreatorPreviewWindow>(playback::recordingViews());
        m_wizard = std::make_unique<CreatorWindow>(services());
        m_wizard->show();
    }
    void cleanup()
    {
        m_wizard.reset();
        m_preview.reset();
    }

    void thePagesFollowInOrderAndAnEmptyListStopsTheFirstStep()
    {
        // The logo view started before the wizard first reached the screen, and only then.
        QCOMPARE(st().prepared, 1);
        m_wizard->hide();
        m_wizard->show();
        QCOMPARE(st().prepared, 1);
        QVERIFY(get<QPushButton>("Next")->isDefault()); // Enter goes on
        QVERIFY(get<QPushButton>("Next")->isDefault()); // Enter goes on
        QCOMPARE(m_wizard->windowTitle(), QString("Lumo ScreenSaver - Creator"));
        QCOMPARE(m_wizard->size(), QSize(504, 383));
        QCOMPARE(title(), QString("Lumo ScreenSaver - Creator"));
        click("Next");
        QCOMPARE(title(), QString("Play settings"));
        click("Next");
        QCOMPARE(m_told, QStringList{"To continue creating the screensaver, select at least one file."});
        QCOMPARE(m_wizard->page(), 1);
        m_files_chosen = {QString("/m/a.swf")};
        click("Button1");
        m_files_chosen = {QString("/m/a.swf")};
        click("Button1");
        auto* list = get<QTreeWidget>("FL");
        QCOMPARE(list->topLevelItemCount(), 2); // the same file twice
        get<QCheckBox>("CheckBox5")->click(); // "Select all" unticked
        QCOMPARE(list->topLevelItem(0)->checkState(0), Qt::Unchecked);
        click("Next");
        QCOMPARE(title(), QString("Logo select")); // only the count matters
        QVERIFY(!get<QPushButton>("Help")->isVisible());
        click("Next");
        QCOMPARE(title(), QString("Configure dialog settings"));
        click("Back");
        QCOMPARE(title(), QString("Logo select"));
    }

    void theLogoViewLoadsAsTheButtonsSay()
    {
        m_files_chosen = {QString("/m/logo.png"), std::nullopt};
        click("Button4");
        QCOMPARE(st().movie(), std::string("/m/logo.png"));
        st().calls.clear();
        click("Button4"); // cancelled: the file chosen last time again
        QCOMPARE(st().calls, (std::vector<std::string>{"BackgroundColor=-1", "BGColor=", "LoadMovie(0,/m/logo.png)"}));
        m_url = QString("http://");
        st().calls.clear();
        click("Button6");
        QCOMPARE(st().calls, (std::vector<std::string>{"BackgroundColor=-1", "BGColor="}));
        m_url = QString("http://example.com/logo.swf");
        click("Button6");
        QCOMPARE(st().movie(), std::string("http://example.com/logo.swf"));
    }

    void quotesLeaveTheFileEditsAndAChosenPathWithSpacesKeepsNone()
    {
        auto* filed = get<QLineEdit>("filed");
        filed->setText("\"C:\\My Saver.exe\"");
        QCOMPARE(filed->text(), QString("C:\\My Saver.exe"));
        m_files_chosen = {QString("/out/My Saver.exe")};
        click("filedBrowse");
        QCOMPARE(filed->text(), QString("/out/My Saver.exe"));
        QCOMPARE(ReplaceAll("a\"\"b\"", "\"", ""), QString("ab"));
        QCOMPARE(ReplaceAll("aaa", "aa", "a"), QString("aa"));
    }

    void thePreviewAndTheSpinBoxesFollowEachOtherWithoutFeedback()
    {
        m_wizard->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_wizard.get()));
        click("Button5");
        QVERIFY(m_preview->isVisible());
        // The settings window's size is its outer size, as the produced screensaver applies it.
        QCOMPARE(m_preview->frameGeometry().size(), QSize(470, 400));
        get<QSpinBox>("he")->setValue(300);
        QCOMPARE(m_preview->frameGeometry().height(), 300);
        get<QLineEdit>("Edit2")->setText("Hello");
        QCOMPARE(m_preview->label()->text(), QString("Hello"));
        get<QCheckBox>("CheckBox1")->click();
        QVERIFY(!m_preview->mute()->isVisible());
        // The user resizes the preview: the boxes follow, the preview is not moved back.
        m_preview->resize(500, 250);
        QCOMPARE(get<QSpinBox>("we")->value(), m_preview->frameGeometry().width());
        QCOMPARE(get<QSpinBox>("he")->value(), m_preview->frameGeometry().height());
        QCOMPARE(m_preview->size(), QSize(500, 250));
    }

    void theBuildOnPageFiveMakesTheScreensaverAndFinishLaunchesIt()
    {
        test::writeFile(*m_dir / "movies/a.swf", "FWS movie");
        m_files_chosen = {QString::fromStdString(*m_dir / "movies/a.swf")};
        click("Next");
        click("Button1");
        for (int i = 0; i < 3; ++i)
            click("Next");
        QCOMPARE(title(), QString("Saving screensaver"));
        const QString product = QString::fromStdString(*m_dir / "My Saver.exe");
        m_files_chosen = {std::nullopt};
        click("Next"); // no project chosen yet: the message and the save dialog, and the page stays
        QCOMPARE(m_told, QStringList{"Please select project name and path to save"});
        QCOMPARE(title(), QString("Saving screensaver"));
        QCOMPARE(get<QLineEdit>("filed")->text(), QString()); // the cancelled dialog's empty name
        m_files_chosen = {product};
        click("filedBrowse");
        click("Next");
        QCOMPARE(title(), QString("Congratulations"));
        QVERIFY(m_wizard->projectBuilt());
        QVERIFY(QFile::exists(product));
        QVERIFY(!QFile::exists(QString::fromStdString(*m_dir / "FS")));
        QCOMPARE(get<QLabel>("Label11")->text(), QString("Creating project file..."));
        QVERIFY(!get<QPushButton>("Back")->isVisible());
        // Nothing here starts Windows programs (no Wine): the launch is said to have failed, and the
        // wizard still ends, its screensaver written.
        m_told.clear();
        m_shell.opens = false;
        click("Button7");
        QCOMPARE(m_wizard->result(), int(QDialog::Accepted));
        QCOMPARE(m_shell.calls.back().target, product.toStdString());
        QCOMPARE(m_told,
                 QStringList{QString("Your screensaver is saved as %1, but it could not be started here. "
                                     "On Linux, a Windows program starts through Wine.")
                                 .arg(product)});

        // lumo-tool create, from the same inputs, makes the same bytes.
        QDir().mkpath(QString::fromStdString(*m_dir / "tool"));
        const QString made = QString::fromStdString(*m_dir / "tool/My Saver.exe");
        QProcess tool;
        tool.setProcessEnvironment([this] {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("TMPDIR", QString::fromStdString(*m_dir / "tooltmp"));
            return env;
        }());
        QDir().mkpath(QString::fromStdString(*m_dir / "tooltmp"));
        tool.start(LUMO_TOOL,
                   {"create", "--video", "never", "-o", made, QString::fromStdString(*m_dir / "movies/a.swf")});
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 0);
        QCOMPARE(QByteArray::fromStdString(test::readFile(made.toStdString())),
                 QByteArray::fromStdString(test::readFile(product.toStdString())));
    }

    void aFailedBuildStaysOnItsPageAndATypedPathIsTaken()
    {
        test::writeFile(*m_dir / "movies/a.swf", "FWS movie");
        m_files_chosen = {QString::fromStdString(*m_dir / "movies/a.swf")};
        click("Next");
        click("Button1");
        click("Next");
        click("Next");
        get<QLineEdit>("Edit3")->setText(QString::fromUtf8("Nuit \xe6\x98\x9f")); // no Windows-1252 title
        click("Next");
        // A full path typed in an existing folder is the project path; ".exe" is added.
        const QString typed = QString::fromStdString(*m_dir / "Typed");
        get<QLineEdit>("filed")->setText(typed);
        click("Next");
        QCOMPARE(title(), QString("Compiling ScreenSaver file"));
        QCOMPARE(get<QLineEdit>("filed")->text(), typed + ".exe");
        QVERIFY(!m_wizard->projectBuilt());
        QVERIFY(!QFile::exists(typed + ".exe"));
        QVERIFY2(get<QLabel>("Label11")->text().startsWith("The screensaver was not built: The settings cannot hold"),
                 qPrintable(get<QLabel>("Label11")->text()));
        QVERIFY(!m_told.isEmpty() && m_told.last().contains("Nuit"));
        QVERIFY(!get<QPushButton>("Next")->isEnabled());
        m_wizard->next(); // nothing leads on to "Congratulations"
        QCOMPARE(m_wizard->page(), 5);
        // Back to the settings, mended, and built.
        click("Back");
        click("Back");
        get<QLineEdit>("Edit3")->setText("Nuit");
        click("Next");
        click("Next");
        QCOMPARE(title(), QString("Congratulations"));
        QVERIFY(QFile::exists(typed + ".exe"));
    }

    void theBuildRecordsVideosAsThePlayPageSaysAndCancelStopsIt()
    {
        test::writeFile(*m_dir / "movies/a.swf", test::plainSwf(320, 240, 12 << 8, 1));
        m_files_chosen = {QString::fromStdString(*m_dir / "movies/a.swf")};
        click("Next");
        click("Button1");
        auto* videos = get<QCheckBox>("Videos");
        auto* seconds = get<QSpinBox>("VideoSeconds");
        QVERIFY(videos->isVisible() && videos->isChecked());
        QCOMPARE(seconds->value(), 30);
        seconds->setValue(12);
        for (int i = 0; i < 3; ++i)
            click("Next");
        const QString product = QString::fromStdString(*m_dir / "Saver.exe");
        get<QLineEdit>("filed")->setText(product);

        // Cancel, clicked with the mouse while the movie records: the wizard stays, nothing is written.
        QString shown;
        int barMaximum = 0;
        m_recorder.whileRecording = [&] {
            shown = get<QLabel>("Label11")->text();
            barMaximum = m_wizard->findChild<QProgressBar*>()->maximum();
            auto* cancel = get<QPushButton>("Cancel");
            QVERIFY(cancel->isVisible() && cancel->isEnabled());
            QTest::mouseClick(cancel, Qt::LeftButton);
        };
        click("Next");
        QCOMPARE(shown, "Recording a video of " + QString::fromStdString(*m_dir / "movies/a.swf") + " (1 of 1)");
        QCOMPARE(barMaximum, 12000);
        QCOMPARE(m_recorder.plans.size(), size_t(1));
        QCOMPARE(m_recorder.plans[0].seconds, 12.0);
        QCOMPARE(title(), QString("Compiling ScreenSaver file"));
        QCOMPARE(get<QLabel>("Label11")->text(), QString("Cancelled: the screensaver was not built"));
        QVERIFY(!QFile::exists(product));
        QVERIFY(m_wizard->isVisible());
        QVERIFY(m_told.isEmpty());

        // Without videos the build asks the recorder nothing.
        click("Back");
        click("Back");
        click("Back");
        click("Back");
        QTest::mouseClick(videos, Qt::LeftButton, {}, QPoint(8, videos->height() / 2));
        QVERIFY(!videos->isChecked() && !seconds->isEnabled());
        for (int i = 0; i < 4; ++i)
            click("Next");
        QCOMPARE(title(), QString("Congratulations"));
        QCOMPARE(m_recorder.plans.size(), size_t(1));
        QVERIFY(QFile::exists(product));
    }

    void leavingWithoutABuildAsksFirst()
    {
        m_preview->show();
        m_answerYes = false;
        click("Cancel");
        QVERIFY(m_wizard->isVisible());
        QCOMPARE(m_told, QStringList{"Do you want to exit from Lumo ScreenSaver - Creator?"});
        m_answerYes = true;
        m_wizard->close();
        QVERIFY(!m_wizard->isVisible());
        QCOMPARE(m_wizard->result(), int(QDialog::Rejected));
        QVERIFY(!m_preview->isVisible());
        m_helpAsked.clear();
        m_wizard->show();
        m_wizard->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_wizard.get()));
        click("Help");
        QTest::keyClick(m_wizard.get(), Qt::Key_F1);
        QCOMPARE(m_helpAsked, (QList<QWidget*>{m_wizard.get(), m_wizard.get()}));
    }

    void deleteSelectedRemovesTheFirstAndSelectsTheNext()
    {
        for (const char* name : {"a", "b", "c", "d"})
            m_wizard->CheckAndAdd(name);
        auto* list = get<QTreeWidget>("FL");
        list->topLevelItem(1)->setSelected(true);
        list->topLevelItem(3)->setSelected(true);
        list->actions().front()->trigger();
        QCOMPARE(list->topLevelItemCount(), 3);
        QCOMPARE(list->topLevelItem(1)->text(0), QString("c"));
        // The first still selected was "d" (index 2); there is nothing after it.
        QVERIFY(list->topLevelItem(2)->isSelected());
        list->actions()[1]->trigger();
        QCOMPARE(list->topLevelItemCount(), 0);
    }
};

QTEST_MAIN(CreatorWindowTest)
#include "CreatorWindowTest.moc"
