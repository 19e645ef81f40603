#pragma once

#include <QFrame>

class QLabel;
class QLineEdit;

namespace Tunesmith
{

// The main window's search field: a small box over the status line with the text to find and how many tweaks
// hold it. Enter asks for the next match and Esc closes it.
class FindBar : public QFrame
{
    Q_OBJECT

public:
    explicit FindBar(QWidget *parent);

    QLineEdit *field() const { return m_txtFind; }
    QString text() const;
    // Opens the bar with its text selected, ready to be typed over.
    void open();
    // current: 1, 2, ... of total; 0 when no match has been gone to yet.
    void showCount(int current, int total);

Q_SIGNALS:
    void textChanged(const QString &text);
    void nextRequested();
    void closed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *m_txtFind;
    QLabel *m_lblCount;
};

} // namespace Tunesmith
