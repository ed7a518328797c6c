// lumo-record: records one Flash movie, as the editor's Ruffle view plays it, into the video the
// produced screensaver plays where Windows has no Flash control. The Creator and lumo-tool create
// run it once per movie; it needs no display (Qt's offscreen platform unless QT_QPA_PLATFORM
// names another). Standard output carries "recorded <seconds>" as the recording goes, then
// "encoding"; an error is one line on standard error and exit status 1.
#include "MovieCapture.h"
#include "VideoEncoder.h"

#include "platform/posix/ProcessIdentity.h"
#include "platform/posix/ViewVolume.h"
#include "playback/ViewEngine.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

using namespace lumo;

namespace {

int fail(const QString& message)
{
    std::fprintf(stderr, "lumo-record: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    platform::endWithParent();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); // as the web engine wants it
    playback::prepareViewEngine();
    QApplication application(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Records a Flash movie into a Motion-JPEG AVI video."));
    parser.addHelpOption();
    const QCommandLineOption width("width", "Video width in pixels (even).", "W");
    const QCommandLineOption height("height", "Video height in pixels (even).", "H");
    const QCommandLineOption fps("fps", "Frames a second.", "F");
    const QCommandLineOption seconds("seconds", "Length in seconds.", "S");
    parser.addOptions({width, height, fps, seconds});
    parser.addPositionalArgument("movie", "The .swf to record.");
    parser.addPositionalArgument("video", "The .avi to write.");
    parser.process(application);

    const QStringList files = parser.positionalArguments();
    if (files.size() != 2)
        return fail(QStringLiteral("give one movie and one video file"));
    playback::VideoFormat format;
    bool ok[4] = {};
    format.width = parser.value(width).toInt(&ok[0]);
    format.height = parser.value(height).toInt(&ok[1]);
    format.fps = parser.value(fps).toInt(&ok[2]);
    format.seconds = parser.value(seconds).toDouble(&ok[3]);
    if (!ok[0] || !ok[1] || !ok[2] || !ok[3] || format.width < 2 || format.height < 2 || format.width > 4096
        || format.height > 4096 || format.width % 2 || format.height % 2 || format.fps < 1 || format.fps > 60
        || !(format.seconds > 0 && format.seconds <= 3600))
        return fail(QStringLiteral("--width and --height must be even numbers of pixels up to 4096, --fps 1 to 60 "
                                   "and --seconds up to 3600"));
    if (!QFileInfo(files[0]).isFile())
        return fail(QStringLiteral("there is no movie %1").arg(files[0]));

    const QString webm = files[1] + QStringLiteral(".webm");
    // The sound is recorded, never heard: nothing reaches the speakers.
    platform::ViewVolume volume;
    playback::MovieCapture capture(
        volume,
        {QFileInfo(files[0]).absoluteFilePath(), webm, format.width, format.height, format.fps, format.seconds});
    QObject::connect(&capture, &playback::MovieCapture::progress, [](double recorded) {
        std::printf("recorded %.2f\n", recorded);
        std::fflush(stdout);
    });
    QString error;
    QObject::connect(&capture, &playback::MovieCapture::finished, [&](const QString& why) {
        error = why;
        application.quit();
    });
    capture.start();
    application.exec();
    if (error.isEmpty()) {
        std::printf("encoding\n");
        std::fflush(stdout);
        error = playback::encodeVideo(webm, files[1], format);
    }
    QFile::remove(webm);
    return error.isEmpty() ? 0 : fail(error);
}
