#include "frmload.h"

#include "app/fileutil.h"
#include "app/savefile.h"
#include "app/settings.h"
#include "app/textcodec.h"
#include "app/textlines.h"
#include "application.h"
#include "dialogs.h"
#include "loader/installhints.h"
#include "palettecolours.h"
#include "platform.h"
#include "twips.h"
#include "updatefetch.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <QProcessEnvironment>
#include <QPushButton>

namespace Tunesmith
{

frmLoad::frmLoad(Application &app, QWidget *owner)
    : QWidget(owner, Qt::Window)
    , m_app(app)
{
    setObjectName(QStringLiteral("frmLoad"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Load Game Profile"));
    setFont(namedFont(QStringLiteral("Verdana"), 8.25));
    setFixedSize(px(3615), px(4995));

    m_fraLoad = child<QGroupBox>(this, "fraLoad", twipsRect(0, 0, 3615, 3615));
    m_lblLoad = child<QLabel>(m_fraLoad, "lblLoad", twipsRect(240, 240, 3135, 495));
    m_lblLoad->setText(tr("Please choose the game profile you wish to load:"));
    m_lblLoad->setWordWrap(true);
    m_lblLoad->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_lstLoad = child<QListWidget>(m_fraLoad, "lstLoad", twipsRect(240, 720, 3135, 2175));
    m_cmdLoad = child<QPushButton>(m_fraLoad, "cmdLoad", twipsRect(240, 3000, 2120, 495));
    m_cmdLoad->setText(tr("Load!"));
    m_cmdLoad->setFont(namedFont(QStringLiteral("Arial Black"), 12, true));
    m_imgDonate = child<QLabel>(m_fraLoad, "imgDonate", twipsRect(2450, 3020, 930, 465));
    m_imgDonate->setPixmap(QPixmap(m_app.state().programFolder + QStringLiteral("/donate.png")));
    m_imgDonate->setCursor(Qt::PointingHandCursor);
    m_imgDonate->setToolTip(tr("Support Tunesmith"));
    m_imgDonate->installEventFilter(this);

    m_fraInfo = child<QGroupBox>(this, "fraInfo", twipsRect(0, 3600, 3615, 1395));
    m_lblGame = child<QLabel>(m_fraInfo, "lblGame", twipsRect(240, 240, 3135, 255));
    m_lblGame->setText(tr("Game:"));
    m_lblDate = child<QLabel>(m_fraInfo, "lblDate", twipsRect(240, 480, 3135, 255));
    m_lblDate->setText(tr("Date: "));
    m_lblAuthor = child<QLabel>(m_fraInfo, "lblAuthor", twipsRect(240, 720, 3135, 255));
    m_lblAuthor->setText(tr("Author: "));
    for (QLabel *label : {m_lblGame, m_lblDate, m_lblAuthor})
        label->setTextFormat(Qt::PlainText); // profile texts are shown as written, never as markup
    m_lblInstallLocation = child<QLabel>(m_fraInfo, "lblInstallLocation", twipsRect(240, 960, 3135, 255));
    m_lblInstallLocation->setText(tr("Install Dir:"));
    m_txtInstallLocation = child<QLineEdit>(m_fraInfo, "txtInstallLocation", twipsRect(1200, 945, 1575, 270));
    m_txtInstallLocation->setReadOnly(true);
    m_txtInstallLocation->setFont(namedFont(QStringLiteral("Verdana"), 6.75));
    const PaletteColours::BoxColours box = PaletteColours::lockedBox(palette());
    m_txtInstallLocation->setStyleSheet(
        QStringLiteral("background-color: %1; color: %2;").arg(box.background.name(), box.text.name()));
    m_cmdLocation = child<QPushButton>(m_fraInfo, "cmdLocation", twipsRect(2880, 960, 495, 255));
    m_cmdLocation->setText(tr("Edit"));

    connect(m_lstLoad, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            lstLoad_Click();
    });
    connect(m_lstLoad, &QListWidget::itemDoubleClicked, this, [this] { lstLoad_DblClick(); });
    // Return on an entry loads it too; itemActivated is not used, as a double click would load twice.
    m_lstLoad->installEventFilter(this);
    connect(m_cmdLoad, &QPushButton::clicked, this, [this] { cmdLoad_Click(); });
    connect(m_cmdLocation, &QPushButton::clicked, this, [this] { cmdLocation_Click(); });
}

bool frmLoad::Form_Load()
{
    ProgramState &state = m_app.state();
    prepareProgramFolder();
    Settings::read(state);
    if (state.autoUpdate && runUpdateCheck(state)) {
        if (m_app.startUpdater()) {
            m_app.UnloadAllWindows();
            return false;
        }
        // Ending here would end every start the same way, and the Auto Update option is only reached from the
        // main window: the player is told, and the start goes on.
        Dialogs::message(this, QMessageBox::Warning, tr("Tunesmith"),
                         tr("An update is available, but the updater %1 could not be started.")
                             .arg(QDir::toNativeSeparators(state.updaterPath())));
    }
    listProfiles();
    if (m_lstLoad->count() > 0) {
        m_lstLoad->setCurrentRow(0);
        return true;
    }
    m_cmdLoad->setEnabled(false);
    m_cmdLocation->setEnabled(false);
    if (!m_app.startUpdater()) {
        Dialogs::message(
            this, QMessageBox::Warning, tr("Tunesmith"),
            tr("No game profiles were found in the profiles folder %1, and the updater %2 could not be "
               "started.")
                .arg(QDir::toNativeSeparators(state.profilesPath()), QDir::toNativeSeparators(state.updaterPath())));
    }
    m_app.UnloadAllWindows();
    return false;
}

void frmLoad::prepareProgramFolder()
{
    const ProgramState &state = m_app.state();
    if (!FolderExists(state.profilesPath()))
        QDir().mkdir(state.profilesPath());
    if (!FolderExists(state.backupsPath()))
        QDir().mkdir(state.backupsPath());
    if (!FileExists(state.settingsPath()))
        saveFile(state.settingsPath(), QByteArray(), nullptr);
    if (FileExists(state.versionPath()))
        QFile::remove(state.versionPath());
    ReplaceOrAppend(state.versionPath(), QByteArray(), QByteArray::number(ProgramState::versionNumber));
}

void frmLoad::listProfiles()
{
    const QDir profiles(m_app.state().profilesPath());
    const QFileInfoList files =
        profiles.entryInfoList({QStringLiteral("*.tsm")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    m_lstLoad->clear();
    for (const QFileInfo &file : files) {
        if (!file.fileName().endsWith(QStringLiteral("tsm")))
            continue;
        if (file.size() <= 512) {
            // A profile this small is broken (an interrupted download); the updater fetches it again.
            QFile::remove(file.absoluteFilePath());
            continue;
        }
        m_lstLoad->addItem(file.fileName().section(QLatin1Char('.'), 0, 0));
    }
}

QString frmLoad::selectedEntry() const
{
    const QListWidgetItem *item = m_lstLoad->currentItem();
    return item ? item->text() : QString();
}

void frmLoad::setInstallLocationText(const QString &text)
{
    showInstallDir(text, false);
}

void frmLoad::showInstallDir(const QString &text, bool found)
{
    if (!found)
        m_foundDir.clear();
    m_txtInstallLocation->setText(text);
    QFont font = m_txtInstallLocation->font();
    font.setItalic(found);
    m_txtInstallLocation->setFont(font);
    const QString note =
        found ? tr("Found where this game keeps its config; stored when you load the profile") : QString();
    m_txtInstallLocation->setToolTip(note);
    m_txtInstallLocation->setAccessibleDescription(note);
}

void frmLoad::lstLoad_Click()
{
    ProgramState &state = m_app.state();
    state.currentProfile = selectedEntry() + QStringLiteral(".tsm");
    const auto bytes = readWholeFile(state.profilesPath() + QLatin1Char('/') + state.currentProfile);
    bool readable = bytes.has_value();
    if (readable) {
        const QList<QByteArrayView> lines = splitLineViews(*bytes);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (!isKeyword(lines[i], "[title]"))
                continue;
            if (i + 3 >= lines.size()) {
                readable = false; // the file ends inside its title block
                break;
            }
            m_lblGame->setText(tr("Game: ") + decodeText(lines[i + 1]));
            m_lblDate->setText(tr("Date: ") + decodeText(lines[i + 2]));
            m_lblAuthor->setText(tr("Author: ") + decodeText(lines[i + 3]));
        }
    }
    if (!readable) {
        // This entry's directory is not looked up: the last entry's must not stay in its place, to be loaded with
        // this one or shown as its directory.
        state.installDir.clear();
        showInstallDir(tr("No Entry Found"), false);
        Dialogs::message(this, QMessageBox::NoIcon, tr("Tunesmith"),
                         tr("An error occured reading the profile's [Title] description."));
        return;
    }
    if (!Settings::lookupInstallDir(state))
        return; // the settings file could not be read: the box keeps what it showed
    m_foundDir.clear();
    if (state.installDir.isEmpty()) {
        m_foundDir = InstallHints::findForProfile(state.profilesPath() + QLatin1Char('/') + state.currentProfile,
                                                  QProcessEnvironment::systemEnvironment());
        state.installDir = m_foundDir;
    }
    showInstallDir(state.installDir.isEmpty() ? tr("No Entry Found") : state.installDir, !m_foundDir.isEmpty());
}

void frmLoad::lstLoad_DblClick()
{
    cmdLoad_Click();
}

void frmLoad::cmdLoad_Click()
{
    if (!m_lstLoad->currentItem())
        return;
    ProgramState &state = m_app.state();
    if (state.installDir.isEmpty()) {
        cmdLocation_Click();
        return;
    }
    QString error;
    if (!m_foundDir.isEmpty() && state.installDir == m_foundDir) {
        // Loading takes the found folder as the player's choice, stored as the "Edit" dialog stores one.
        if (Settings::storeInstallDir(state, state.currentProfile, QString(), m_foundDir, &error))
            showInstallDir(state.installDir, false);
        else
            Dialogs::message(this, QMessageBox::Warning, tr("Tunesmith"), error);
    }
    if (!m_app.loadProfileWindow(state.profilesPath() + QLatin1Char('/') + state.currentProfile, &error)) {
        Dialogs::message(this, QMessageBox::Warning, tr("Tunesmith"), error);
        // Reopened from the main window, this window was hidden when that one was discarded.
        show();
        return;
    }
    m_app.unload(this);
}

void frmLoad::cmdLocation_Click()
{
    if (!m_lstLoad->currentItem())
        return;
    m_app.state().currentProfile = selectedEntry() + QStringLiteral(".tsm");
    m_app.showLocationWindow(this);
}

void frmLoad::imgDonate_Click()
{
    Platform::openLink(Platform::donationPage());
}

bool frmLoad::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_lstLoad && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            lstLoad_DblClick();
            return true;
        }
    }
    if (watched == m_imgDonate && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        imgDonate_Click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace Tunesmith
