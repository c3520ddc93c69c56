#pragma once

#include <QByteArray>

class SerialPort;

// The command exchange with a modem on a serial port. The exchanges block the window for
// a short fixed pause, as modems need, and then until the port has sent everything; that
// last wait is bounded, so a modem that holds CTS or a device that went away ends it and
// the command counts as not answered.
namespace ModemExchange {

// How long the port may take to send a command after its pause.
constexpr int DrainLimitMs = 1000;

// Waits until the port has sent everything; false when it has not within DrainLimitMs.
bool WaitSent(SerialPort& port);

// Writes `command` and a CR, sleeps `pauseMs`, then waits until it is sent. False when it
// could not be sent in time. Port errors (a closed port) are raised.
bool SendAndWait(SerialPort& port, const QByteArray& command, int pauseMs);

// The modem said something: at least two characters are waiting.
bool Answered(SerialPort& port);

// The reply contains "OK".
bool Positive(const QByteArray& reply);

} // namespace ModemExchange
