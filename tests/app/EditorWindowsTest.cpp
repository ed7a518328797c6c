// The editor's windows at start-up and close, with fake platform services and a real list folder.
#include "app/EditorStartup.h"
#include "app/ErrorReport.h"
#include "app/MainWindow.h"
#include "creator/CreatorWindow.h"
#include "app/ScreenWindow.h"

#include "support/FakeEditorServices.h"
#include "support/TempDir.h"

#include <QTimer>
#include <QtTest>

#include <optional>

using namespace lumo;
using namespace lumo::app;

class EditorWindowsTest : public QObject {
    Q_OBJECT

private:
    std::optional<test::TempDir> m_dir;
    test::FakeEditorServices m_fake;
    QStringList m_errors;

    QStringList m_closeQuestions;
    bool m_closeAnyway = false;

    EditorServices services()
    {
        EditorServices s = m_fake.services();
        s.dialogs.closeWithoutSaving = [this](QWidget*, const QString& message) {
            m_closeQuestions << message;
            return m_closeAnyway;
        };
        return s;
    }
    const std::string key() const { return std::string(kSettingsKey); }

private slots:
    void init()
    {
        m_dir.emplace();
        m_fake.registry = {};
        m_fake.waveOut.levels.clear();
        m_errors.clear();
        m_closeQuestions.clear();
        m_closeAnyway = false;
        m_fake.registry.setString(key(), "Path", m_dir->path());
        setErrorSink([this](const QString& message) { m_errors << message; });
    }

    void cleanup() { setErrorSink({}); }

    void firstRunRaisesTheLevelToFull()
    {
        MainWindow window(services());
        QCOMPARE(m_fake.waveOut.levels, (std::vector<std::uint32_t>{0xFE00FE00}));
        QCOMPARE(window.changeTimer()->interval(), 5 * 60000);
        QVERIFY(window.changeTimer()->isActive());
        QCOMPARE(window.pos(), QPoint(250, 200));
        QVERIFY(!window.findChild<QWidget*>("sfp")->isEnabled());
        QVERIFY(m_errors.isEmpty());
    }

    void storedValuesRaiseTheirHandlersAtCreation()
    {
        m_fake.registry.setString(key(), "mute_Checked", "1");
        m_fake.registry.setString(key(), "timer", "0");
        m_fake.registry.setString(key(), "Left", "10");
        m_fake.registry.setString(key(), "Top", "20");
        MainWindow window(services());
        // The mute box's handler, then the creation step that applies the loaded state.
        QCOMPARE(m_fake.waveOut.levels, (std::vector<std::uint32_t>{0, 0}));
        QCOMPARE(window.changeTimer()->interval(), 60000);
        QCOMPARE(window.pos(), QPoint(10, 20));
    }

    void anErrorSkipsTheRestOfCreation()
    {
        m_fake.registry.setNonString(key(), "scale_Text");
        m_fake.registry.setString(key(), "timer", "30");
        MainWindow window(services());
        QCOMPARE(m_errors, QStringList{"Invalid data type for 'scale_Text'"});
        QVERIFY(m_fake.waveOut.levels.empty());
        QCOMPARE(window.changeTimer()->interval(), 5 * 60000);
    }

    void theListIsReadAtTheFirstShowingOnly()
    {
        test::writeFile(*m_dir / "FileList.list", "-1;a.swf\r\n0;b.swf\r\nnoise\r\n");
        MainWindow window(services());
        QVERIFY(window.rows().empty());
        window.show();
        QCOMPARE(window.rows().size(), size_t(2));
        window.hide();
        window.show();
        QCOMPARE(window.rows().size(), size_t(2));
        QCOMPARE(window.rows()[1], (PlaylistRow{"b.swf", false}));
        window.hide();
    }

    void closingSavesEverythingThenRestoresTheLevel()
    {
        MainWindow window(services());
        window.show();
        window.AddEntry("x.swf", true);
        window.AddEntry("y.swf", false);
        window.move(33, 44);
        m_fake.waveOut.levels.clear();
        QVERIFY(window.close());
        QCOMPARE(QString::fromStdString(test::readFile(*m_dir / "FileList.list")), QString("-1;x.swf\r\n0;y.swf\r\n"));
        QCOMPARE(QString::fromStdString(test::readFile(*m_dir / "PlayList.list")), QString("x.swf\r\n"));
        QCOMPARE(m_fake.registry.writes.size(), size_t(10));
        QCOMPARE(m_fake.registry.stored(key(), "Left"), std::optional<std::string>("33"));
        QCOMPARE(m_fake.registry.stored(key(), "One_Checked"), std::optional<std::string>("1"));
        QCOMPARE(m_fake.waveOut.levels, (std::vector<std::uint32_t>{0xFE00FE00}));
    }

    void aFailedSaveAsksBeforeTheWindowCloses()
    {
        m_fake.registry.setString(key(), "Path", *m_dir / "gone");
        MainWindow window(services());
        window.show();
        window.AddEntry("precious.swf", true);
        m_fake.waveOut.levels.clear();
        QVERIFY2(!window.close(), "the user keeps the window and the playlist");
        QCOMPARE(m_closeQuestions.size(), 1);
        QVERIFY(m_closeQuestions[0].startsWith("Cannot create file \""));
        QVERIFY(window.isVisible());
        QCOMPARE(window.rows().size(), size_t(1));
        QVERIFY(m_fake.registry.writes.empty());
        QVERIFY2(m_fake.waveOut.levels.empty(), "the rest of the close handler does not run");

        m_closeAnyway = true;
        QVERIFY(window.close());
        QCOMPARE(m_closeQuestions.size(), 2);
        QVERIFY(m_errors.isEmpty());
    }

    void editorModeCreatesSevenHiddenWindowsTheMainOneLeading()
    {
        EditorWindows windows(EditorMode::Editor, services());
        QCOMPARE(windows.leading(), static_cast<QWidget*>(windows.mainWindow()));
        for (EditorWindow which : windowOrder(EditorMode::Editor)) {
            QWidget* window = windows.window(which);
            QVERIFY(window);
            QVERIFY(!window->isVisible());
            QCOMPARE(window->testAttribute(Qt::WA_QuitOnClose), window == windows.leading());
        }
        QCOMPARE(windows.window(EditorWindow::Creator)->windowTitle(), QString("Lumo ScreenSaver - Creator"));
        auto* creatorWindow = static_cast<creator::CreatorWindow*>(windows.window(EditorWindow::Creator));
        QVERIFY(creatorWindow->filesStatus().ok());
        QCOMPARE(creatorWindow->files().Count(), 1);
        QCOMPARE(creatorWindow->files().file(0).name(), std::string("tmp.z"));
        QCOMPARE(windows.window(EditorWindow::UrlDialog)->windowTitle(), QString("File URL"));
        QCOMPARE(windows.window(EditorWindow::SearchDialog)->windowTitle(), QString("Files search"));
        // Only a full-screen player that has been shown blocks a later start.
        QVERIFY(!startBlocked(m_fake.presence));
        windows.window(EditorWindow::ScreenPlayer)->show();
        QVERIFY(startBlocked(m_fake.presence));
        windows.window(EditorWindow::ScreenPlayer)->hide();
        QVERIFY2(startBlocked(m_fake.presence), "hidden, not destroyed");
    }

    void screensaverModeEndsWithoutTheMainWindowsCloseHandler()
    {
        {
            EditorWindows windows(EditorMode::Screensaver, services());
            QVERIFY(qobject_cast<ScreenWindow*>(windows.leading()));
            windows.showLeading();
            QVERIFY(windows.leading()->isVisible());
            QVERIFY(!windows.mainWindow()->isVisible());
            QVERIFY(startBlocked(m_fake.presence));
            QTest::keyClick(windows.leading(), Qt::Key_Space);
            QVERIFY(!windows.leading()->isVisible());
        }
        QVERIFY(m_fake.registry.writes.empty());
        QVERIFY(!QFile::exists(QString::fromStdString(*m_dir / "FileList.list")));
        QVERIFY(!startBlocked(m_fake.presence));
    }
};

QTEST_MAIN(EditorWindowsTest)
#include "EditorWindowsTest.moc"
