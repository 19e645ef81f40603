#include "pagetabs.h"

#include <QEvent>

namespace Tunesmith
{

PageTabBar::PageTabBar(QWidget *parent)
    : QTabBar(parent)
{}

QSize PageTabBar::tabSizeHint(int index) const
{
    // A tab's size follows from its caption, the font and the style, which may size the current tab and the tabs
    // at the ends apart.
    const int place = count() == 1 ? 0 : index == 0 ? 1 : index == count() - 1 ? 3 : 2;
    const Key key{tabText(index), index == currentIndex(), place};
    const auto found = m_sizes.constFind(key);
    if (found != m_sizes.cend())
        return *found;
    const QSize size = QTabBar::tabSizeHint(index);
    m_sizes.insert(key, size);
    return size;
}

void PageTabBar::changeEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::StyleChange:
    case QEvent::LayoutDirectionChange:
        m_sizes.clear();
        break;
    default:
        break;
    }
    QTabBar::changeEvent(event);
}

PageTabs::PageTabs(QWidget *parent)
    : QTabWidget(parent)
{
    setTabBar(new PageTabBar(this));
}

} // namespace Tunesmith
