#include "app/find_printer_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/printer_search_choice.h"
#include "platform/dispatcher.h"
#include "texts/engine_texts.h"
#include "texts/message_texts.h"

namespace pst::app {

namespace {

QString qt(const std::string& text)
{
    return QString::fromStdString(text);
}

constexpr int kFoundIndexRole = Qt::UserRole;

}  // namespace

FindPrinterDialog::FindPrinterDialog(requests::SearchPlan plan, const std::string& programFolder, Choose choose,
                                     QWidget* parent)
    : QDialog(parent), dispatcher_(Dispatcher::current()), choose_(std::move(choose))
{
    setObjectName(QStringLiteral("FrmFindPrinter"));
    setWindowTitle(qt(MessageText("sFindPrinterTitle")));
    setModal(true);

    statusLabel = new QLabel(qt(MessageText("sSearchingMsg")), this);
    statusLabel->setObjectName(QStringLiteral("lbl_SearchStatus"));
    statusLabel->setMinimumWidth(360);
    progressBar = new QProgressBar(this);
    progressBar->setObjectName(QStringLiteral("SearchProgress"));
    progressBar->setRange(0, 0);
    printerList = new QListWidget(this);
    printerList->setObjectName(QStringLiteral("lst_Printers"));
    printerList->setAccessibleName(qt(MessageText("sFindPrinterTitle")));
    useButton = new QPushButton(qt(MessageText("sUseFoundCaption")), this);
    useButton->setObjectName(QStringLiteral("btn_UseFound"));
    useButton->setEnabled(false);
    useButton->setDefault(true);
    stopButton = new QPushButton(qt(MessageText("sStopSearchCaption")), this);
    stopButton->setObjectName(QStringLiteral("btn_StopSearch"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(useButton);
    buttons->addWidget(stopButton);
    auto* column = new QVBoxLayout(this);
    column->addWidget(statusLabel);
    column->addWidget(progressBar);
    column->addWidget(printerList, 1);
    column->addLayout(buttons);
    resize(440, 280);

    connect(printerList, &QListWidget::itemSelectionChanged, this,
            [this] { useButton->setEnabled(!printerList->selectedItems().isEmpty()); });
    connect(printerList, &QListWidget::itemActivated, this, [this] { useSelected(); });
    connect(useButton, &QPushButton::clicked, this, [this] { useSelected(); });
    connect(stopButton, &QPushButton::clicked, this, [this] { stopOrClose(); });

    search_ = std::make_unique<requests::PrinterSearch>(std::move(plan), programFolder, uiEvents());
    search_->start();
}

FindPrinterDialog::~FindPrinterDialog()
{
    // Calls still queued find the dialog gone through their guard.
    search_.reset();
}

// Every event is handed to the window's thread; one that arrives after the
// dialog closed is dropped there.
requests::SearchEvents FindPrinterDialog::uiEvents()
{
    QPointer<FindPrinterDialog> self(this);
    std::weak_ptr<Dispatcher> weak = dispatcher_;
    auto onUi = [self, weak](auto call) {
        if (const auto dispatcher = weak.lock())
            dispatcher->post([self, call = std::move(call)] {
                if (FindPrinterDialog* dialog = self.data())
                    call(*dialog);
            });
    };
    requests::SearchEvents events;
    events.progress = [onUi](const std::string& trying, std::size_t done, std::size_t all) {
        onUi([trying, done, all](FindPrinterDialog& d) { d.onProgress(trying, done, all); });
    };
    events.found = [onUi](const requests::FoundPrinter& printer) {
        onUi([printer](FindPrinterDialog& d) { d.onFound(printer); });
    };
    events.unusable = [onUi](const std::string& where, const std::string& reason) {
        onUi([where, reason](FindPrinterDialog& d) { d.onUnusable(where, reason); });
    };
    events.finished = [onUi](bool cancelled) {
        onUi([cancelled](FindPrinterDialog& d) { d.onFinished(cancelled); });
    };
    return events;
}

void FindPrinterDialog::onProgress(const std::string& trying, std::size_t done, std::size_t all)
{
    if (!searching_)
        return;
    progressBar->setRange(0, static_cast<int>(all));
    progressBar->setValue(static_cast<int>(done));
    if (!trying.empty())
        statusLabel->setText(qt(MessageText("sSearchingMsg") + " " + trying));
}

void FindPrinterDialog::onFound(const requests::FoundPrinter& printer)
{
    auto* item = new QListWidgetItem(qt(foundPrinterLine(printer)), printerList);
    item->setData(kFoundIndexRole, static_cast<int>(found_.size()));
    found_.push_back(printer);
    // The first printer found is the likely choice.
    if (found_.size() == 1)
        printerList->setCurrentItem(item);
}

void FindPrinterDialog::onUnusable(const std::string& where, const std::string& reason)
{
    // Shown, not offered: the technician sees why a port gave nothing.
    auto* item = new QListWidgetItem(qt(where + ": " + EngineTextInLanguage(reason)), printerList);
    item->setFlags(Qt::NoItemFlags);
}

void FindPrinterDialog::onFinished(bool cancelled)
{
    searching_ = false;
    progressBar->setRange(0, 1);
    progressBar->setValue(1);
    statusLabel->setText(qt(cancelled ? MessageText("sSearchStoppedMsg")
                                      : MessageWithNumbers("sPrintersFoundMsg",
                                                           {static_cast<long long>(found_.size())})));
    stopButton->setText(qt(MessageText("sCloseCaption")));
    stopButton->setEnabled(true);
}

void FindPrinterDialog::useSelected()
{
    const QList<QListWidgetItem*> selected = printerList->selectedItems();
    if (selected.isEmpty())
        return;
    const QVariant index = selected.front()->data(kFoundIndexRole);
    if (!index.isValid())
        return;
    const requests::FoundPrinter chosen = found_.at(static_cast<std::size_t>(index.toInt()));
    search_->cancel();
    if (choose_)
        choose_(chosen);
    accept();
}

void FindPrinterDialog::stopOrClose()
{
    if (searching_) {
        search_->cancel();
        stopButton->setEnabled(false);
        return;
    }
    reject();
}

}  // namespace pst::app
