// The playback settings, the preview's change timer and the full-screen player, with recording views
// in place of the real ones: the calls the views receive, in order, are what these tests read.
#include "app/EditorStartup.h"
#include "app/ErrorReport.h"
#include "app/MainWindow.h"
#include "app/PlaybackControls.h"
#include "app/PlaylistPanel.h"

#include "playback/RecordingMovieView.h"
#include "app/ScreenWindow.h"
#include "support/FakeEditorServices.h"
#include "support/TempDir.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <filesystem>

#include <optional>

using namespace lumo;
using namespace lumo::app;
using Calls = QStringList;

class PlaybackTest : public QObject {
    Q_OBJECT

private:
    std::optional<test::TempDir> m_dir;
    test::FakeEditorServices m_fake;
    std::unique_ptr<EditorWindows> m_windows;

    std::string key() const { return std::string(kSettingsKey); }
    void start(EditorMode mode = EditorMode::Editor)
    {
        m_windows = std::make_unique<EditorWindows>(mode, m_fake.services());
    }
    MainWindow& main() { return *m_windows->mainWindow(); }
    ScreenWindow& screen()
    {
        return *static_cast<ScreenWindow*>(m_windows->window(EditorWindow::ScreenPlayer));
    }
    static Calls take(playback::MovieView& view)
    {
        auto& recording = static_cast<playback::RecordingMovieView&>(view);
        Calls calls;
        for (const std::string& call : std::exchange(recording.calls, {}))
            calls << QString::fromStdString(call);
        return calls;
    }
    Calls preview() { return take(main().preview()); }
    std::vector<std::uint32_t> levels() { return std::exchange(m_fake.waveOut.levels, {}); }
    template <typename T>
    T* control(const char* name)
    {
        return main().findChild<T*>(name);
    }
    // ApplyViewSettings as the controls now stand: Loop, Quality2, Scale.
    Calls settings()
    {
        const QString quality = control<QComboBox>("qua")->currentText();
        const QString scale = control<QComboBox>("scale")->currentText();
        return {QString("Loop=%1").arg(main().controls().loop() ? 1 : 0), "Quality2=" + quality, "Scale=" + scale};
    }
    QAction* action(const char* name) { return main().findChild<QAction*>(name); }

private slots:
    void init()
    {
        m_dir.emplace();
        m_fake.registry = {};
        m_fake.waveOut.levels.clear();
        m_fake.registry.setString(key(), "Path", m_dir->path());
        setErrorSink([](const QString&) {});
    }
    void cleanup()
    {
        m_windows.reset();
        setErrorSink({});
    }

    void startUpAppliesTheStoredSettingsAndTheMuteLevel()
    {
        m_fake.registry.setString(key(), "loop_Checked", "1");
        m_fake.registry.setString(key(), "mute_Checked", "1");
        m_fake.registry.setString(key(), "qua_Text", "1");
        m_fake.registry.setString(key(), "scale_Text", "2");
        start();
        // loopClick (a loaded state that differs from the design), then the creation step.
        QCOMPARE(preview(), (Calls{"Loop=1", "Quality2=", "Scale=", "Loop=1", "Quality2=High", "Scale=ExactFit"}));
        QVERIFY(action("Loop1")->isChecked());
        QVERIFY(action("High1")->isChecked() && !action("Low1")->isChecked());
        QCOMPARE(levels(), (std::vector<std::uint32_t>{0, 0}));
        QVERIFY(control<QCheckBox>("mute")->isChecked());
        QCOMPARE(control<QComboBox>("scale")->currentText(), QString("ExactFit"));
    }

    void theHandlersAndTheirMenuMirrorsFollowTheTable()
    {
        start();
        preview();
        levels();
        control<QCheckBox>("mute")->click();
        QCOMPARE(levels(), (std::vector<std::uint32_t>{0}));
        QVERIFY2(!action("Mute1")->isChecked(), "only loop and the lists' close-up bring Mute1 in line");
        const bool looped = control<QCheckBox>("loop")->isChecked();
        action("Loop1")->trigger(); // its mark toggles first, then the box follows
        QCOMPARE(control<QCheckBox>("loop")->isChecked(), !looped);
        QVERIFY(action("Mute1")->isChecked());
        QCOMPARE(preview(), settings() + settings()); // loopClick, then Loop1Click
        action("Mute1")->trigger();
        QVERIFY(!control<QCheckBox>("mute")->isChecked());
        QCOMPARE(levels(), (std::vector<std::uint32_t>{0xFE00FE00}));

        action("Low1")->trigger();
        QCOMPARE(control<QComboBox>("qua")->currentIndex(), 0);
        QVERIFY(!action("High1")->isChecked());
        QVERIFY2(action("Low1")->actionGroup() && action("Low1")->actionGroup() == action("High1")->actionGroup(),
                 "one group: the menu draws radio marks");
        action("Low1")->trigger(); // choosing the checked item leaves neither checked
        QVERIFY(!action("High1")->isChecked() && !action("Low1")->isChecked());
        QCOMPARE(control<QComboBox>("qua")->currentIndex(), 0);
        preview();
        // A user's pick in the quality list: the menu pair follows, the view gets the settings.
        emit control<QComboBox>("qua")->activated(0);
        QVERIFY(action("Low1")->isChecked());
        QCOMPARE(preview(), settings());
        QCOMPARE(settings()[1], QString("Quality2=Low"));
    }

    void aScalePickedFromTheOpenListAppliesAtOnce()
    {
        start();
        main().show();
        for (const char* name : {"scale", "qua"}) {
            auto* box = control<QComboBox>(name);
            const int pick = box->count() - 1 == box->currentIndex() ? 0 : box->count() - 1;
            preview();
            box->showPopup();
            QAbstractItemView* list = box->view();
            QVERIFY(QTest::qWaitForWindowExposed(list->window()));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(pick, 0)).center());
            QCOMPARE(box->currentIndex(), pick);
            Calls applied;
            QTRY_VERIFY2(!(applied += preview()).isEmpty(), name);
            // Every application after the pick carries it: the close-up applies what was picked.
            QCOMPARE(applied.mid(applied.size() - 3), settings());
            QCOMPARE(applied.mid(0, 3), settings());
        }
        QCOMPARE(main().controls().scaleIndex(), control<QComboBox>("scale")->currentIndex());
    }

    void theIntervalBoxAndTheChangeTimer()
    {
        start();
        main().show();
        auto* box = control<QSpinBox>("timer");
        QTimer* timer = main().changeTimer();
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, "0");
        QVERIFY2(!timer->isActive(), "an interval of 0 never ticks while the box has the focus");
        QCOMPARE(main().controls().timer(), 0);
        emit box->editingFinished();
        QCOMPARE(main().controls().timer(), 1);
        QCOMPARE(timer->interval(), 60000);
        QVERIFY(timer->isActive());

        for (const char* row : {"a.swf", "b.swf", "c.swf"})
            main().AddEntry(row, std::string(row) != "b.swf");
        QCoreApplication::processEvents();
        control<QRadioButton>("One")->click();
        preview();
        for (int i = 0; i < 4; ++i)
            main().ChangeTimerTick();
        // Rows 1, 2, 0, 1, checked or not, each through PlayInPreview.
        Calls expected;
        for (const char* movie : {"b.swf", "c.swf", "a.swf", "b.swf"})
            expected << settings() << "BackgroundColor=-1"
                     << "BGColor=" << QString("Movie=") + movie;
        QCOMPARE(preview(), expected);
        control<QRadioButton>("Play1")->click();
        main().ChangeTimerTick();
        QVERIFY(preview().isEmpty());
    }

    void thePreviewCommandHandsOverToTheFullScreenPlayerAndBack()
    {
        m_fake.registry.setString(key(), "Rnd_Checked", "1");
        m_fake.registry.setString(key(), "mute_Checked", "1");
        start();
        main().show();
        main().AddEntry("/m/a.swf", false);
        main().AddEntry("/m/b.swf", true);
        QCoreApplication::processEvents(); // a (unchecked) selected, and b with it
        preview();
        levels();
        main().findChild<QToolButton*>("barItem4")->click();
        QCOMPARE(QString::fromStdString(test::readFile(*m_dir / "PlayList.list")), QString("/m/b.swf\r\n"));
        QCOMPARE(preview(),
                 (Calls{"StopPlay", "BackgroundColor=-1", "BGColor=", "Movie=0", "BackgroundColor=-1", "BGColor="}));
        QVERIFY(screen().isVisible());
        // Play before the first movie; the selected row is unchecked, so entry 0 of the play list.
        QCOMPARE(take(screen().view()),
                 (Calls{"Play", "BackgroundColor=-1", "BGColor=", "Movie=/m/b.swf", "Quality2=High", "Loop=1",
                        "Scale=ShowAll"}));
        QCOMPARE(levels(), (std::vector<std::uint32_t>{0}));
        QCOMPARE(screen().timer()->interval(), 5 * 60000);
        QVERIFY(screen().timer()->isActive());

        QTest::keyClick(&screen(), Qt::Key_A); // key down closes
        QVERIFY(!screen().isVisible());
        QCOMPARE(take(screen().view()), (Calls{"StopPlay", "Stop", "Movie=0"}));
        QCOMPARE(preview().back(), QString("Movie=/m/a.swf")); // the main window's selected row again
        QCOMPARE(levels().back(), 0u); // the main window's mute
        QVERIFY(!screen().timer()->isActive());
    }

    void ctrlPOpensThePlayerAndOnlyTheNextKeyClosesIt()
    {
        start();
        main().show();
        QVERIFY(QTest::qWaitForWindowActive(&main()));
        QTest::keyPress(&main(), Qt::Key_P, Qt::ControlModifier);
        QVERIFY(screen().isVisible());
        // The shortcut's keys come up, and the keyboard repeats while they are held: it stays.
        QTest::keyPress(&screen(), Qt::Key_P, Qt::ControlModifier, -1);
        QKeyEvent repeated(QEvent::KeyPress, Qt::Key_P, Qt::ControlModifier, "p", true);
        QSpontaneKeyEvent::setSpontaneous(&repeated);
        QApplication::sendEvent(&screen(), &repeated);
        QTest::keyRelease(&screen(), Qt::Key_P, Qt::ControlModifier);
        QTest::keyRelease(&screen(), Qt::Key_Control);
        QVERIFY(screen().isVisible());
        QTest::keyClick(&screen(), Qt::Key_Space);
        QVERIFY(!screen().isVisible());
        // The side bar's Preview still opens it.
        main().findChild<QToolButton*>("barItem4")->click();
        QVERIFY(screen().isVisible());
        QTest::mouseClick(&screen(), Qt::LeftButton);
        QVERIFY(!screen().isVisible());
    }

    void anotherWindowTakingTheKeyboardClosesThePlayerOnceItHasSettled()
    {
        start();
        main().show();
        QWidget other;
        other.resize(200, 100);
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        // Right after showing, the player takes the keyboard back.
        screen().setSettlingTime(60000);
        main().Preview1Click();
        QVERIFY(QTest::qWaitForWindowActive(&screen()));
        other.activateWindow();
        QTRY_VERIFY(screen().isActiveWindow());
        QVERIFY(screen().isVisible());
        // Later, losing it closes the player.
        screen().setSettlingTime(0);
        other.activateWindow();
        QTRY_VERIFY(!screen().isVisible());
        // Its own activation at the next show never closes it.
        main().Preview1Click();
        QVERIFY(QTest::qWaitForWindowActive(&screen()));
        QVERIFY(screen().isVisible());
    }

    void thePlayerSaysWhatItCannotPlayAndGoesOn()
    {
        start();
        main().show();
        main().Preview1Click();
        QCOMPARE(screen().hint(), QString("No checked movies to play"));
        QTest::keyClick(&screen(), Qt::Key_Escape);
        // A timer no change interval can hold never ticks.
        m_fake.registry.setString(key(), "timer", "99999999");
        QMetaObject::invokeMethod(&screen(), [this] { screen().showFullScreen(); });
        QTRY_VERIFY(screen().isVisible());
        QVERIFY(!screen().timer()->isActive());
        QTest::keyClick(&screen(), Qt::Key_Escape);

        // A value of the wrong type: said, and the defaults play.
        main().AddEntry((m_dir->path() + "/not-a-movie.swf"), true);
        QCoreApplication::processEvents();
        test::writeFile(*m_dir / "not-a-movie.swf", "plain text");
        main().Preview1Click();
        QTest::keyClick(&screen(), Qt::Key_Escape);
        m_fake.registry.setNonString(key(), "One_Checked");
        take(screen().view());
        QMetaObject::invokeMethod(&screen(), [this] { screen().showFullScreen(); });
        QTRY_VERIFY(screen().isVisible());
        QVERIFY2(screen().hint().contains("Invalid data type for 'One_Checked'"), qPrintable(screen().hint()));
        QVERIFY2(screen().hint().contains("Cannot show " + QString::fromStdString(m_dir->path()) + "/not-a-movie.swf"),
                 qPrintable(screen().hint()));
        QCOMPARE(take(screen().view()).filter("Movie=/"), Calls{"Movie=" + QString::fromStdString(m_dir->path()) + "/not-a-movie.swf"}); // it plays all the same
        QCOMPARE(screen().timer()->interval(), 5 * 60000);
        QTest::keyClick(&screen(), Qt::Key_Escape);

        // A play list that cannot be read plays as empty, and says so.
        std::filesystem::remove(*m_dir / "PlayList.list");
        std::filesystem::create_directory(*m_dir / "PlayList.list");
        QMetaObject::invokeMethod(&screen(), [this] { screen().showFullScreen(); });
        QTRY_VERIFY(screen().isVisible());
        QVERIFY2(screen().hint().contains("PlayList.list"), qPrintable(screen().hint()));
        QVERIFY(screen().hint().contains("No checked movies to play"));
    }

    void aJitterOfFivePixelsIsToleratedAndSixClose()
    {
        start();
        main().show();
        const QPoint origin(400, 300);
        QCursor::setPos(origin);
        main().Preview1Click();
        QVERIFY(screen().isVisible());
        QTest::mouseMove(&screen(), screen().mapFromGlobal(origin + QPoint(5, -5)));
        QVERIFY(screen().isVisible());
        QTest::mouseMove(&screen(), screen().mapFromGlobal(origin + QPoint(0, 6)));
        QVERIFY(!screen().isVisible());
    }

    void screensaverModeEndsWithoutWritingAnything()
    {
        start(EditorMode::Screensaver);
        m_windows->showLeading();
        QVERIFY(screen().isVisible());
        QTest::mouseClick(&screen(), Qt::RightButton);
        QVERIFY(!screen().isVisible());
        QVERIFY(m_fake.registry.writes.empty());
        QCOMPARE(levels().back(), 0xFE00FE00u); // not muted when the main window is not showing
    }
};

QTEST_MAIN(PlaybackTest)
#include "PlaybackTest.moc"
