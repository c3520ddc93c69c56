#pragma once

#include "lookup/CallSheet.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QList>

class QPagedPaintDevice;

// Paints the call record sheet: the title, the framed column header, one framed row per
// record and the closing line with the time of printing. Positions are pixels of a 96-dpi
// page image measured from the top left corner inside the margins; a sheet longer than a
// page goes on with the column header on the next page.
class CallSheetPainter
{
    Q_DECLARE_TR_FUNCTIONS(CallSheetPainter)

public:
    // False when the device cannot be painted on (no printer, printer not ready).
    static bool paint(QPagedPaintDevice* device, const QList<CallSheet::Record>& records, const QDateTime& printedAt);
};
