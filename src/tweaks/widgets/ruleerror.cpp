#include "ruleerror.h"

#include "app/widgets/dialogs.h"

#include <QCoreApplication>

namespace Tunesmith
{

void showRuleError(QWidget *parent, const QString &message)
{
    Dialogs::message(parent, QMessageBox::Critical, QCoreApplication::translate("Tunesmith", "Error"), message);
}

} // namespace Tunesmith
