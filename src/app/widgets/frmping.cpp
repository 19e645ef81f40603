#include "frmping.h"

#include "app/fileutil.h"
#include "app/numbertext.h"
#include "app/programstate.h"
#include "app/settings.h"
#include "app/speedunits.h"
#include "dialogs.h"
#include "loader/loadedprofile.h"
#include "palettecolours.h"
#include "twips.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

namespace Tunesmith
{

namespace
{

QLabel *label(QWidget *parent, const char *name, const QRect &geometry, const QString &text, bool bold = false)
{
    auto *widget = child<QLabel>(parent, name, geometry);
    widget->setText(text);
    widget->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (bold) {
        QFont font = widget->font();
        font.setBold(true);
        widget->setFont(font);
        // A heading stands on its line, which shows only beyond the heading's text.
        widget->setAutoFillBackground(true);
    }
    return widget;
}

// A line from (x1, y) to (x2, y), in twips.
QFrame *horizontalLine(QWidget *parent, const char *name, int x1, int x2, int y)
{
    auto *line = child<QFrame>(parent, name, QRect(px(x1), px(y), px(x2) - px(x1) + 1, 1));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setForegroundRole(QPalette::Dark);
    return line;
}

// Digits with at most one point: a number, though perhaps one too large for 32 bits.
bool looksLikeNumber(const QByteArray &text)
{
    static const QRegularExpression number(QStringLiteral("^ *([0-9]+\\.?[0-9]*|\\.[0-9]+) *$"));
    return number.match(QString::fromUtf8(text)).hasMatch();
}

constexpr int unitByte = 1; // "Byte/s"
constexpr int unitKbit = 2; // "kbit/s"
constexpr int presetCustom = 0;

} // namespace

frmPing::frmPing(ProgramState &state, LoadedProfile *profile, QWidget *owner)
    : QWidget(owner, Qt::Dialog)
    , m_state(state)
    , m_profile(profile)
{
    setObjectName(QStringLiteral("frmPing"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Connection Settings"));
    setFont(namedFont(QStringLiteral("Verdana"), 8.25));
    setFixedSize(px(4335), px(4335));

    // The frame's empty caption would leave a gap at its top: it is moved up by that much, as the install
    // directory dialog does.
    m_frame = child<QGroupBox>(this, "Frame1", twipsRect(0, -90, 4335, 4425));
    QWidget *f = m_frame;
    auto at = [](int left, int top, int width, int height) { return twipsRect(left, top + 90, width, height); };

    m_lblIntro = label(f, "Label1", at(240, 360, 3855, 615),
                       tr("To optimize your connection for online play, you need to provide Tunesmith with your "
                          "upload and download speed:"));
    m_lblIntro->setWordWrap(true);
    m_line2 = horizontalLine(f, "Line2", 240, 4080, 1200 + 90);
    m_lblPreset = label(f, "Label4", at(240, 1080, 645, 255), tr("Preset"), true);
    m_lblConnection = label(f, "Label6", at(240, 1320, 2175, 255), tr("My connection type:"));
    m_cmbPreset = child<QComboBox>(f, "cmbPreset", at(240, 1560, 3855, 315));
    m_line1 = horizontalLine(f, "Line1", 240, 4080, 2160 + 90);
    m_lblCustom = label(f, "Label2", at(240, 2040, 735, 255), tr("Custom"), true);
    m_lblUpload = label(f, "Label3", at(240, 2280, 2175, 255), tr("My upload speed is:"));
    m_txtUSpeed = child<QLineEdit>(f, "txtUSpeed", at(240, 2520, 2295, 285));
    m_cmbUType = child<QComboBox>(f, "cmbUType", at(2640, 2520, 1455, 315));
    m_lblDownload = label(f, "Label5", at(240, 2880, 2175, 255), tr("My download speed is:"));
    m_txtDSpeed = child<QLineEdit>(f, "txtDSpeed", at(240, 3120, 2295, 285));
    m_cmbDType = child<QComboBox>(f, "cmbDType", at(2640, 3120, 1455, 315));
    m_cmdSave = child<QPushButton>(f, "cmdSave", at(240, 3600, 3855, 495));
    m_cmdSave->setText(tr("Save!"));
    m_cmdSave->setFont(namedFont(QStringLiteral("Arial Black"), 12, true));

    // Says why a speed cannot be saved, at the right end of the caption of the box concerned.
    m_lblError = label(f, "lblError", QRect(), QString());
    QFont small = m_lblError->font();
    small.setPointSizeF(7);
    m_lblError->setFont(small);
    m_lblError->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_lblError->setStyleSheet(
        QStringLiteral("color: %1;")
            .arg(PaletteColours::readable(QColor(208, 0, 0), palette().color(QPalette::Window)).name()));
    m_lblError->hide();

    m_txtUSpeed->installEventFilter(this);
    m_txtDSpeed->installEventFilter(this);

    Form_Load();
}

void frmPing::Form_Load()
{
    m_cmbUType->addItems(SpeedUnits::uploadUnits());
    m_cmbDType->addItems(SpeedUnits::downloadUnits());
    for (const SpeedUnits::ConnectionPreset &preset : SpeedUnits::connectionPresets())
        m_cmbPreset->addItem(preset.name);
    // The lists start with nothing selected, so that selecting "Custom" below is a change that runs the handler.
    m_cmbUType->setCurrentIndex(-1);
    m_cmbDType->setCurrentIndex(-1);
    m_cmbPreset->setCurrentIndex(-1);
    // Every setting of the preset selection runs the handler, by the player or by the program; the program setting
    // the entry that is already selected is no change and runs nothing.
    connect(m_cmbPreset, &QComboBox::currentIndexChanged, this, [this] {
        m_presetChanged = true;
        QTimer::singleShot(0, this, [this] { m_presetChanged = false; });
        cmbPreset_Click();
    });
    // The player picking the entry that is already selected changes nothing, yet it is a pick: it fills the
    // boxes again. A pick that changed the selection has run the handler above already.
    connect(m_cmbPreset, &QComboBox::activated, this, [this] {
        if (!m_presetChanged)
            cmbPreset_Click();
    });
    connect(m_cmbUType, &QComboBox::currentIndexChanged, this, [this] { clearError(); });
    connect(m_cmbDType, &QComboBox::currentIndexChanged, this, [this] { clearError(); });
    connect(m_txtUSpeed, &QLineEdit::textChanged, this, [this] { clearError(); });
    connect(m_txtDSpeed, &QLineEdit::textChanged, this, [this] { clearError(); });
    connect(m_cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });

    m_cmbPreset->setCurrentIndex(presetCustom);
    m_cmbUType->setCurrentIndex(unitByte);
    m_cmbDType->setCurrentIndex(unitByte);
    m_txtUSpeed->setText(QString::fromLatin1(numberText(m_state.uploadSpeed)));
    m_txtDSpeed->setText(QString::fromLatin1(numberText(m_state.downloadSpeed)));
}

void frmPing::cmbPreset_Click()
{
    m_cmbUType->setCurrentIndex(unitKbit);
    m_cmbDType->setCurrentIndex(unitKbit);
    const int position = m_cmbPreset->currentIndex();
    const QList<SpeedUnits::ConnectionPreset> presets = SpeedUnits::connectionPresets();
    if (position <= presetCustom || position >= presets.size())
        return;
    m_txtUSpeed->setText(QString::number(presets[position].uploadKbit));
    m_txtDSpeed->setText(QString::number(presets[position].downloadKbit));
}

bool frmPing::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == m_txtUSpeed || watched == m_txtDSpeed) && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Keys that type a character; Tab moves the focus and Delete edits, as they never type one.
        if (key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab && key->key() != Qt::Key_Delete)
            return txtSpeed_KeyPress(key->text());
    }
    return QWidget::eventFilter(watched, event);
}

bool frmPing::txtSpeed_KeyPress(const QString &keyText)
{
    if (keyText.size() != 1 || keyText.at(0).unicode() == 0)
        return false;
    m_cmbPreset->setCurrentIndex(presetCustom);
    const ushort code = keyText.at(0).unicode();
    // Only digits, "." and backspace reach the box; any other character, control keys included, is swallowed.
    return code > 0x7fff || NumericKeyFilter(qint16(code)) == 0;
}

void frmPing::cmdSave_Click()
{
    // Says briefly what is wrong with a box's text; the full reason goes to the tooltip.
    auto check = [this](QLineEdit *box, QComboBox *unit, QLabel *caption) -> std::optional<qint32> {
        const QByteArray text = box->text().toUtf8();
        QString reason;
        const auto bytes = SpeedUnits::parseSpeed(text, unit->currentIndex(), &reason);
        if (bytes && *bytes >= 0)
            return bytes;
        QString brief;
        if (text.trimmed().isEmpty())
            brief = tr("Enter a speed");
        else if (bytes)
            brief = reason = tr("Below zero");
        else if (!looksLikeNumber(text))
            brief = tr("Not a number");
        else
            brief = tr("Too large");
        showError(caption, brief, reason);
        return std::nullopt;
    };
    const auto upload = check(m_txtUSpeed, m_cmbUType, m_lblUpload);
    if (!upload)
        return;
    const auto download = check(m_txtDSpeed, m_cmbDType, m_lblDownload);
    if (!download)
        return;

    QString error;
    if (!Settings::storeSpeeds(m_state, *upload, *download, &error)) {
        Dialogs::message(this, QMessageBox::Warning, windowTitle(),
                         tr("The speeds could not be saved.") + u'\n' + error);
        return;
    }
    if (m_profile) {
        for (const auto &tweak : m_profile->simple) {
            if (tweak->hasRule())
                tweak->SetPing();
        }
        for (const auto &tweak : m_profile->text) {
            if (tweak->hasRule())
                tweak->SetPing();
        }
    }
    emit saved();
    close();
}

void frmPing::showError(QLabel *caption, const QString &text, const QString &reason)
{
    const QRect row = caption->geometry();
    const int right = m_cmbUType->geometry().right();
    const int left = row.left() + caption->fontMetrics().horizontalAdvance(caption->text()) + px(120);
    m_lblError->setGeometry(left, row.top(), right - left + 1, row.height());
    m_lblError->setText(text);
    m_lblError->setToolTip(reason);
    m_lblError->show();
}

void frmPing::clearError()
{
    m_lblError->hide();
    m_lblError->clear();
    m_lblError->setToolTip(QString());
}

} // namespace Tunesmith
