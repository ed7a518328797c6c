// The movie view that plays: Ruffle inside a QWebEngineView, all views sharing one engine profile.
// .swf files (checked by their signature FWS, CWS or ZWS) play in Ruffle, pictures (.png, .jpg,
// .jpeg, .bmp, .gif) show in the same page, web addresses go to Ruffle as they are, anything else
// leaves the view blank. The engine starts after the view is first shown, so the window holding
// it appears at once; what is asked of the view before the page is ready is applied then. Once it
// is ready, what is asked in one turn of the event loop reaches the page at its end, in one call:
// a movie replaced in the same turn (a playlist's selection moving from row to row) is never loaded.
#pragma once

#include "MovieView.h"

#include "platform/WaveOut.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QWidget>

class QWebEngineView;

namespace lumo::playback {

class RuffleMovieView final : public QWidget, public MovieView {
    Q_OBJECT
public:
    explicit RuffleMovieView(platform::WaveOut& waveOut, QWidget* parent = nullptr);
    ~RuffleMovieView() override;

    QWidget* widget() override { return this; }
    std::string movie() const override { return m_movie; }
    void setMovie(const std::string& location) override;
    bool loop() const override { return m_loop; }
    void setLoop(bool loop) override;
    void setBackgroundColor(int) override { }
    void setScale(const std::string& scale) override;
    void setBGColor(const std::string&) override { }
    void setQuality2(const std::string& quality) override;
    void play() override;
    void stop() override;
    void stopPlay() override;
    int flashVersion() override;
    std::string engineName() const override;
    void loadMovie(int layer, const std::string& location) override;
    void prepare() override { startEngine(); }

    // The page has loaded and everything asked before has been applied.
    bool ready() const { return m_ready; }
    QWebEngineView* page() const { return m_web; }

signals:
    void becameReady();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // What the page is asked, by kind: before the page is ready only the latest of each kind is kept.
    enum class Call { Show, Scale, Volume, Run };
    void startEngine();
    void run(Call kind, const QString& script);
    void flush();
    void show(const std::string& location);
    void setLevel(std::uint32_t level);

    QWebEngineView* m_web = nullptr;
    bool m_ready = false;
    QMap<Call, QString> m_pending;
    QList<QPair<Call, QString>> m_batch; // asked since the last flush, once ready
    bool m_flushQueued = false;
    std::string m_movie;
    QString m_media; // the published URL of the file shown
    bool m_loop = true;
    QString m_quality = QStringLiteral("high");
    platform::WaveOut& m_waveOut;
    int m_subscription = -1;
};

// Makes Ruffle views that follow the wave-output level of this program.
MovieViewFactory ruffleViews(platform::WaveOut& waveOut);

} // namespace lumo::playback
