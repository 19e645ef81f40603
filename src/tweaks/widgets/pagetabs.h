#pragma once

#include <QHash>
#include <QTabBar>
#include <QTabWidget>

namespace Tunesmith
{

// Page tabs that remember each tab's size. Qt lays every tab out again for each tab added, asking each its size,
// so a profile of hundreds of pages would spend most of its load measuring the same captions again and again.
class PageTabBar : public QTabBar
{
    Q_OBJECT

public:
    explicit PageTabBar(QWidget *parent = nullptr);

protected:
    QSize tabSizeHint(int index) const override;
    void changeEvent(QEvent *event) override;

private:
    struct Key
    {
        QString text;
        bool current;
        int place; // only, first, middle or last tab: a style may size the ends apart
        bool operator==(const Key &) const = default;
    };
    friend size_t qHash(const Key &key, size_t seed) { return qHashMulti(seed, key.text, key.current, key.place); }

    mutable QHash<Key, QSize> m_sizes;
};

// The tab widget of the main window's pages, with PageTabBar for its tabs.
class PageTabs : public QTabWidget
{
    Q_OBJECT

public:
    explicit PageTabs(QWidget *parent = nullptr);
};

} // namespace Tunesmith
