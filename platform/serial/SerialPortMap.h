#pragma once

#include <QString>
#include <QStringList>

// Which device each of the program's ports COM1..COM8 stands for.
//
// The keys COM1..COM8 of section [PORTS] in "sysset.ini" name a device path each
// ("COM3=/dev/ttyUSB0") and win over the default rule. The default rule numbers the
// machine's serial devices: USB modems first (/dev/ttyACM0, /dev/ttyACM1, ..., then
// /dev/ttyUSB0, ...), then the built-in ports that have hardware behind them (/dev/ttyS0,
// ...), then any other serial device; COMn is the n-th of that list. A port with no device
// maps to an empty path.
class SerialPortMap
{
public:
    static constexpr int PortCount = 8;

    // `machinePorts` is the machine's serial devices in any order (tests pass their own).
    explicit SerialPortMap(QString iniFile, QStringList machinePorts = systemPorts());

    QString devicePath(int comPort) const;

    // The device a port stands for as the user is shown it: its path (empty when none is
    // mapped) and whether that device is there now.
    struct Device
    {
        QString path;
        bool present = false;
    };
    Device device(int comPort) const;

    // The machine's serial devices as the system lists them.
    static QStringList systemPorts();
    // The default rule's order of a list of device paths.
    static QStringList defaultOrder(QStringList ports);

private:
    QString m_iniFile;
    QStringList m_defaultPorts;
};
