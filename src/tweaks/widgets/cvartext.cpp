#include "cvartext.h"

#include "app/fileutil.h"
#include "app/textcodec.h"
#include "twips.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>

namespace Tunesmith
{

namespace
{

// Whether a key press would insert its text into a line edit (the same test QLineEdit makes): shortcuts such
// as Ctrl+V carry a letter too, but insert nothing and must keep working.
bool insertsText(const QKeyEvent &key)
{
    const QString text = key.text();
    if (text.isEmpty())
        return false;
    if (key.modifiers() == Qt::ControlModifier || key.modifiers() == (Qt::ShiftModifier | Qt::ControlModifier))
        return false;
    const QChar first = text.front();
    return first.isPrint() || first.category() == QChar::Other_Format || first.category() == QChar::Other_PrivateUse ||
           first.isSurrogate();
}

bool passesKeyFilter(QChar c)
{
    return c.unicode() <= 0x7FFF && NumericKeyFilter(static_cast<qint16>(c.unicode())) != 0;
}

QString filtered(const QString &text)
{
    QString kept;
    for (const QChar c : text) {
        if (passesKeyFilter(c))
            kept += c;
    }
    return kept;
}

} // namespace

cvarText::cvarText(TextTweak *model, QWidget *parent)
    : TweakControl(model, QStringLiteral("cvarText"), QSize(3105, 525), QRect(0, 0, 3100, 255), parent)
    , m_model(model)
{
    m_box = new QLineEdit(this);
    m_box->setObjectName(QStringLiteral("txtValue"));
    m_box->setGeometry(Twips::rect(0, 240, 3080, 285));
    m_box->setInputMethodHints(Qt::ImhFormattedNumbersOnly);
    m_box->installEventFilter(this);
    // textEdited covers typing, pasting, cutting, deleting, undo and drops; the model's own changes come back
    // through refresh().
    connect(m_box, &QLineEdit::textEdited, this, &cvarText::edited);
    setFocusProxy(m_box);

    finishSetup();
}

void cvarText::edited(const QString &text)
{
    {
        const QScopedValueRollback<bool> guard(m_editing, true);
        m_model->boxTextChanged(text.toUtf8());
    }
    const QString shown = decodeText(m_model->Value());
    if (m_box->text() == shown)
        return;
    // The model replaced the player's text (a bound, or "0" for an empty box): show it with the caret at the
    // end. The "0" of a cleared box is selected, so the next digit typed replaces it.
    m_box->setText(shown);
    if (text.isEmpty())
        m_box->selectAll();
}

void cvarText::refresh()
{
    TweakControl::refresh();
    setAccessibleNameOf(m_box, shortDescription());
    if (m_editing)
        return; // edited() settles the box once the model has finished with the player's text
    const QString shown = decodeText(m_model->Value());
    if (m_box->text() != shown)
        m_box->setText(shown);
}

bool cvarText::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_box) {
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (insertsText(*key) && filtered(key->text()) != key->text())
                return true; // swallowed, as the key filter wants
        } else if (event->type() == QEvent::InputMethod) {
            auto *input = static_cast<QInputMethodEvent *>(event);
            const QString kept = filtered(input->commitString());
            if (kept != input->commitString())
                input->setCommitString(kept, input->replacementStart(), input->replacementLength());
        }
    }
    return TweakControl::eventFilter(watched, event);
}

} // namespace Tunesmith
