#include "descriptionbox.h"

#include "app/textcodec.h"
#include "app/widgets/twips.h"
#include "tweaks/texttweak.h"

#include <QTextCharFormat>
#include <QTextCursor>

namespace Tunesmith
{

namespace
{

const QColor labelColour(255, 128, 0);
const QColor ruleColour(192, 0, 0);

void appendPiece(QTextCursor &cursor, const QString &label, const QColor &colour, const QString &value)
{
    QTextCharFormat labelFormat;
    labelFormat.setFontWeight(QFont::Bold);
    labelFormat.setForeground(colour);
    cursor.insertText(label, labelFormat);
    QTextCharFormat valueFormat;
    valueFormat.setFontWeight(QFont::Normal);
    valueFormat.setForeground(Qt::black);
    cursor.insertText(value, valueFormat);
}

} // namespace

DescriptionBox::DescriptionBox(QWidget *parent)
    : QTextEdit(parent)
{
    setObjectName(QStringLiteral("rtbLongDescription"));
    setReadOnly(true);
    setFont(namedFont(QStringLiteral("Verdana"), 8.25));
    // The labels' colours are chosen for a light background, whatever the desktop's palette.
    setStyleSheet(QStringLiteral("QTextEdit { background-color: rgb(255, 255, 225); color: black; "
                                 "border: 1px solid rgb(192, 64, 0); }"));
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::NoFocus);
    resize(px(4215), px(2415));
    hide();
}

void DescriptionBox::fill(const TweakModel &tweak)
{
    clear();
    QTextCursor cursor(document());
    appendPiece(cursor, QStringLiteral("cvar ~ "), labelColour, decodeText(tweak.Tweak()) + QLatin1Char('\n'));
    if (tweak.hasRule()) {
        QString value = decodeText(tweak.Default());
        if (const auto *text = tweakAs<TextTweak>(&tweak)) {
            if (const auto bounded = text->MinMaxValue(tweak.Default()))
                value = QString::number(*bounded);
        }
        appendPiece(cursor, QStringLiteral("optimized ~ "), ruleColour, value + QLatin1Char('\n'));
    } else {
        appendPiece(cursor, QStringLiteral("speed ~ "), labelColour,
                    decodeText(tweak.Preset_FPS()) + QLatin1Char('\n'));
        appendPiece(cursor, QStringLiteral("quality ~ "), labelColour,
                    decodeText(tweak.Preset_Quality()) + QLatin1Char('\n'));
    }
    appendPiece(cursor, QStringLiteral("description ~ "), labelColour, decodeText(tweak.LongDescription()));
    moveCursor(QTextCursor::Start);
}

} // namespace Tunesmith
