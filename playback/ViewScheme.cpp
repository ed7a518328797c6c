#include "ViewScheme.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMimeDatabase>
#include <QRandomGenerator>
#include <QUrl>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>

namespace lumo::playback {

namespace {

constexpr char kScheme[] = "lumo-view";

QHash<QString, QString>& published()
{
    static QHash<QString, QString> tokens; // token -> path
    return tokens;
}

QByteArray mimeOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == "wasm")
        return "application/wasm";
    if (suffix == "js")
        return "application/javascript";
    if (suffix == "html")
        return "text/html";
    if (suffix == "swf")
        return "application/x-shockwave-flash";
    return QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension).name().toLatin1();
}

class Handler final : public QWebEngineUrlSchemeHandler {
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    void requestStarted(QWebEngineUrlRequestJob* job) override
    {
        const QString file = resolve(job->requestUrl());
        if (file.isEmpty()) {
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        auto* device = new QFile(file, job);
        if (!device->open(QIODevice::ReadOnly)) {
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        job->reply(mimeOf(file), device);
    }

private:
    // Only the view's own files and published media; a name never climbs out of its folder.
    static QString resolve(const QUrl& url)
    {
        const QStringList parts = url.path().split('/', Qt::SkipEmptyParts);
        const auto plain = [](const QString& name) {
            return !name.isEmpty() && name != "." && name != ".." && !name.contains('\\');
        };
        if (url.host() == "app") {
            if (parts.size() == 1 && (parts[0] == "view.html" || parts[0] == "view.js"))
                return viewFolder() + '/' + parts[0];
            if (parts.size() == 2 && parts[0] == "ruffle" && plain(parts[1]))
                return viewFolder() + "/ruffle/" + parts[1];
            return {};
        }
        if (url.host() == "media" && !parts.isEmpty())
            return published().value(parts[0]);
        return {};
    }
};

} // namespace

void registerViewScheme()
{
    QWebEngineUrlScheme scheme(kScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::LocalScheme
                    | QWebEngineUrlScheme::LocalAccessAllowed | QWebEngineUrlScheme::CorsEnabled
                    | QWebEngineUrlScheme::ContentSecurityPolicyIgnored);
    QWebEngineUrlScheme::registerScheme(scheme);
}

QWebEngineProfile* viewProfile()
{
    static QWebEngineProfile* profile = [] {
        auto* p = new QWebEngineProfile(QCoreApplication::instance()); // off the record
        p->installUrlSchemeHandler(kScheme, new Handler(p));
        // A movie plays, sound included, the moment it is set: nobody clicks a preview first.
        p->settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
        p->settings()->setAttribute(QWebEngineSettings::ShowScrollBars, false);
        return p;
    }();
    return profile;
}

QString viewFolder()
{
    const QString overridden = qEnvironmentVariable("LUMO_VIEW_DIR");
    if (!overridden.isEmpty())
        return overridden;
    // Programs in bin/ (the build tree, an installation) or in libexec/lumo-screensaver/ (lumo-record,
    // installed).
    const QDir programs(QCoreApplication::applicationDirPath());
    const QString besideBin = programs.absoluteFilePath("../share/lumo-screensaver/view");
    const QString besideLibexec = programs.absoluteFilePath("../../share/lumo-screensaver/view");
    return QFileInfo(besideBin).isDir() || !QFileInfo(besideLibexec).isDir() ? besideBin : besideLibexec;
}

QString publishMedia(const QString& path)
{
    const QString token = QString::number(QRandomGenerator::system()->generate64(), 16)
        + QString::number(QRandomGenerator::system()->generate64(), 16);
    published().insert(token, path);
    return QStringLiteral("%1://media/%2/%3").arg(kScheme, token, QUrl::toPercentEncoding(QFileInfo(path).fileName()));
}

void releaseMedia(const QString& url)
{
    const QStringList parts = QUrl(url).path().split('/', Qt::SkipEmptyParts);
    if (!parts.isEmpty())
        published().remove(parts[0]);
}

} // namespace lumo::playback
