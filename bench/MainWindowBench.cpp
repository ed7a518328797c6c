// The main window with a 100,000-row playlist (offscreen): reading it at the first showing, a sort
// by the header, selecting and deleting a row, and saving it on close. Prints milliseconds.
#include "app/MainWindow.h"
#include "app/PlaylistPanel.h"

#include "platform/fake/FakeServices.h"
#include "platform/posix/PosixFileSystem.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QTest>

#include <cstdio>
#include <filesystem>
#include <fstream>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const std::string folder = (std::filesystem::temp_directory_path() / "lumo-bench-window").string();
    std::filesystem::create_directories(folder);
    {
        std::ofstream list(folder + "/FileList.list", std::ios::binary);
        for (int i = 0; i < 100000; ++i)
            list << (i % 3 ? "-1;" : "0;") << "/home/user/Movies/folder" << i / 100 << "/movie" << i << ".swf\r\n";
    }
    lumo::platform::FakeRegistry registry;
    lumo::platform::PosixFileSystem files;
    lumo::platform::FakeWaveOut waveOut;
    lumo::platform::FakePresence presence;
    lumo::platform::FakeShell shell;
    lumo::platform::FakeEnvironment environment;
    registry.setString(std::string(lumo::app::kSettingsKey), "Path", folder);
    lumo::app::MainWindow window({registry, files, waveOut, presence, shell, environment});

    QElapsedTimer timer;
    const auto lap = [&](const char* what) {
        std::printf("%-40s %8.1f ms\n", what, timer.nsecsElapsed() / 1e6);
        timer.restart();
    };
    timer.start();
    window.show();
    QCoreApplication::processEvents();
    lap("show, reading 100,000 rows");
    QHeaderView* header = window.playlist().FL()->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(20, 5));
    QCoreApplication::processEvents();
    lap("sort by the header");
    window.playlist().FL()->selectRow(50000);
    window.playlist().N2Click();
    QCoreApplication::processEvents();
    lap("select and delete a row");
    window.close();
    lap("close, saving 99,999 rows");
    return window.rows().size() == 99999 ? 0 : 1;
}
