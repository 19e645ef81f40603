#include "ruleerror.h"

#include "app/widgets/dialogs.h"

namespace Tunesmith
{

void showRuleError(QWidget *parent, const QString &message)
{
    Dialogs::message(parent, QMessageBox::Critical, QStringLiteral("Error"), message);
}

} // namespace Tunesmith
