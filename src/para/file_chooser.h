#pragma once
// How the download page asks for file names. The program shows the
// platform's file dialogs; tests put in a chooser that answers at once.

#include <QString>
#include <QStringList>

class QWidget;

namespace pst::para {

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The chosen files (at most one unless `several`); empty when cancelled.
    // `filterIndex` is 0-based into the ";;"-separated `filters`.
    virtual QStringList chooseToOpen(QWidget* parent, const QString& title, const QString& filters,
                                     int filterIndex, bool several) = 0;
    // The chosen path; empty when cancelled.
    virtual QString chooseToSave(QWidget* parent, const QString& filter) = 0;
};

class DialogFileChooser : public FileChooser {
public:
    QStringList chooseToOpen(QWidget* parent, const QString& title, const QString& filters, int filterIndex,
                             bool several) override;
    QString chooseToSave(QWidget* parent, const QString& filter) override;
};

}  // namespace pst::para
