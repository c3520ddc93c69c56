#include "capture/TapiDevices.h"

#include "capture/TelephonyLine.h"

#include <QCoreApplication>

namespace {

struct Flag
{
    DWORD bit;
    const char* text;
};

// The order of each list is the order in which the report names the bits.
constexpr Flag kBearerModes[] = {
    {LINEBEARERMODE_VOICE, "\tLINEBEARERMODE_VOICE"},
    {LINEBEARERMODE_SPEECH, "\tLINEBEARERMODE_SPEECH"},
    {LINEBEARERMODE_DATA, "\tLINEBEARERMODE_DATA"},
    {LINEBEARERMODE_ALTSPEECHDATA, "\tLINEBEARERMODE_ALTSPEECHDATA"},
    {LINEBEARERMODE_MULTIUSE, "\tLINEBEARERMODE_MULTIUSE"},
    {LINEBEARERMODE_NONCALLSIGNALING, "\tLINEBEARERMODE_NONCALLSIGNALING"},
};

constexpr Flag kAddressModes[] = {
    {LINEADDRESSMODE_ADDRESSID, "\tLINEADDRESSMODE_ADDRESSID"},
    {LINEADDRESSMODE_DIALABLEADDR, "\tLINEADDRESSMODE_DIALABLEADDR"},
};

// "DITAIGALDATA" is how the report has always spelled it.
constexpr Flag kMediaModes[] = {
    {LINEMEDIAMODE_ADSI, "\tLINEMEDIAMODE_ADSI"},
    {LINEMEDIAMODE_AUTOMATEDVOICE, "\tLINEMEDIAMODE_AUTOMATEDVOICE"},
    {LINEMEDIAMODE_DATAMODEM, "\tLINEMEDIAMODE_DATAMODEM"},
    {LINEMEDIAMODE_DIGITALDATA, "\tLINEMEDIAMODE_DITAIGALDATA"},
    {LINEMEDIAMODE_G3FAX, "\tLINEMEDIAMODE_G3FAX"},
    {LINEMEDIAMODE_G4FAX, "\tLINEMEDIAMODE_G4FAX"},
    {LINEMEDIAMODE_INTERACTIVEVOICE, "\tLINEMEDIAMODE_INTERACTIVEVOICE"},
    {LINEMEDIAMODE_MIXED, "\tLINEMEDIAMODE_MIXED"},
    {LINEMEDIAMODE_TDD, "\tLINEMEDIAMODE_TDD"},
    {LINEMEDIAMODE_TELETEX, "\tLINEMEDIAMODE_TELETEX"},
    {LINEMEDIAMODE_UNKNOWN, "\tLINEMEDIAMODE_UNKNOWN"},
    {LINEMEDIAMODE_VIDEOTEX, "\tLINEMEDIAMODE_VIDEOTEX"},
};

constexpr Flag kToneModes[] = {
    {LINETONEMODE_BEEP, "\tLINETONEMODE_BEEP"},
    {LINETONEMODE_BILLING, "\tLINETONEMODE_BILLING"},
    {LINETONEMODE_BUSY, "\tLINETONEMODE_BUSY"},
    {LINETONEMODE_CUSTOM, "\tLINETONEMODE_CUSTOM"},
    {LINETONEMODE_RINGBACK, "\tLINETONEMODE_RINGBACK"},
};

template <std::size_t N> void appendFlags(QStringList& lines, DWORD set, const Flag (&flags)[N])
{
    for (const Flag& flag : flags)
        if (set & flag.bit)
            lines << QString::fromLatin1(flag.text);
}

// Numbers are shown as signed decimals.
QString number(const char* label, DWORD value)
{
    return QCoreApplication::translate("TapiDevices", label) + QString::number(qint32(value));
}

} // namespace

QList<TapiDevices::Item> TapiDevices::usableLines(TelephonyLine& line)
{
    QList<Item> items;
    for (DWORD i = 0; i < line.deviceCount(); ++i) {
        line.selectLine(i);
        if (line.apiVersion() != 0)
            items.append({line.lineName(), i});
    }
    return items;
}

QStringList TapiDevices::lines(const TelephonyLine& line)
{
    QStringList lines;
    lines << number(QT_TRANSLATE_NOOP("TapiDevices", "TAPI线路: #"), line.currentDevice());
    lines << QCoreApplication::translate("TapiDevices", "TAPI线路名称: ") + line.lineName();
    lines << QCoreApplication::translate("TapiDevices", "TAPI服务提供商名称: ") + line.providerInfo();
    lines << QCoreApplication::translate("TapiDevices", "TAPI转换信息: ") + line.switchInfo();
    lines << number(QT_TRANSLATE_NOOP("TapiDevices", "固定的线路标识: "), line.permanentLineId());
    const QString format = QCoreApplication::translate("TapiDevices", "字符串格式: ");
    switch (line.stringFormat()) {
    case STRINGFORMAT_ASCII:
        lines << format + QStringLiteral("STRINGFORMAT_ASCII");
        break;
    case STRINGFORMAT_DBCS:
        lines << format + QStringLiteral("STRINGFORMAT_DBCS");
        break;
    case STRINGFORMAT_UNICODE:
        lines << format + QStringLiteral("STRINGFORMAT_UNICODe");
        break;
    case STRINGFORMAT_BINARY:
        lines << format + QStringLiteral("STRINGFORMAT_BINARY");
        break;
    default: break;
    }
    lines << number(QT_TRANSLATE_NOOP("TapiDevices", "与本线路相关联的地址数目: "), line.addressCount());
    lines << number(QT_TRANSLATE_NOOP("TapiDevices", "最大数据传输率: "), line.maxRate());
    lines << QCoreApplication::translate("TapiDevices", "支持的载荷模式:");
    appendFlags(lines, line.bearerModes(), kBearerModes);
    lines << QCoreApplication::translate("TapiDevices", "支持的地址模式");
    appendFlags(lines, line.addressModes(), kAddressModes);
    lines << QCoreApplication::translate("TapiDevices", "支持的媒体形式");
    appendFlags(lines, line.mediaModes(), kMediaModes);
    if (line.generateToneMaxFrequencies() != 0) {
        lines << QCoreApplication::translate("TapiDevices", "是否支持Line Tone Generation: 是");
        appendFlags(lines, line.generateToneModes(), kToneModes);
    } else {
        lines << QCoreApplication::translate("TapiDevices", "是否支持Line Tone Generation: 否");
    }
    lines << (line.canVoiceCall() ? QCoreApplication::translate("TapiDevices", "是否支持语音呼叫: 是")
                                  : QCoreApplication::translate("TapiDevices", "是否支持语音呼叫: 否"));
    lines << number(QT_TRANSLATE_NOOP("TapiDevices", "线路终端数目: "), line.terminalCount());
    return lines;
}

QString TapiDevices::noLineSelected()
{
    return QCoreApplication::translate("TapiDevices", "没有有效的TAPI线路选中");
}
