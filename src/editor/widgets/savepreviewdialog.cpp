#include "savepreviewdialog.h"

#include "app/textcodec.h"
#include "gameconfig/savepreview.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace Tunesmith
{

namespace
{

// The line that goes in red, the line that comes in green; lighter shades on a dark desktop palette.
std::pair<QColor, QColor> lineColours(const QPalette &palette)
{
    if (palette.color(QPalette::Base).lightness() < 128)
        return {QColor(255, 140, 140), QColor(140, 230, 140)};
    return {QColor(160, 0, 0), QColor(0, 110, 0)};
}

} // namespace

SavePreviewDialog::SavePreviewDialog(const QString &path, bool fileExists, const QList<MergeChange> &changes,
                                     const QByteArray &newLineEnd, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmPreview"));
    setWindowTitle(tr("Preview Changes"));

    auto *caption = new QLabel(this);
    caption->setObjectName(QStringLiteral("lblPreview"));
    caption->setTextFormat(Qt::PlainText);
    caption->setWordWrap(true);
    qsizetype added = 0;
    for (const MergeChange &change : changes)
        added += change.oldLine.isEmpty();
    const qsizetype changed = changes.size() - added;
    if (changes.isEmpty() && !newLineEnd.isEmpty())
        caption->setText(tr("Saving changes no line of %1, only its line ends.").arg(path));
    else if (changes.isEmpty())
        caption->setText(tr("Saving leaves every line of %1 as it is.").arg(path));
    else if (!fileExists)
        caption->setText(tr("%1 does not exist yet. Saving creates it with these lines:").arg(path));
    else
        caption->setText(tr("Saving %1 changes %2 and adds %3:")
                             .arg(path, changed == 1 ? tr("1 line") : tr("%1 lines").arg(changed),
                                  added == 1 ? tr("1 line") : tr("%1 lines").arg(added)));

    if (!newLineEnd.isEmpty())
        caption->setText(caption->text() + QLatin1Char(' ') + SavePreview::lineEndNote(newLineEnd));

    m_lstChanges = new QTreeWidget(this);
    m_lstChanges->setObjectName(QStringLiteral("lstChanges"));
    m_lstChanges->setColumnCount(2);
    m_lstChanges->setHeaderLabels({tr("Now in the file"), tr("After saving")});
    m_lstChanges->setRootIsDecorated(false);
    m_lstChanges->setAlternatingRowColors(true);
    m_lstChanges->setSelectionMode(QAbstractItemView::NoSelection);
    // Config lines in a fixed-width font, so their columns line up.
    m_lstChanges->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_lstChanges->header()->setSectionResizeMode(QHeaderView::Stretch);
    m_lstChanges->setVisible(!changes.isEmpty());
    const auto [oldColour, newColour] = lineColours(m_lstChanges->palette());
    for (const MergeChange &change : changes) {
        auto *item = new QTreeWidgetItem(m_lstChanges);
        if (change.oldLine.isEmpty()) {
            item->setText(0, tr("(added at the end)"));
            QFont italic = item->font(0);
            italic.setItalic(true);
            item->setFont(0, italic);
            item->setForeground(0, palette().color(QPalette::Disabled, QPalette::Text));
        } else {
            item->setText(0, decodeText(change.oldLine));
            item->setForeground(0, oldColour);
        }
        item->setText(1, decodeText(change.newLine));
        item->setForeground(1, newColour);
        item->setToolTip(0, item->text(0));
        item->setToolTip(1, item->text(1));
    }

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *save = buttons->addButton(tr("Save"), QDialogButtonBox::AcceptRole);
    save->setObjectName(QStringLiteral("cmdSave"));
    save->setDefault(true);
    QPushButton *cancel = buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(m_lstChanges, 1);
    layout->addWidget(buttons);
    resize(changes.isEmpty() ? QSize(420, 120) : QSize(640, 360));
    save->setFocus();
}

} // namespace Tunesmith
