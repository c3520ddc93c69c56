#pragma once

// The telephony line interface of the program: the ANSI line functions, structures and
// constants of TAPI 2.x with their usual names, values and contracts, served by the line
// providers installed through LineProviders. Handles are 32-bit values as in TAPI; the
// variable-size structures carry their texts behind the fixed part, located by the
// dwXxxSize/dwXxxOffset pairs, and report dwNeededSize when the caller's buffer is short.
//
// The callback is delivered the way the hidden-window option delivers it: later, from the
// event loop of the thread that initialised, and never from inside a line function.

#include <cstdint>

class QImage;
class QWidget;

using DWORD = std::uint32_t;
using LONG = std::int32_t;
using DWORD_PTR = std::uintptr_t;
using LPCSTR = const char*;
using HLINEAPP = DWORD;
using HLINE = DWORD;
using HCALL = DWORD;
using HINSTANCE = void*;
// The owner window of a provider's dialog.
using HWND = QWidget*;
// A line device's icon; it stays valid for the rest of the process.
using HICON = const QImage*;

using LINECALLBACK = void (*)(DWORD hDevice, DWORD dwMessage, DWORD_PTR dwCallbackInstance, DWORD_PTR dwParam1,
                              DWORD_PTR dwParam2, DWORD_PTR dwParam3);

// API versions
inline constexpr DWORD TAPI_CURRENT_VERSION = 0x00030001;

// Line messages
inline constexpr DWORD LINE_ADDRESSSTATE = 0;
inline constexpr DWORD LINE_CALLINFO = 1;
inline constexpr DWORD LINE_CALLSTATE = 2;
inline constexpr DWORD LINE_CLOSE = 3;
inline constexpr DWORD LINE_DEVSPECIFIC = 4;
inline constexpr DWORD LINE_DEVSPECIFICFEATURE = 5;
inline constexpr DWORD LINE_GATHERDIGITS = 6;
inline constexpr DWORD LINE_GENERATE = 7;
inline constexpr DWORD LINE_LINEDEVSTATE = 8;
inline constexpr DWORD LINE_MONITORDIGITS = 9;
inline constexpr DWORD LINE_MONITORMEDIA = 10;
inline constexpr DWORD LINE_MONITORTONE = 11;
inline constexpr DWORD LINE_REPLY = 12;
inline constexpr DWORD LINE_REQUEST = 13;
inline constexpr DWORD LINE_CREATE = 19;
inline constexpr DWORD LINE_AGENTSPECIFIC = 21;
inline constexpr DWORD LINE_AGENTSTATUS = 22;
inline constexpr DWORD LINE_APPNEWCALL = 23;
inline constexpr DWORD LINE_PROXYREQUEST = 24;
inline constexpr DWORD LINE_REMOVE = 25;

// Call states
inline constexpr DWORD LINECALLSTATE_IDLE = 0x00000001;
inline constexpr DWORD LINECALLSTATE_OFFERING = 0x00000002;
inline constexpr DWORD LINECALLSTATE_ACCEPTED = 0x00000004;
inline constexpr DWORD LINECALLSTATE_DIALTONE = 0x00000008;
inline constexpr DWORD LINECALLSTATE_DIALING = 0x00000010;
inline constexpr DWORD LINECALLSTATE_RINGBACK = 0x00000020;
inline constexpr DWORD LINECALLSTATE_BUSY = 0x00000040;
inline constexpr DWORD LINECALLSTATE_SPECIALINFO = 0x00000080;
inline constexpr DWORD LINECALLSTATE_CONNECTED = 0x00000100;
inline constexpr DWORD LINECALLSTATE_PROCEEDING = 0x00000200;
inline constexpr DWORD LINECALLSTATE_ONHOLD = 0x00000400;
inline constexpr DWORD LINECALLSTATE_CONFERENCED = 0x00000800;
inline constexpr DWORD LINECALLSTATE_ONHOLDPENDCONF = 0x00001000;
inline constexpr DWORD LINECALLSTATE_ONHOLDPENDTRANSFER = 0x00002000;
inline constexpr DWORD LINECALLSTATE_DISCONNECTED = 0x00004000;
inline constexpr DWORD LINECALLSTATE_UNKNOWN = 0x00008000;

inline constexpr DWORD LINEDISCONNECTMODE_NORMAL = 0x00000001;
inline constexpr DWORD LINEDEVSTATE_RINGING = 0x00000004;

// Call information states
inline constexpr DWORD LINECALLINFOSTATE_OTHER = 0x00000001;
inline constexpr DWORD LINECALLINFOSTATE_DEVSPECIFIC = 0x00000002;
inline constexpr DWORD LINECALLINFOSTATE_BEARERMODE = 0x00000004;
inline constexpr DWORD LINECALLINFOSTATE_RATE = 0x00000008;
inline constexpr DWORD LINECALLINFOSTATE_MEDIAMODE = 0x00000010;
inline constexpr DWORD LINECALLINFOSTATE_APPSPECIFIC = 0x00000020;
inline constexpr DWORD LINECALLINFOSTATE_CALLID = 0x00000040;
inline constexpr DWORD LINECALLINFOSTATE_RELATEDCALLID = 0x00000080;
inline constexpr DWORD LINECALLINFOSTATE_ORIGIN = 0x00000100;
inline constexpr DWORD LINECALLINFOSTATE_REASON = 0x00000200;
inline constexpr DWORD LINECALLINFOSTATE_COMPLETIONID = 0x00000400;
inline constexpr DWORD LINECALLINFOSTATE_NUMOWNERINCR = 0x00000800;
inline constexpr DWORD LINECALLINFOSTATE_NUMOWNERDECR = 0x00001000;
inline constexpr DWORD LINECALLINFOSTATE_NUMMONITORS = 0x00002000;
inline constexpr DWORD LINECALLINFOSTATE_TRUNK = 0x00004000;
inline constexpr DWORD LINECALLINFOSTATE_CALLERID = 0x00008000;
inline constexpr DWORD LINECALLINFOSTATE_CALLEDID = 0x00010000;
inline constexpr DWORD LINECALLINFOSTATE_CONNECTEDID = 0x00020000;
inline constexpr DWORD LINECALLINFOSTATE_REDIRECTIONID = 0x00040000;
inline constexpr DWORD LINECALLINFOSTATE_REDIRECTINGID = 0x00080000;
inline constexpr DWORD LINECALLINFOSTATE_DISPLAY = 0x00100000;
inline constexpr DWORD LINECALLINFOSTATE_USERUSERINFO = 0x00200000;
inline constexpr DWORD LINECALLINFOSTATE_HIGHLEVELCOMP = 0x00400000;
inline constexpr DWORD LINECALLINFOSTATE_LOWLEVELCOMP = 0x00800000;
inline constexpr DWORD LINECALLINFOSTATE_CHARGINGINFO = 0x01000000;
inline constexpr DWORD LINECALLINFOSTATE_TERMINAL = 0x02000000;
inline constexpr DWORD LINECALLINFOSTATE_DIALPARAMS = 0x04000000;
inline constexpr DWORD LINECALLINFOSTATE_MONITORMODES = 0x08000000;

inline constexpr DWORD LINECALLORIGIN_OUTBOUND = 0x00000001;
inline constexpr DWORD LINECALLORIGIN_INBOUND = 0x00000004;
inline constexpr DWORD LINECALLPARTYID_BLOCKED = 0x00000001;
inline constexpr DWORD LINECALLPARTYID_NAME = 0x00000008;
inline constexpr DWORD LINECALLPARTYID_ADDRESS = 0x00000010;
inline constexpr DWORD LINECALLPARTYID_UNKNOWN = 0x00000040;

// Bearer modes
inline constexpr DWORD LINEBEARERMODE_VOICE = 0x00000001;
inline constexpr DWORD LINEBEARERMODE_SPEECH = 0x00000002;
inline constexpr DWORD LINEBEARERMODE_MULTIUSE = 0x00000004;
inline constexpr DWORD LINEBEARERMODE_DATA = 0x00000008;
inline constexpr DWORD LINEBEARERMODE_ALTSPEECHDATA = 0x00000010;
inline constexpr DWORD LINEBEARERMODE_NONCALLSIGNALING = 0x00000020;
inline constexpr DWORD LINEBEARERMODE_PASSTHROUGH = 0x00000040;
inline constexpr DWORD LINEBEARERMODE_RESTRICTEDDATA = 0x00000080;

// Media modes
inline constexpr DWORD LINEMEDIAMODE_UNKNOWN = 0x00000002;
inline constexpr DWORD LINEMEDIAMODE_INTERACTIVEVOICE = 0x00000004;
inline constexpr DWORD LINEMEDIAMODE_AUTOMATEDVOICE = 0x00000008;
inline constexpr DWORD LINEMEDIAMODE_DATAMODEM = 0x00000010;
inline constexpr DWORD LINEMEDIAMODE_G3FAX = 0x00000020;
inline constexpr DWORD LINEMEDIAMODE_TDD = 0x00000040;
inline constexpr DWORD LINEMEDIAMODE_G4FAX = 0x00000080;
inline constexpr DWORD LINEMEDIAMODE_DIGITALDATA = 0x00000100;
inline constexpr DWORD LINEMEDIAMODE_TELETEX = 0x00000200;
inline constexpr DWORD LINEMEDIAMODE_VIDEOTEX = 0x00000400;
inline constexpr DWORD LINEMEDIAMODE_TELEX = 0x00000800;
inline constexpr DWORD LINEMEDIAMODE_MIXED = 0x00001000;
inline constexpr DWORD LINEMEDIAMODE_ADSI = 0x00002000;
inline constexpr DWORD LINEMEDIAMODE_VOICEVIEW = 0x00004000;

// Address modes
inline constexpr DWORD LINEADDRESSMODE_ADDRESSID = 0x00000001;
inline constexpr DWORD LINEADDRESSMODE_DIALABLEADDR = 0x00000002;

// Tone modes
inline constexpr DWORD LINETONEMODE_CUSTOM = 0x00000001;
inline constexpr DWORD LINETONEMODE_RINGBACK = 0x00000002;
inline constexpr DWORD LINETONEMODE_BUSY = 0x00000004;
inline constexpr DWORD LINETONEMODE_BEEP = 0x00000008;
inline constexpr DWORD LINETONEMODE_BILLING = 0x00000010;

// String formats
inline constexpr DWORD STRINGFORMAT_ASCII = 0x00000001;
inline constexpr DWORD STRINGFORMAT_DBCS = 0x00000002;
inline constexpr DWORD STRINGFORMAT_UNICODE = 0x00000003;
inline constexpr DWORD STRINGFORMAT_BINARY = 0x00000004;

// Call privileges
inline constexpr DWORD LINECALLPRIVILEGE_NONE = 0x00000001;
inline constexpr DWORD LINECALLPRIVILEGE_MONITOR = 0x00000002;
inline constexpr DWORD LINECALLPRIVILEGE_OWNER = 0x00000004;

// lineInitializeEx options
inline constexpr DWORD LINEINITIALIZEEXOPTION_USEHIDDENWINDOW = 0x00000001;
inline constexpr DWORD LINEINITIALIZEEXOPTION_USEEVENT = 0x00000002;
inline constexpr DWORD LINEINITIALIZEEXOPTION_USECOMPLETIONPORT = 0x00000003;

// Error codes
inline constexpr LONG LINEERR_ALLOCATED = LONG(0x80000001);
inline constexpr LONG LINEERR_BADDEVICEID = LONG(0x80000002);
inline constexpr LONG LINEERR_BEARERMODEUNAVAIL = LONG(0x80000003);
inline constexpr LONG LINEERR_CALLUNAVAIL = LONG(0x80000005);
inline constexpr LONG LINEERR_COMPLETIONOVERRUN = LONG(0x80000006);
inline constexpr LONG LINEERR_CONFERENCEFULL = LONG(0x80000007);
inline constexpr LONG LINEERR_DIALBILLING = LONG(0x80000008);
inline constexpr LONG LINEERR_DIALDIALTONE = LONG(0x80000009);
inline constexpr LONG LINEERR_DIALPROMPT = LONG(0x8000000A);
inline constexpr LONG LINEERR_DIALQUIET = LONG(0x8000000B);
inline constexpr LONG LINEERR_INCOMPATIBLEAPIVERSION = LONG(0x8000000C);
inline constexpr LONG LINEERR_INCOMPATIBLEEXTVERSION = LONG(0x8000000D);
inline constexpr LONG LINEERR_INIFILECORRUPT = LONG(0x8000000E);
inline constexpr LONG LINEERR_INUSE = LONG(0x8000000F);
inline constexpr LONG LINEERR_INVALADDRESS = LONG(0x80000010);
inline constexpr LONG LINEERR_INVALADDRESSID = LONG(0x80000011);
inline constexpr LONG LINEERR_INVALADDRESSMODE = LONG(0x80000012);
inline constexpr LONG LINEERR_INVALADDRESSSTATE = LONG(0x80000013);
inline constexpr LONG LINEERR_INVALAPPHANDLE = LONG(0x80000014);
inline constexpr LONG LINEERR_INVALAPPNAME = LONG(0x80000015);
inline constexpr LONG LINEERR_INVALBEARERMODE = LONG(0x80000016);
inline constexpr LONG LINEERR_INVALCALLCOMPLMODE = LONG(0x80000017);
inline constexpr LONG LINEERR_INVALCALLHANDLE = LONG(0x80000018);
inline constexpr LONG LINEERR_INVALCALLPARAMS = LONG(0x80000019);
inline constexpr LONG LINEERR_INVALCALLPRIVILEGE = LONG(0x8000001A);
inline constexpr LONG LINEERR_INVALCALLSELECT = LONG(0x8000001B);
inline constexpr LONG LINEERR_INVALCALLSTATE = LONG(0x8000001C);
inline constexpr LONG LINEERR_INVALCALLSTATELIST = LONG(0x8000001D);
inline constexpr LONG LINEERR_INVALCARD = LONG(0x8000001E);
inline constexpr LONG LINEERR_INVALCOMPLETIONID = LONG(0x8000001F);
inline constexpr LONG LINEERR_INVALCONFCALLHANDLE = LONG(0x80000020);
inline constexpr LONG LINEERR_INVALCONSULTCALLHANDLE = LONG(0x80000021);
inline constexpr LONG LINEERR_INVALCOUNTRYCODE = LONG(0x80000022);
inline constexpr LONG LINEERR_INVALDEVICECLASS = LONG(0x80000023);
inline constexpr LONG LINEERR_INVALDEVICEHANDLE = LONG(0x80000024);
inline constexpr LONG LINEERR_INVALDIALPARAMS = LONG(0x80000025);
inline constexpr LONG LINEERR_INVALDIGITLIST = LONG(0x80000026);
inline constexpr LONG LINEERR_INVALDIGITMODE = LONG(0x80000027);
inline constexpr LONG LINEERR_INVALDIGITS = LONG(0x80000028);
inline constexpr LONG LINEERR_INVALEXTVERSION = LONG(0x80000029);
inline constexpr LONG LINEERR_INVALGROUPID = LONG(0x8000002A);
inline constexpr LONG LINEERR_INVALLINEHANDLE = LONG(0x8000002B);
inline constexpr LONG LINEERR_INVALLINESTATE = LONG(0x8000002C);
inline constexpr LONG LINEERR_INVALLOCATION = LONG(0x8000002D);
inline constexpr LONG LINEERR_INVALMEDIALIST = LONG(0x8000002E);
inline constexpr LONG LINEERR_INVALMEDIAMODE = LONG(0x8000002F);
inline constexpr LONG LINEERR_INVALMESSAGEID = LONG(0x80000030);
inline constexpr LONG LINEERR_INVALPARAM = LONG(0x80000032);
inline constexpr LONG LINEERR_INVALPARKID = LONG(0x80000033);
inline constexpr LONG LINEERR_INVALPARKMODE = LONG(0x80000034);
inline constexpr LONG LINEERR_INVALPOINTER = LONG(0x80000035);
inline constexpr LONG LINEERR_INVALPRIVSELECT = LONG(0x80000036);
inline constexpr LONG LINEERR_INVALRATE = LONG(0x80000037);
inline constexpr LONG LINEERR_INVALREQUESTMODE = LONG(0x80000038);
inline constexpr LONG LINEERR_INVALTERMINALID = LONG(0x80000039);
inline constexpr LONG LINEERR_INVALTERMINALMODE = LONG(0x8000003A);
inline constexpr LONG LINEERR_INVALTIMEOUT = LONG(0x8000003B);
inline constexpr LONG LINEERR_INVALTONE = LONG(0x8000003C);
inline constexpr LONG LINEERR_INVALTONELIST = LONG(0x8000003D);
inline constexpr LONG LINEERR_INVALTONEMODE = LONG(0x8000003E);
inline constexpr LONG LINEERR_INVALTRANSFERMODE = LONG(0x8000003F);
inline constexpr LONG LINEERR_LINEMAPPERFAILED = LONG(0x80000040);
inline constexpr LONG LINEERR_NOCONFERENCE = LONG(0x80000041);
inline constexpr LONG LINEERR_NODEVICE = LONG(0x80000042);
inline constexpr LONG LINEERR_NODRIVER = LONG(0x80000043);
inline constexpr LONG LINEERR_NOMEM = LONG(0x80000044);
inline constexpr LONG LINEERR_NOREQUEST = LONG(0x80000045);
inline constexpr LONG LINEERR_NOTOWNER = LONG(0x80000046);
inline constexpr LONG LINEERR_NOTREGISTERED = LONG(0x80000047);
inline constexpr LONG LINEERR_OPERATIONFAILED = LONG(0x80000048);
inline constexpr LONG LINEERR_OPERATIONUNAVAIL = LONG(0x80000049);
inline constexpr LONG LINEERR_RATEUNAVAIL = LONG(0x8000004A);
inline constexpr LONG LINEERR_RESOURCEUNAVAIL = LONG(0x8000004B);
inline constexpr LONG LINEERR_REQUESTOVERRUN = LONG(0x8000004C);
inline constexpr LONG LINEERR_STRUCTURETOOSMALL = LONG(0x8000004D);
inline constexpr LONG LINEERR_TARGETNOTFOUND = LONG(0x8000004E);
inline constexpr LONG LINEERR_TARGETSELF = LONG(0x8000004F);
inline constexpr LONG LINEERR_UNINITIALIZED = LONG(0x80000050);
inline constexpr LONG LINEERR_USERUSERINFOTOOBIG = LONG(0x80000051);
inline constexpr LONG LINEERR_REINIT = LONG(0x80000052);
inline constexpr LONG LINEERR_ADDRESSBLOCKED = LONG(0x80000053);
inline constexpr LONG LINEERR_BILLINGREJECTED = LONG(0x80000054);
inline constexpr LONG LINEERR_INVALFEATURE = LONG(0x80000055);
inline constexpr LONG LINEERR_NOMULTIPLEINSTANCE = LONG(0x80000056);

struct GUID
{
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};

struct LINEDIALPARAMS
{
    DWORD dwDialPause;
    DWORD dwDialSpeed;
    DWORD dwDigitDuration;
    DWORD dwWaitForDialtone;
};

struct LINEEXTENSIONID
{
    DWORD dwExtensionID0;
    DWORD dwExtensionID1;
    DWORD dwExtensionID2;
    DWORD dwExtensionID3;
};

struct LINEINITIALIZEEXPARAMS
{
    DWORD dwTotalSize;
    DWORD dwNeededSize;
    DWORD dwUsedSize;
    DWORD dwOptions;
    // The event and completion-port options are not offered here; the handle slot keeps
    // the structure at its 24 bytes.
    union {
        DWORD hEvent;
        DWORD hCompletionPort;
    } Handles;
    DWORD dwCompletionKey;
};
static_assert(sizeof(LINEINITIALIZEEXPARAMS) == 24);

struct LINEDEVCAPS
{
    DWORD dwTotalSize;
    DWORD dwNeededSize;
    DWORD dwUsedSize;
    DWORD dwProviderInfoSize;
    DWORD dwProviderInfoOffset;
    DWORD dwSwitchInfoSize;
    DWORD dwSwitchInfoOffset;
    DWORD dwPermanentLineID;
    DWORD dwLineNameSize;
    DWORD dwLineNameOffset;
    DWORD dwStringFormat;
    DWORD dwAddressModes;
    DWORD dwNumAddresses;
    DWORD dwBearerModes;
    DWORD dwMaxRate;
    DWORD dwMediaModes;
    DWORD dwGenerateToneModes;
    DWORD dwGenerateToneMaxNumFreq;
    DWORD dwGenerateDigitModes;
    DWORD dwMonitorToneMaxNumFreq;
    DWORD dwMonitorToneMaxNumEntries;
    DWORD dwMonitorDigitModes;
    DWORD dwGatherDigitsMinTimeout;
    DWORD dwGatherDigitsMaxTimeout;
    DWORD dwMedCtlDigitMaxListSize;
    DWORD dwMedCtlMediaMaxListSize;
    DWORD dwMedCtlToneMaxListSize;
    DWORD dwMedCtlCallStateMaxListSize;
    DWORD dwDevCapFlags;
    DWORD dwMaxNumActiveCalls;
    DWORD dwAnswerMode;
    DWORD dwRingModes;
    DWORD dwLineStates;
    DWORD dwUUIAcceptSize;
    DWORD dwUUIAnswerSize;
    DWORD dwUUIMakeCallSize;
    DWORD dwUUIDropSize;
    DWORD dwUUISendUserUserInfoSize;
    DWORD dwUUICallInfoSize;
    LINEDIALPARAMS MinDialParams;
    LINEDIALPARAMS MaxDialParams;
    LINEDIALPARAMS DefaultDialParams;
    DWORD dwNumTerminals;
    DWORD dwTerminalCapsSize;
    DWORD dwTerminalCapsOffset;
    DWORD dwTerminalTextEntrySize;
    DWORD dwTerminalTextSize;
    DWORD dwTerminalTextOffset;
    DWORD dwDevSpecificSize;
    DWORD dwDevSpecificOffset;
    DWORD dwLineFeatures;
    DWORD dwSettableDevStatus;
    DWORD dwDeviceClassesSize;
    DWORD dwDeviceClassesOffset;
    GUID PermanentLineGuid;
    DWORD dwAddressTypes;
    GUID ProtocolGuid;
    DWORD dwAvailableTracking;
};

struct LINECALLINFO
{
    DWORD dwTotalSize;
    DWORD dwNeededSize;
    DWORD dwUsedSize;
    HLINE hLine;
    DWORD dwLineDeviceID;
    DWORD dwAddressID;
    DWORD dwBearerMode;
    DWORD dwRate;
    DWORD dwMediaMode;
    DWORD dwAppSpecific;
    DWORD dwCallID;
    DWORD dwRelatedCallID;
    DWORD dwCallParamFlags;
    DWORD dwCallStates;
    DWORD dwMonitorDigitModes;
    DWORD dwMonitorMediaModes;
    LINEDIALPARAMS DialParams;
    DWORD dwOrigin;
    DWORD dwReason;
    DWORD dwCompletionID;
    DWORD dwNumOwners;
    DWORD dwNumMonitors;
    DWORD dwCountryCode;
    DWORD dwTrunk;
    DWORD dwCallerIDFlags;
    DWORD dwCallerIDSize;
    DWORD dwCallerIDOffset;
    DWORD dwCallerIDNameSize;
    DWORD dwCallerIDNameOffset;
    DWORD dwCalledIDFlags;
    DWORD dwCalledIDSize;
    DWORD dwCalledIDOffset;
    DWORD dwCalledIDNameSize;
    DWORD dwCalledIDNameOffset;
    DWORD dwConnectedIDFlags;
    DWORD dwConnectedIDSize;
    DWORD dwConnectedIDOffset;
    DWORD dwConnectedIDNameSize;
    DWORD dwConnectedIDNameOffset;
    DWORD dwRedirectionIDFlags;
    DWORD dwRedirectionIDSize;
    DWORD dwRedirectionIDOffset;
    DWORD dwRedirectionIDNameSize;
    DWORD dwRedirectionIDNameOffset;
    DWORD dwRedirectingIDFlags;
    DWORD dwRedirectingIDSize;
    DWORD dwRedirectingIDOffset;
    DWORD dwRedirectingIDNameSize;
    DWORD dwRedirectingIDNameOffset;
    DWORD dwAppNameSize;
    DWORD dwAppNameOffset;
    DWORD dwDisplayableAddressSize;
    DWORD dwDisplayableAddressOffset;
    DWORD dwCalledPartySize;
    DWORD dwCalledPartyOffset;
    DWORD dwCommentSize;
    DWORD dwCommentOffset;
    DWORD dwDisplaySize;
    DWORD dwDisplayOffset;
    DWORD dwUserUserInfoSize;
    DWORD dwUserUserInfoOffset;
    DWORD dwHighLevelCompSize;
    DWORD dwHighLevelCompOffset;
    DWORD dwLowLevelCompSize;
    DWORD dwLowLevelCompOffset;
    DWORD dwChargingInfoSize;
    DWORD dwChargingInfoOffset;
    DWORD dwTerminalModesSize;
    DWORD dwTerminalModesOffset;
    DWORD dwDevSpecificSize;
    DWORD dwDevSpecificOffset;
    DWORD dwCallTreatment;
    DWORD dwCallDataSize;
    DWORD dwCallDataOffset;
    DWORD dwSendingFlowspecSize;
    DWORD dwSendingFlowspecOffset;
    DWORD dwReceivingFlowspecSize;
    DWORD dwReceivingFlowspecOffset;
    DWORD dwAddressType;
};

// Call parameters are not offered; lineOpenA and lineMakeCallA take a null pointer only.
struct LINECALLPARAMS;

LONG lineInitializeExA(HLINEAPP* lphLineApp, HINSTANCE hInstance, LINECALLBACK lpfnCallback,
                       LPCSTR lpszFriendlyAppName, DWORD* lpdwNumDevs, DWORD* lpdwAPIVersion,
                       LINEINITIALIZEEXPARAMS* lpLineInitializeExParams);
LONG lineShutdown(HLINEAPP hLineApp);
LONG lineNegotiateAPIVersion(HLINEAPP hLineApp, DWORD dwDeviceID, DWORD dwAPILowVersion, DWORD dwAPIHighVersion,
                             DWORD* lpdwAPIVersion, LINEEXTENSIONID* lpExtensionID);
LONG lineGetDevCapsA(HLINEAPP hLineApp, DWORD dwDeviceID, DWORD dwAPIVersion, DWORD dwExtVersion,
                     LINEDEVCAPS* lpLineDevCaps);
LONG lineOpenA(HLINEAPP hLineApp, DWORD dwDeviceID, HLINE* lphLine, DWORD dwAPIVersion, DWORD dwExtVersion,
               DWORD_PTR dwCallbackInstance, DWORD dwPrivileges, DWORD dwMediaModes,
               const LINECALLPARAMS* lpCallParams);
LONG lineClose(HLINE hLine);
// Returns a positive request identifier, answered later by LINE_REPLY; *lphCall is written
// when the reply says the call was placed.
LONG lineMakeCallA(HLINE hLine, HCALL* lphCall, LPCSTR lpszDestAddress, DWORD dwCountryCode,
                   const LINECALLPARAMS* lpCallParams);
LONG lineDrop(HCALL hCall, LPCSTR lpsUserUserInfo, DWORD dwSize);
// Beyond TAPI 2.x: turns an offered call away as unwanted, otherwise as lineDrop. A provider
// with a reply of its own for that gives it (a SIP line: 603 Decline); others drop the call.
LONG lineDecline(HCALL hCall);
LONG lineDeallocateCall(HCALL hCall);
LONG lineGetCallInfoA(HCALL hCall, LINECALLINFO* lpCallInfo);
LONG lineConfigDialogA(DWORD dwDeviceID, HWND hwndOwner, LPCSTR lpszDeviceClass);
LONG lineGetIconA(DWORD dwDeviceID, LPCSTR lpszDeviceClass, HICON* lphIcon);
