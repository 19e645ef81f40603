#include "app/programstate.h"
#include "app/widgets/application.h"
#include "app/widgets/dialogs.h"
#include "app/widgets/frmload.h"
#include "app/widgets/platform.h"
#include "app/widgets/updatefetch.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <functional>
#include <memory>

using namespace Tunesmith;

namespace
{

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ok(const QByteArray &body)
{
    return "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

// A web server on 127.0.0.1 in the test process, answering each request by hand: answer(path) gives the raw
// response, or "" to keep the connection open without a word.
class HttpStub : public QObject
{
public:
    std::function<QByteArray(const QByteArray &path)> answer;
    QList<QByteArray> paths;

    HttpStub()
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                socket->setParent(this);
                auto request = std::make_shared<QByteArray>();
                connect(socket, &QTcpSocket::readyRead, this, [this, socket, request] {
                    *request += socket->readAll();
                    if (!request->contains("\r\n\r\n"))
                        return;
                    const QList<QByteArray> words = request->left(request->indexOf("\r\n")).split(' ');
                    const QByteArray path = words.value(1);
                    paths << path;
                    request->clear();
                    const QByteArray response = answer ? answer(path) : QByteArray();
                    if (response.isEmpty())
                        return;
                    // One answer a connection ("Connection: close"): a request sent into the closing socket
                    // is the client's to send again elsewhere.
                    socket->disconnect(this);
                    socket->write(response);
                    socket->disconnectFromHost();
                });
            }
        });
    }

    bool listen() { return m_server.listen(QHostAddress::LocalHost); }
    QString url(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
    }

private:
    QTcpServer m_server;
};

} // namespace

class TestUpdateFetch : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<HttpStub> m_http;
    ProgramState m_state;

    void serve(const QByteArray &body)
    {
        m_http->answer = [body](const QByteArray &) { return ok(body); };
    }
    // Every request asked for path (the network layer may send one again on a new connection).
    bool onlyAskedFor(const QByteArray &path) const
    {
        return !m_http->paths.isEmpty() &&
               std::all_of(m_http->paths.begin(), m_http->paths.end(), [&](const QByteArray &p) { return p == path; });
    }
    void pointSettingsAt(const QString &url)
    {
        QVERIFY(writeFile(m_state.settingsPath(), "upload|0\r\nupdateurl|" + url.toUtf8() + "\r\n"));
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_state = ProgramState();
        m_state.programFolder = m_dir->path();
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("profiles")));
        m_http = std::make_unique<HttpStub>();
        QVERIFY(m_http->listen());
    }

    void cleanup()
    {
        m_http.reset();
        m_dir.reset();
    }

    void fetch_wholeTextOfManifest()
    {
        const QByteArray body = "[104]\r\n[1-1-2004|a.tsm]\r\n";
        serve(body);
        const auto text = fetchManifest(QUrl(m_http->url(QStringLiteral("/update.txt"))));
        QVERIFY(text);
        QCOMPARE(*text, body);
        QVERIFY(onlyAskedFor("/update.txt"));
    }

    void fetch_httpErrorStatus_givesNothing_data()
    {
        QTest::addColumn<QByteArray>("response");
        QTest::newRow("404") << QByteArray(
            "HTTP/1.1 404 Not Found\r\nContent-Length: 5\r\nConnection: close\r\n\r\n[104]");
        QTest::newRow("500") << QByteArray("HTTP/1.1 500 Oops\r\nContent-Length: 5\r\nConnection: close\r\n\r\n[104]");
    }

    void fetch_httpErrorStatus_givesNothing()
    {
        QFETCH(QByteArray, response);
        m_http->answer = [response](const QByteArray &) { return response; };
        QVERIFY(!fetchManifest(QUrl(m_http->url(QStringLiteral("/update.txt")))));
    }

    void fetch_serverNeverAnswers_givesUpAfterTimeout()
    {
        m_http->answer = [](const QByteArray &) { return QByteArray(); };
        QElapsedTimer clock;
        clock.start();
        const auto text = fetchManifest(QUrl(m_http->url(QStringLiteral("/update.txt"))));
        const qint64 elapsed = clock.elapsed();
        qInfo("gave up after %lld ms", elapsed);
        QVERIFY(!text);
        QVERIFY2(elapsed >= 4500 && elapsed < 6500, qPrintable(QString::number(elapsed)));
    }

    void fetch_nothingListening_givesNothingAtOnce()
    {
        const QUrl url(m_http->url(QStringLiteral("/update.txt")));
        m_http.reset(); // the port is closed now
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!fetchManifest(url));
        QVERIFY(clock.elapsed() < 3000);
    }

    void fetch_tooLarge_givesNothing_data()
    {
        QTest::addColumn<bool>("announced");
        QTest::newRow("length announced") << true;
        QTest::newRow("until the connection closes") << false;
    }

    void fetch_tooLarge_givesNothing()
    {
        QFETCH(bool, announced);
        const QByteArray body(10 << 20, '[');
        m_http->answer = [&](const QByteArray &) {
            return announced ? ok(body) : "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + body;
        };
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!fetchManifest(QUrl(m_http->url(QStringLiteral("/update.txt")))));
        qInfo("refused after %lld ms", clock.elapsed());
        // The same answer is taken whole under a higher limit.
        const auto text = fetchManifest(QUrl(m_http->url(QStringLiteral("/update.txt"))), 5000, 11 << 20);
        QVERIFY(text);
        QCOMPARE(text->size(), body.size());
        // The limit itself is still taken; one byte more is not.
        QVERIFY(fetchManifest(QUrl(m_http->url(QStringLiteral("/update.txt"))), 5000, body.size()));
        QVERIFY(!fetchManifest(QUrl(m_http->url(QStringLiteral("/update.txt"))), 5000, body.size() - 1));
    }

    void fetch_followsARedirect()
    {
        m_http->answer = [this](const QByteArray &path) {
            if (path == "/old.txt") {
                return "HTTP/1.1 301 Moved\r\nLocation: " + m_http->url(QStringLiteral("/update.txt")).toUtf8() +
                       "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
            }
            return ok("[103]");
        };
        const auto text = fetchManifest(QUrl(m_http->url(QStringLiteral("/old.txt"))));
        QVERIFY(text);
        QCOMPARE(*text, QByteArray("[103]"));
    }

    void fetch_endlessRedirects_givesUpAfterThree()
    {
        // /r0 -> /r1 -> /r2 -> ...: the highest number asked for counts the redirects followed (a request the
        // network layer sends again is no new hop).
        m_http->answer = [this](const QByteArray &path) {
            const int hop = path.mid(2).toInt();
            return "HTTP/1.1 302 Found\r\nLocation: " + m_http->url(QStringLiteral("/r%1").arg(hop + 1)).toUtf8() +
                   "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        };
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!fetchManifest(QUrl(m_http->url(QStringLiteral("/r0")))));
        QVERIFY(clock.elapsed() < 3000);
        int highest = -1;
        for (const QByteArray &path : std::as_const(m_http->paths))
            highest = std::max(highest, path.mid(2).toInt());
        QCOMPARE(highest, 3);
    }

    void fetch_otherSchemes_areNeverRead()
    {
        QVERIFY(writeFile(m_dir->filePath(QStringLiteral("update.txt")), "[104]"));
        QVERIFY(!fetchManifest(QUrl::fromLocalFile(m_dir->filePath(QStringLiteral("update.txt")))));
        QVERIFY(!fetchManifest(QUrl()));
    }

    void manifestUrl_settingsLineOverridesOurs_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QString>("url");
        const QString ours = QStringLiteral("http://updates.tunesmith.invalid/update.txt");
        QTest::newRow("no settings file") << QByteArray() << ours;
        QTest::newRow("no line") << QByteArray("upload|5\r\n") << ours;
        QTest::newRow("one line") << QByteArray("updateurl|http://a.test/update.txt\r\n")
                                  << QStringLiteral("http://a.test/update.txt");
        QTest::newRow("last line wins") << QByteArray("updateurl|http://a.test/1.txt\nupdateurl|http://b.test/2.txt")
                                        << QStringLiteral("http://b.test/2.txt");
        QTest::newRow("empty value ignored")
            << QByteArray("updateurl|http://a.test/1.txt\r\nupdateurl|\r\n") << QStringLiteral("http://a.test/1.txt");
        QTest::newRow("leading space is another key") << QByteArray(" updateurl|http://a.test/1.txt\r\n") << ours;
    }

    void manifestUrl_settingsLineOverridesOurs()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QString, url);
        if (!settings.isNull())
            QVERIFY(writeFile(m_state.settingsPath(), settings));
        QCOMPARE(manifestUrl(m_state), url);
    }

    void runUpdateCheck_decidesFromFetchedManifest_data()
    {
        QTest::addColumn<QByteArray>("manifest");
        QTest::addColumn<bool>("needed");
        QTest::newRow("newer release") << QByteArray("[104]") << true;
        QTest::newRow("same release") << QByteArray("[103]") << false;
        QTest::newRow("profile missing here") << QByteArray("[103]\r\n[1-1-2004|a.tsm]\r\n") << true;
        QTest::newRow("garbage") << QByteArray("<html><body>Not here</body></html>") << false;
        QTest::newRow("empty") << QByteArray() << false;
    }

    void runUpdateCheck_decidesFromFetchedManifest()
    {
        QFETCH(QByteArray, manifest);
        QFETCH(bool, needed);
        serve(manifest);
        pointSettingsAt(m_http->url(QStringLiteral("/update.txt")));
        QCOMPARE(runUpdateCheck(m_state), needed);
        QVERIFY(onlyAskedFor("/update.txt"));
    }

    void startup_updateNeededButNoUpdater_tellsThePlayerAndGoesOn()
    {
        serve("[104]");
        QVERIFY(writeFile(m_state.settingsPath(),
                          "update|1\r\nupdateurl|" + m_http->url(QStringLiteral("/update.txt")).toUtf8() + "\r\n"));
        QVERIFY(writeFile(m_state.profilesPath() + QStringLiteral("/Game.tsm"), QByteArray(600, 'x')));
        Dialogs::setRecording(true);
        Platform::setRecording(true);
        Platform::setStartSucceeds(false);
        Application app(m_state.programFolder);
        QVERIFY(app.start());
        const auto messages = Dialogs::takeMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].text.contains(QStringLiteral("Update.exe")));
        QVERIFY(app.loadWindow());
        QCOMPARE(app.loadWindow()->findChild<QListWidget *>(QStringLiteral("lstLoad"))->count(), 1);
        QVERIFY(onlyAskedFor("/update.txt"));
    }

    void runUpdateCheck_spacesInUrlAreSentAsPercent20()
    {
        serve("[104]");
        pointSettingsAt(m_http->url(QStringLiteral("/our updates/update.txt")));
        QVERIFY(runUpdateCheck(m_state));
        QVERIFY(onlyAskedFor("/our%20updates/update.txt"));
    }
};

QTEST_MAIN(TestUpdateFetch)
#include "tst_updatefetch.moc"
