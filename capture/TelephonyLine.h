#pragma once

#include "platform/telephony/Tapi.h"

#include <QString>

class QObject;

// The program's one telephony initialisation and its one opened line device. It negotiates
// with every line device, reads the capabilities of the selected one, opens and closes it,
// places and drops calls, and turns the line's events into the ring, ring-done and
// caller-number messages posted to the main window. Failures come back as false with the
// TAPI code kept for TakeLastError/GetErrorText; nothing here shows a message.
class TelephonyLine
{
public:
    // `mainWindow` receives the posted line messages.
    explicit TelephonyLine(QObject* mainWindow);
    virtual ~TelephonyLine();

    TelephonyLine(const TelephonyLine&) = delete;
    TelephonyLine& operator=(const TelephonyLine&) = delete;

    void SetLowAPIVersion(DWORD version) { lowAPIVersion = version; }
    void SetHighAPIVersion(DWORD version) { highAPIVersion = version; }

    bool InitLines();
    bool SelectLine(DWORD index);

    DWORD GetNumDevs() const { return numDevs; }
    DWORD GetCurLine() const { return curLine; }
    DWORD GetLineAPIVersion() const;
    QString GetLineName() const { return lineName; }
    QString GetProviderInfo() const { return providerInfo; }
    QString GetSwitchInfo() const { return switchInfo; }
    DWORD GetPermanentLineID() const { return permanentLineID; }
    DWORD GetStringFormat() const { return stringFormat; }
    DWORD GetNumAddresses() const { return numAddresses; }
    DWORD GetMaxRate() const { return maxRate; }
    DWORD GetBearerModes() const { return bearerModes; }
    DWORD GetAddressModes() const { return addressModes; }
    DWORD GetMediaModes() const { return mediaModes; }
    DWORD GetGenerateToneMaxNumFreq() const { return generateToneMaxNumFreq; }
    DWORD GetGenerateToneModes() const { return generateToneModes; }
    DWORD GetNumTerminals() const { return numTerminals; }
    bool CanVoiceCall() const;

    bool OpenLine(DWORD privileges, DWORD media);
    bool CloseLine();
    bool MakeCall(const QString& number);
    bool DropCall();
    bool ConfigDialog(HWND owner, const QString& deviceClass);

    LONG TakeLastError();
    static QString GetErrorText(LONG code);

    static void LineCallback(DWORD hDevice, DWORD dwMessage, DWORD_PTR dwInstance, DWORD_PTR dwParam1,
                             DWORD_PTR dwParam2, DWORD_PTR dwParam3);

    // Room of the per-device version table. Devices with higher identifiers are never
    // negotiated, so they count as failed and stay out of the device list.
    static constexpr DWORD kMaxDevices = 10;

private:
    bool RefreshCaps();
    void OnCallState(HCALL call, DWORD state);
    void OnCallerId(DWORD infoStates);
    void Post(int message, const QByteArray& text = {});

    QObject* mainWindow;
    DWORD numDevs = 0;
    DWORD curLine = 0;
    HLINEAPP hLineApp = 0;
    DWORD apiVersions[kMaxDevices] = {};
    DWORD lowAPIVersion = 0x00010003;
    DWORD highAPIVersion = 0x00030000;
    LONG lastError = 0;
    QString lineName;
    QString providerInfo;
    QString switchInfo;
    DWORD permanentLineID = 0;
    DWORD stringFormat = 0;
    DWORD numAddresses = 0;
    DWORD mediaModes = 0;
    DWORD maxRate = 0;
    DWORD bearerModes = 0;
    DWORD addressModes = 0;
    DWORD generateToneMaxNumFreq = 0;
    DWORD generateToneModes = 0;
    DWORD numTerminals = 0;
    HLINE hLine = 0;
    HCALL hCall = 0;
    LONG makeCallRequest = 0;
    LONG dropRequest = 0;
};

// The one line object; its constructor sets it. The line callback reaches the object only
// through it.
extern TelephonyLine* myTAPILine;
