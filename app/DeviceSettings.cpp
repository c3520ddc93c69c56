#include "app/DeviceSettings.h"

#include "platform/profile/PrivateProfile.h"

namespace {
const QString kDeviceSet = QStringLiteral("DEVICESET");
const QString kSystem = QStringLiteral("SYSTEM");

int firstDigit(const PrivateProfile& ini, const QString& key, const QString& defaultValue)
{
    const QString value = ini.readString(kDeviceSet, key, defaultValue, 2);
    if (value.isEmpty() || value.at(0) < QLatin1Char('0') || value.at(0) > QLatin1Char('9'))
        return 0;
    return value.at(0).unicode() - '0';
}

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}
} // namespace

DeviceSettings::DeviceSettings(QString fileName) : m_fileName(std::move(fileName))
{
}

bool DeviceSettings::readable(QString* error) const
{
    return PrivateProfile(m_fileName).load(error);
}

DeviceSetSection DeviceSettings::readDeviceSet() const
{
    PrivateProfile ini(m_fileName);
    ini.load();
    DeviceSetSection s;
    s.devType = firstDigit(ini, QStringLiteral("DEVTYPE"), QStringLiteral("3"));
    s.devNum = firstDigit(ini, QStringLiteral("DEVNUM"), QStringLiteral("-1"));
    s.modemSet1 = firstDigit(ini, QStringLiteral("MODEMSET1"), QStringLiteral("0"));
    s.modemSet2 = firstDigit(ini, QStringLiteral("MODEMSET2"), QStringLiteral("0"));
    s.callerIdCommand = ini.readString(kDeviceSet, QStringLiteral("MODEMCMD1"), QString());
    s.initCommand = ini.readString(kDeviceSet, QStringLiteral("MODEMCMD2"), QString());
    return s;
}

SystemSection DeviceSettings::readSystem() const
{
    PrivateProfile ini(m_fileName);
    ini.load();
    SystemSection s;
    s.autoStart = ini.readInt(kSystem, QStringLiteral("AUTOSTART"), 0) != 0;
    s.delHeader = ini.readInt(kSystem, QStringLiteral("DELHEADER"), 0) != 0;
    s.isDtmf = ini.readInt(kSystem, QStringLiteral("ISDTMF"), 0) != 0;
    s.notify = ini.readInt(kSystem, QStringLiteral("NOTIFY"), 1) != 0;
    s.blockAnswer = ini.readInt(kSystem, QStringLiteral("BLOCKANSWER"), 0) != 0;
    return s;
}

bool DeviceSettings::writeTapiChoice(int lineIndex) const
{
    PrivateProfile ini(m_fileName);
    bool written = ini.writeString(kDeviceSet, QStringLiteral("DEVTYPE"), QStringLiteral("3"));
    written &= ini.writeString(kDeviceSet, QStringLiteral("DEVNUM"), QString::number(lineIndex));
    return written;
}

bool DeviceSettings::writeModemChoice(int portIndex, int callerIdCommandIndex, int initCommandIndex) const
{
    PrivateProfile ini(m_fileName);
    bool written = ini.writeString(kDeviceSet, QStringLiteral("DEVTYPE"), QStringLiteral("4"));
    written &= ini.writeString(kDeviceSet, QStringLiteral("DEVNUM"), QString::number(portIndex));
    written &= ini.writeString(kDeviceSet, QStringLiteral("MODEMSET1"), QString::number(callerIdCommandIndex));
    written &= ini.writeString(kDeviceSet, QStringLiteral("MODEMSET2"), QString::number(initCommandIndex));
    return written;
}

bool DeviceSettings::writeModemCommands(const QString& callerIdCommand, const QString& initCommand) const
{
    PrivateProfile ini(m_fileName);
    const bool callerIdWritten = ini.writeString(kDeviceSet, QStringLiteral("MODEMCMD1"), callerIdCommand);
    return ini.writeString(kDeviceSet, QStringLiteral("MODEMCMD2"), initCommand) && callerIdWritten;
}

bool DeviceSettings::writeAutoStart(bool on) const
{
    return PrivateProfile(m_fileName).writeString(kSystem, QStringLiteral("AUTOSTART"), flag(on));
}

bool DeviceSettings::writeDelHeader(bool on) const
{
    return PrivateProfile(m_fileName).writeString(kSystem, QStringLiteral("DELHEADER"), flag(on));
}

bool DeviceSettings::writeIsDtmf(bool on) const
{
    return PrivateProfile(m_fileName).writeString(kSystem, QStringLiteral("ISDTMF"), flag(on));
}

void DeviceSettings::writeNotify(bool on) const
{
    PrivateProfile(m_fileName).writeString(kSystem, QStringLiteral("NOTIFY"), flag(on));
}

bool DeviceSettings::writeBlockAnswer(bool on) const
{
    return PrivateProfile(m_fileName).writeString(kSystem, QStringLiteral("BLOCKANSWER"), flag(on));
}
