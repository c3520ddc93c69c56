#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

class CallHistoryModel;

// The listed calls of the history written to a file of their own: as CSV for spreadsheet
// programs, or as lines of the call log itself.
class CallExport
{
    Q_DECLARE_TR_FUNCTIONS(CallExport)

public:
    enum class Format
    {
        Csv,
        CallLog
    };

    // UTF-8 with a byte-order mark, which spreadsheet programs need to read Chinese
    // correctly; a title row, the listed columns, CRLF line ends.
    static QByteArray csv(const CallHistoryModel& calls);
    // GBK lines "time-#-number-#-remark" as the call log holds them.
    static QByteArray callLog(const CallHistoryModel& calls);
    // Writes the listed calls whole or not at all: a failed write leaves the file as it
    // was. False with the user's text in *error.
    static bool write(const QString& path, Format format, const CallHistoryModel& calls, QString* error);
};
