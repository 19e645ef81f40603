#include "updatefetch.h"

#include "app/programstate.h"
#include "app/textlines.h"
#include "app/updatecheck.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace Tunesmith
{

namespace
{

constexpr int maxRedirects = 3;

const QByteArray updateUrlKey = QByteArrayLiteral("updateurl");

} // namespace

std::optional<QByteArray> fetchManifest(const QUrl &url, int timeoutMs, qint64 maxBytes)
{
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return std::nullopt;

    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(maxRedirects);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Tunesmith/1.03"));
    // Caches and proxies must not hand back an old manifest.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);

    QNetworkReply *reply = manager.get(request);
    QByteArray body;
    bool tooLarge = false;
    bool timedOut = false;

    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    QObject::connect(&deadline, &QTimer::timeout, reply, [&] {
        timedOut = true;
        reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [&] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > maxBytes) {
            tooLarge = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QIODevice::readyRead, reply, [&] {
        body += reply->read(maxBytes + 1 - body.size());
        if (body.size() > maxBytes) {
            tooLarge = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    deadline.start(timeoutMs);
    // The player's clicks and keys, and a window's close box, wait until the answer is in: the check runs inside
    // a window's handler ("Load Game"), and a Quit taken in between would delete the windows under it.
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    deadline.stop();

    std::optional<QByteArray> result;
    if (!tooLarge && !timedOut && reply->error() == QNetworkReply::NoError) {
        body += reply->read(maxBytes + 1 - body.size());
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (body.size() <= maxBytes && status >= 200 && status < 300)
            result = body;
    }
    // The manager is gone at the end of this function; the reply goes with it.
    reply->disconnect();
    delete reply;
    return result;
}

QString manifestUrl(const ProgramState &state)
{
    QString url = QStringLiteral("http://updates.tunesmith.invalid/update.txt");
    const auto bytes = readWholeFile(state.settingsPath());
    if (!bytes)
        return url;
    for (const QByteArrayView line : splitLineViews(*bytes)) {
        const qsizetype bar = line.indexOf('|');
        if (bar < 0 || line.first(bar) != updateUrlKey)
            continue;
        const QString value = QString::fromUtf8(line.sliced(bar + 1)).trimmed();
        if (!value.isEmpty())
            url = value;
    }
    return url;
}

bool runUpdateCheck(ProgramState &state)
{
    const QUrl url(UpdateCheck::requestUrl(manifestUrl(state)));
    const auto manifest = fetchManifest(url);
    if (!manifest)
        return false;
    return UpdateCheck::isUpdateNeeded(*manifest, ProgramState::versionNumber, state.profilesPath());
}

} // namespace Tunesmith
