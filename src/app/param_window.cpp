#include "app/param_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QShowEvent>
#include <QStatusBar>
#include <QTabWidget>

#include "app/main_window.h"
#include "engine/window_messages.h"

namespace pst::app {

ParamWindow::ParamWindow(MainWindow& main, QWidget* parent) : QMainWindow(parent), main_(main), view_(this)
{
    setObjectName(QStringLiteral("FrmPara"));
    setWindowTitle(QStringLiteral("Pennafor Setting Tool"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    setFont(main.font());

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    setCentralWidget(PageControl1);
    // Tab order differs from the page names: the black-mark page came last.
    const std::pair<const char*, QString> pages[] = {
        {"TabSheet1", QStringLiteral("基础设置")}, {"TabSheet2", QStringLiteral("蓝牙设置")},
        {"TabSheet3", QStringLiteral("WIFI设置")}, {"TabSheet4", QStringLiteral("网络设置")},
        {"TabSheet5", QStringLiteral("红外设置")}, {"TabSheet6", QStringLiteral("程序下载")},
        {"TabSheet8", QStringLiteral("黑标")},     {"TabSheet7", QStringLiteral("产品设置")},
    };
    for (const auto& [name, caption] : pages) {
        auto* page = new QWidget;
        page->setObjectName(QString::fromLatin1(name));
        PageControl1->addTab(page, caption);
        view_.addControl(page);
    }

    auto* bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    setStatusBar(bar);
    statusPanel0 = new QLabel(bar);
    statusPanel0->setFixedWidth(250);
    statusPanel1 = new QLabel(bar);
    bar->addWidget(statusPanel0);
    bar->addWidget(statusPanel1, 1);

    QPointer<ParamWindow> self(this);
    auto dispatcher = Dispatcher::current();
    target_ = std::make_shared<MessageTarget>(
        dispatcher, [self](unsigned message, std::intptr_t w, std::intptr_t l) {
            if (ParamWindow* window = self.data(); window && !window->closing_)
                window->OnWorkerMessage(message, w, l);
        });
    main_.worker().SetParamBarSink({dispatcher, [self](const std::string& text) {
                                        if (ParamWindow* window = self.data(); window && !window->closing_)
                                            window->statusPanel1->setText(QString::fromStdString(text));
                                    }});
    setFixedSize(588, 578);
}

ParamWindow::~ParamWindow()
{
    closing_ = true;
}

void ParamWindow::ShowFromMainWindow(const QWidget& mainWindow)
{
    QRect frame = geometry();
    frame.moveCenter(mainWindow.geometry().center());
    move(frame.topLeft());
    show();
}

void ParamWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void ParamWindow::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        FormClose();
}

void ParamWindow::FormShow()
{
    statusPanel0->clear();
    main_.worker().SetNotifyTarget(target_);
    PageControl1->setCurrentIndex(0);
}

void ParamWindow::FormClose()
{
    main_.worker().SetNotifyTarget(main_.messageTarget());
    main_.clearLinkTested();
    main_.show();
}

void ParamWindow::OnWorkerMessage(unsigned message, std::intptr_t, std::intptr_t)
{
    StatusBoard& board = main_.worker().Status();
    switch (message) {
    case UM_STATUS:
        statusPanel0->setText(QString::fromStdString(board.pendingStatus()));
        break;
    case UM_OP_FAILED: {
        const std::string status = board.pendingStatus();
        if (!status.empty()) {
            statusPanel0->setText(QString::fromStdString(status));
            board.setPendingStatus({});
        }
        // Every failed run sets the error text anew, so it is shown as it
        // stands.
        const std::string error = board.pendingError();
        if (!error.empty())
            statusPanel0->setText(QString::fromStdString(error));
        break;
    }
    default:
        break;
    }
}

}  // namespace pst::app
