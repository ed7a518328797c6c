// A movie view with the operations of the Shockwave Flash control that every view of the editor
// uses: properties Movie, Loop, BackgroundColor, Scale, BGColor, Quality2; methods Play, Stop,
// StopPlay, FlashVersion, LoadMovie. Setting Movie loads and plays at once; "0" unloads. Views
// report nothing about locations they cannot play. Windows hold views through this interface only.
#pragma once

#include <QWidget>

#include <functional>
#include <memory>
#include <string>

namespace lumo::playback {

class MovieView {
public:
    virtual ~MovieView() = default;
    virtual QWidget* widget() = 0;

    // The location loaded last into layer 0.
    virtual std::string movie() const = 0;
    virtual void setMovie(const std::string& location) = 0;
    virtual bool loop() const = 0;
    virtual void setLoop(bool loop) = 0;
    virtual void setBackgroundColor(int color) = 0;
    virtual void setScale(const std::string& scale) = 0;
    virtual void setBGColor(const std::string& color) = 0;
    virtual void setQuality2(const std::string& quality) = 0;
    virtual void play() = 0;
    virtual void stop() = 0;
    virtual void stopPlay() = 0;
    // The Flash Player version the view stands for; its major version in the upper 16 bits.
    virtual int flashVersion() = 0;
    // The player engine behind the view, with its version, when it is not the Flash control.
    virtual std::string engineName() const { return {}; }
    virtual void loadMovie(int layer, const std::string& location) = 0;
    // Starts now what the view would start at its first showing. A window that holds the view from
    // the start calls it before it is first shown: adding the engine's surface to a window already
    // on screen makes the window system build that window anew (it jumps, loses its place).
    virtual void prepare() { }
};

using MovieViewFactory = std::function<std::unique_ptr<MovieView>(QWidget* parent)>;

// For the setVisible of a window that holds view: the view's engine joins before the window first
// reaches the screen, or the window system would build the window anew when it does.
inline void prepareBeforeFirstShow(const QWidget& window, MovieView& view, bool visible)
{
    if (visible && !window.testAttribute(Qt::WA_WState_Created))
        view.prepare();
}

} // namespace lumo::playback
