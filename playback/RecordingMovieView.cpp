#include "RecordingMovieView.h"

namespace lumo::playback {

RecordingMovieView::RecordingMovieView(QWidget* parent)
    : QWidget(parent)
{
    setObjectName("SF");
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
}

void RecordingMovieView::setMovie(const std::string& location)
{
    m_movie = location;
    calls.push_back("Movie=" + location);
}

void RecordingMovieView::setLoop(bool loop)
{
    m_loop = loop;
    calls.push_back(std::string("Loop=") + (loop ? "1" : "0"));
}

void RecordingMovieView::setBackgroundColor(int color)
{
    calls.push_back("BackgroundColor=" + std::to_string(color));
}

void RecordingMovieView::setScale(const std::string& scale)
{
    calls.push_back("Scale=" + scale);
}

void RecordingMovieView::setBGColor(const std::string& color)
{
    calls.push_back("BGColor=" + color);
}

void RecordingMovieView::setQuality2(const std::string& quality)
{
    calls.push_back("Quality2=" + quality);
}

void RecordingMovieView::play()
{
    calls.push_back("Play");
}

void RecordingMovieView::stop()
{
    calls.push_back("Stop");
}

void RecordingMovieView::stopPlay()
{
    calls.push_back("StopPlay");
}

void RecordingMovieView::loadMovie(int layer, const std::string& location)
{
    if (layer == 0)
        m_movie = location;
    calls.push_back("LoadMovie(" + std::to_string(layer) + "," + location + ")");
}

MovieViewFactory recordingViews()
{
    return [](QWidget* parent) { return std::make_unique<RecordingMovieView>(parent); };
}

} // namespace lumo::playback
