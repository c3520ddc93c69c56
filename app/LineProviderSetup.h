#pragma once

#include <QList>

class NetworkCallLine;
class SipLineProvider;

// Installs the telephony line providers of the program folder before the line starts: the
// simulated line described by "simline.json", driven from outside through "simline.sock"
// (see tools/simline), the SIP line of the accounts in "sipline.json", the NCID server
// line of "ncidline.json" and the MQTT line of "mqttline.json". A folder
// without "simline.json" has no simulated line.
//
// Returns the SIP line, owned by the installed providers, whose registration state belongs
// in the main window's line report.
SipLineProvider* InstallLineProviders();

// The NCID and MQTT lines installed above, whose connection state belongs in the line report.
QList<NetworkCallLine*> InstalledNetworkLines();
