#include "platform/serial/SerialPortMap.h"

#include "platform/profile/PrivateProfile.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>

#include <algorithm>

namespace {
// Rank of a device path in the default rule, then its number.
std::pair<int, int> sortKey(const QString& path)
{
    static const QRegularExpression pattern(QStringLiteral("^/dev/tty(ACM|USB|S)(\\d+)$"));
    const QRegularExpressionMatch m = pattern.match(path);
    if (!m.hasMatch())
        return {3, 0};
    const QString kind = m.captured(1);
    const int rank = kind == QLatin1String("ACM") ? 0 : kind == QLatin1String("USB") ? 1 : 2;
    return {rank, m.captured(2).toInt()};
}
} // namespace

SerialPortMap::SerialPortMap(QString iniFile, QStringList machinePorts)
    : m_iniFile(std::move(iniFile)), m_defaultPorts(defaultOrder(std::move(machinePorts)))
{
}

QString SerialPortMap::devicePath(int comPort) const
{
    if (comPort < 1 || comPort > PortCount)
        return {};
    const QString mapped = PrivateProfile(m_iniFile)
                               .readString(QStringLiteral("PORTS"), QStringLiteral("COM%1").arg(comPort), QString(),
                                           1024);
    if (!mapped.isEmpty())
        return mapped;
    return comPort <= m_defaultPorts.size() ? m_defaultPorts.at(comPort - 1) : QString();
}

SerialPortMap::Device SerialPortMap::device(int comPort) const
{
    Device d;
    d.path = devicePath(comPort);
    d.present = !d.path.isEmpty() && QFileInfo::exists(d.path);
    return d;
}

QStringList SerialPortMap::systemPorts()
{
    QStringList ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        ports << info.systemLocation();
    return ports;
}

QStringList SerialPortMap::defaultOrder(QStringList ports)
{
    std::stable_sort(ports.begin(), ports.end(), [](const QString& a, const QString& b) {
        const auto ka = sortKey(a);
        const auto kb = sortKey(b);
        return ka != kb ? ka < kb : a < b;
    });
    return ports;
}
