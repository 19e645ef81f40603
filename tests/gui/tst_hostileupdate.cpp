#include "app/programstate.h"
#include "app/updatecheck.h"
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
#include <QTimer>

#include <memory>

using namespace Tunesmith;

namespace
{

// How long the start-up may wait for a bad update server: the fetch gives up after five seconds, and the rest of
// the start-up takes a few milliseconds.
constexpr qint64 startupLimitMs = 5500;

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ok(const QByteArray &body)
{
    return "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" +
           body;
}

// A misbehaving update server on 127.0.0.1 in the test process.
class BadServer : public QObject
{
public:
    enum class Mode
    {
        Hang,         // takes the connection and never says a word
        Trickle,      // answers 200 and then one byte every 100 ms, for ever
        Flood,        // answers 200 with 100 MB and no length
        Drop,         // closes the connection halfway through the announced body
        Garbage,      // answers with bytes that are not HTTP
        RedirectLoop, // redirects to itself
        RedirectFile, // redirects to a file: URL
        Manifest,     // answers with `manifest`
    };

    Mode mode = Mode::Hang;
    QByteArray manifest;
    int requests = 0;

    BadServer()
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
                    m_requests[socket] += socket->readAll();
                    if (!m_requests[socket].contains("\r\n\r\n"))
                        return;
                    m_requests.remove(socket);
                    ++requests;
                    answer(socket);
                });
            }
        });
    }

    bool listen() { return m_server.listen(QHostAddress::LocalHost); }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/update.txt").arg(m_server.serverPort()); }

private:
    void answer(QTcpSocket *socket)
    {
        switch (mode) {
        case Mode::Hang:
            return;
        case Mode::Trickle: {
            socket->write("HTTP/1.1 200 OK\r\nContent-Length: 1000000\r\n\r\n[");
            auto *timer = new QTimer(socket);
            connect(timer, &QTimer::timeout, socket, [socket] { socket->write("1"); });
            timer->start(100);
            return;
        }
        case Mode::Flood: {
            socket->write("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n");
            const QByteArray chunk(1 << 20, '[');
            for (int i = 0; i < 100; ++i)
                socket->write(chunk);
            socket->disconnectFromHost();
            return;
        }
        case Mode::Drop:
            socket->write("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n[104]");
            socket->disconnectFromHost();
            return;
        case Mode::Garbage:
            socket->write(QByteArray(5000, '\xff'));
            socket->disconnectFromHost();
            return;
        case Mode::RedirectLoop:
            socket->write("HTTP/1.1 302 Found\r\nLocation: " + url().toUtf8() + "\r\nContent-Length: 0\r\n\r\n");
            socket->disconnectFromHost();
            return;
        case Mode::RedirectFile:
            socket->write("HTTP/1.1 302 Found\r\nLocation: file:///etc/hostname\r\nContent-Length: 0\r\n\r\n");
            socket->disconnectFromHost();
            return;
        case Mode::Manifest:
            socket->write(ok(manifest));
            socket->disconnectFromHost();
            return;
        }
    }

    QTcpServer m_server;
    QHash<QTcpSocket *, QByteArray> m_requests;
};

// A profile big enough to be kept at start-up (512 bytes or less are deleted).
QByteArray profile()
{
    QByteArray text = "[title]\r\nTest Game\r\n1-1-2004\r\nTester\r\n[syntax]\r\ngame.cfg\r\nseta cvar \"value\"\r\n";
    while (text.size() <= 600)
        text += "Notes at keyword position are skipped.\r\n";
    return text;
}

} // namespace

Q_DECLARE_METATYPE(BadServer::Mode)

// The update check against servers that hang, trickle, flood, drop, redirect, or list profile names that would
// leave the profiles folder. The answer is always "no update", and start-up goes on within seconds.
class TestHostileUpdate : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<BadServer> m_server;
    QString m_folder;

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_folder = m_dir->path();
        QVERIFY(QDir(m_folder).mkpath(QStringLiteral("profiles")));
        QVERIFY(writeFile(m_folder + QStringLiteral("/profiles/Test Game.tsm"), profile()));
        m_server = std::make_unique<BadServer>();
        QVERIFY(m_server->listen());
        QVERIFY(writeFile(m_folder + QStringLiteral("/config.cfg"), "updateurl|" + m_server->url().toUtf8() + "\r\n"));
        Dialogs::setRecording(true);
        Dialogs::takeMessages();
        Platform::setRecording(true);
        Platform::setStartSucceeds(true);
        Platform::takeStartedPrograms();
    }

    void cleanup()
    {
        m_server.reset();
        m_dir.reset();
    }

    void startup_badServer_goesOnWithinSeconds_data()
    {
        QTest::addColumn<BadServer::Mode>("mode");
        QTest::newRow("hangs") << BadServer::Mode::Hang;
        QTest::newRow("trickles") << BadServer::Mode::Trickle;
        QTest::newRow("sends 100 MB") << BadServer::Mode::Flood;
        QTest::newRow("drops the connection") << BadServer::Mode::Drop;
        QTest::newRow("speaks no HTTP") << BadServer::Mode::Garbage;
        QTest::newRow("redirects to itself") << BadServer::Mode::RedirectLoop;
        QTest::newRow("redirects to a file") << BadServer::Mode::RedirectFile;
    }

    void startup_badServer_goesOnWithinSeconds()
    {
        QFETCH(BadServer::Mode, mode);
        m_server->mode = mode;
        Application app(m_folder);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(app.start());
        const qint64 elapsed = clock.elapsed();
        qInfo("start-up went on after %lld ms", elapsed);
        QVERIFY2(elapsed < startupLimitMs, qPrintable(QString::number(elapsed)));
        QVERIFY(m_server->requests >= 1);
        // No update was started: the start-up window lists the profile.
        QVERIFY(Platform::takeStartedPrograms().isEmpty());
        QVERIFY(app.loadWindow());
        QCOMPARE(app.loadWindow()->findChild<QListWidget *>(QStringLiteral("lstLoad"))->count(), 1);
        QVERIFY(Dialogs::takeMessages().isEmpty());
    }

    void manifest_namesLeavingTheProfilesFolder_areNeverLookedUp_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("parent folders") << QByteArray("../../x.tsm");
        QTest::newRow("parent folder of the program") << QByteArray("../missing.tsm");
        QTest::newRow("absolute path") << QByteArray("/tmp/tunesmith-missing/x.tsm");
        QTest::newRow("backslashes") << QByteArray("..\\..\\x.tsm");
        QTest::newRow("a folder inside") << QByteArray("sub/x.tsm");
        QTest::newRow("dot dot") << QByteArray("..");
        QTest::newRow("dot") << QByteArray(".");
        QTest::newRow("NUL byte") << QByteArray("x.tsm\0/../../y", 14);
        QTest::newRow("empty") << QByteArray();
    }

    void manifest_namesLeavingTheProfilesFolder_areNeverLookedUp()
    {
        // A plain name of a missing profile asks for an update; each of these names points at a file that does not
        // exist either, so an update here would mean the name was looked up.
        QFETCH(QByteArray, name);
        m_server->mode = BadServer::Mode::Manifest;
        m_server->manifest = "[103]\r\n[1-1-2030|" + name + "]\r\n";
        ProgramState state;
        state.programFolder = m_folder;
        QVERIFY(!runUpdateCheck(state));
        m_server->manifest = "[103]\r\n[1-1-2030|missing.tsm]\r\n";
        QVERIFY(runUpdateCheck(state));
    }

    void fetch_flood_isRefusedWithoutTakingItAll()
    {
        m_server->mode = BadServer::Mode::Flood;
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!fetchManifest(QUrl(m_server->url())));
        qInfo("refused after %lld ms", clock.elapsed());
        QVERIFY(clock.elapsed() < startupLimitMs);
    }
};

QTEST_MAIN(TestHostileUpdate)
#include "tst_hostileupdate.moc"
