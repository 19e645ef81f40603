// Times a windowed program from the inside: loaded into the shipped tunesmith with LD_PRELOAD, or linked into the
// floor program, so both are timed by the very same code. It does nothing unless TUNESMITH_PROBE is set:
//   startup  report when the first top-level window named TUNESMITH_PROBE_WINDOW (default frmLoad) has painted;
//   load     then click its cmdLoad button and report when the window named frmIndex has painted.
// The report goes to the file TUNESMITH_PROBE_OUT as "key value" lines (CLOCK_MONOTONIC nanoseconds, which the
// bench script's clock shares, and the peak resident memory in KiB), and the process ends at once: tearing the
// windows down is not what a player waits for.

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <ctime>
#include <unistd.h>

namespace
{

qint64 monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

QByteArray statusField(const QByteArray &status, const QByteArray &key)
{
    for (const QByteArray &line : status.split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0);
    }
    return "0";
}

class Probe : public QObject
{
public:
    Probe(QByteArray mode, QString firstWindow, QString out)
        : QObject(QCoreApplication::instance())
        , m_mode(std::move(mode))
        , m_waitFor(std::move(firstWindow))
        , m_out(std::move(out))
    {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Posting the report, instead of reporting here, lets the paint of the whole window finish first.
        if (event->type() == QEvent::Paint && !m_pending && watched->isWidgetType()) {
            const auto *widget = static_cast<QWidget *>(watched);
            if (widget->isWindow() && widget->objectName() == m_waitFor) {
                m_pending = true;
                m_window = const_cast<QWidget *>(widget);
                QTimer::singleShot(0, this, [this] { painted(); });
            }
        }
        return false;
    }

private:
    void painted()
    {
        const qint64 now = monotonicNs();
        if (m_report.isEmpty()) {
            m_report += "shown " + QByteArray::number(now) + '\n';
            if (m_mode == "load") {
                auto *load = m_window->findChild<QAbstractButton *>(QStringLiteral("cmdLoad"));
                if (!load)
                    finish("error no cmdLoad button\n");
                m_report += "click " + QByteArray::number(monotonicNs()) + '\n';
                m_waitFor = QStringLiteral("frmIndex");
                m_pending = false;
                load->click();
                return;
            }
        } else {
            m_report += "loaded " + QByteArray::number(now) + '\n';
        }
        finish({});
    }

    [[noreturn]] void finish(const QByteArray &error)
    {
        QFile status(QStringLiteral("/proc/self/status"));
        const QByteArray fields = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
        m_report += "peak_rss_kib " + statusField(fields, "VmHWM:") + '\n';
        m_report += "rss_kib " + statusField(fields, "VmRSS:") + '\n';
        m_report += error;
        QFile out(m_out);
        const bool written = out.open(QIODevice::WriteOnly) && out.write(m_report) == m_report.size();
        out.close();
        _exit(written && error.isEmpty() ? 0 : 3);
    }

    QByteArray m_mode;
    QString m_waitFor;
    QString m_out;
    QByteArray m_report;
    QWidget *m_window = nullptr;
    bool m_pending = false;
};

void installProbe()
{
    const QByteArray mode = qgetenv("TUNESMITH_PROBE");
    if (mode != "startup" && mode != "load")
        return;
    QString window = qEnvironmentVariable("TUNESMITH_PROBE_WINDOW");
    if (window.isEmpty())
        window = QStringLiteral("frmLoad");
    auto *probe = new Probe(mode, window, qEnvironmentVariable("TUNESMITH_PROBE_OUT"));
    QCoreApplication::instance()->installEventFilter(probe);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)
