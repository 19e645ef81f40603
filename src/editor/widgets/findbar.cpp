#include "findbar.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace Tunesmith
{

FindBar::FindBar(QWidget *parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("fraFind"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);

    m_txtFind = new QLineEdit(this);
    m_txtFind->setObjectName(QStringLiteral("txtFind"));
    m_txtFind->setPlaceholderText(tr("Find a tweak"));
    m_txtFind->setClearButtonEnabled(true);
    m_txtFind->installEventFilter(this);
    m_lblCount = new QLabel(this);
    m_lblCount->setObjectName(QStringLiteral("lblFindCount"));
    // Wide enough for every count, so the field keeps its size while the count changes.
    int width = 0;
    for (const QString &sample : {tr("No match"), tr("%1 matches").arg(888), tr("%1 of %2").arg(888).arg(888)})
        width = std::max(width, m_lblCount->fontMetrics().horizontalAdvance(sample));
    m_lblCount->setFixedWidth(width + 4);
    m_lblCount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 1, 4, 1);
    layout->setSpacing(4);
    layout->addWidget(m_txtFind, 1);
    layout->addWidget(m_lblCount);

    connect(m_txtFind, &QLineEdit::textChanged, this, &FindBar::textChanged);
    connect(m_txtFind, &QLineEdit::returnPressed, this, &FindBar::nextRequested);
    hide();
}

QString FindBar::text() const
{
    return m_txtFind->text();
}

void FindBar::open()
{
    show();
    raise();
    m_txtFind->setFocus(Qt::ShortcutFocusReason);
    m_txtFind->selectAll();
}

void FindBar::showCount(int current, int total)
{
    if (m_txtFind->text().isEmpty())
        m_lblCount->clear();
    else if (total == 0)
        m_lblCount->setText(tr("No match"));
    else if (current == 0)
        m_lblCount->setText(total == 1 ? tr("1 match") : tr("%1 matches").arg(total));
    else
        m_lblCount->setText(tr("%1 of %2").arg(current).arg(total));
    // Red text says at once that nothing holds what was typed.
    QPalette palette = QApplication::palette(m_txtFind);
    if (!m_txtFind->text().isEmpty() && total == 0)
        palette.setColor(QPalette::Text,
                         palette.color(QPalette::Base).lightness() < 128 ? QColor(255, 120, 120) : QColor(192, 0, 0));
    m_txtFind->setPalette(palette);
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_txtFind && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        hide();
        emit closed();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace Tunesmith
