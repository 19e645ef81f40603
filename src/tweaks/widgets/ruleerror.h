#pragma once

#include <QString>

class QWidget;

namespace Tunesmith
{

// Tells the player that a connection rule could not be evaluated: a critical message box titled "Error" with
// the text the tweak model made.
void showRuleError(QWidget *parent, const QString &message);

} // namespace Tunesmith
