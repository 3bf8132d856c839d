#include "texts/message_texts.h"

#include <array>
#include <mutex>
#include <type_traits>

namespace pst {

namespace {

constexpr auto kTexts = std::to_array<MessageTextEntry>({
    {"sConnectErrorstr", "通讯失败，请选择正确的端口和波特率"},
    {"sConnectOKstr", "连接成功"},
    {"SIPError", "IP 地址不正确"},
    {"SMaskError", "子网掩码不正确"},
    {"sGatewayError", "网关不正确"},
    {"sOpenPrgFile", "选择程序文件"},
    {"sUpdatePrgFile", "更新程序"},
    {"sUpdateFontFile", "更新字库"},
    {"sOpenFontFile", "选择字库文件"},
    {"sDnLogFileMsg", "BMP 文件不能超过%d"},
    {"sBaudrateMsg", "波特率设置为"},
    {"sSpeedLeftMsg", "切回 %d bit/s 未得到确认：打印机可能仍在 %d bit/s 上接收。请把设备波特率选为 %d（--device-speed %d），或重启打印机"},
    {"sUploadMsg", "上传完成"},
    {"sWaitMsg", "等待5秒..."},
    {"sFinishPrg", "更新程序完成"},
    {"sMsg1", "设备名称不能为空"},
    {"sMsg2", "设备序列号不能为空"},
    {"sMsg3", "连接..."},
    {"sMsg4", "连接完成"},
    {"sMsg5", "设置 WIFI IP AP 成功"},
    {"sMsg6", "设置WIFI 参数成功"},
    {"sMsg7", "设置WIFI IP成功"},
    {"sMsg8", "设置红外参数成功"},
    {"sMsg9", "设置设备参数成功"},
    {"sMsg10", "设置休眠时间，关机时间成功"},
    {"sMsg11", "设置所有参数成功"},
    {"sMsg12", "设置设备开关选项成功"},
    {"sMsg13", "设置蓝牙参数成功"},
    {"sMsg14", "蓝牙控制指令发送成功"},
    {"sMsg15", "设置IP 成功"},
    {"sMsg16", "设置默认参数成功"},
    {"sMsg17", "设置代码页成功"},
    {"sMsg18", "设置波特率成功"},
    {"sMsg19", "WEP-H的密码固定是10位"},
    {"sMsg20", "WEP-A的密码固定是5位或13位"},
    {"sMsg21", "AES和TPIK的密码要≥8位"},
    {"sMsg22", "设置票据回收时间成功"},
    {"sMsg23", "程序文件错误"},
    {"sMsg24", "文件不存在"},
    {"BlackErrorStr1", "黑标查找距离值不对"},
    {"BlackErrorStr2", "黑标宽度值不对"},
    {"BlackErrorStr3", "找到黑标后，进纸值不对"},
    {"sWaitSecondsMsg", "等待%d秒..."},
    {"sMacByteError", "MAC 地址的每个字节须在 00 到 FF 之间"},
    {"sLogoSizeError", "徽标图片的宽度和高度不能超过 524280 点"},
    {"sProgramUpdatingMsg", "程序更新中请等待..."},
    {"sFlowControlSentMsg", "流控设置已发送，打印机不作确认"},
    {"sSentNoReplyMsg", "命令已发送，打印机不作确认"},
    {"sSendFailedMsg", "命令未能发出：连接没有打开或拒绝了数据"},
    {"sFileEmptyMsg", "文件是空的"},
    {"sFileUnreadableMsg", "文件无法读取"},
    {"sNoModelTagMsg", "程序文件中没有机型标记"},
    {"sOutputFileMsg", "无法创建输出文件"},
    {"sSerialOnlyMsg", "固件只能通过串口更新"},
    {"sLoaderAnsweredMsg", "打印机的引导程序已应答"},
    {"sNoLoaderMsg", "打印机的引导程序在 %d 秒内没有应答"},
    {"sBusyMsg", "打印机正忙，请等待当前操作结束"},
    {"sLogNotSavedMsg", "警告：传输日志未能保存"},
    {"sCauseMsg", "原因"},
    {"sNewSpeedMsg", "打印机现在以 %d bit/s 接收：以后请使用 --device-speed %d。"},
    {"sPictureMissingMsg", "警告：图片不存在，不分配徽标编号"},
    {"sNoPictureMsg", "所有图片都不存在：没有可下载的内容"},
    {"sNoUsbDevicesMsg", "没有找到 USB 设备。"},
    {"sNoUsbPrinterMsg", "其中没有打印机（标识中都没有 811E）。"},
    {"sRangeMsg", "%d 超出范围：须在 %d 到 %d 之间"},
    {"sNotIntegerMsg", "'%s' 不是有效的整数值"},
    {"sBootPollingMsg", "正在查找打印机的引导程序…"},
    {"sOpenSerialFailedMsg", "打开串口出错"},
    {"sNotCommHandleMsg", "所选设备不是串口"},
    {"sNotSerialDeviceMsg", "不是串口设备"},
    {"sSerialAlreadyOpenMsg", "串口已经打开"},
    {"sInUseMsg", "正被其他程序使用"},
    {"sDialoutHintMsg", "用户需要加入 dialout 组"},
    {"sOpenUsbFailedMsg", "打开USB设备出错"},
    {"sUsbListFailedMsg", "无法列出USB设备"},
    {"sSetSpeedFailedMsg", "设置波特率失败"},
    {"sConnectingFailedMsg", "连接失败"},
    {"sDownloadDataFailedMsg", "下载数据失败"},
    {"sReceivedFailedMsg", "接收数据失败"},
    {"sUndefinedErrorMsg", "未定义的错误"},
    {"sPrinterLinesName", "打印机发来的数据"},
    {"sAddressPartMsg", "输入的IP有错!"},
    {"sInFieldMsg", "%s：%s"},
    {"sModelMsg", "型号"},
    {"sAnswersAtMsg", "打印机在 %d bit/s 上应答：请使用 --device-speed %d"},
    {"sAnswersAtGoingOnMsg", "打印机在 %d bit/s 上应答：以此速度继续"},
    {"sSpeedBackMsg", "打印机又在 %d bit/s 上应答（切回操作已把它带回）：请重新运行命令"},
    {"sSpeedBackGoingOnMsg", "打印机又在 %d bit/s 上应答：继续执行"},
    {"sSearchingMsg", "正在查找"},
    {"sPrintersFoundMsg", "找到 %d 台打印机"},
    {"sNoSerialPortsMsg", "没有找到串口。"},
    {"sPortDriverMsg", "驱动"},
    {"sPortStableNameMsg", "固定名称"},
    {"sFindPrinterTitle", "查找打印机"},
    {"sUseFoundCaption", "使用"},
    {"sStopSearchCaption", "停止"},
    {"sCloseCaption", "关闭"},
    {"sSearchStoppedMsg", "查找已停止"},
    {"sNoUsbPrintersMsg", "没有找到USB打印机。"},
    {"sNoSearchHereMsg", "这种端口无法查找打印机。"},
    {"sFoundChosenMsg", "已选择找到的打印机：请测试通讯"},
    {"sNotAnItemMsg", "'%s' 不是列表中的选项"},
    {"sOnlyWhenNamedMsg", "只在用 --groups 指定时应用"},
    {"sIncompleteGroupMsg", "不完整，缺少"},
    {"sInvalidValueMsg", "无效"},
    {"sUnknownKeyMsg", "未知的键"},
    {"sProfileEmptyMsg", "配置文件中没有可应用的设置"},
    {"sApplySummaryMsg", "%d 台打印机：%d 台成功，%d 台失败"},
    {"sExportProfileTitle", "导出配置"},
    {"sImportProfileTitle", "导入配置"},
    {"sProfileFilterMsg", "配置文件 (*.ini)"},
    {"sProfileExportedMsg", "配置已导出"},
    {"sProfileImportedMsg", "配置已导入"},
    {"sKeysNotUnderstoodMsg", "配置已导入；以下键未能识别：%s"},
    {"sGroupEmptyMsg", "名称为空，没有可发送的设置"},
    {"sLogoTooWideMsg", "图片比最宽的打印头（576 点）还宽：请缩放到 576 点或 384 点"},
    {"sReplacesLogosMsg", "下载会替换打印机中已存的全部徽标"},
    {"sConfirmReplaceLogosMsg", "下载会替换打印机中已存的全部徽标。继续吗？"},
    {"sPreviewWrittenMsg", "预览已写入，未发送任何数据"},
    {"sVerifyingMsg", "正在回读校验"},
    {"sVerifiedMsg", "校验通过：打印机内存与所发数据一致"},
    {"sVerifyFailedMsg", "校验失败：第一个不同的地址是 %s，共 %d 块不同"},
    {"sStoredLogoMsg", "徽标 %d：%d × %d 点"},
    {"sNoStoredLogoMsg", "打印机中没有存储徽标"},
    {"sLogoNotStoredMsg", "打印机中没有 %d 号徽标（共存有 %d 个）：未打印"},
    {"sNothingToSendMsg", "没有要发送的内容：请先填写或选择"},
    {"sStoppingMsg", "正在停止…"},
    {"sStopRunAndCloseMsg", "打印机还在执行操作。要停止它并关闭窗口吗？"},
    {"sBluetoothNamesEmptyMsg", "请填写蓝牙名称或双模蓝牙名称：两者都为空时不发送任何数据"},
    {"sWifiPortRangeMsg", "WIFI 端口须在 0 到 65535 之间"},
    {"sControlTextEmptyMsg", "蓝牙控制指令为空：没有可发送的内容"},
    {"sControlTextTooLongMsg", "蓝牙控制指令太长：%d 字节，一条命令最多 %d 字节"},
    {"sNetPortRangeMsg", "端口须在 2 到 65535 之间"},
    {"sLogoNumberRangeMsg", "徽标编号须在 1 到 %d 之间，'%s' 不是"},
    {"sNoLogoChosenMsg", "没有选择要打印的徽标"},
    {"sTooManyLogosMsg", "徽标太多：%d 张图片，打印机的徽标目录最多存 %d 个"},
    {"sTextNotUtf8Msg", "%s不是有效的 UTF-8 文本"},
    {"sNoCodePageMsg", "%s含有非 ASCII 字符，而本系统无法把文字转换为打印机的代码页（%s）"},
    {"sCharacterNotShownMsg", "%s含有打印机无法显示的字符（'%s'）：请使用 ASCII 或中文（GBK）字符"},
    {"sTextTooLongMsg", "%s太长：按打印机的代码页占 %d 字节，最多 %d 字节（一个汉字占两个字节）"},
    {"sBluetoothNameField", "蓝牙名称"},
    {"sBluetoothPasswordField", "蓝牙密码"},
    {"sDualModeNameField", "双模蓝牙名称"},
    {"sSsidField", "SSID"},
    {"sWifiPasswordField", "WIFI 密码"},
    {"sBroadcastNameField", "广播名称"},
    {"sAccessPointPasswordField", "AP 密码"},
    {"sProductNameField", "设备名称"},
    {"sSerialNumberField", "设备序列号"},
    {"sControlTextField", "蓝牙控制指令"},
    {"sNotPictureMsg", "%s：不是本工具能读取的图片（%s）"},
    {"sPictureUnknownFormatReason", "不认识的图片格式"},
    {"sPictureDamagedReason", "文件已损坏或不完整"},
    {"sPictureTooLargeReason", "太大"},
    {"sPictureHeaderReason", "不支持的文件头"},
    {"sPictureCompressedReason", "不支持的压缩方式"},
    {"sPictureSizeMsg", "%s：不是本工具能读取的图片（尺寸 %d × %d）"},
    {"sPictureBitsMsg", "%s：不是本工具能读取的图片（每像素 %d 位）"},
    {"sPictureNotOpenedMsg", "%s：文件无法打开"},
    {"sConfirmRestoreDefaultsMsg", "打印机的设置将恢复为出厂值。本窗口中的各项仍保留现在填写的内容（打印机的设置无法读回）。继续吗？"},
    {"sConfirmProgramUpdateMsg", "将更新打印机的程序。更新期间请勿断开打印机或关闭本程序。继续吗？"},
    {"sConfirmFirmwareUpdateMsg", "将更新打印机的固件。更新期间请勿断开打印机或关闭本程序。继续吗？"},
    {"sEntriesNotUnderstoodMsg", "配置已导入；以下内容未能采用：%s"},
    {"sPicturesFilterName", "图片"},
    {"sBmpFilterName", "BMP 图片"},
    {"sProgramFilterName", "程序文件"},
    {"sHexFilterName", "HEX 文件"},
    {"sAllFilesFilterName", "所有文件"},
    {"sStoppedAfterMsg", "已停止：%d / %d 块已发送"},
    {"sStoppedAfterReadMsg", "已停止：%d / %d 块已读取"},
    {"sStoppedVerifyingMsg", "已停止校验：%d / %d 块已读回；数据已发送，但没有校验"},
    {"sStoppedLookingMsg", "已停止查找打印机的引导程序"},
    {"sProgramIncompleteMsg",
     "打印机停在下载模式，程序没有写完：请再次运行程序更新（update-program）。如果打印机不再应答，请进入BOOT模式"
     "（boot-handshake），再发送固件（固件更新，update-firmware）"},
    {"sFirmwareIncompleteMsg", "固件只发送了一部分：请先再次运行固件更新，再使用打印机"},
    {"sFieldRangeMsg", "%s：请输入 %d 到 %d 之间的整数"},
    {"sFieldHexRangeMsg", "%s：请输入 %s 到 %s 之间的十六进制数"},
    {"sFieldAddressMsg", "%s：请输入完整的地址，如 192.168.1.87（四段，每段 0 到 255）"},
    {"sSpeedChoiceMsg", "%s：请选择以下速度之一：%s"},
    {"sTransferSpeedName", "传输波特率"},
    {"sFieldDigitsMsg", "%s：只能输入数字，最多 %d 位"},
    {"sGroupAddressMsg", "广播和组播地址不是打印机的地址"},
    {"sFailedAfterMsg", "出错前已发送 %d / %d 块"},
    {"sStopRequestedMsg", "正在停止（%s）：正在发送的内容发送完后停止，打印机将切换回原波特率。再按一次 Ctrl-C 立即退出"},
    {"sInterruptedMsg", "已按要求停止（%s）"},
    {"sNotStartedStoppedMsg", "没有开始：已要求停止"},
    {"sUnexpectedErrorMsg", "意外错误：%s"},
    {"sDataFolderRefusedMsg", "数据文件夹 %s 不属于当前用户，或其他用户也可写入：程序不会在其中保存任何文件。请改用自己的文件夹（--data-dir）"},
    {"sLogoTooLargeMsg", "%d × %d 点的徽标占 %d 字节，打印机最多存放 %d 字节的徽标：请缩小图片"},
    {"sLogoDirectoryDamagedMsg", "打印机的徽标目录已损坏（第 %d 项不可能是徽标）：未使用其中的任何徽标，请重新下载徽标"},
    {"sFontOverLogosMsg", "字库将写入 %s，与打印机的徽标区重叠，会毁掉已存的徽标：未发送。确需写入请加 --force"},
    {"sProgressLeftMsg", "剩余 %s"},
    {"sProgressTookMsg", "用时 %s"},
    {"sTryHelpMsg", "请运行 '%s' 查看用法。"},
    {"sUnknownCommandMsg", "未知的命令 '%s'"},
    {"sDidYouMeanMsg", "未知的命令 '%s'；您要用的是不是：%s"},
    {"sNoCommandMsg", "没有给出命令"},
    {"sUnknownOptionMsg", "未知的选项 %s"},
    {"sNeedsValueMsg", "%s 后面须给出一个值"},
    {"sRequiredOptionMsg", "缺少必需的选项 %s"},
    {"sUnexpectedArgumentMsg", "多余的参数 '%s'"},
    {"sMissingArgumentMsg", "缺少参数 %s"},
    {"sOneLinkMsg", "只能选择一种连接：--serial、--udp 或 --usb"},
    {"sNotSerialSpeedMsg", "%s：'%s' 不是串口速度（%s）"},
    {"sUdpPortMsg", "%s：'%s' 不是端口号（1 到 65535）"},
    {"sUdpHostMsg", "%s 须给出打印机的地址，如 192.168.1.87:5100"},
    {"sUsbIdMsg", "%s 须给出设备标识（pennafor-cli list-usb 会列出）"},
    {"sLanguageOptionMsg", "--language 只接受 en 或 zh，'%s' 不行"},
    {"sOnOffMsg", "%s 只接受 on 或 off，'%s' 不行"},
    {"sOptionRangeMsg", "%s 须在 %d 到 %d 之间"},
    {"sNotAnItemChoiceMsg", "%s：没有 '%s' 这一项；请选择 %s，或 0 到 %d 的位置"},
    {"sAmbiguousItemMsg", "%s：'%s' 对应多项，请改用位置"},
    {"sDigitsOptionMsg", "%s 只接受最多 %d 位的整数，'%s' 不行"},
    {"sLinkTextMsg", "%s：'%s' 不是连接（serial:端口、udp:地址[:端口] 或 usb:设备标识）"},
    {"sKeptStoredMsg", "未给出的选项沿用已保存的值：%s"},
    {"sBootSerialOnlyMsg", "打印机的引导程序只在串口上应答"},
    {"sCheckingMsg", "Checking%s"},
    {"sFoundMsg", "%sFound"},
    {"sDownloadingMsg", "Downloading %s%s"},
    {"sReadMemoryMsg", "读取内存：%s"},
    {"sOperationChoiceMsg", "--operation 只接受 9 或 20"},
    {"sStaticOrDynamicMsg", "请给出 --static 或 --dynamic 之一"},
    {"sMacBytesMsg", "请给出 MAC 地址的后四个字节，如 65 66 67 68 或 65:66:67:68"},
    {"sNoArgumentsMsg", "%s 不接受参数"},
    {"sPrinterSucceededMsg", "成功"},
    {"sPrinterFailedMsg", "失败"},
    {"sOptionOnceMsg", "%s 只能给出一次"},
    {"sRetryNoLinksMsg", "--retry 从报告中取打印机：请不要再给出 --serial、--udp 或 --usb"},
    {"sNamePrintersMsg", "请指定打印机：--serial 端口、--udp 地址[:端口] 或 --usb 设备标识，可给出多次"},
    {"sNoSuchGroupMsg", "%s：'%s' 不是设置组；设置组有：%s"},
    {"sProfileActionMsg", "未知的操作 '%s'：请用 profile show FILE"},
    {"sDitherChoiceMsg", "%s 只接受 threshold、floyd-steinberg 或 atkinson，'%s' 不行"},
    {"sAtLeastOneMsg", "%s 至少须为 1"},
    {"sSpeedSentMsg", "已向打印机发送 %d bit/s：它重启或重新连接后才以此速度接收；用 pennafor-cli find 查看它在哪个速度应答"},
    {"sDataFolderMsg", "数据文件夹：%s"},
    {"sRangeNotBlockMsg", "'%s' 不是地址块，例如 192.168.1.0/24"},
    {"sRangeNotAddressMsg", "'%s'：'%s' 不是 IPv4 地址"},
    {"sRangeNotPortMsg", "'%s'：'%s' 不是端口号（1 到 65535）"},
    {"sRangeNotPrefixMsg", "'%s'：'%s' 不是前缀长度（0 到 32）"},
    {"sRangeTooLargeMsg", "'%s' 含 %d 个地址；一次最多查找 %d 个（/22 或更小）"},
    {"sUnknownReportLinkMsg", "报告中有未知的连接 '%s'"},
    {"sCannotWriteMsg", "无法写入"},
    {"sReportUnreadableMsg", "%s：无法读取"},
    {"sNotAReportMsg", "%s：不是 pennafor-cli apply 的报告"},
    {"sReportPrinterMsg", "%s：第 %d 台打印机"},
    {"sReportNotTextMsg", "%s：\"%s\" 不是文字"},
    {"sReportIndexMsg", "%s：\"index\" 不是 0 到 %d 的整数"},
    {"sReportNoLinkMsg", "%s：有打印机缺少连接"},
    {"sReportGroupsMsg", "%s：\"groups\" 不是列表"},
    {"sReportGroupObjectMsg", "%s：有组不是对象"},
    {"sReportResultMsg", "%s：有组的结果不是 ok、sent、failed、skipped 之一"},
    {"sReportShortLineMsg", "%s：第 %d 行字段不足"},
    {"sReportLineResultMsg", "%s：第 %d 行：未知的结果 '%s'"},
    {"sReportLineIndexMsg", "%s：第 %d 行：序号不是 0 到 %d 的整数"},
});

constexpr std::array<std::string_view, 2> kBluetoothSeek{"开启蓝牙隐身", "取消蓝牙隐身"};
constexpr std::array<std::string_view, 3> kBluetoothMode{"未安装蓝牙", "单模蓝牙", "双模蓝牙"};
constexpr std::array<std::string_view, 3> kPasswordCheck{"需要密码鉴权", "需要密码鉴权（****）",
                                                         "不需要密码鉴权"};
constexpr std::array<std::string_view, 2> kFlowControl{"软件流控", "硬件流控"};
constexpr std::array<std::string_view, 4> kDarkDescription{"微淡", "正常", "微浓", "高浓度"};
constexpr std::array<std::string_view, 2> kBluetoothWorkMode{"高速模式", "正常模式"};
constexpr std::array<std::string_view, 4> kCheckMode{"开放系统", "共享系统", "WPA-PSK", "WAP2-PSK"};
constexpr std::array<std::string_view, 2> kIrdaProtocol{"原始红外", "IRDA"};
constexpr std::array<std::string_view, 2> kUsbDeviceType{"USB虚拟串口", "USB打印口"};
constexpr std::array<std::string_view, 2> kPaperType{"热敏票据纸", "热敏标签纸"};
constexpr std::array<std::string_view, 2> kPrinterOrder{"倒序", "正序"};
constexpr std::array<std::string_view, 3> kDitherMethod{"阈值（线条图）", "Floyd-Steinberg 抖动", "Atkinson 抖动"};
constexpr std::array<std::string_view, 3> kLogoWidth{"原尺寸", "384 点（58 mm）", "576 点（80 mm）"};
constexpr std::array<std::string_view, 4> kTransMode{"当前选择串口", "当前选择以太网", "当前选择USB",
                                                     "当前选择并口"};

constexpr std::array<ItemListEntry, 14> kLists{{
    {"Bluetooth SEEK", kBluetoothSeek},
    {"Blue ToolthMode", kBluetoothMode},
    {"Blue PSWCheck", kPasswordCheck},
    {"Flow control", kFlowControl},
    {"Dark description", kDarkDescription},
    {"BlueToolth WorkMode", kBluetoothWorkMode},
    {"Check Mode", kCheckMode},
    {"irda Protecl", kIrdaProtocol},
    {"USB Device Type", kUsbDeviceType},
    {"Paper Type", kPaperType},
    {"Printer Order", kPrinterOrder},
    {"Trans Mode", kTransMode},
    {"Dither Method", kDitherMethod},
    {"Logo Width", kLogoWidth},
}};

// The current texts, index for index with the tables above.
struct CurrentTexts {
    std::mutex mutex;
    std::vector<std::string> texts;
    std::vector<std::vector<std::string>> lists;

    CurrentTexts() { resetLocked(); }

    void resetLocked()
    {
        texts.assign(kTexts.size(), {});
        for (std::size_t i = 0; i < kTexts.size(); ++i)
            texts[i] = std::string(kTexts[i].defaultText);
        lists.assign(kLists.size(), {});
        for (std::size_t i = 0; i < kLists.size(); ++i)
            lists[i].assign(kLists[i].defaults.begin(), kLists[i].defaults.end());
    }
};

CurrentTexts& current()
{
    static CurrentTexts instance;
    return instance;
}

template <typename Table> std::ptrdiff_t indexOf(const Table& table, std::string_view name)
{
    for (std::size_t i = 0; i < table.size(); ++i) {
        if constexpr (std::is_same_v<typename Table::value_type, MessageTextEntry>) {
            if (table[i].key == name)
                return static_cast<std::ptrdiff_t>(i);
        } else {
            if (table[i].section == name)
                return static_cast<std::ptrdiff_t>(i);
        }
    }
    return -1;
}

}  // namespace

std::span<const MessageTextEntry> MessageTextTable()
{
    return kTexts;
}

std::string MessageText(std::string_view key)
{
    const std::ptrdiff_t at = indexOf(kTexts, key);
    if (at < 0)
        return std::string(key);
    CurrentTexts& texts = current();
    std::lock_guard lock(texts.mutex);
    return texts.texts[static_cast<std::size_t>(at)];
}

std::string MessageWithNumbers(std::string_view key, std::initializer_list<long long> numbers)
{
    std::string text = MessageText(key);
    std::size_t from = 0;
    for (const long long number : numbers) {
        const std::size_t at = text.find("%d", from);
        if (at == std::string::npos)
            break;
        const std::string digits = std::to_string(number);
        text.replace(at, 2, digits);
        from = at + digits.size();
    }
    return text;
}

std::string MessageWithText(std::string_view key, const std::string& text)
{
    std::string message = MessageText(key);
    if (const std::size_t at = message.find("%s"); at != std::string::npos)
        message.replace(at, 2, text);
    return message;
}

std::string MessageWithValues(std::string_view key, std::initializer_list<std::string> values)
{
    std::string text = MessageText(key);
    std::size_t from = 0;
    for (const std::string& value : values) {
        std::size_t at = text.find('%', from);
        while (at != std::string::npos && (at + 1 >= text.size() || (text[at + 1] != 's' && text[at + 1] != 'd')))
            at = text.find('%', at + 1);
        if (at == std::string::npos)
            break;
        text.replace(at, 2, value);
        from = at + value.size();
    }
    return text;
}

bool SetMessageText(std::string_view key, std::string text)
{
    const std::ptrdiff_t at = indexOf(kTexts, key);
    if (at < 0)
        return false;
    CurrentTexts& texts = current();
    std::lock_guard lock(texts.mutex);
    texts.texts[static_cast<std::size_t>(at)] = std::move(text);
    return true;
}

std::span<const ItemListEntry> ItemListTable()
{
    return kLists;
}

std::vector<std::string> ItemList(std::string_view section)
{
    const std::ptrdiff_t at = indexOf(kLists, section);
    if (at < 0)
        return {};
    CurrentTexts& texts = current();
    std::lock_guard lock(texts.mutex);
    return texts.lists[static_cast<std::size_t>(at)];
}

bool SetItemText(std::string_view section, std::size_t index, std::string text)
{
    const std::ptrdiff_t at = indexOf(kLists, section);
    if (at < 0)
        return false;
    CurrentTexts& texts = current();
    std::lock_guard lock(texts.mutex);
    auto& items = texts.lists[static_cast<std::size_t>(at)];
    if (index >= items.size())
        return false;
    items[index] = std::move(text);
    return true;
}

void ResetMessageTexts()
{
    CurrentTexts& texts = current();
    std::lock_guard lock(texts.mutex);
    texts.resetLocked();
}

}  // namespace pst
