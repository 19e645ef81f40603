#include "cvarmulti.h"

#include "app/textcodec.h"
#include "twips.h"

#include <QComboBox>
#include <QScopedValueRollback>

namespace Tunesmith
{

cvarMulti::cvarMulti(MultiTweak *model, QWidget *parent)
    : TweakControl(model, QStringLiteral("cvarMulti"), QSize(3105, 555), QRect(0, 0, 3100, 255), parent)
    , m_model(model)
{
    m_list = new QComboBox(this);
    m_list->setObjectName(QStringLiteral("cmbValue"));
    m_list->setGeometry(Twips::rect(0, 240, 3100, 315));
    // Typed text would have no effect on the value: only the selection counts, so the list is not editable.
    m_list->setEditable(false);
    m_list->setMaxVisibleItems(16);
    connect(m_list, &QComboBox::activated, this, &cvarMulti::picked);
    connect(m_list, &QComboBox::currentIndexChanged, this, [this](int position) {
        if (!m_refreshing && position != m_model->selected())
            picked(position);
    });
    setFocusProxy(m_list);

    finishSetup();
}

void cvarMulti::picked(int position)
{
    // Picking the selected entry again still runs the model's selection handling, which puts Value back in
    // step with the list after restored state.
    m_model->pick(position);
}

void cvarMulti::refresh()
{
    TweakControl::refresh();
    const QScopedValueRollback<bool> guard(m_refreshing, true);

    const QList<MultiTweak::Entry> &entries = m_model->entries();
    QStringList texts;
    texts.reserve(entries.size());
    for (const MultiTweak::Entry &entry : entries)
        texts.append(decodeText(entry.description));
    bool same = m_list->count() == texts.size();
    for (int i = 0; same && i < texts.size(); ++i)
        same = m_list->itemText(i) == texts[i];
    if (!same) {
        if (m_list->count() > 0)
            m_list->clear();
        // In one go: the list's model then reports one insertion instead of one per entry.
        m_list->addItems(texts);
    }
    if (m_list->currentIndex() != m_model->selected())
        m_list->setCurrentIndex(m_model->selected());
    setAccessibleNameOf(m_list, shortDescription());
}

} // namespace Tunesmith
