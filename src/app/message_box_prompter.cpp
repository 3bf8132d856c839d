#include "app/message_box_prompter.h"

#include <QApplication>
#include <QMessageBox>

namespace pst::app {

void MessageBoxPrompter::showMessage(const std::string& text)
{
    QMessageBox::information(QApplication::activeWindow(), QStringLiteral("Pennafor Setting Tool"),
                             QString::fromStdString(text));
}

bool MessageBoxPrompter::confirm(const std::string& text)
{
    return QMessageBox::question(QApplication::activeWindow(), QStringLiteral("Pennafor Setting Tool"),
                                 QString::fromStdString(text)) == QMessageBox::Yes;
}

}  // namespace pst::app
