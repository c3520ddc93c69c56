#pragma once

// Installs the telephony line providers of the program folder before TAPI starts: the
// simulated line described by "simline.json", driven from outside through "simline.sock"
// (see tools/simline), and the SIP line of the accounts in "sipline.json". A folder
// without "simline.json" has no simulated line.
void InstallLineProviders();
