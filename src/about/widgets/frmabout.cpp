#include "frmabout.h"

#include "app/fileutil.h"
#include "app/programstate.h"
#include "app/widgets/palettecolours.h"
#include "app/widgets/platform.h"
#include "app/widgets/twips.h"
#include "sndmidi.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QTimer>

namespace Tunesmith
{

namespace
{

// The frame's empty caption would leave a gap at its top: it is moved up by that much, and everything on it
// down again, as in the other dialogs.
constexpr int frameShift = 90;

QRect onFrame(int left, int top, int width, int height)
{
    return twipsRect(left, top + frameShift, width, height);
}

QLabel *link(QWidget *parent, const char *name, const QRect &geometry, const QString &text)
{
    auto *label = child<QLabel>(parent, name, geometry);
    label->setText(text);
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    const QColor blue = PaletteColours::readable(QColor(0, 0, 255), parent->palette().color(QPalette::Window));
    label->setStyleSheet(QStringLiteral("color: %1;").arg(blue.name()));
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

} // namespace

frmAbout::frmAbout(ProgramState &state, QWidget *owner)
    : QWidget(owner, Qt::Dialog)
    , m_state(state)
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("About"));
    setFont(namedFont(QStringLiteral("Verdana"), 8.25));
    setFixedSize(px(4335), px(3735));

    m_fraAbout = child<QGroupBox>(this, "fraAbout", twipsRect(0, -frameShift, 4335, 3735 + frameShift));
    QWidget *f = m_fraAbout;

    m_lblTitle = child<QLabel>(f, "Label1", onFrame(0, 120, 4300, 615));
    m_lblTitle->setText(tr("Tunesmith"));
    QFont title = namedFont(QStringLiteral("Century Gothic"), 27.75, true);
    // Geometric sans faces Debian ships, close to the intended one, before the general fallback.
    title.setFamilies({QStringLiteral("Century Gothic"), QStringLiteral("URW Gothic"),
                       QStringLiteral("TeX Gyre Adventor"), QStringLiteral("DejaVu Sans")});
    m_lblTitle->setFont(title);
    m_lblTitle->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_lblTitle->setStyleSheet(
        QStringLiteral("color: %1;")
            .arg(PaletteColours::readable(QColor(192, 64, 0), palette().color(QPalette::Window)).name()));

    m_line1 = child<QFrame>(f, "Line1", QRect(px(240), px(800 + frameShift), px(4080) - px(240) + 1, 1));
    m_line1->setFrameShape(QFrame::HLine);
    m_line1->setFrameShadow(QFrame::Plain);
    m_line1->setForegroundRole(QPalette::Dark);

    m_lblVersion = child<QLabel>(f, "lblVersion", onFrame(240, 855, 3855, 255));
    QFont bold = font();
    bold.setBold(true);
    m_lblVersion->setFont(bold);
    m_lblVersion->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    m_lblCredits = child<QLabel>(f, "Label3", onFrame(240, 1200, 3855, 255));
    m_lblCredits->setText(tr("Made by the Tunesmith team"));
    m_lblCredits->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_imgDonate = child<QLabel>(f, "imgDonate", onFrame(1200, 1560, 930, 465));
    m_imgDonate->setPixmap(QPixmap(m_state.programFolder + QStringLiteral("/donate.png")));
    m_imgDonate->setCursor(Qt::PointingHandCursor);
    m_imgDonate->setToolTip(tr("Donate"));

    m_lblSite = link(f, "lblSite", onFrame(2280, 1560, 975, 255), tr("Homepage"));
    m_lblEmail = link(f, "lblEmail", onFrame(2280, 1800, 495, 255), tr("Email"));
    for (QWidget *clickable :
         {static_cast<QWidget *>(m_imgDonate), static_cast<QWidget *>(m_lblSite), static_cast<QWidget *>(m_lblEmail)}) {
        clickable->installEventFilter(this);
    }

    m_lblNotes = child<QLabel>(f, "Label4", onFrame(240, 2160, 3855, 1455));
    m_lblNotes->setText(tr("Tunesmith changes only the lines of its tweaks in a game's config file and keeps a "
                           "dated backup of it first. Use it at your own risk: it comes with no warranty."));
    m_lblNotes->setWordWrap(true);
    m_lblNotes->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_sndMidi = new sndMidi(this);
    m_tmrMidi = new QTimer(this);
    m_tmrMidi->setObjectName(QStringLiteral("tmrMidi"));
    // One tick is enough: the tune starts once, shortly after the box opens.
    m_tmrMidi->setSingleShot(true);
    m_tmrMidi->setInterval(0);
    connect(m_tmrMidi, &QTimer::timeout, this, [this] { tmrMidi_Timer(); });

    Form_Load();
}

frmAbout::~frmAbout()
{
    // Deleted without a close (the program ending): the tune stops all the same.
    Form_Unload();
}

void frmAbout::Form_Load()
{
    m_lblVersion->setText(tr("v%1").arg(VersionText(ProgramState::versionNumber)));
    m_tmrMidi->start();
}

void frmAbout::Form_Unload()
{
    m_tmrMidi->stop();
    m_sndMidi->StopMidi(m_state.tunePath());
}

void frmAbout::tmrMidi_Timer()
{
    m_sndMidi->PlayMidi(m_state.tunePath());
}

void frmAbout::lblSite_Click()
{
    Platform::openLink(Platform::homePage());
}

void frmAbout::lblEmail_Click()
{
    Platform::openLink(Platform::mailLink());
}

void frmAbout::imgDonate_Click()
{
    Platform::openLink(Platform::donationPage());
}

void frmAbout::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    QWidget::closeEvent(event);
}

bool frmAbout::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        auto *widget = static_cast<QWidget *>(watched);
        // A click: the left button let go over the control it was pressed on.
        if (mouse->button() == Qt::LeftButton && widget->rect().contains(mouse->position().toPoint())) {
            if (watched == m_lblSite)
                lblSite_Click();
            else if (watched == m_lblEmail)
                lblEmail_Click();
            else if (watched == m_imgDonate)
                imgDonate_Click();
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace Tunesmith
