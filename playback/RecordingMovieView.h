// A movie view that plays nothing and records the operations it is asked for, in order, as text:
// "Movie=<location>", "Loop=1", "BackgroundColor=-1", "Scale=ShowAll", "BGColor=", "Quality2=High",
// "Play", "Stop", "StopPlay", "LoadMovie(0,<location>)". A blank panel on screen.
#pragma once

#include "MovieView.h"

#include <QWidget>

#include <string>
#include <vector>

namespace lumo::playback {

class RecordingMovieView final : public QWidget, public MovieView {
public:
    explicit RecordingMovieView(QWidget* parent = nullptr);

    QWidget* widget() override { return this; }
    std::string movie() const override { return m_movie; }
    void setMovie(const std::string& location) override;
    bool loop() const override { return m_loop; }
    void setLoop(bool loop) override;
    void setBackgroundColor(int color) override;
    void setScale(const std::string& scale) override;
    void setBGColor(const std::string& color) override;
    void setQuality2(const std::string& quality) override;
    void play() override;
    void stop() override;
    void stopPlay() override;
    int flashVersion() override { return version; }
    void loadMovie(int layer, const std::string& location) override;

    std::vector<std::string> calls;
    int version = 10 << 16;
    std::string engine; // empty: the view stands for the Flash control
    std::string engineName() const override { return engine; }
    void prepare() override { ++prepared; }
    int prepared = 0; // times asked to start before its window first shows

private:
    std::string m_movie;
    bool m_loop = true;
};

// Makes recording views.
MovieViewFactory recordingViews();

} // namespace lumo::playback
