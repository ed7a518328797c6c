#include "RuffleMovieView.h"

#include "JsString.h"
#include "MovieLocation.h"
#include "ViewScheme.h"

#include "platform/posix/ViewVolume.h"

#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <QWebEnginePage>
#include <QWebEngineView>
#include <algorithm>
#include <utility>

namespace lumo::playback {

namespace {

// Ruffle talks to the console about its own workings ("preloader has been replaced with
// splashScreen..."); none of it is for the user's terminal.
class QuietPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int, const QString&) override { }
};

} // namespace

RuffleMovieView::RuffleMovieView(platform::WaveOut& waveOut, QWidget* parent)
    : QWidget(parent)
    , m_waveOut(waveOut)
{
    setObjectName("SF");
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (auto* volume = dynamic_cast<platform::ViewVolume*>(&m_waveOut))
        m_subscription = volume->subscribe([this](std::uint32_t level) { setLevel(level); });
}

RuffleMovieView::~RuffleMovieView()
{
    if (auto* volume = dynamic_cast<platform::ViewVolume*>(&m_waveOut); volume && m_subscription >= 0)
        volume->unsubscribe(m_subscription);
    if (!m_media.isEmpty())
        releaseMedia(m_media);
}

void RuffleMovieView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // After the window holding the view has been painted: the engine takes a while to start.
    if (!m_web)
        QTimer::singleShot(0, this, &RuffleMovieView::startEngine);
}

void RuffleMovieView::startEngine()
{
    if (m_web)
        return;
    m_web = new QWebEngineView(this);
    m_web->setPage(new QuietPage(viewProfile(), m_web));
    m_web->setContextMenuPolicy(Qt::NoContextMenu);
    m_web->page()->setBackgroundColor(Qt::black);
    layout()->addWidget(m_web);
    connect(m_web, &QWebEngineView::loadFinished, this, [this](bool) {
        m_ready = true;
        for (const QString& script : std::exchange(m_pending, {}))
            m_web->page()->runJavaScript(script); // in the order of the kinds: show first
        emit becameReady();
    });
    m_web->load(QUrl(QStringLiteral("lumo-view://app/view.html")));
}

void RuffleMovieView::run(Call kind, const QString& script)
{
    if (!m_ready) {
        m_pending[kind] = script;
        return;
    }
    m_batch.append({kind, script});
    if (!m_flushQueued) {
        m_flushQueued = true;
        QTimer::singleShot(0, this, &RuffleMovieView::flush);
    }
}

void RuffleMovieView::flush()
{
    m_flushQueued = false;
    const QList<QPair<Call, QString>> batch = std::exchange(m_batch, {});
    qsizetype lastShow = -1;
    for (qsizetype i = 0; i < batch.size(); ++i)
        if (batch[i].first == Call::Show)
            lastShow = i;
    QStringList scripts;
    for (qsizetype i = 0; i < batch.size(); ++i) {
        // Before the last movie, only what outlasts a movie (scale, volume) matters.
        const Call kind = batch[i].first;
        if (i < lastShow && (kind == Call::Show || kind == Call::Run))
            continue;
        scripts << batch[i].second;
    }
    if (!scripts.isEmpty())
        m_web->page()->runJavaScript(scripts.join(QStringLiteral(";\n")));
}

void RuffleMovieView::show(const std::string& location)
{
    m_movie = location;
    if (!m_media.isEmpty()) {
        releaseMedia(m_media);
        m_media.clear();
    }
    const QString where = QString::fromStdString(location);
    switch (classifyLocation(where)) {
    case LocationKind::WebPicture:
        run(Call::Show, QStringLiteral("lumo.picture(%1)").arg(jsString(where)));
        break;
    case LocationKind::WebMovie:
        run(Call::Show, QStringLiteral("lumo.movie(%1, %2)").arg(jsString(where), jsString(m_quality)));
        break;
    case LocationKind::Movie:
        m_media = publishMedia(localPathOf(where));
        run(Call::Show, QStringLiteral("lumo.movie(%1, %2)").arg(jsString(m_media), jsString(m_quality)));
        break;
    case LocationKind::Picture:
        m_media = publishMedia(localPathOf(where));
        run(Call::Show, QStringLiteral("lumo.picture(%1)").arg(jsString(m_media)));
        break;
    case LocationKind::Nothing:
        // Not a movie the view can play: blank, and nothing reported, as the control does.
        run(Call::Show, QStringLiteral("lumo.clear()"));
        break;
    }
}

void RuffleMovieView::setMovie(const std::string& location)
{
    show(location);
}

void RuffleMovieView::loadMovie(int layer, const std::string& location)
{
    if (layer == 0)
        show(location); // other layers are not shown
}

void RuffleMovieView::setLoop(bool loop)
{
    // Ruffle plays a movie's timeline as the movie says; it has no switch to stop at the last frame.
    m_loop = loop;
}

void RuffleMovieView::setScale(const std::string& scale)
{
    run(Call::Scale, QStringLiteral("lumo.setScale(%1)").arg(jsString(QString::fromStdString(scale))));
}

void RuffleMovieView::setQuality2(const std::string& quality)
{
    // Ruffle takes the quality when it loads a movie: it applies from the next movie on.
    m_quality = QString::fromStdString(quality).toLower();
    if (m_quality != "low" && m_quality != "high")
        m_quality = QStringLiteral("high");
}

void RuffleMovieView::play()
{
    run(Call::Run, QStringLiteral("lumo.play()"));
}

void RuffleMovieView::stop()
{
    run(Call::Run, QStringLiteral("lumo.stop()"));
}

void RuffleMovieView::stopPlay()
{
    run(Call::Run, QStringLiteral("lumo.stop()"));
}

int RuffleMovieView::flashVersion()
{
    // Ruffle presents itself as Flash Player 32.
    return 32 << 16;
}

std::string RuffleMovieView::engineName() const
{
    return "Ruffle " LUMO_RUFFLE_VERSION;
}

void RuffleMovieView::setLevel(std::uint32_t level)
{
    // 0xFE00 on a channel is the full level SetWaveMute gives.
    run(Call::Volume, QStringLiteral("lumo.setVolume(%1)").arg(std::min(1.0, double(level & 0xFFFF) / 0xFE00)));
}

MovieViewFactory ruffleViews(platform::WaveOut& waveOut)
{
    return [&waveOut](QWidget* parent) { return std::make_unique<RuffleMovieView>(waveOut, parent); };
}

} // namespace lumo::playback
