#include "app/programstate.h"
#include "app/widgets/updatefetch.h"
#include "programfolder.h"

#include <QElapsedTimer>
#include <QListWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace Tunesmith;
using namespace Qt::StringLiterals;

namespace
{

QByteArray ok(const QByteArray &body)
{
    return "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" +
           body;
}

QByteArray redirect(const QByteArray &location)
{
    return "HTTP/1.1 302 Found\r\nLocation: " + location + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
}

// A web server on 127.0.0.1 in the test process, answering each request by hand: answer(path) gives the raw
// response, after which the connection closes; "" keeps the connection open without a word.
class HttpStub : public QObject
{
public:
    std::function<QByteArray(const QByteArray &path)> answer;
    bool trickle = false; // answers 200 and then one byte every 100 ms, for ever
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
                    paths << request->left(request->indexOf("\r\n")).split(' ').value(1);
                    request->clear();
                    if (trickle) {
                        socket->write("HTTP/1.1 200 OK\r\nContent-Length: 1000000\r\n\r\n[");
                        auto *timer = new QTimer(socket);
                        connect(timer, &QTimer::timeout, socket, [socket] { socket->write("1"); });
                        timer->start(100);
                        return;
                    }
                    const QByteArray response = answer ? answer(paths.last()) : QByteArray();
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
    QString url(const QString &path = u"/update.txt"_s) const
    {
        return u"http://127.0.0.1:%1%2"_s.arg(m_server.serverPort()).arg(path);
    }
    void serve(const QByteArray &response)
    {
        answer = [response](const QByteArray &) { return response; };
    }
    // Every request asked for path (the network layer may send one again on a new connection).
    bool onlyAskedFor(const QByteArray &path) const { return !paths.isEmpty() && paths.count(path) == paths.size(); }

private:
    QTcpServer m_server;
};

} // namespace

// The update check's fetch and its start-up, against our stub server and against servers that hang, trickle, flood,
// drop, redirect, or list profile names that would leave the profiles folder.
class TestUpdateFetch : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ProgramFolder> m_folder; // its one profile is listed at start-up
    std::unique_ptr<HttpStub> m_http;
    ProgramState m_state;

    void pointSettingsAt(const QString &url, const QByteArray &more = {})
    {
        QVERIFY(writeAll(m_state.settingsPath(), more + "updateurl|" + url.toUtf8() + "\r\n"));
    }
    std::optional<QByteArray> fetch(const QString &path = u"/update.txt"_s, qint64 maxBytes = 1 << 20)
    {
        return fetchManifest(QUrl(m_http->url(path)), 5000, maxBytes);
    }

private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<ProgramFolder>();
        m_state = ProgramState();
        m_state.programFolder = m_folder->path;
        m_http = std::make_unique<HttpStub>();
        QVERIFY(m_http->listen());
    }

    void cleanup()
    {
        m_http.reset();
        m_folder.reset();
    }

    void fetch_givesWholeTextOrNothingOnErrorStatus()
    {
        const QByteArray manifest = "[104]\r\n[1-1-2004|a.tsm]\r\n";
        m_http->serve(ok(manifest));
        QCOMPARE(fetch().value_or("(nothing)"), manifest);
        for (const char *status : {"404 Not Found", "500 Oops"}) {
            m_http->serve("HTTP/1.1 " + QByteArray(status) + "\r\nContent-Length: 5\r\nConnection: close\r\n\r\n[104]");
            QVERIFY(!fetch());
        }
        QVERIFY(m_http->onlyAskedFor("/update.txt"));
    }

    void fetch_tooLarge_givesNothing()
    {
        const QByteArray body(10 << 20, '[');
        // With its length announced, and without: until the connection closes.
        for (const QByteArray &response : {ok(body), "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + body}) {
            m_http->serve(response);
            QVERIFY(!fetch());
            // The same answer is taken whole when it is as large as the limit, and not a byte more.
            QCOMPARE(fetch(u"/update.txt"_s, body.size()).value_or(QByteArray()).size(), body.size());
            QVERIFY(!fetch(u"/update.txt"_s, body.size() - 1));
        }
    }

    void fetch_followsRedirects_upToThree()
    {
        // /r0 -> /r1 -> /r2 -> ...: the highest number asked for counts the redirects followed (a request the
        // network layer sends again is no new hop).
        int answerAt = 2;
        m_http->answer = [&](const QByteArray &path) {
            const int hop = path.mid(2).toInt();
            return hop == answerAt ? ok("[103]") : redirect("/r" + QByteArray::number(hop + 1));
        };
        QCOMPARE(fetch(u"/r0"_s).value_or(QByteArray()), QByteArray("[103]"));
        answerAt = -1;
        m_http->paths.clear();
        QVERIFY(!fetch(u"/r0"_s));
        int highest = -1;
        for (const QByteArray &path : std::as_const(m_http->paths))
            highest = std::max(highest, path.mid(2).toInt());
        QCOMPARE(highest, 3);
    }

    void fetch_otherSchemeOrNothingListening_givesNothingAtOnce()
    {
        QVERIFY(!fetchManifest(QUrl::fromLocalFile(QStringLiteral(__FILE__))));
        QVERIFY(!fetchManifest(QUrl()));
        const QUrl url(m_http->url());
        m_http.reset(); // the port is closed now
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!fetchManifest(url));
        QVERIFY(clock.elapsed() < 3000);
    }

    void manifestUrl_settingsLineOverridesOurs()
    {
        const QString ours = u"http://updates.tunesmith.invalid/update.txt"_s;
        QCOMPARE(manifestUrl(m_state), ours); // no updateurl line
        // The last line wins; an empty value is none; with a space before it, the key is another.
        const std::pair<QByteArray, QString> lines[] = {
            {"updateurl|http://a.test/1.txt\nupdateurl|http://b.test/2.txt", u"http://b.test/2.txt"_s},
            {"updateurl|http://a.test/1.txt\r\nupdateurl|\r\n", u"http://a.test/1.txt"_s},
            {" updateurl|http://a.test/1.txt\r\n", ours}};
        for (const auto &[settings, url] : lines) {
            QVERIFY(writeAll(m_state.settingsPath(), settings));
            QCOMPARE(manifestUrl(m_state), url);
        }
    }

    void runUpdateCheck_namesLeavingTheProfilesFolder_areNeverLookedUp()
    {
        // A plain name of a missing profile asks for an update; each of these names points at a file that does not
        // exist either, so an update here would mean one of them was looked up.
        pointSettingsAt(m_http->url(u"/our updates/update.txt"_s));
        QByteArray manifest = "[103]\r\n";
        for (const QByteArray &name :
             {QByteArray("../../x.tsm"), QByteArray("../missing.tsm"), QByteArray("/tmp/tunesmith-missing/x.tsm"),
              QByteArray("..\\..\\x.tsm"), QByteArray("sub/x.tsm"), QByteArray(".."), QByteArray("."),
              QByteArray("x.tsm\0", 6), QByteArray()})
            manifest += "[1-1-2030|" + name + "]\r\n";
        m_http->serve(ok(manifest));
        QVERIFY(!runUpdateCheck(m_state));
        m_http->serve(ok("[103]\r\n[1-1-2030|missing.tsm]\r\n"));
        QVERIFY(runUpdateCheck(m_state));
        QVERIFY(m_http->onlyAskedFor("/our%20updates/update.txt")); // spaces in the address are sent as %20
    }

    void startup_badServer_goesOnWithinSeconds_data()
    {
        QTest::addColumn<QByteArray>("response");
        QTest::addColumn<bool>("trickle");
        QTest::newRow("hangs") << QByteArray() << false;
        QTest::newRow("trickles") << QByteArray() << true;
        QTest::newRow("sends 100 MB") << "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + QByteArray(100 << 20, '[')
                                      << false;
        QTest::newRow("drops the connection")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n[104]") << false;
        QTest::newRow("speaks no HTTP") << QByteArray(5000, '\xff') << false;
        QTest::newRow("redirects to itself") << redirect("/update.txt") << false;
        QTest::newRow("redirects to a file") << redirect("file:///etc/hostname") << false;
    }

    void startup_badServer_goesOnWithinSeconds()
    {
        QFETCH(QByteArray, response);
        QFETCH(bool, trickle);
        m_http->serve(response);
        m_http->trickle = trickle;
        pointSettingsAt(m_http->url());
        Application app(m_state.programFolder);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(app.start());
        const qint64 elapsed = clock.elapsed();
        qInfo("start-up went on after %lld ms", elapsed);
        // The fetch gives up after five seconds; the rest of the start-up takes a few milliseconds.
        QVERIFY2(elapsed < 5500, qPrintable(QString::number(elapsed)));
        if (response.isEmpty()) // the fetch waits its five seconds for an answer that never ends
            QVERIFY2(elapsed >= 4500, qPrintable(QString::number(elapsed)));
        QVERIFY(!m_http->paths.isEmpty());
        // No update was started: the start-up window lists the profile.
        QVERIFY(Platform::takeStartedPrograms().isEmpty());
        QVERIFY(Dialogs::takeMessages().isEmpty());
        QCOMPARE(app.loadWindow()->findChild<QListWidget *>(u"lstLoad"_s)->count(), 1);
    }

    void startup_updateNeededButNoUpdater_tellsThePlayerAndGoesOn()
    {
        m_http->serve(ok("[104]"));
        pointSettingsAt(m_http->url(), "update|1\r\n");
        Platform::setStartSucceeds(false);
        Application app(m_state.programFolder);
        QVERIFY(app.start());
        const auto messages = Dialogs::takeMessages();
        QVERIFY(messages.size() == 1 && messages[0].text.contains(u"Update.exe"_s));
        QCOMPARE(app.loadWindow()->findChild<QListWidget *>(u"lstLoad"_s)->count(), 1);
        QVERIFY(m_http->onlyAskedFor("/update.txt"));
    }
};

QTEST_MAIN(TestUpdateFetch)
#include "tst_updatefetch.moc"
