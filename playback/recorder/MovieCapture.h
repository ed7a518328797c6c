// Records what a Ruffle view shows and plays, from the movie's first frame, into a WebM file: the
// view runs in a window of the recording's own size (on whatever display the program has, the
// offscreen one included), and the page's recorder hands its pieces over as they come.
#pragma once

#include <QFile>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class QWidget;

namespace lumo::platform {
class WaveOut;
}

namespace lumo::playback {

class RuffleMovieView;

struct CapturePlan {
    QString movie; // a local .swf
    QString webm; // the file to write
    int width = 0, height = 0;
    int fps = 0;
    double seconds = 0;
};

class MovieCapture final : public QObject {
    Q_OBJECT
public:
    MovieCapture(platform::WaveOut& waveOut, CapturePlan plan);
    ~MovieCapture() override;

    void start();

signals:
    void progress(double secondsRecorded);
    // Empty when the recording is complete in the plan's file.
    void finished(const QString& error);

private:
    void begin();
    void poll();
    void end(const QString& error);

    CapturePlan m_plan;
    std::unique_ptr<QWidget> m_window;
    RuffleMovieView* m_view = nullptr;
    QFile m_out;
    QString m_media;
    QTimer m_poll;
    int m_waited = 0; // polls without a first frame
    bool m_stopping = false;
    bool m_ended = false;
};

} // namespace lumo::playback
