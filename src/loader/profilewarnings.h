#pragma once

#include "profileplan.h"

#include <QByteArray>
#include <QList>

namespace Tunesmith
{

// What loads but is almost surely a slip of a profile's author: a bound that is not a whole number, a preset value
// outside a numeric tweak's bounds, a list preset beyond its entries, a list whose entry values repeat, a variable
// of two tweaks, a description that is empty or only the variable's name, a connection rule that no speed lets be
// worked out. For a profile that planProfile read without problems, from its bytes and the plan it gave; sorted by
// line.
QList<ProfileProblem> profileWarnings(const QByteArray &bytes, const ProfilePlan &plan);

} // namespace Tunesmith
