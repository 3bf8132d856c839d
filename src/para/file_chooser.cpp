#include "para/file_chooser.h"

#include <QFileDialog>

namespace pst::para {

QStringList DialogFileChooser::chooseToOpen(QWidget* parent, const QString& title, const QString& filters,
                                            int filterIndex, bool several)
{
    const QStringList filterList = filters.split(QStringLiteral(";;"));
    QString selected = filterList.value(filterIndex);
    if (several)
        return QFileDialog::getOpenFileNames(parent, title, QString(), filters, &selected);
    const QString path = QFileDialog::getOpenFileName(parent, title, QString(), filters, &selected);
    return path.isEmpty() ? QStringList() : QStringList{path};
}

QString DialogFileChooser::chooseToSave(QWidget* parent, const QString& filter)
{
    return QFileDialog::getSaveFileName(parent, QString(), QString(), filter);
}

}  // namespace pst::para
