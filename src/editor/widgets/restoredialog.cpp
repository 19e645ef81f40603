#include "restoredialog.h"

#include "app/textcodec.h"
#include "app/textlines.h"
#include "gameconfig/linediff.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace Tunesmith
{

namespace
{

// Colours of the diff lines: what the restore takes out of the config, what it puts in, and the hunk headers; on
// a dark desktop palette deep shades, so the palette's light text stays readable on them.
struct DiffColours
{
    QColor removed;
    QColor added;
    QColor header;
};

DiffColours diffColours(const QPalette &palette)
{
    if (palette.color(QPalette::Base).lightness() < 128)
        return {QColor(96, 32, 32), QColor(32, 80, 32), QColor(120, 180, 255)};
    return {QColor(255, 225, 225), QColor(220, 245, 220), QColor(0, 90, 160)};
}

} // namespace

RestoreDialog::RestoreDialog(const QString &profileName, const QList<BackupList::Entry> &backups,
                             const QString &configPath, QWidget *parent)
    : QDialog(parent)
    , m_backups(backups)
    , m_configPath(configPath)
{
    setObjectName(QStringLiteral("frmRestore"));
    setWindowTitle(tr("Restore Backup"));
    if (const auto bytes = readWholeFile(configPath))
        m_current = *bytes;

    auto *caption = new QLabel(this);
    caption->setObjectName(QStringLiteral("lblRestore"));
    caption->setTextFormat(Qt::PlainText);
    caption->setWordWrap(true);
    caption->setText(tr("Backups of %1, newest first. Restoring one replaces %2 with it, after a backup of the "
                        "file as it is now; the tweaks then show its values.")
                         .arg(profileName, configPath));

    m_lstBackups = new QListWidget(this);
    m_lstBackups->setObjectName(QStringLiteral("lstBackups"));
    for (const BackupList::Entry &entry : backups) {
        auto *item = new QListWidgetItem(entry.name, m_lstBackups);
        item->setToolTip(tr("Written %1").arg(QLocale().toString(entry.written, QLocale::ShortFormat)));
    }
    m_txtDiff = new QTextEdit(this);
    m_txtDiff->setObjectName(QStringLiteral("txtDiff"));
    m_txtDiff->setReadOnly(true);
    m_txtDiff->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto *buttons = new QDialogButtonBox(this);
    m_cmdRestore = buttons->addButton(tr("Restore"), QDialogButtonBox::AcceptRole);
    m_cmdRestore->setObjectName(QStringLiteral("cmdRestore"));
    QPushButton *cancel = buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    cancel->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *lists = new QHBoxLayout;
    lists->addWidget(m_lstBackups, 2);
    lists->addWidget(m_txtDiff, 3);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addLayout(lists, 1);
    layout->addWidget(buttons);
    resize(820, 420);

    connect(m_lstBackups, &QListWidget::currentRowChanged, this, &RestoreDialog::showDiff);
    if (!backups.isEmpty())
        m_lstBackups->setCurrentRow(0);
    showDiff();
}

QString RestoreDialog::chosenPath() const
{
    const int row = m_lstBackups->currentRow();
    return row >= 0 && row < m_backups.size() ? m_backups[row].path : QString();
}

void RestoreDialog::showDiff()
{
    m_txtDiff->clear();
    // A note wraps; a diff keeps its lines as the file has them.
    m_txtDiff->setLineWrapMode(QTextEdit::WidgetWidth);
    const int row = m_lstBackups->currentRow();
    m_cmdRestore->setEnabled(row >= 0);
    if (row < 0 || row >= m_backups.size()) {
        m_txtDiff->setPlainText(m_backups.isEmpty()
                                    ? tr("No backup of this profile yet. Each save makes one while the Backups "
                                         "option is on.")
                                    : QString());
        return;
    }
    const BackupList::Entry &backup = m_backups[row];
    QString error;
    const auto bytes = readWholeFile(backup.path, &error);
    if (!bytes) {
        m_txtDiff->setPlainText(error);
        m_cmdRestore->setEnabled(false);
        return;
    }
    const QByteArray diff =
        LineDiff::unified(m_current, *bytes, m_configPath.toUtf8(), backup.name.toUtf8() + "  (restored)");
    if (diff.isEmpty()) {
        m_txtDiff->setPlainText(tr("The backup holds the same lines as %1.").arg(m_configPath));
        return;
    }
    m_txtDiff->setLineWrapMode(QTextEdit::NoWrap);
    const DiffColours colours = diffColours(m_txtDiff->palette());
    QTextCursor cursor(m_txtDiff->document());
    bool first = true;
    for (const QByteArray &line : TextLines::split(diff).lines) {
        QTextBlockFormat block;
        QTextCharFormat chars;
        if (line.startsWith("---") || line.startsWith("+++") || line.startsWith("@@")) {
            chars.setForeground(colours.header);
            chars.setFontWeight(QFont::Bold);
        } else if (line.startsWith('-')) {
            block.setBackground(colours.removed);
        } else if (line.startsWith('+')) {
            block.setBackground(colours.added);
        }
        if (first)
            cursor.setBlockFormat(block);
        else
            cursor.insertBlock(block);
        cursor.insertText(decodeText(line), chars);
        first = false;
    }
    m_txtDiff->moveCursor(QTextCursor::Start);
}

} // namespace Tunesmith
