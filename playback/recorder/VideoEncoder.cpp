#include "VideoEncoder.h"

#include "playback/core/FrameTiming.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <cstdio>
#include <optional>
#include <vector>

namespace lumo::playback {

namespace {

constexpr int kFfmpegMs = 30 * 60 * 1000;
// Quieter than this throughout is silence (16-bit sound goes down to about -96 dB).
constexpr double kSilentDb = -80;

struct Run {
    QString error; // the program could not run or failed
    QString log; // what it wrote to stderr
};

Run run(const QString& name, const QStringList& arguments, QString* output = nullptr)
{
    const QString program = QStandardPaths::findExecutable(name);
    if (program.isEmpty())
        return {name + QStringLiteral(" is not installed"), {}};
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForStarted() || !process.waitForFinished(kFfmpegMs)) {
        process.kill();
        return {name + QStringLiteral(" did not finish"), {}};
    }
    const QString log = QString::fromLocal8Bit(process.readAllStandardError());
    if (output)
        *output = QString::fromLocal8Bit(process.readAllStandardOutput());
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        const QStringList lines = log.trimmed().split('\n');
        return {name + QStringLiteral(" failed: ") + lines.last().trimmed(), log};
    }
    return {{}, log};
}

Run ffmpeg(const QStringList& arguments)
{
    return run(QStringLiteral("ffmpeg"), QStringList{"-hide_banner", "-nostdin", "-nostats"} + arguments);
}

// When the recording's frames came, in seconds from its start.
std::vector<double> frameTimes(const QString& webm)
{
    QString output;
    run(QStringLiteral("ffprobe"),
        {"-v", "error", "-select_streams", "v:0", "-show_entries", "frame=pts_time", "-of", "csv=p=0", webm}, &output);
    std::vector<double> times;
    for (const QString& line : output.split('\n', Qt::SkipEmptyParts)) {
        bool ok = false;
        const double time = line.trimmed().toDouble(&ok);
        if (ok)
            times.push_back(time);
    }
    return times;
}

// The loudest moment of the recording's sound in dB; nothing when it has no sound track.
std::optional<double> loudest(const QString& webm)
{
    const Run run = ffmpeg({"-i", webm, "-map", "0:a?", "-af", "volumedetect", "-f", "null", "-"});
    const QRegularExpressionMatch match
        = QRegularExpression(QStringLiteral("max_volume: (-?[0-9.inf]+) dB")).match(run.log);
    if (!run.error.isEmpty() || !match.hasMatch())
        return std::nullopt;
    bool ok = false;
    const double db = match.captured(1).toDouble(&ok);
    return ok ? std::optional<double>(db) : std::optional<double>(-1000);
}

// Whether black covers the whole video: blackdetect reports each black stretch when it ends.
bool allBlack(const QString& log, double seconds)
{
    QRegularExpressionMatchIterator it
        = QRegularExpression(QStringLiteral("black_start:([0-9.]+) black_end:([0-9.]+)")).globalMatch(log);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        if (match.captured(1).toDouble() <= 0.05 && match.captured(2).toDouble() >= seconds - 0.2)
            return true;
    }
    return false;
}

} // namespace

QString encodeVideo(const QString& webm, const QString& avi, const VideoFormat& format)
{
    const std::optional<double> db = loudest(webm);
    const bool sound = db && *db > kSilentDb;
    // Written next to the video and renamed: a half-written video is never left under its name.
    const QString part = avi + QStringLiteral(".part");
    const double offset = bestFrameOffset(frameTimes(webm), format.fps);
    QStringList arguments{"-y", "-i", webm, "-t", QString::number(format.seconds, 'f', 3), "-map", "0:v:0"};
    if (sound)
        arguments << "-map"
                  << "0:a:0";
    arguments << "-vf"
              // The page sends a frame only when the picture changes: the last one is held to the end.
              << QStringLiteral("setpts=PTS-STARTPTS-%5/TB,fps=%1:start_time=0,scale=%2:%3:flags=bicubic,"
                                "tpad=stop_mode=clone:stop_duration=%4,blackdetect=d=0:pic_th=0.999:pix_th=0.05")
                     .arg(format.fps)
                     .arg(format.width)
                     .arg(format.height)
                     .arg(format.seconds, 0, 'f', 3)
                     .arg(offset, 0, 'f', 4)
              << "-c:v"
              << "mjpeg"
              << "-q:v" << QString::number(kVideoQuality) << "-pix_fmt"
              << "yuvj420p";
    if (sound)
        arguments << "-c:a"
                  << "pcm_s16le"
                  << "-ar" << QString::number(kSoundRate) << "-ac"
                  << "2";
    arguments << "-f"
              << "avi" << part;
    const Run run = ffmpeg(arguments);
    if (!run.error.isEmpty()) {
        QFile::remove(part);
        return run.error;
    }
    if (allBlack(run.log, format.seconds)) {
        QFile::remove(part);
        return QStringLiteral("Ruffle showed nothing but black");
    }
    if (std::rename(QFile::encodeName(part).constData(), QFile::encodeName(avi).constData()) != 0) {
        QFile::remove(part);
        return QStringLiteral("Cannot write ") + avi;
    }
    return {};
}

} // namespace lumo::playback
