#pragma once

#include "platform/telephony/Tapi.h"

#include <QList>
#include <QString>
#include <QStringList>

class TelephonyLine;

// What the device list shows about the line devices: which ones are usable and the
// capability report of the selected one.
namespace TapiDevices {

struct Item
{
    QString name;
    DWORD device;
};

// The devices whose version negotiation succeeded, by name, in device order. Selects each
// device in turn, so the line's current device is the last one afterwards.
QList<Item> usableLines(TelephonyLine& line);

// The report of the selected device, one entry per line of text.
QStringList lines(const TelephonyLine& line);
// The report when no device is chosen.
QString noLineSelected();

} // namespace TapiDevices
