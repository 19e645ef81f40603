#include "frmlocation.h"

#include "app/settings.h"
#include "application.h"
#include "dialogs.h"
#include "frmload.h"
#include "palettecolours.h"
#include "twips.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStorageInfo>
#include <QTreeView>

namespace Tunesmith
{

namespace
{

constexpr QColor darkOrange(192, 64, 0);

} // namespace

frmLocation::frmLocation(Application &app, QWidget *owner)
    : QWidget(owner, Qt::Dialog)
    , m_app(app)
{
    setObjectName(QStringLiteral("frmLocation"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Install Directory"));
    setFont(namedFont(QStringLiteral("Verdana"), 8.25));
    setFixedSize(px(4335), px(5445));

    m_fraLocation = child<QGroupBox>(this, "fraLocation", twipsRect(0, -90, 4335, 5535));
    m_lblPrompt = child<QLabel>(m_fraLocation, "lblLocation", twipsRect(240, 360, 3855, 615));
    m_lblPrompt->setProperty("index", 0);
    m_lblPrompt->setWordWrap(true);
    m_lblPrompt->setTextFormat(Qt::PlainText);
    m_lblPrompt->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_lblCurrent = child<QLabel>(m_fraLocation, "lblLocation", twipsRect(240, 960, 3855, 255));
    m_lblCurrent->setProperty("index", 1);
    m_lblCurrent->setText(tr("Current default install dir:"));
    m_txtCurrent = child<QLineEdit>(m_fraLocation, "txtCurrent", twipsRect(240, 1200, 3855, 285));
    m_txtCurrent->setReadOnly(true);
    const QColor lockedGrey = PaletteColours::lockedBox(palette()).background;
    m_txtCurrent->setStyleSheet(QStringLiteral("color: %1; background-color: %2;")
                                    .arg(PaletteColours::readable(darkOrange, lockedGrey).name(), lockedGrey.name()));
    m_lblNew = child<QLabel>(m_fraLocation, "lblLocation", twipsRect(240, 1680, 1935, 255));
    m_lblNew->setProperty("index", 2);
    m_lblNew->setText(tr("New default install dir:"));
    m_txtNew = child<QLineEdit>(m_fraLocation, "txtNew", twipsRect(240, 1920, 3855, 285));
    m_txtNew->setStyleSheet(
        QStringLiteral("color: %1;").arg(PaletteColours::readable(darkOrange, palette().color(QPalette::Base)).name()));
    m_drvLocation = child<QComboBox>(m_fraLocation, "drvLocation", twipsRect(240, 2280, 3855, 315));
    m_dirLocation = child<QTreeView>(m_fraLocation, "dirLocation", twipsRect(240, 2640, 3855, 2115));
    m_cmdSave = child<QPushButton>(m_fraLocation, "cmdSave", twipsRect(240, 4800, 3855, 495));
    m_cmdSave->setText(tr("Save!"));
    m_cmdSave->setFont(namedFont(QStringLiteral("Arial Black"), 12, true));

    // Places stand where drives would: the root folder, the home folder and every mounted volume.
    QStringList places{QDir::rootPath(), QDir::homePath()};
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (volume.isValid() && volume.isReady() && !places.contains(root) &&
            !root.startsWith(QStringLiteral("/proc")) && !root.startsWith(QStringLiteral("/sys")) &&
            !root.startsWith(QStringLiteral("/dev")) && !root.startsWith(QStringLiteral("/run"))) {
            places.append(root);
        }
    }
    for (const QString &place : places)
        m_drvLocation->addItem(QDir::toNativeSeparators(place), place);

    m_folders = new QFileSystemModel(this);
    m_folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden);
    m_folders->setRootPath(QDir::rootPath());
    m_dirLocation->setModel(m_folders);
    for (int column = 1; column < m_folders->columnCount(); ++column)
        m_dirLocation->hideColumn(column);
    m_dirLocation->header()->hide();

    connect(m_drvLocation, &QComboBox::activated, this, [this] { drvLocation_Change(); });
    connect(m_dirLocation->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { dirLocation_Change(); });
    connect(m_cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });

    Form_Load();
}

void frmLocation::Form_Load()
{
    const ProgramState &state = m_app.state();
    // The current drive's current folder: the folder the program was started in, or home.
    const QString current = QDir::currentPath();
    for (int i = m_drvLocation->count() - 1; i >= 0; --i) {
        if (current.startsWith(m_drvLocation->itemData(i).toString())) {
            m_drvLocation->setCurrentIndex(i);
            break;
        }
    }
    setTreeFolder(current);
    m_profile = state.currentProfile;
    m_profileDir = state.installDir;
    const QString game = m_profile.left(m_profile.indexOf(QStringLiteral(".tsm")));
    m_lblPrompt->setText(tr("Please select a default install directory for the custom tweaks for %1.").arg(game));
    if (!state.installDir.isEmpty()) {
        m_txtCurrent->setText(state.installDir);
        setTreeFolder(state.installDir);
    } else {
        m_txtCurrent->setText(tr("No Entry Found"));
    }
}

void frmLocation::setTreeFolder(const QString &path)
{
    if (!QFileInfo(path).isDir())
        return;
    const QModelIndex index = m_folders->index(QDir(path).absolutePath());
    if (!index.isValid())
        return;
    m_dirLocation->setCurrentIndex(index);
    m_dirLocation->scrollTo(index);
    m_dirLocation->expand(index);
    // Setting the same folder again reports no change; the box follows the tree all the same.
    m_txtNew->setText(QDir::toNativeSeparators(m_folders->filePath(index)));
}

void frmLocation::drvLocation_Change()
{
    setTreeFolder(m_drvLocation->currentData().toString());
}

void frmLocation::dirLocation_Change()
{
    const QModelIndex index = m_dirLocation->currentIndex();
    if (index.isValid())
        m_txtNew->setText(QDir::toNativeSeparators(m_folders->filePath(index)));
}

void frmLocation::cmdSave_Click()
{
    QString error;
    ProgramState &state = m_app.state();
    if (!Settings::storeInstallDir(state, m_profile, m_profileDir, m_txtNew->text(), &error)) {
        Dialogs::message(this, QMessageBox::Warning, tr("Tunesmith"), error);
        return;
    }
    frmLoad *load = m_app.loadWindow();
    if (load && state.currentProfile == m_profile)
        load->setInstallLocationText(state.installDir);
    m_app.unload(this);
}

} // namespace Tunesmith
