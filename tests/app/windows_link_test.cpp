// The Windows build's windows against a real printer process: the Linux
// virtual printer, started by scripts/windows-test.sh, reached over UDP and
// through a Wine COM port linked to its pseudo-terminal. Run on the windows
// platform, so that Windows' own message loop carries the replies.
//   PST_PRINTER_UDP    the printer's network address, 127.0.0.1:PORT
//   PST_PRINTER_COM    the COM port of its serial side, COM9, listed in the
//                      registry's HARDWARE\DEVICEMAP\SERIALCOMM
//   PST_PRINTER_STATE  the serial side's state file (--state), as a Windows path

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <cstdlib>
#include <string>

#include "app/drop_down_combo_box.h"
#include "app/window_test_support.h"
#include "desktop/program_windows.h"
#include "para/basic_page.h"

using namespace pst;
using namespace pst::app;
using namespace pst::desktop;
using pst::para::BasicPage;
using pst::test::readText;

namespace {

// Wine and a loaded machine are slow to start a link; a printer that is
// there answers well within this.
constexpr int kPrinterTimeoutMs = 30000;

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

class WindowsLinkTest : public QObject, protected pst::test::WindowFixture {
    Q_OBJECT

private slots:
    void init() { setUpWindowTest("pst-windows-link-"); }
    void cleanup() { tearDownWindowTest(); }

    void linkTestOverTheNetwork();
    void linkTestThroughAComPortThenACodePageReachesThePrinter();
};

void WindowsLinkTest::linkTestOverTheNetwork()
{
    const std::string address = environment("PST_PRINTER_UDP");
    const auto colon = address.rfind(':');
    QVERIFY2(colon != std::string::npos, "PST_PRINTER_UDP names the printer as HOST:PORT");
    auto windows = openTestWindows({PST_LANG_DIR});
    MainWindow& main = windows->main();
    main.RadioButton2->click();
    main.edt_Ipaddress->setText(QString::fromStdString(address.substr(0, colon)));
    main.edt_Port->setText(QString::fromStdString(address.substr(colon + 1)));

    main.btn_Test->click();
    QTRY_VERIFY_WITH_TIMEOUT(!prompter.messages.empty(), kPrinterTimeoutMs);
    QCOMPARE(prompter.messages, std::vector<std::string>{"连接成功"});
    QVERIFY(main.linkTested());
}

void WindowsLinkTest::linkTestThroughAComPortThenACodePageReachesThePrinter()
{
    const std::string port = environment("PST_PRINTER_COM");
    const std::string stateFile = environment("PST_PRINTER_STATE");
    QVERIFY2(!port.empty() && !stateFile.empty(), "PST_PRINTER_COM and PST_PRINTER_STATE name the printer");
    auto windows = openTestWindows({PST_LANG_DIR});
    MainWindow& main = windows->main();
    ParamWindow& para = windows->para();
    main.RadioButton1->click();
    // Chosen from the list the registry gives, as a user would.
    const int listed = main.cbb_Comname->findText(QString::fromStdString(port));
    QVERIFY2(listed >= 0, "the port list has the registry's COM port");
    main.cbb_Comname->setCurrentIndex(listed);

    // The link test the "set parameters" button runs first opens the
    // parameter window without a word; one finished after its wait leaves
    // the window to the next click.
    main.btn_SetPara->click();
    QTRY_VERIFY_WITH_TIMEOUT(para.isVisible() || main.linkTested(), kPrinterTimeoutMs);
    if (!para.isVisible())
        main.btn_SetPara->click();
    QVERIFY(para.isVisible());
    QVERIFY(prompter.messages.empty());

    BasicPage& basic = *para.TabSheet1;
    basic.cbb_Codepage->setCurrentIndex(6);  // CP850
    basic.btn_SetCodepage->click();
    QTRY_VERIFY_WITH_TIMEOUT(readText(stateFile).find("\"codePageName\":\"CP850\"") != std::string::npos,
                             kPrinterTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(!main.worker().busy(), kPrinterTimeoutMs);
}

QTEST_MAIN(WindowsLinkTest)
#include "windows_link_test.moc"
