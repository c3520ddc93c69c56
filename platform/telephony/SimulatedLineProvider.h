#pragma once

#include "platform/telephony/LineProvider.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// One simulated line device as its configuration file describes it.
struct SimulatedLineDevice
{
    LineDeviceCaps caps;
    // Image file shown as the device's icon, relative to the configuration file's folder;
    // empty for the standard line icon.
    QString iconFile;
    // Error code with which the device refuses version negotiation (0 = it agrees).
    LONG negotiateError = 0;
    // Result of every outgoing call in its LINE_REPLY (0 = the call is placed).
    LONG makeCallResult = 0;
    // Error code with which the configuration dialog refuses to open (0 = it opens).
    LONG configDialogError = 0;
    // A call the device offers by itself a few seconds after each opening of the line, so
    // that the program shows a caller without anyone driving the line (the shipped demo
    // line). No call when the number is empty.
    QByteArray demoNumber;
    QByteArray demoName;
    int demoAfterMs = 3000;
};

// A line provider whose devices come from a JSON file and whose calls are driven from
// outside: offered with a caller ID, ringing, connected, disconnected, idle. Outgoing calls
// are answered with the device's configured result. Each device carries one call at a time.
class SimulatedLineProvider final : public LineProvider
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SimulatedLineProvider)

public:
    // Shows the provider's configuration dialog for one device (a window, so it is given
    // from outside this widget-free layer).
    using ConfigDialog = std::function<void(SimulatedLineProvider& provider, DWORD device, QWidget* owner)>;

    // A description of a few lines is a few kilobytes; an icon a small picture.
    static constexpr qint64 kMaxFileSize = 1024 * 1024;
    static constexpr qint64 kMaxIconSize = 4 * 1024 * 1024;

    explicit SimulatedLineProvider(QString configFile, QObject* parent = nullptr);

    // Reads the configuration file; a missing file gives no devices. On a broken file the
    // provider has no devices and `error` says what is wrong.
    bool load(QString* error = nullptr);
    // Writes the devices back whole.
    bool save(QString* error = nullptr) const;
    QString configFile() const { return m_configFile; }

    const SimulatedLineDevice& device(DWORD device) const { return m_devices.at(device).config; }
    void setDevice(DWORD device, const SimulatedLineDevice& config) { m_devices.at(device).config = config; }
    void addDevice(const SimulatedLineDevice& config);
    void setConfigDialog(ConfigDialog dialog) { m_configDialog = std::move(dialog); }

    // Driving the devices. Each returns an empty text on success, else what went wrong.
    QString offer(DWORD device, const QByteArray& callerId, const QByteArray& callerName);
    QString sendCallerId(DWORD device, const QByteArray& callerId, const QByteArray& callerName);
    QString ring(DWORD device);
    // CONNECTED, DISCONNECTED or IDLE for the device's current call.
    QString setCallState(DWORD device, DWORD state);
    QString closeLine(DWORD device);
    QString setMakeCallResult(DWORD device, LONG result);
    // One entry per device: "<index> <open|closed> <call state name>".
    QStringList status() const;

    DWORD deviceCount() const override { return DWORD(m_devices.size()); }
    LineDeviceCaps caps(DWORD device) const override { return m_devices.at(device).config.caps; }
    LONG negotiate(DWORD device) const override { return m_devices.at(device).config.negotiateError; }
    QImage icon(DWORD device) const override;
    LONG open(DWORD device) override;
    void close(DWORD device) override;
    LONG makeCall(DWORD device, DWORD requestId, const QByteArray& number) override;
    LONG drop(DWORD device, DWORD callId, DWORD requestId) override;
    bool callData(DWORD device, DWORD callId, LineCallData* data) const override;
    LONG configDialog(DWORD device, QWidget* owner) override;

private:
    struct State
    {
        SimulatedLineDevice config;
        int opens = 0;
        DWORD ringCount = 0;
        DWORD callId = 0; // 0 = no call yet
        LineCallData call;
    };

    QString checkDevice(DWORD device) const;
    QString checkCall(DWORD device) const;
    bool callActive(const State& state) const;
    void changeState(DWORD device, DWORD state, DWORD mode = 0);
    void playDemoCall(DWORD device);

    QString m_configFile;
    std::vector<State> m_devices;
    ConfigDialog m_configDialog;
    DWORD m_nextCallId = 1;
};
