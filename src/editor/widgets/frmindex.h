#pragma once

#include "app/clock.h"
#include "editor/savedvalues.h"
#include "editor/tweaksearch.h"
#include "loader/loadedprofile.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QTabWidget;

namespace Tunesmith
{

class Application;
class DescriptionBox;
class FindBar;
class TweakHistory;
class cvarMulti;
class cvarSimple;
class cvarText;
class lblLabel;

// The main window: the tabbed pages of tweak controls of one profile, the status line, the description box that
// follows the pointer over the tweaks' captions, and the menus that reach every other function.
class frmIndex : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmIndex(Application &app);
    ~frmIndex() override;

    // Builds the pages of the profile and gives every tweak its starting value. On a malformed or unreadable
    // profile returns false with a message naming the profile, the line and the problem; nothing is built then.
    bool LoadList(const QString &profilePath, QString *error);

    LoadedProfile *profile() const { return m_profile.get(); }
    QTabWidget *tabs() const { return m_tabTunesmith; }
    QWidget *descriptionBox() const;
    QWidget *control(TweakKind kind, int index) const;

    // Shows the description box for the tweak under the pointer (kind 0 on/off, 1 list, 2 numeric); pointer in
    // the window's client pixels.
    void ShowDescription(int index, int kind, QPoint pointer);

    // The clock used for backup names; tests put in a fixed one.
    void setClock(std::unique_ptr<Clock> clock) { m_clock = std::move(clock); }

    void mnuSaveConfig_Click();
    // Save Config's own path (the file dialog, the preview when it is on, the save); true when the config was saved.
    bool saveConfig();
    void mnuRestoreBackup_Click();
    void mnuLoadConfig_Click();
    // Starts the updater and closes every window; when the updater cannot be started, says so and keeps them.
    void mnuUpdate_Click();
    void applyPreset(int preset);
    // 0 Auto Update, 1 Backups, 2 Descriptions, 3 Preview Changes.
    void toggleOption(int option);

    // Undo and redo of the tweaks' values; null until a profile is loaded.
    TweakHistory *history() const { return m_history; }
    void undo();
    void redo();

    // The player's own presets in the Presets menu: saving the tweaks as one, applying one (one step), managing them.
    void mnuSavePreset_Click();
    void mnuManagePresets_Click();
    void applyPlayerPreset(const QString &name);

    // Tweaks changed since the game config was last read or saved: marked, counted on the status line, and the
    // only ones shown while View > Show Changed Only is on.
    int changedCount() const { return m_changedCount; }
    void setShowChangedOnly(bool on);
    // Asks "Save changes to <config file>?" when there are unsaved changes, before Quit, the close box or Load Game.
    // True when the window may go: saved, discarded, or nothing to save; false when the player cancelled.
    bool confirmLeave();

    // The search field over the status line: open it, go to the next (step 1) or previous (-1) match.
    FindBar *findBar() const { return m_findBar; }
    void openFind();
    void findNext(int step = 1);
    void closeFind();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void buildFeatureActions();
    void buildPlayerMenus(QMenu *presets);
    void fillPresetMenu();
    void watchChanges();
    void tweakChanged(TweakModel *tweak);
    // The values of now become the saved ones (a save, a read of the game config, a restore).
    void markConfigValues();
    void showChangedCount();
    void applyChangedFilter();
    void buildPages();
    void pingSaved();
    void findTextChanged(const QString &text);
    void highlight(QWidget *control);
    bool isTyping(TweakKind kind, int index) const;
    // The program state as this window's profile has it. After "Load Game" the start-up window may have selected
    // another profile, and looked up that one's install directory, while this window is still in use: its saves,
    // loads and restores keep to its own profile's directory and backup names all the same.
    ProgramState profileState() const;
    void Form_Load();
    void reportRuleError(const QString &message);
    QAction *addAction(QMenu *menu, const char *name, const QString &caption);
    QPoint pointerInClient(QWidget *control, float x, float y) const;

    Application &m_app;
    std::unique_ptr<LoadedProfile> m_profile;
    std::unique_ptr<Clock> m_clock;
    QWidget *m_client;
    QTabWidget *m_tabTunesmith;
    QLabel *m_lblStatus;
    DescriptionBox *m_rtbLongDescription;
    QList<QWidget *> m_pages;
    QList<cvarSimple *> m_cvarSimple;
    QList<cvarMulti *> m_cvarMulti;
    QList<cvarText *> m_cvarText;
    QList<lblLabel *> m_lblLabel;
    QAction *m_mnuAutoUpdate = nullptr;
    QAction *m_mnuBackups = nullptr;
    QAction *m_mnuDescriptions = nullptr;
    QAction *m_mnuPreview = nullptr;
    QAction *m_closeFind = nullptr;
    TweakHistory *m_history = nullptr;
    FindBar *m_findBar;
    QList<TweakMatch> m_matches;
    int m_match = -1;
    QPointer<QWidget> m_highlight;
    int m_lastKind = -1;
    int m_lastIndex = -1;
    QMenu *m_mnuPresets = nullptr;
    QList<QAction *> m_playerPresetActions;
    QAction *m_mnuManagePresets = nullptr;
    QAction *m_mnuShowChangedOnly = nullptr;
    QLabel *m_lblChanged = nullptr;
    SavedValues m_saved;
    std::vector<TweakModel::Listening> m_changeListening;
    int m_changedCount = 0;
};

} // namespace Tunesmith
