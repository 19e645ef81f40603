#include "frmindex.h"

#include "app/fileutil.h"
#include "app/settings.h"
#include "app/textcodec.h"
#include "app/widgets/application.h"
#include "app/widgets/dialogs.h"
#include "app/widgets/frmping.h"
#include "app/widgets/twips.h"
#include "descriptionbox.h"
#include "featuredialogs.h"
#include "findbar.h"
#include "gameconfig/configreader.h"
#include "gameconfig/configwriter.h"
#include "gameconfig/presets.h"
#include "tweakhistory.h"
#include "tweaks/widgets/cvarmulti.h"
#include "tweaks/widgets/cvarsimple.h"
#include "tweaks/widgets/cvartext.h"
#include "tweaks/widgets/lbllabel.h"
#include "tweaks/widgets/pagetabs.h"
#include "tweaks/widgets/ruleerror.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTabBar>
#include <QTabWidget>

namespace Tunesmith
{

namespace
{

constexpr int clientWidth = 10125;
constexpr int clientHeight = 5400;
// Problems of a malformed profile listed in its message; the rest are counted (tunesmith-cli check lists all).
constexpr qsizetype maxProblemsShown = 20;

// The keys of the window's undo and redo, which a text box would otherwise take for its own.
bool isHistoryKey(const QKeyEvent &key)
{
    const QKeyCombination combination = key.keyCombination();
    return key.matches(QKeySequence::Undo) || key.matches(QKeySequence::Redo) ||
           combination == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) ||
           combination == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
}

} // namespace

frmIndex::frmIndex(Application &app)
    : QMainWindow(nullptr)
    , m_app(app)
    , m_clock(std::make_unique<Clock>())
{
    setObjectName(QStringLiteral("frmIndex"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Tunesmith"));
    setFont(namedFont(QStringLiteral("Verdana"), 8.25));

    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->setFixedSize(px(clientWidth), px(clientHeight));
    m_client->setMouseTracking(true);
    setCentralWidget(m_client);

    m_tabTunesmith = new PageTabs(m_client);
    m_tabTunesmith->setObjectName(QStringLiteral("tabTunesmith"));
    m_tabTunesmith->setGeometry(twipsRect(0, 0, 10120, 5180));
    m_tabTunesmith->tabBar()->setFont(namedFont(QStringLiteral("Verdana"), 7.5));
    // The strip of tab captions belongs to the tab strip: the pointer moving over it hides the description box.
    m_tabTunesmith->tabBar()->setMouseTracking(true);
    m_tabTunesmith->tabBar()->installEventFilter(this);
    m_tabTunesmith->setUsesScrollButtons(true);

    m_lblStatus = new QLabel(m_client);
    m_lblStatus->setObjectName(QStringLiteral("lblStatus"));
    m_lblStatus->setGeometry(twipsRect(120, 5200, 10215, 255));
    m_lblStatus->setFont(namedFont(QStringLiteral("Verdana"), 6.75));
    m_lblStatus->setTextFormat(Qt::PlainText); // a profile's title block is text, never markup

    m_rtbLongDescription = new DescriptionBox(m_client);
    m_rtbLongDescription->installEventFilter(this);
    m_rtbLongDescription->viewport()->installEventFilter(this);
    m_rtbLongDescription->viewport()->setMouseTracking(true);

    m_findBar = new FindBar(m_client);

    buildMenus();
    buildFeatureActions();
    Form_Load();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

frmIndex::~frmIndex()
{
    // The widgets are views over the models and the history refers to them: they go first.
    delete m_history;
    delete m_client;
}

QAction *frmIndex::addAction(QMenu *menu, const char *name, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

void frmIndex::buildMenus()
{
    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    QMenu *save = file->addMenu(tr("Save"));
    save->menuAction()->setObjectName(QStringLiteral("mnuSave"));
    connect(addAction(save, "mnuSaveConfig", tr("Save Config")), &QAction::triggered, this,
            [this] { mnuSaveConfig_Click(); });
    connect(addAction(save, "mnuRestoreBackup", tr("Restore Backup...")), &QAction::triggered, this,
            [this] { mnuRestoreBackup_Click(); });
    QMenu *load = file->addMenu(tr("Load"));
    load->menuAction()->setObjectName(QStringLiteral("mnuLoad"));
    connect(addAction(load, "mnuLoadConfig", tr("Load Config")), &QAction::triggered, this,
            [this] { mnuLoadConfig_Click(); });
    connect(addAction(load, "mnuLoadTSM", tr("Load Game")), &QAction::triggered, this, [this] {
        if (confirmLeave())
            m_app.showLoadWindow(this);
    });
    connect(addAction(file, "mnuQuit", tr("Quit")), &QAction::triggered, this, [this] {
        if (confirmLeave())
            m_app.UnloadAllWindows();
    });

    QMenu *presets = menuBar()->addMenu(tr("&Presets"));
    presets->setObjectName(QStringLiteral("mnuPresets"));
    const std::pair<const char *, const char *> presetItems[] = {{"mnuHighQuality", "High Quality"},
                                                                 {"mnuDefault", "Default Settings"},
                                                                 {"mnuFPSBoost", "FPS Boost"},
                                                                 {"mnuDieHard", "Die Hard FPS"}};
    for (int i = 0; i < 4; ++i) {
        connect(addAction(presets, presetItems[i].first, tr(presetItems[i].second)), &QAction::triggered, this,
                [this, i] { applyPreset(i); });
    }
    m_mnuPresets = presets;

    QMenu *options = menuBar()->addMenu(tr("&Options"));
    options->setObjectName(QStringLiteral("mnuOptions"));
    connect(addAction(options, "mnuPing", tr("Connection Settings")), &QAction::triggered, this, [this] {
        m_app.showPingWindow(this);
        if (frmPing *ping = m_app.pingWindow())
            connect(ping, &frmPing::saved, this, &frmIndex::pingSaved, Qt::UniqueConnection);
    });
    m_mnuAutoUpdate = addAction(options, "mnuAutoUpdate", tr("Auto Update"));
    m_mnuBackups = addAction(options, "mnuBackups", tr("Backups"));
    m_mnuDescriptions = addAction(options, "mnuDescriptions", tr("Descriptions"));
    int option = 0;
    for (QAction *action : {m_mnuAutoUpdate, m_mnuBackups, m_mnuDescriptions}) {
        action->setCheckable(true);
        action->setChecked(true);
        connect(action, &QAction::triggered, this, [this, option] { toggleOption(option); });
        ++option;
    }
    m_mnuPreview = addAction(options, "mnuPreview", tr("Preview Changes"));
    m_mnuPreview->setCheckable(true);
    connect(m_mnuPreview, &QAction::triggered, this, [this] { toggleOption(3); });

    QMenu *help = menuBar()->addMenu(tr("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    connect(addAction(help, "mnuUpdate", tr("Update")), &QAction::triggered, this, [this] { mnuUpdate_Click(); });
    connect(addAction(help, "mnuAbout", tr("About")), &QAction::triggered, this,
            [this] { m_app.showAboutWindow(this); });
    buildPlayerMenus(presets);
}

void frmIndex::Form_Load()
{
    m_lastKind = -1;
    m_lastIndex = -1;
    const ProgramState &state = m_app.state();
    m_mnuDescriptions->setChecked(state.descriptions);
    m_mnuBackups->setChecked(state.backups);
    m_mnuAutoUpdate->setChecked(state.autoUpdate);
    m_mnuPreview->setChecked(state.preview);
}

bool frmIndex::LoadList(const QString &profilePath, QString *error)
{
    QList<ProfileProblem> problems;
    QString readError;
    m_profile = loadProfile(
        profilePath, m_app.state(), [this](const QString &message) { reportRuleError(message); }, &problems,
        &readError);
    if (!m_profile) {
        const QString name = QFileInfo(profilePath).fileName();
        if (error) {
            *error = problems.isEmpty() ? tr("The profile %1 could not be read: %2").arg(name, readError)
                                        : tr("The profile %1 could not be loaded:\n%2")
                                              .arg(name, describeProblems(name, problems, maxProblemsShown));
        }
        return false;
    }
    setWindowTitle(m_profile->plan.caption());
    m_lblStatus->setText(decodeText(m_profile->plan.status()));
    buildPages();
    m_tabTunesmith->setCurrentIndex(0);
    // The history starts from the starting values; a new profile builds a new window and so a new history.
    m_history = new TweakHistory(*m_profile, this);
    m_history->setTypingTest([this](const ValueChange &change) { return isTyping(change.kind, change.index); });
    watchChanges();
    fillPresetMenu();
    return true;
}

void frmIndex::buildPages()
{
    const ProfilePlan &plan = m_profile->plan;
    for (const QByteArray &caption : plan.pageCaptions) {
        auto *page = new QWidget;
        page->setMouseTracking(true);
        page->installEventFilter(this);
        m_pages.append(page);
        // Coloured tab by tab: a style sheet on the strip would send every tab's size through the style sheet
        // engine, at each of a large profile's many tabs.
        // A caption is shown as written: a single "&" would mark a keyboard shortcut and vanish.
        const int tab =
            m_tabTunesmith->addTab(page, decodeText(caption).replace(QLatin1Char('&'), QLatin1String("&&")));
        m_tabTunesmith->tabBar()->setTabTextColor(tab, QColor(192, 64, 0));
    }
    // Positions are twips from the tab strip's top left corner; a page starts below the page tabs.
    auto place = [](QWidget *widget, const PlacedControl &control) {
        widget->move(px(control.left), px(control.top - PageGeometry::pageTabHeight));
        widget->show();
    };
    for (const PlacedControl &control : plan.controls) {
        QWidget *page = m_pages[control.page];
        const auto at = std::size_t(control.index - 1);
        switch (control.kind) {
        case ControlKind::Label: {
            auto *heading = new lblLabel(control.index, page);
            heading->setValue(decodeText(plan.headings[control.index - 1]));
            m_lblLabel.append(heading);
            place(heading, control);
            break;
        }
        case ControlKind::Simple: {
            auto *widget = new cvarSimple(m_profile->simple[at].get(), page);
            connect(widget, &cvarSimple::MouseMove, this,
                    [this, widget, index = control.index](qint16, qint16, float x, float y) {
                        ShowDescription(index, 0, pointerInClient(widget, x, y));
                    });
            m_cvarSimple.append(widget);
            place(widget, control);
            break;
        }
        case ControlKind::Multi: {
            auto *widget = new cvarMulti(m_profile->multi[at].get(), page);
            connect(widget, &cvarMulti::MouseMove, this,
                    [this, widget, index = control.index](qint16, qint16, float x, float y) {
                        ShowDescription(index, 1, pointerInClient(widget, x, y));
                    });
            m_cvarMulti.append(widget);
            place(widget, control);
            break;
        }
        case ControlKind::Text: {
            auto *widget = new cvarText(m_profile->text[at].get(), page);
            connect(widget, &cvarText::MouseMove, this,
                    [this, widget, index = control.index](qint16, qint16, float x, float y) {
                        ShowDescription(index, 2, pointerInClient(widget, x, y));
                    });
            m_cvarText.append(widget);
            place(widget, control);
            // Undo keys in the box undo the window's steps, not just the box's own typing.
            if (auto *box = widget->findChild<QLineEdit *>(QStringLiteral("txtValue")))
                box->installEventFilter(this);
            break;
        }
        }
    }
    m_rtbLongDescription->raise();
}

QPoint frmIndex::pointerInClient(QWidget *control, float x, float y) const
{
    // The control reports the pointer in its caption's own twips.
    const QWidget *label = control->findChild<QWidget *>(QStringLiteral("lblShortDescription"));
    const QPoint local(qRound(x / twipsPerPixel), qRound(y / twipsPerPixel));
    return (label ? label : control)->mapTo(m_client, local);
}

QWidget *frmIndex::descriptionBox() const
{
    return m_rtbLongDescription;
}

QWidget *frmIndex::control(TweakKind kind, int index) const
{
    switch (kind) {
    case TweakKind::Simple:
        return m_cvarSimple.value(index - 1);
    case TweakKind::Multi:
        return m_cvarMulti.value(index - 1);
    case TweakKind::Text:
        return m_cvarText.value(index - 1);
    }
    return nullptr;
}

void frmIndex::ShowDescription(int index, int kind, QPoint pointer)
{
    const int x = pointer.x() * twipsPerPixel;
    const int y = pointer.y() * twipsPerPixel;
    const int w = m_rtbLongDescription->width() * twipsPerPixel;
    const int h = m_rtbLongDescription->height() * twipsPerPixel;
    const int innerWidth = m_client->width() * twipsPerPixel;
    const int innerHeight = m_client->height() * twipsPerPixel;
    const int top = y + h + 950 <= innerHeight ? y + 300 : y - h - 200;
    const int left = x + w + 300 <= innerWidth ? x + 200 : x - w - 50;
    m_rtbLongDescription->move(px(left), px(top));

    if (kind != m_lastKind || index != m_lastIndex) {
        if (const TweakModel *tweak = m_profile->model(TweakKind(kind), index))
            m_rtbLongDescription->fill(*tweak);
    }
    if (m_app.state().descriptions) {
        if (m_rtbLongDescription->isHidden()) {
            m_rtbLongDescription->show();
            m_rtbLongDescription->raise();
        }
    } else if (!m_rtbLongDescription->isHidden()) {
        m_rtbLongDescription->hide();
    }
    m_lastKind = kind;
    m_lastIndex = index;
}

bool frmIndex::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride && qobject_cast<QLineEdit *>(watched) &&
        isHistoryKey(*static_cast<QKeyEvent *>(event))) {
        return true; // not taken by the box: the window's shortcut runs
    }
    if (event->type() == QEvent::MouseMove) {
        const bool overPage = m_pages.contains(static_cast<QWidget *>(watched)) || watched == m_tabTunesmith->tabBar();
        const bool overBox = watched == m_rtbLongDescription || watched == m_rtbLongDescription->viewport();
        if ((overPage || overBox) && !m_rtbLongDescription->isHidden())
            m_rtbLongDescription->hide();
    }
    return QMainWindow::eventFilter(watched, event);
}

ProgramState frmIndex::profileState() const
{
    ProgramState state = m_app.state();
    if (m_profile && state.currentProfile != m_profile->fileName) {
        state.currentProfile = m_profile->fileName;
        state.installDir = Settings::storedInstallDir(state, state.currentProfile);
    }
    return state;
}

void frmIndex::mnuSaveConfig_Click()
{
    saveConfig();
}

bool frmIndex::saveConfig()
{
    const ProgramState state = profileState();
    const auto filter = GameConfigWriter::dialogFilter(state.gameConfigFileName);
    const QString path = Dialogs::saveFileName(this, state.installDir, filter.exactName, filter.entries());
    if (path.isEmpty())
        return false;
    QString error;
    if (state.preview) {
        const auto preview = GameConfigWriter::preview(*m_profile, state, path, &error);
        if (!preview) {
            Dialogs::message(this, QMessageBox::Warning, tr("Tunesmith"), error);
            return false;
        }
        if (!FeatureDialogs::confirmSave(this, path, preview->existed, preview->changes, preview->newLineEnd))
            return false;
    }
    if (!GameConfigWriter::save(*m_profile, state, *m_clock, path, &error)) {
        Dialogs::message(this, QMessageBox::Warning, tr("Tunesmith"), error);
        return false;
    }
    if (m_history)
        m_history->markSaved();
    markConfigValues();
    Dialogs::message(this, QMessageBox::Information, tr("Tunesmith"), tr("Config saved!"));
    return true;
}

void frmIndex::mnuLoadConfig_Click()
{
    const ProgramState state = profileState();
    const auto filter = GameConfigWriter::dialogFilter(state.gameConfigFileName);
    const QString path = Dialogs::openFileName(this, state.installDir, filter.exactName, filter.entries());
    if (path.isEmpty())
        return;
    m_history->record(tr("Load Config"), [&] { GameConfigReader::apply(*m_profile, state.syntax, path); });
    // Read from the game config itself, the values are what the game has: nothing is unsaved.
    if (QFileInfo(path) == QFileInfo(state.gameConfigPath()))
        markConfigValues();
}

void frmIndex::mnuUpdate_Click()
{
    if (!m_app.startUpdater()) {
        Dialogs::message(
            this, QMessageBox::Warning, tr("Tunesmith"),
            tr("The updater %1 could not be started.").arg(QDir::toNativeSeparators(m_app.state().updaterPath())));
        return;
    }
    m_app.UnloadAllWindows();
}

void frmIndex::applyPreset(int preset)
{
    const char *const names[] = {"High Quality", "Default Settings", "FPS Boost", "Die Hard FPS"};
    m_history->record(tr(names[preset]), [&] { Presets::apply(*m_profile, Preset(preset)); });
}

void frmIndex::toggleOption(int option)
{
    const Option which = Option(option);
    QAction *const actions[] = {m_mnuAutoUpdate, m_mnuBackups, m_mnuDescriptions, m_mnuPreview};
    QAction *action = actions[option];
    QString error;
    const bool written = Settings::toggleOption(m_app.state(), which, &error);
    action->setChecked(Settings::optionValue(m_app.state(), which));
    if (!written)
        Dialogs::message(this, QMessageBox::Warning, tr("Tunesmith"), error);
}

void frmIndex::reportRuleError(const QString &message)
{
    showRuleError(isVisible() ? this : nullptr, message);
}

void frmIndex::closeEvent(QCloseEvent *event)
{
    // Closing the main window ends the program, as Quit does.
    event->ignore();
    if (confirmLeave())
        m_app.UnloadAllWindows();
}

} // namespace Tunesmith
