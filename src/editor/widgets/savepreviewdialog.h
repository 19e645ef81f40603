#pragma once

#include "gameconfig/configmerge.h"

#include <QDialog>

class QTreeWidget;

namespace Tunesmith
{

// "Preview Changes": the lines a save will change or append, the line in the file beside the line the save puts
// there, in save order, with "Save" and "Cancel".
class SavePreviewDialog : public QDialog
{
    Q_OBJECT

public:
    SavePreviewDialog(const QString &path, bool fileExists, const QList<MergeChange> &changes,
                      const QByteArray &newLineEnd, QWidget *parent);

private:
    QTreeWidget *m_lstChanges;
};

} // namespace Tunesmith
