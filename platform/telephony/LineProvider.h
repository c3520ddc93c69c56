#pragma once

#include "platform/telephony/LineCallData.h"
#include "platform/telephony/Tapi.h"

#include <QByteArray>
#include <QImage>
#include <QObject>

#include <memory>

// What a line device says about itself; the telephony layer lays it out as LINEDEVCAPS.
struct LineDeviceCaps
{
    QByteArray lineName;
    QByteArray providerInfo;
    QByteArray switchInfo;
    DWORD permanentLineId = 0;
    DWORD stringFormat = STRINGFORMAT_ASCII;
    DWORD numAddresses = 1;
    DWORD maxRate = 0;
    DWORD bearerModes = LINEBEARERMODE_VOICE;
    DWORD addressModes = LINEADDRESSMODE_ADDRESSID;
    DWORD mediaModes = LINEMEDIAMODE_INTERACTIVEVOICE | LINEMEDIAMODE_DATAMODEM;
    DWORD generateToneMaxNumFreq = 0;
    DWORD generateToneModes = 0;
    DWORD numTerminals = 1;
    // API versions the device's provider speaks.
    DWORD lowVersion = 0x00010003;
    DWORD highVersion = TAPI_CURRENT_VERSION;
};

// A source of line devices behind the telephony layer. Devices are numbered 0..count-1
// within the provider; the layer gives them their place among all devices. Calls carry the
// provider's own identifiers. Everything runs on the thread that installed the provider;
// the layer turns the signals into callback messages of the lines that have the device open.
class LineProvider : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LineProvider)

public:
    explicit LineProvider(QObject* parent = nullptr) : QObject(parent) {}
    ~LineProvider() override = default;

    virtual DWORD deviceCount() const = 0;
    virtual LineDeviceCaps caps(DWORD device) const = 0;
    // A provider may refuse to negotiate with a device that is otherwise in range (0 = agree).
    virtual LONG negotiate(DWORD device) const { return (void)device, 0; }
    virtual QImage icon(DWORD device) const = 0;

    // The layer opens a device once per lineOpenA and closes it once per lineClose.
    virtual LONG open(DWORD device) = 0;
    virtual void close(DWORD device) = 0;

    // Asynchronous requests: 0 when accepted, then requestCompleted() follows; an error
    // code when refused at once.
    virtual LONG makeCall(DWORD device, DWORD requestId, const QByteArray& number) = 0;
    virtual LONG drop(DWORD device, DWORD callId, DWORD requestId) = 0;
    // An offered call turned away as unwanted; a provider without a reply of its own for
    // that drops it.
    virtual LONG decline(DWORD device, DWORD callId, DWORD requestId) { return drop(device, callId, requestId); }

    virtual bool callData(DWORD device, DWORD callId, LineCallData* data) const = 0;
    virtual LONG configDialog(DWORD device, QWidget* owner) = 0;

signals:
    void newCall(DWORD device, DWORD callId);
    void callStateChanged(DWORD device, DWORD callId, DWORD state, DWORD mode);
    void callInfoChanged(DWORD device, DWORD callId, DWORD infoStates);
    void lineDevStateChanged(DWORD device, DWORD state, DWORD param2, DWORD param3);
    // callId names the new call of a completed makeCall (0 otherwise).
    void requestCompleted(DWORD requestId, LONG result, DWORD device, DWORD callId);
    // The device closed the line by itself (LINE_CLOSE).
    void lineClosed(DWORD device);
};

// The installed providers; their devices follow one another in installation order.
namespace LineProviders {

void install(std::unique_ptr<LineProvider> provider);
// Removes every provider (tests); must not be called while lines are initialised.
void clear();

} // namespace LineProviders
