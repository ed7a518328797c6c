#include "MovieCapture.h"

#include "playback/JsString.h"
#include "playback/RuffleMovieView.h"
#include "playback/ViewScheme.h"

#include <QDir>
#include <QVBoxLayout>
#include <QVariantMap>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWidget>

#include <algorithm>

namespace lumo::playback {

namespace {

constexpr int kPollMs = 200;
// Ruffle that has not shown the movie's first frame in this time will not.
constexpr int kFirstFrameMs = 20000;

// Enough for the in-between WebM to keep the detail of vector art: the final encoding decides the
// product's size.
int bitsPerSecond(const CapturePlan& plan)
{
    const double bits = double(plan.width) * plan.height * plan.fps * 0.4;
    return int(std::clamp(bits, 1e6, 16e6));
}

} // namespace

MovieCapture::MovieCapture(platform::WaveOut& waveOut, CapturePlan plan)
    : m_plan(std::move(plan))
    , m_window(std::make_unique<QWidget>())
{
    m_window->setWindowFlag(Qt::FramelessWindowHint);
    m_window->setAttribute(Qt::WA_ShowWithoutActivating);
    m_window->setFixedSize(m_plan.width, m_plan.height);
    auto* layout = new QVBoxLayout(m_window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    m_view = new RuffleMovieView(waveOut, m_window.get());
    layout->addWidget(m_view);
    m_poll.setInterval(kPollMs);
    connect(&m_poll, &QTimer::timeout, this, &MovieCapture::poll);
}

MovieCapture::~MovieCapture()
{
    if (!m_media.isEmpty())
        releaseMedia(m_media);
}

void MovieCapture::start()
{
    m_out.setFileName(m_plan.webm);
    if (!m_out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        end(QStringLiteral("Cannot write %1: %2").arg(m_plan.webm, m_out.errorString()));
        return;
    }
    connect(m_view, &RuffleMovieView::becameReady, this, &MovieCapture::begin);
    m_view->prepare();
    m_window->show();
}

void MovieCapture::begin()
{
    QFile script(QDir(viewFolder()).absoluteFilePath(QStringLiteral("record.js")));
    if (!script.open(QIODevice::ReadOnly)) {
        end(QStringLiteral("Cannot read %1: %2").arg(script.fileName(), script.errorString()));
        return;
    }
    QWebEnginePage* page = m_view->page()->page();
    page->runJavaScript(QString::fromUtf8(script.readAll()));
    m_media = publishMedia(m_plan.movie);
    page->runJavaScript(QStringLiteral("lumo.recorder.start(%1, 'high', %2, %3)")
                            .arg(jsString(m_media))
                            .arg(m_plan.fps)
                            .arg(bitsPerSecond(m_plan)));
    m_poll.start();
}

void MovieCapture::poll()
{
    m_view->page()->page()->runJavaScript(QStringLiteral("lumo.recorder.take()"), [this](const QVariant& result) {
        if (m_ended)
            return;
        const QVariantMap taken = result.toMap();
        for (const QVariant& piece : taken.value(QStringLiteral("pieces")).toList()) {
            const QByteArray bytes = QByteArray::fromBase64(piece.toString().toLatin1());
            if (m_out.write(bytes) != bytes.size()) {
                end(QStringLiteral("Cannot write %1: %2").arg(m_plan.webm, m_out.errorString()));
                return;
            }
        }
        const QString state = taken.value(QStringLiteral("state")).toString();
        const double seconds = taken.value(QStringLiteral("seconds")).toDouble();
        if (state == QLatin1String("failed")) {
            end(taken.value(QStringLiteral("error")).toString());
        } else if (state == QLatin1String("done")) {
            end(m_out.flush() ? QString() : m_out.errorString());
        } else if (state == QLatin1String("waiting") || state.isEmpty()) {
            if (++m_waited * kPollMs > kFirstFrameMs)
                end(QStringLiteral("Ruffle did not start the movie"));
        } else if (state == QLatin1String("recording")) {
            emit progress(std::min(seconds, m_plan.seconds));
            if (seconds >= m_plan.seconds && !m_stopping) {
                m_stopping = true;
                m_view->page()->page()->runJavaScript(QStringLiteral("lumo.recorder.stop()"));
            }
        }
    });
}

void MovieCapture::end(const QString& error)
{
    if (m_ended)
        return;
    m_ended = true;
    m_poll.stop();
    m_out.close();
    m_window->hide();
    emit finished(error);
}

} // namespace lumo::playback
