#pragma once

#include <QString>

// The [DEVICESET] section of "sysset.ini": the device being watched, as the monitoring
// command last stored it.
struct DeviceSetSection
{
    int devType = 3;   // 3 TAPI, anything else the modem
    int devNum = 0;    // item index of the line device or of the port (0 = COM1)
    int modemSet1 = 0; // item index of the caller-ID command
    int modemSet2 = 0; // item index of the initialisation command
    // The two commands as text (MODEMCMD1, MODEMCMD2): a command typed into a list is no
    // item of it, and an index alone would lose it. Empty when never stored.
    QString callerIdCommand;
    QString initCommand;

    bool isTapi() const { return devType == 3; }
};

// The [SYSTEM] section: the three options of the main window, and the calls the program
// shows and how.
struct SystemSection
{
    bool autoStart = false;   // start with the desktop session and start monitoring by itself
    bool delHeader = false;   // drop the first digit of every caller number
    bool isDtmf = false;      // stored and restored only
    bool notify = true;       // the caller also in the desktop's notification (tray menu)
    bool blockAnswer = false; // a blocked call is answered and hung up (block list window)
};

// "sysset.ini" of the program folder, read once at start-up and written key by key as the
// user acts. Each write returns whether every key of it reached the file: in a read-only
// folder or on a full disk the old values stay, and the window must say so.
class DeviceSettings
{
public:
    explicit DeviceSettings(QString fileName);

    // False, with a message naming the file, when "sysset.ini" is there but cannot be read
    // (the reads then give the defaults); a missing file is a new one.
    bool readable(QString* error) const;

    // Each value is held in a one-character field, so only its first character counts, read
    // as a decimal digit (a non-digit gives 0): a missing DEVNUM ("-1") reads as 0 and a stored
    // index of 12 reads back as 1.
    DeviceSetSection readDeviceSet() const;
    // Integers; anything other than 0 counts as checked.
    SystemSection readSystem() const;

    [[nodiscard]] bool writeTapiChoice(int lineIndex) const;
    [[nodiscard]] bool writeModemChoice(int portIndex, int callerIdCommandIndex, int initCommandIndex) const;
    [[nodiscard]] bool writeModemCommands(const QString& callerIdCommand, const QString& initCommand) const;

    [[nodiscard]] bool writeAutoStart(bool on) const;
    [[nodiscard]] bool writeDelHeader(bool on) const;
    [[nodiscard]] bool writeIsDtmf(bool on) const;
    void writeNotify(bool on) const;
    [[nodiscard]] bool writeBlockAnswer(bool on) const;

private:
    QString m_fileName;
};
