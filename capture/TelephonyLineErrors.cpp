#include "capture/TelephonyLine.h"

#include <iterator>

#include <QCoreApplication>

namespace {

// Display texts of the line error codes 0x80000001..0x80000056, in code order; a null entry
// is a code without a text of its own. The Chinese ones are translated when shown.
const char* const kErrorTexts[] = {
    QT_TRANSLATE_NOOP("TelephonyLine", "所要求得资源（如串行口）已经分配给另一个进程了"), // 01
    QT_TRANSLATE_NOOP("TelephonyLine", "指定的设备ID超出范围"),
    QT_TRANSLATE_NOOP("TelephonyLine", "指定的模式超出范围"),
    nullptr,
    QT_TRANSLATE_NOOP("TelephonyLine", "在这个地址目前没有可用的呼叫出现"), // 05
    "Completion Overrun",
    "Conference Full",
    QT_TRANSLATE_NOOP("TelephonyLine", "服务提供者不支持等待付费得音频$"),
    QT_TRANSLATE_NOOP("TelephonyLine", "服务提供者不支持等待拨号的音频W"),
    QT_TRANSLATE_NOOP("TelephonyLine", "服务提供者不支持等待提示符？"), // 0A
    QT_TRANSLATE_NOOP("TelephonyLine", "服务提供者不支持等待静默@"),
    QT_TRANSLATE_NOOP("TelephonyLine", "指定的版本号不兼容"),
    QT_TRANSLATE_NOOP("TelephonyLine", "指定的扩展号不兼容"),
    QT_TRANSLATE_NOOP("TelephonyLine", "初始化文件错误"),
    QT_TRANSLATE_NOOP("TelephonyLine", "指定的线路正在使用"), // 0F
    QT_TRANSLATE_NOOP("TelephonyLine", "指定的地址包含无效字符"),
    QT_TRANSLATE_NOOP("TelephonyLine", "指定的地址超出范围"),
    QT_TRANSLATE_NOOP("TelephonyLine", "无效的地址模式"),
    QT_TRANSLATE_NOOP("TelephonyLine", "无效的地址状态"),
    QT_TRANSLATE_NOOP("TelephonyLine", "指定的应用程序句柄失无效的"), // 14
    "Invalid App Name",
    "Invalid Bearer Mode",
    "Invalid Call Completion Mode",
    "Invalid Call Handle",
    "Invalid Call Params", // 19
    "Invalid Call Privilege",
    "Invalid Call Select",
    QT_TRANSLATE_NOOP("TelephonyLine", "指定的呼叫对请求动作来说未处于正确地呼叫状态"),
    "Invalid Call State List",
    "Invalid Card", // 1E
    "Invalid Completion ID",
    "Invalid Conf Call Handle",
    "Invalid Consult Call Handle",
    QT_TRANSLATE_NOOP("TelephonyLine", "指定的国家代码是无效的"),
    "Invalid Device Class", // 23
    "Invalid Device Handle",
    nullptr,
    "Invalid Digit List",
    "Invalid Digit Mode",
    "Invalid Digits", // 28
    "Invalid Ext Version",
    "Invalid Group ID",
    QT_TRANSLATE_NOOP("TelephonyLine", "指定的线路句柄无效"),
    "Invalid Line State",
    "Invalid Location", // 2D
    "Invalid Media List",
    QT_TRANSLATE_NOOP("TelephonyLine", "指定的媒体模式无效"),
    "Invalid Message ID",
    nullptr,
    QT_TRANSLATE_NOOP("TelephonyLine", "有一个参数已被确定为无效的"), // 32
    "Invalid Park ID",
    "Invalid Park Mode",
    QT_TRANSLATE_NOOP("TelephonyLine", "指针没有引用一个有效的内存位置"),
    "Invalid Priv Select",
    "Invalid Rate", // 37
    "Invalid Request Mode",
    "Invalid Terminal ID",
    "Invalid Terminal Mode",
    "Invalid Time Out",
    "Invalid Tone", // 3C
    "Invalid Tone List",
    "Invalid Tone Mode",
    "Invalid Transfer Mode",
    "Line Mapper Failed",
    "No Conference", // 41
    "No Device",
    QT_TRANSLATE_NOOP("TelephonyLine", "服务提供者发现它的一个组件丢失了"),
    QT_TRANSLATE_NOOP("TelephonyLine", "没有足够的内存用于所请求的动作"),
    "No Request",
    QT_TRANSLATE_NOOP("TelephonyLine", "所请求的动作被拒绝，因为应用程序并不拥有这个呼叫"), // 46
    "Not Registered",
    QT_TRANSLATE_NOOP("TelephonyLine", "因不明原因，请求失败"),
    QT_TRANSLATE_NOOP("TelephonyLine", "服务提供者不支持此请求"),
    "Rate Unavailable",
    QT_TRANSLATE_NOOP("TelephonyLine", "没有足够的资源完成此请求"), // 4B
    "Request Overrun",
    QT_TRANSLATE_NOOP("TelephonyLine", "指定的结构太小而不能包含定长数据"),
    "Target Not found",
    "Target Self",
    "Uninitialized", // 50
    "UserUser Info Too Big",
    "Re-init",
    "Address Blocked",
    "Billing Rejected",
    "Invalid Feature", // 55
    "No Multiple Instance",
};
static_assert(std::size(kErrorTexts) == 0x56);

} // namespace

QString TelephonyLine::errorText(LONG code)
{
    const DWORD index = DWORD(code) - 0x80000001u;
    if (index < std::size(kErrorTexts) && kErrorTexts[index])
        return QCoreApplication::translate("TelephonyLine", kErrorTexts[index]);
    return QCoreApplication::translate("TelephonyLine", "未知错误");
}
