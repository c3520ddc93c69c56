#pragma once

#include "platform/telephony/Tapi.h"

#include <QByteArray>
#include <QObject>
#include <QString>

// One telephony initialisation and its one opened line device. It negotiates with every
// line device, reads the capabilities of the selected one, opens and closes it, places and
// drops calls, and turns the line's events into signals: a ring, the end of a call, a
// caller's number. The line's events arrive from the event loop, never from inside one of
// these calls. Failures come back as false with the TAPI code kept for
// takeLastError/errorText; nothing here shows a message.
class TelephonyLine final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TelephonyLine)

public:
    explicit TelephonyLine(QObject* parent = nullptr);
    ~TelephonyLine() override;

    void setLowApiVersion(DWORD version) { m_lowAPIVersion = version; }
    void setHighApiVersion(DWORD version) { m_highAPIVersion = version; }

    bool initLines();
    bool selectLine(DWORD index);

    DWORD deviceCount() const { return m_numDevs; }
    DWORD currentDevice() const { return m_curLine; }
    DWORD apiVersion() const;
    QString lineName() const { return m_lineName; }
    QString providerInfo() const { return m_providerInfo; }
    QString switchInfo() const { return m_switchInfo; }
    DWORD permanentLineId() const { return m_permanentLineID; }
    DWORD stringFormat() const { return m_stringFormat; }
    DWORD addressCount() const { return m_numAddresses; }
    DWORD maxRate() const { return m_maxRate; }
    DWORD bearerModes() const { return m_bearerModes; }
    DWORD addressModes() const { return m_addressModes; }
    DWORD mediaModes() const { return m_mediaModes; }
    DWORD generateToneMaxFrequencies() const { return m_generateToneMaxNumFreq; }
    DWORD generateToneModes() const { return m_generateToneModes; }
    DWORD terminalCount() const { return m_numTerminals; }
    bool canVoiceCall() const;

    bool openLine(DWORD privileges, DWORD media);
    // A line handle is held: opened and not closed since, by us or by its provider.
    bool isOpen() const { return m_hLine != 0; }
    bool closeLine();
    bool makeCall(const QString& number);
    bool dropCall();
    // The offered call turned away as unwanted (lineDecline).
    bool declineCall();
    bool showConfigDialog(HWND owner, const QString& deviceClass);

    LONG takeLastError();
    static QString errorText(LONG code);

    // Room of the per-device version table. Devices with higher identifiers are never
    // negotiated, so they count as failed and stay out of the device list.
    static constexpr DWORD kMaxDevices = 10;

signals:
    // A call is offered or rings back; said again for every ring.
    void ringing();
    // The call went idle or was disconnected.
    void ringDone();
    // The caller ID of the offered call as the line gave it; empty when the line had none
    // to give.
    void callerNumber(const QByteArray& number);
    // The line refused or failed an outgoing call; `code` is the TAPI error for errorText.
    // The line stays open for incoming calls.
    void makeCallFailed(LONG code);
    // The provider closed the line by itself: monitoring has stopped until the line is
    // opened again. Said once per opening.
    void lineClosed();

public:
    // The callback of the line layer. Each line is opened with its object as the callback
    // instance; an instance that is no live line object is ignored.
    static void lineCallback(DWORD hDevice, DWORD dwMessage, DWORD_PTR dwInstance, DWORD_PTR dwParam1,
                             DWORD_PTR dwParam2, DWORD_PTR dwParam3);

private:
    bool refreshCaps();
    void handleLineMessage(DWORD hDevice, DWORD message, DWORD_PTR param1, DWORD_PTR param2);
    void handleCallState(HCALL call, DWORD state);
    void handleCallerId(DWORD infoStates);

    DWORD m_numDevs = 0;
    DWORD m_curLine = 0;
    HLINEAPP m_hLineApp = 0;
    DWORD m_apiVersions[kMaxDevices] = {};
    DWORD m_lowAPIVersion = 0x00010003;
    DWORD m_highAPIVersion = 0x00030000;
    LONG m_lastError = 0;
    QString m_lineName;
    QString m_providerInfo;
    QString m_switchInfo;
    DWORD m_permanentLineID = 0;
    DWORD m_stringFormat = 0;
    DWORD m_numAddresses = 0;
    DWORD m_mediaModes = 0;
    DWORD m_maxRate = 0;
    DWORD m_bearerModes = 0;
    DWORD m_addressModes = 0;
    DWORD m_generateToneMaxNumFreq = 0;
    DWORD m_generateToneModes = 0;
    DWORD m_numTerminals = 0;
    HLINE m_hLine = 0;
    HCALL m_hCall = 0;
    LONG m_makeCallRequest = 0;
    LONG m_dropRequest = 0;
};
