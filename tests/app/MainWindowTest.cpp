// The main window driven by its object names, with answers in place of the system dialogs and a
// recording movie view in the preview.
#include "app/MainWindow.h"
#include "app/AboutWindow.h"
#include "app/EditorStartup.h"
#include "app/ErrorReport.h"
#include "app/MovieAdder.h"
#include "app/SearchDialog.h"
#include "app/UrlDialog.h"
#include "creator/CreatorWindow.h"

#include "playback/RecordingMovieView.h"
#include "support/FakeEditorServices.h"
#include "support/TempDir.h"

#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>
#include <QtTest>

#include <optional>

using namespace lumo;
using namespace lumo::app;

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    std::optional<test::TempDir> m_dir;
    test::FakeEditorServices m_fake;
    QStringList m_errors;
    std::optional<QString> m_chosenFile;
    std::optional<QString> m_chosenFolder;
    int m_folderAsked = 0;
    QStringList m_told; // questions and notices, in turn
    bool m_answer = true;
    std::unique_ptr<EditorWindows> m_windows;

    EditorServices services()
    {
        EditorServices s = m_fake.services();
        s.dialogs.openMovieFile = [this](QWidget*) { return m_chosenFile; };
        s.dialogs.chooseFolder = [this](QWidget*) {
            ++m_folderAsked;
            return m_chosenFolder;
        };
        s.dialogs.chooseWizardFolder = [this](QWidget*, const QString&) { return m_chosenFolder; };
        s.dialogs.ask = [this](QWidget*, const QString& question) {
            m_told << question;
            return m_answer;
        };
        s.dialogs.inform = [this](QWidget*, const QString& text) { m_told << text; };
        return s;
    }
    MainWindow& main() { return *m_windows->mainWindow(); }
    playback::RecordingMovieView& view() { return static_cast<playback::RecordingMovieView&>(main().preview()); }
    QStringList texts()
    {
        QStringList out;
        for (const PlaylistRow& r : main().rows())
            out << QString::fromStdString(r.text) + (r.checked ? "" : " (off)");
        return out;
    }
    QList<int> selected() { return main().playlist().FL()->selectedRows(); }
    // The movies the preview was asked to show since the last call.
    QStringList played()
    {
        QStringList out;
        for (const std::string& call : view().calls)
            if (call.rfind("Movie=", 0) == 0)
                out << QString::fromStdString(call.substr(6));
        view().calls.clear();
        return out;
    }
    // Rows "text" (checked) or "text (off)"; nothing selected afterwards.
    void fill(const QStringList& rows)
    {
        for (QString row : rows) {
            const bool off = row.endsWith(" (off)");
            row.chop(off ? 6 : 0);
            main().AddEntry(row.toStdString(), !off);
        }
        QCoreApplication::processEvents();
        // Quietly: a deselected unchecked row would advance the selection again.
        QItemSelectionModel* selection = main().playlist().FL()->selectionModel();
        selection->blockSignals(true);
        selection->clearSelection();
        selection->blockSignals(false);
        played();
    }
    void select(int row)
    {
        QTableView* fl = main().playlist().FL();
        fl->selectionModel()->select(fl->model()->index(row, 0),
                                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    QPoint checkBoxOf(int row)
    {
        QTableView* fl = main().playlist().FL();
        const QRect cell = fl->visualRect(fl->model()->index(row, 0));
        return QPoint(cell.left() + 10, cell.center().y());
    }
    // A click as the window system delivers it: a window that a modal one blocks never gets it.
    static void clickOn(QWidget* widget)
    {
        QWidget* window = widget->window();
        QVERIFY(window->windowHandle());
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, widget->mapTo(window, widget->rect().center()));
    }
    // Answers the next modal dialog: types into the "File URL" edit, then Ok or Cancel.
    void answerUrl(const QString& typed, bool ok, bool clearFirst = true)
    {
        QTimer::singleShot(0, this, [=] {
            auto* dialog = qobject_cast<UrlDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto* edit = dialog->findChild<QLineEdit*>("Edit1");
            if (clearFirst)
                edit->clear();
            QTest::keyClicks(edit, typed);
            dialog->findChild<QPushButton*>(ok ? "Button1" : "Button2")->click();
        });
    }

private slots:
    void init()
    {
        m_dir.emplace();
        m_fake.registry = {};
        m_errors.clear();
        m_chosenFile.reset();
        m_chosenFolder.reset();
        m_told.clear();
        m_answer = true;
        m_fake.shell = {};
        m_fake.registry.setString(std::string(kSettingsKey), "Path", m_dir->path());
        setErrorSink([this](const QString& message) { m_errors << message; });
        m_windows = std::make_unique<EditorWindows>(EditorMode::Editor, services());
        main().show();
        QCoreApplication::processEvents();
    }

    void cleanup()
    {
        m_windows.reset();
        setErrorSink({});
    }

    void theLayoutHasItsDesignedParts()
    {
        QCOMPARE(main().centralWidget()->size(), QSize(685, 476));
        QCOMPARE(main().windowTitle(), QString("Lumo ScreenSaver v1.0"));
        const QStringList captions{"Open or add file", "Add folder", "Create ScreenSaver", "Preview", "Add website"};
        for (int i = 1; i <= 5; ++i)
            QCOMPARE(main().findChild<QToolButton*>(QString("barItem%1").arg(i))->text(), captions[i - 1]);
        QCOMPARE(main().findChild<QToolButton*>("barItem2")->toolTip(),
                 QString("Scan and add Flash files to playlist"));
        QCOMPARE(main().playlist().FL()->size(), QSize(305, 209));
        QCOMPARE(main().playlist().FL()->model()->headerData(0, Qt::Horizontal).toString(), QString("File Name"));
        QCOMPARE(main().findChild<QAction*>("Clearfilelist1")->shortcut(), QKeySequence("Ctrl+Del"));
        QCOMPARE(main().findChild<QAction*>("Help2")->shortcut(), QKeySequence(Qt::Key_F1));
        fill({"a.swf", "b.swf"});
        auto* model = main().playlist().FL()->model();
        QCOMPARE(model->index(0, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(Qt::white));
        QCOMPARE(model->index(1, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(192, 220, 192));
    }

    void hoveringAMoviesRowTellsItsSizeRateFramesAndVersion()
    {
        const std::string movie = *m_dir / "card.swf";
        test::writeFile(movie,
                        std::string("FWS\x0a\x19\x00\x00\x00\x78\x00\x03\x20\x00\x00\x09\x60\x00\x00"
                                    "\x0c\x01\x00\x40\x00\x00\x00",
                                    25)); // 320 x 240 at 12 fps, one frame
        test::writeFile(*m_dir / "fake.swf", "FWS"); // a signature and nothing more
        fill({QString::fromStdString(movie), QString::fromStdString(*m_dir / "fake.swf"), "http://example.com/a.swf"});
        main().show();
        QTableView* fl = main().playlist().FL();
        const QStringList expected{QString::fromStdString(movie)
                                       + QString::fromUtf8("\n320 \u00d7 240, 12 fps, 1 frames "
                                                           "(0.1 s), Flash 10"),
                                   QString::fromStdString(*m_dir / "fake.swf")
                                       + "\nCannot read the movie's header: the header is cut short",
                                   "http://example.com/a.swf"};
        for (int row = 0; row < 3; ++row) {
            const QPoint at = fl->visualRect(fl->model()->index(row, 0)).center();
            QHelpEvent hover(QEvent::ToolTip, at, fl->viewport()->mapToGlobal(at));
            QApplication::sendEvent(fl->viewport(), &hover);
            QTRY_VERIFY(QToolTip::isVisible());
            QCOMPARE(QToolTip::text(), expected[row]);
            QToolTip::hideText();
        }
    }

    void theFirstRowAddedIsSelectedAndPlaysOncePendingEventsRun()
    {
        m_chosenFile = "/movies/first.swf";
        main().findChild<QToolButton*>("barItem1")->click();
        QCOMPARE(texts(), QStringList{"/movies/first.swf"});
        QVERIFY(selected().isEmpty());
        QCoreApplication::processEvents();
        QCOMPARE(selected(), QList<int>{0});
        QCOMPARE(played(), QStringList{"/movies/first.swf"});
        main().findChild<QAction*>("Openoraddfiles1")->trigger();
        QCOMPARE(texts(), (QStringList{"/movies/first.swf", "/movies/first.swf"})); // duplicates are allowed
        m_chosenFile.reset();
        main().findChild<QAction*>("Openoraddfiles1")->trigger();
        QCOMPARE(texts().size(), 2);
    }

    void movingKeepsTheDesignedResults()
    {
        fill({"a", "b", "c (off)"});
        main().playlist().Button3Click(); // nothing selected: nothing moves
        main().playlist().Button4Click();
        select(1);
        played();
        main().findChild<QPushButton*>("Button4")->click();
        QCOMPARE(texts(), (QStringList{"a", "c (off)", "b"}));
        QVERIFY(selected().contains(2));
        QCOMPARE(played(), QStringList{"b"}); // the moved row is selected and, being checked, plays
        select(2);
        main().playlist().Button4Click();
        QCOMPARE(texts(), (QStringList{"a", "c (off)", "b"})); // the last row stays last
        select(0);
        main().findChild<QPushButton*>("Button3")->click();
        QCOMPARE(texts(), (QStringList{"a", "c (off)", "b"})); // the first row stays first
        select(2);
        main().playlist().Button3Click();
        QCOMPARE(texts(), (QStringList{"a", "b", "c (off)"}));
    }

    void deletingAdvancesTheSelectionAndBlanksAnEmptyList()
    {
        fill({"a (off)", "b", "c"});
        main().playlist().N2Click();
        QCOMPARE(texts().size(), 3); // nothing selected: nothing deleted
        select(2);
        played();
        main().findChild<QAction*>("Deleteselected1")->trigger();
        QCOMPARE(texts(), (QStringList{"a (off)", "b"}));
        QCOMPARE(selected(), (QList<int>{0, 1})); // the unchecked first row brings the second
        QCOMPARE(played(), QStringList{"b"});
        main().findChild<QAction*>("Clearfilelist1")->trigger();
        QVERIFY(texts().isEmpty());
        QCOMPARE(view().calls, (std::vector<std::string>{"StopPlay", "BackgroundColor=-1", "BGColor=", "Movie=0"}));
    }

    void aCheckBoxReleasedWithTheMousePlaysOrBlanks()
    {
        fill({"a", "b (off)"});
        QTableView* fl = main().playlist().FL();
        select(0);
        played();
        QTest::mouseClick(fl->viewport(), Qt::LeftButton, {}, checkBoxOf(1));
        QVERIFY(main().rows()[1].checked);
        QVERIFY(selected().contains(1));
        // Selecting it plays it (FLSelectItem), then the release handler plays it once more.
        QCOMPARE(played(), (QStringList{"b", "b"}));
        QTest::mouseClick(fl->viewport(), Qt::LeftButton, {}, checkBoxOf(1));
        QVERIFY(!main().rows()[1].checked);
        QCOMPARE(played().last(), QString("0"));
        // The space bar toggles the mark and nothing else.
        fl->setCurrentIndex(fl->model()->index(0, 0));
        played();
        const QList<int> before = selected();
        QTest::keyClick(fl, Qt::Key_Space);
        QVERIFY(!main().rows()[0].checked);
        QCOMPARE(selected(), before);
        QVERIFY(played().isEmpty());
    }

    void clickingOrArrowingToARowPlaysThatRowLast()
    {
        fill({"a", "b", "c (off)", "d", "e"});
        QTableView* fl = main().playlist().FL();
        const auto clickRow = [&](int row) {
            const QRect cell = fl->visualRect(fl->model()->index(row, 0));
            QTest::mouseClick(fl->viewport(), Qt::LeftButton, {}, QPoint(cell.right() - 20, cell.center().y()));
        };
        clickRow(0);
        QCOMPARE(played().last(), QString("a"));
        clickRow(1); // from a checked row to a checked row
        QCOMPARE(played().last(), QString("b"));
        QCOMPARE(selected(), QList<int>{1});
        fl->setFocus();
        QTest::keyClick(fl, Qt::Key_Up);
        QCOMPARE(played().last(), QString("a"));
        QTest::keyClick(fl, Qt::Key_Down);
        QCOMPARE(played().last(), QString("b"));
        // An unchecked row brings the next one into the selection, which plays.
        QTest::keyClick(fl, Qt::Key_Down);
        QCOMPARE(selected(), (QList<int>{2, 3}));
        QCOMPARE(played().last(), QString("d"));
        // Leaving the unchecked row brings no other row along.
        clickRow(4);
        QCOMPARE(selected(), QList<int>{4});
        QCOMPARE(played().last(), QString("e"));
        // A check box that adds its row to the selection plays that row last.
        QTest::mouseClick(fl->viewport(), Qt::LeftButton, {}, checkBoxOf(2));
        QVERIFY(main().rows()[2].checked);
        QCOMPARE(played().last(), QString("c"));
    }

    void headerClicksSortAlternatelyAndCtrlCCopies()
    {
        fill({"10 b.swf", "9 a.swf", "Z.swf", "a.swf"});
        QHeaderView* header = main().playlist().FL()->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionSize(0) / 2, 5));
        QCOMPARE(texts(), (QStringList{"9 a.swf", "10 b.swf", "Z.swf", "a.swf"}));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionSize(0) / 2, 5));
        QCOMPARE(texts(), (QStringList{"a.swf", "Z.swf", "10 b.swf", "9 a.swf"}));

        QTableView* fl = main().playlist().FL();
        fl->clearSelection();
        QTest::keyClick(fl, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(),
                 QString("File Name\t\r\na.swf\r\nZ.swf\r\n10 b.swf\r\n9 a.swf\r\n"));
        fl->selectionModel()->select(fl->model()->index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        fl->selectionModel()->select(fl->model()->index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QTest::keyClick(fl, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QString("File Name\t\r\na.swf\r\n10 b.swf\r\n"));
    }

    void webAddressesFollowTheirVariantsRules()
    {
        answerUrl("HTTP://Example.COM/A.SWF", true);
        main().findChild<QToolButton*>("barItem5")->click();
        QCOMPARE(texts(), QStringList{"http://example.com/a.swf"}); // typed capitals become lower case
        answerUrl("http://", true);
        main().adder().AddWebsiteCommand();
        QCOMPARE(texts().size(), 1); // the side bar adds nothing for the untouched text
        answerUrl("http://", true);
        main().findChild<QAction*>("Addwebsite1")->trigger();
        QCOMPARE(texts().last(), QString("http://")); // the menu adds it
        answerUrl("kept", false);
        main().adder().Addwebsite1Click();
        QCOMPARE(texts().size(), 2);
        answerUrl("", true, false);
        main().adder().Addwebsite1Click();
        // The text is kept from one use to the next; typed without a scheme, it is a web address.
        QCOMPARE(texts().last(), QString("http://kept"));
        answerUrl("127.0.0.1:8765/a.swf", true);
        main().adder().AddWebsiteCommand();
        QCOMPARE(texts().last(), QString("http://127.0.0.1:8765/a.swf"));
    }

    void aFolderSearchAddsCheckedRowsAndCanBeCancelled()
    {
        for (const char* file : {"a.swf", "B.SWF", "notes.txt", "sub/c.swf", "sub/deeper/d.swf", "z/e.swf"})
            test::writeFile(*m_dir / (std::string("tree/") + file), "x");
        m_chosenFolder = QString::fromStdString(*m_dir / "tree");
        main().findChild<QToolButton*>("barItem2")->click();
        QStringList found = texts();
        QCOMPARE(found.size(), 5);
        QVERIFY(found.filter("/sub/").size() == 2 && found.indexOf(QRegularExpression(".*/B.SWF")) >= 0);
        auto* search = m_windows->window(EditorWindow::SearchDialog);
        QVERIFY(!search->isVisible());

        // A cancel left pending (the dialog closed while no search of ours ran) does not stop the next one.
        main().playlist().N3Click();
        search->close();
        QVERIFY(main().adder().CancelSearch);
        main().adder().AddFolderCommand();
        QCOMPARE(texts().size(), 5);

        main().playlist().N3Click();
        // Cancel once two rows are in: the rows found so far stay and the dialog goes. A second
        // search asked for meanwhile does not start.
        m_folderAsked = 0;
        connect(&main().playlist().model(), &QAbstractItemModel::rowsInserted, search, [search, this] {
            if (main().rows().size() == 1)
                main().findChild<QAction*>("Addfolder1")->trigger(); // ignored: a search runs
            if (main().rows().size() == 2)
                QTimer::singleShot(0, search, [search] { search->findChild<QPushButton*>("Button1")->click(); });
        });
        main().findChild<QAction*>("Addfolder1")->trigger();
        QCOMPARE(texts().size(), 2);
        QVERIFY(!search->isVisible());
        QVERIFY(!main().adder().CancelSearch);
        QCOMPARE(m_folderAsked, 1);
        for (const QString& row : texts())
            QVERIFY(!row.endsWith("(off)"));
    }

    void filesAndFoldersDroppedFromAFileManagerAreAdded()
    {
        test::writeFile(*m_dir / "drop/one.swf", "x");
        test::writeFile(*m_dir / "drop/notes.txt", "x");
        test::writeFile(*m_dir / "folder/inner/two.SWF", "x");
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(*m_dir / "drop/one.swf")),
                      QUrl::fromLocalFile(QString::fromStdString(*m_dir / "drop/notes.txt")),
                      QUrl::fromLocalFile(QString::fromStdString(*m_dir / "folder"))});
        QWidget* viewport = main().playlist().FL()->viewport();
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &drop);
        QCOMPARE(texts(),
                 (QStringList{QString::fromStdString(*m_dir / "drop/one.swf"),
                              QString::fromStdString(*m_dir / "folder/inner/two.SWF")}));
    }

    void settingsAndCheckMarksSurviveARestart()
    {
        fill({"/m/one.swf", "/m/two.swf (off)"});
        QVERIFY(main().close());
        m_windows = std::make_unique<EditorWindows>(EditorMode::Editor, services());
        main().show();
        QCoreApplication::processEvents();
        QCOMPARE(texts(), (QStringList{"/m/one.swf", "/m/two.swf (off)"}));
        QCOMPARE(selected(), QList<int>{0});
        QCOMPARE(played(), QStringList{"/m/one.swf"}); // the first row plays after the list is read
    }

    void theCreatorsOwnWindowsTakeInputWhileItIsModal()
    {
        // Enough movies that the search is still running when Cancel is clicked.
        const int movies = 300;
        for (int i = 0; i < movies; ++i)
            test::writeFile(*m_dir / ("tree/" + std::to_string(i) + ".swf"), "FWS");
        m_chosenFolder = QString::fromStdString(*m_dir / "tree");
        QWidget* search = m_windows->window(EditorWindow::SearchDialog);
        QWidget* preview = m_windows->window(EditorWindow::CreatorPreview);
        int listed = -1;
        bool searchHidden = false;
        bool previewClosed = false;
        QTimer::singleShot(0, this, [&] {
            QWidget* creator = QApplication::activeModalWidget();
            QVERIFY(creator == main().creator());
            // Whatever fails below, the modal session ends.
            const auto ending = qScopeGuard([creator] { static_cast<QDialog*>(creator)->done(QDialog::Rejected); });
            const auto button = [creator](const char* name) { return creator->findChild<QPushButton*>(name); };
            clickOn(button("Next"));
            // The search pauses for events at every step: once it has found a few movies, the
            // user clicks "Cancel".
            auto* list = creator->findChild<QTreeWidget*>("FL");
            QTimer watch;
            connect(&watch, &QTimer::timeout, this, [&] {
                if (list->topLevelItemCount() < 10)
                    return;
                watch.stop();
                QVERIFY(search->isVisible());
                clickOn(search->findChild<QPushButton*>("Button1"));
            });
            watch.start(0);
            clickOn(button("Button2")); // "Add folder": the search runs inside the click
            listed = creator->findChild<QTreeWidget*>("FL")->topLevelItemCount();
            searchHidden = !search->isVisible();
            clickOn(button("Next"));
            clickOn(button("Next"));
            clickOn(button("Button5")); // "Preview"
            QVERIFY(preview->isVisible());
            clickOn(preview->findChild<QPushButton*>("Button1")); // its "OK"
            previewClosed = !preview->isVisible();
            clickOn(button("Cancel")); // the exit question is answered Yes
        });
        main().findChild<QToolButton*>("barItem3")->click(); // shown modally, as the program does
        QVERIFY2(listed >= 10 && listed < movies, qPrintable(QString::number(listed)));
        QVERIFY(searchHidden);
        QVERIFY(previewClosed);
        QVERIFY(!main().creator()->isVisible());
    }

    void theCreatorIsMadeAnewAfterOkAndOthersFilesAreLeftAlone()
    {
        m_fake.environment.variables = {{"TMPDIR", m_dir->path()}};
        test::writeFile(*m_dir / "FS/Old/leftover.swf", "x");
        QDialog* first = main().creator();
        QVERIFY(first);
        QTimer::singleShot(0, this, [] { QApplication::activeModalWidget()->close(); });
        main().findChild<QToolButton*>("barItem3")->click();
        QCOMPARE(main().creator(), first); // cancelled: it stays with all it holds
        QVERIFY(QFile::exists(QString::fromStdString(*m_dir / "FS/Old/leftover.swf")));
        QTimer::singleShot(0, this, [] { static_cast<QDialog*>(QApplication::activeModalWidget())->accept(); });
        main().findChild<QAction*>("CreateScreenSaver1")->trigger();
        QVERIFY(!main().creator());
        // Builds clean up their own private folders; a shared name may be someone else's.
        QVERIFY(QFile::exists(QString::fromStdString(*m_dir / "FS/Old/leftover.swf")));
        QTimer::singleShot(0, this, [] { QApplication::activeModalWidget()->close(); });
        main().CreateScreenSaverCommand();
        QVERIFY(main().creator()); // the next use starts from a new one
    }

    void badRegistryValuesAreReportedOrBroughtIntoRange()
    {
        m_windows.reset();
        m_fake.registry.setString(std::string(kSettingsKey), "scale_Text", "7");
        m_windows = std::make_unique<EditorWindows>(EditorMode::Editor, services());
        QVERIFY(m_errors.isEmpty());
        QCOMPARE(main().controls().scaleIndex(), -1);
        QVERIFY(std::find(view().calls.begin(), view().calls.end(), "Scale=") != view().calls.end());
        m_windows.reset();
        m_fake.registry.setNonString(std::string(kSettingsKey), "loop_Checked");
        m_windows = std::make_unique<EditorWindows>(EditorMode::Editor, services());
        QCOMPARE(m_errors, QStringList{"Invalid data type for 'loop_Checked'"});
    }

    void helpWithoutACHMReaderOffersTheBrowserAndFailuresAreSaid()
    {
        m_fake.shell.opens = false;
        main().findChild<QAction*>("Help2")->trigger();
        QCOMPARE(m_told.size(), 2);
        QVERIFY(m_told[0].startsWith("No program on this computer opens the help document Help.chm."));
        QVERIFY(m_told[1].startsWith("No web browser could be started either"));
        QCOMPARE(m_fake.shell.calls.back().target, *m_dir / "Help/index.html");
        for (const char* page : {"index.html", "playlist.html", "creator.html"})
            QVERIFY2(test::readFile(*m_dir / (std::string("Help/") + page)).find("<title>") != std::string::npos, page);
        m_told.clear();
        main().findChild<QAction*>("Checkforupdates1")->trigger();
        QCOMPARE(m_told, QStringList{QString("No web browser could be started to show %1.").arg(kMakerWebSite)});
        // The About box's links say the same of what they could not start.
        m_told.clear();
        main().findChild<QAction*>("About1")->trigger();
        auto* about = m_windows->window(EditorWindow::About);
        QTest::mouseClick(about->findChild<QLabel*>("Label9"), Qt::LeftButton);
        QTest::mouseClick(about->findChild<QLabel*>("Label10"), Qt::LeftButton);
        QCOMPARE(m_told,
                 QStringList({QString("No web browser could be started to show %1.").arg(kMakerWebSite),
                              QString("No mail program could be started to write to %1.").arg(kMakerSupportEmail)}));
        QTest::keyClick(about, Qt::Key_Escape);
        // Declined: nothing more is tried.
        m_told.clear();
        m_answer = false;
        const size_t calls = m_fake.shell.calls.size();
        main().findChild<QAction*>("Help2")->trigger();
        QCOMPARE(m_fake.shell.calls.size(), calls + 1);
        QCOMPARE(m_told.size(), 1);
    }

    void aboutHelpAndTheMakersAddresses()
    {
        main().findChild<QAction*>("Help2")->trigger();
        QCOMPARE(m_fake.shell.calls.back().target, std::string("Help.chm"));
        QCOMPARE(m_fake.shell.calls.back().workingFolder, m_dir->path());
        QCOMPARE(QByteArray::fromStdString(test::readFile(*m_dir / "Help.chm")).left(4), QByteArray("ITSF"));
        main().findChild<QAction*>("Checkforupdates1")->trigger();
        QCOMPARE(m_fake.shell.calls.back().target, std::string(kMakerWebSite));
        view().version = (9 << 16) | 0x1234;
        main().findChild<QAction*>("About1")->trigger();
        auto* about = m_windows->window(EditorWindow::About);
        QVERIFY(about->isVisible());
        QCOMPARE(about->findChild<QLabel*>("Label6")->text(), QString("9"));
        QVERIFY(!about->findChild<QLabel*>("Label5")->text().isEmpty());
        QTest::mouseClick(about->findChild<QLabel*>("Label10"), Qt::LeftButton);
        QCOMPARE(m_fake.shell.calls.back().target, std::string("mailto:") + kMakerSupportEmail);
        view().version = 11 << 16;
        main().About1Click();
        QCOMPARE(about->findChild<QLabel*>("Label6")->text(), QString("9")); // read again only after a close
        QTest::mouseClick(about, Qt::LeftButton, {}, QPoint(400, 250));
        QVERIFY(!about->isVisible());
        main().About1Click();
        QCOMPARE(about->findChild<QLabel*>("Label6")->text(), QString("11"));
        // Escape closes it; a view that is not the Flash control names its engine.
        QTest::keyClick(about, Qt::Key_Escape);
        QVERIFY(!about->isVisible());
        view().engine = "Ruffle 0.6.0";
        main().About1Click();
        QCOMPARE(about->findChild<QLabel*>("Label6")->text(), QString("Ruffle 0.6.0"));
        QStringList captions;
        for (QLabel* label : about->findChildren<QLabel*>())
            captions << label->text();
        QVERIFY(captions.contains("Flash player:") && captions.contains("Support e-mail:"));
        // Every value stands clear of the captions beside it.
        for (QLabel* label : about->findChildren<QLabel*>())
            if (label->text().endsWith(':'))
                QVERIFY2(label->geometry().right() < about->findChild<QLabel*>("Label5")->x(),
                         qPrintable(label->text()));
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
