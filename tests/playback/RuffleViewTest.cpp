// The movie view that plays, on a real display (Xvfb in the test run): the pixels it shows are read
// back from the screen. A movie made with ffmpeg (Sorenson video, MP3 sound) plays and moves, a real
// third-party movie shows, a picture shows, and whatever is no movie leaves the view black: no
// error panel, no splash, no link out.
#include "playback/RuffleMovieView.h"

#include "common/WaveMute.h"
#include "platform/fake/FakeServices.h"
#include "platform/posix/ViewVolume.h"
#include "playback/ViewEngine.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QScreen>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QtTest>

using namespace lumo;

namespace {

// The share of pixels that are not (nearly) black.
double litShare(const QImage& image)
{
    qint64 lit = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            lit += qGray(image.pixel(x, y)) > 24;
    return double(lit) / (image.width() * image.height());
}

double changedShare(const QImage& a, const QImage& b)
{
    qint64 changed = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            changed
                += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q)) > 30;
        }
    return double(changed) / (a.width() * a.height());
}

} // namespace

class RuffleViewTest : public QObject {
    Q_OBJECT

private:
    platform::FakeWaveOut m_waveOut;
    QTemporaryDir m_dir;
    std::unique_ptr<QWidget> m_window;
    playback::RuffleMovieView* m_view = nullptr;

    // The view in a window of its own, its page ready.
    void open()
    {
        m_window = std::make_unique<QWidget>();
        m_window->resize(320, 240);
        m_view = new playback::RuffleMovieView(m_waveOut, m_window.get());
        m_view->setGeometry(0, 0, 320, 240);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QTRY_VERIFY_WITH_TIMEOUT(m_view->ready(), 20000);
    }
    QImage shot()
    {
        return m_window->screen()->grabWindow(m_window->winId()).toImage().convertToFormat(QImage::Format_RGB32);
    }
    // What a script gives in the view's page; nothing when it does not answer in 5 s.
    static QVariant evaluate(playback::RuffleMovieView* view, const QString& script)
    {
        QVariant result;
        bool done = false;
        view->page()->page()->runJavaScript(script, [&](const QVariant& v) {
            result = v;
            done = true;
        });
        for (int i = 0; i < 500 && !done; ++i)
            QTest::qWait(10);
        return result;
    }
    QString colourMovie(const QString& colour)
    {
        const QString movie = m_dir.filePath(colour + ".swf");
        const int made
            = QProcess::execute("ffmpeg",
                                {"-v", "error", "-y", "-f", "lavfi", "-i",
                                 "color=c=" + colour + ":size=320x240:rate=12", "-t", "2", "-c:v", "flv1", movie});
        return made == 0 ? movie : QString();
    }
    QString write(const QString& name, const QByteArray& bytes)
    {
        QFile file(m_dir.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return file.fileName();
    }

private slots:
    void init() { open(); }
    void cleanup()
    {
        m_window.reset();
        m_view = nullptr;
    }

    void aMovieMadeWithFfmpegPlaysAndMoves()
    {
        const QString movie = m_dir.filePath("made.swf");
        const int made = QProcess::execute("ffmpeg",
                                           {"-v",
                                            "error",
                                            "-y",
                                            "-f",
                                            "lavfi",
                                            "-i",
                                            "testsrc2=size=320x240:rate=12",
                                            "-f",
                                            "lavfi",
                                            "-i",
                                            "sine=frequency=440",
                                            "-t",
                                            "6",
                                            "-c:v",
                                            "flv1",
                                            "-c:a",
                                            "libmp3lame",
                                            "-ar",
                                            "44100",
                                            movie});
        QCOMPARE(made, 0);
        m_view->setMovie(movie.toStdString());
        QTRY_VERIFY_WITH_TIMEOUT(litShare(shot()) > 0.5, 15000);
        const QImage first = shot();
        QTest::qWait(1000);
        QVERIFY2(changedShare(first, shot()) > 0.02, "the picture moves");
        QCOMPARE(m_view->movie(), movie.toStdString());
    }

    void aRealThirdPartyMovieShows()
    {
        const QString movie = QStringLiteral(LUMO_SWF_CORPUS "/jplayer-2.9.2__jquery.jplayer.swf");
        if (!QFile::exists(movie))
            QSKIP("the shared corpus of movies is not on this machine");
        m_view->setMovie(movie.toStdString());
        // A lavender box: blue above red and green, all light.
        const auto lavender = [this] {
            const QImage image = shot();
            qint64 count = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const QRgb p = image.pixel(x, y);
                    count += qBlue(p) > 200 && qRed(p) > 200 && qBlue(p) >= qRed(p) && qGreen(p) < qBlue(p);
                }
            return double(count) / (image.width() * image.height());
        };
        QTRY_VERIFY_WITH_TIMEOUT(lavender() > 0.3, 15000);
    }

    void aPictureShowsInTheSamePage()
    {
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(QColor(30, 200, 40));
        const QString path = m_dir.filePath("logo.png");
        QVERIFY(picture.save(path));
        m_view->loadMovie(0, path.toStdString());
        QTRY_VERIFY_WITH_TIMEOUT(litShare(shot()) > 0.5, 10000);
        m_view->setMovie("0");
        QTRY_VERIFY_WITH_TIMEOUT(litShare(shot()) < 0.01, 10000);
    }

    void aMovieReplacedInTheSameTurnIsNeverLoaded()
    {
        const QString red = colourMovie("red"), blue = colourMovie("blue");
        QVERIFY(!red.isEmpty() && !blue.isEmpty());
        evaluate(m_view,
                 "window.shown = []; const movie = lumo.movie; lumo.movie = function (url, quality) { "
                 "shown.push(url); return movie.call(lumo, url, quality); }; shown.length");
        // As a playlist's selection moves: the row left, then the row taken, in one turn.
        m_view->setMovie(red.toStdString());
        m_view->stop();
        m_view->setMovie(blue.toStdString());
        const auto blueShare = [this] {
            const QImage image = shot();
            qint64 lit = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    lit += qBlue(image.pixel(x, y)) > 200 && qRed(image.pixel(x, y)) < 60;
            return double(lit) / (image.width() * image.height());
        };
        QTRY_VERIFY_WITH_TIMEOUT(blueShare() > 0.5, 15000);
        const QStringList shown = evaluate(m_view, "shown").toStringList();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].endsWith("/blue.swf"), qPrintable(shown[0]));
    }

    void theViewsFollowTheProgramsWaveLevel()
    {
        platform::ViewVolume level;
        m_window.reset();
        m_window = std::make_unique<QWidget>();
        auto* view = new playback::RuffleMovieView(level, m_window.get());
        view->resize(100, 100);
        m_window->show();
        QTRY_VERIFY_WITH_TIMEOUT(view->ready(), 20000);
        const auto volume = [view] { return evaluate(view, "lumo.volume").toDouble(); };
        // What the view is asked reaches the page at the end of the event loop's turn.
        QTRY_COMPARE_WITH_TIMEOUT(volume(), 1.0, 5000);
        SetWaveMute(level, true);
        QTRY_COMPARE_WITH_TIMEOUT(volume(), 0.0, 5000);
        SetWaveMute(level, false);
        QTRY_COMPARE_WITH_TIMEOUT(volume(), 1.0, 5000);
        m_window.reset(); // the view goes before the level it follows
    }

    void aWindowKeepsItsNativeWindowWhenItsViewFirstShows()
    {
        // As in the Creator: the view waits on a page that is not the first.
        QWidget window;
        auto* pages = new QStackedWidget(&window);
        pages->setGeometry(0, 0, 320, 240);
        pages->addWidget(new QWidget);
        auto* page = new QWidget;
        pages->addWidget(page);
        auto* view = new playback::RuffleMovieView(m_waveOut, page);
        view->setGeometry(0, 0, 320, 240);
        window.resize(320, 240);
        view->prepare();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const WId before = window.winId();
        pages->setCurrentIndex(1);
        QTRY_VERIFY_WITH_TIMEOUT(view->ready(), 20000);
        QTest::qWait(200);
        QCOMPARE(window.winId(), before);
    }

    void whatIsNoMovieLeavesTheViewBlack()
    {
        const QStringList locations{m_dir.filePath("missing.swf"), write("text.swf", "not a movie at all"),
                                    write("short.swf", "FW"), QStringLiteral("http://127.0.0.1:9/none.swf"),
                                    write("broken.swf", QByteArray("FWS\x0a", 4) + QByteArray(300, '\x5a'))};
        for (const QString& location : locations) {
            m_view->setMovie(location.toStdString());
            QTest::qWait(2500);
            QVERIFY2(litShare(shot()) < 0.01, qPrintable(location));
            QCOMPARE(m_view->movie(), location.toStdString());
        }
    }
};

int main(int argc, char** argv)
{
    lumo::playback::prepareViewEngine();
    QApplication application(argc, argv);
    RuffleViewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "RuffleViewTest.moc"
