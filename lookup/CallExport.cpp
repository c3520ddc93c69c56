#include "lookup/CallExport.h"

#include "lookup/CallHistoryModel.h"
#include "lookup/CallLog.h"

#include <QSaveFile>

namespace {
// Quoted when the field holds a separator, a quote or a line break, or blanks at its ends
// that a spreadsheet program would otherwise drop.
QString csvField(const QString& text)
{
    const bool quote = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
                       text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')) ||
                       (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()));
    if (!quote)
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}
} // namespace

QByteArray CallExport::csv(const CallHistoryModel& calls)
{
    QByteArray bytes("\xEF\xBB\xBF");
    QStringList fields;
    for (int column = 0; column < CallHistory::ColumnCount; ++column)
        fields << csvField(CallHistoryModel::columnTitle(CallHistory::Column(column)));
    bytes += fields.join(QLatin1Char(',')).toUtf8() + "\r\n";
    for (int row = 0; row < calls.rowCount(); ++row) {
        fields.clear();
        for (int column = 0; column < CallHistory::ColumnCount; ++column)
            fields << csvField(calls.text(row, CallHistory::Column(column)));
        bytes += fields.join(QLatin1Char(',')).toUtf8() + "\r\n";
    }
    return bytes;
}

QByteArray CallExport::callLog(const CallHistoryModel& calls)
{
    QByteArray bytes;
    const CallHistory& history = calls.history();
    for (int row = 0; row < calls.rowCount(); ++row) {
        const CallHistory::Call& call = calls.callAt(row);
        bytes += CallLog::formatLine({call.time, history.number(call), history.remark(call)});
    }
    return bytes;
}

bool CallExport::write(const QString& path, Format format, const CallHistoryModel& calls, QString* error)
{
    const QByteArray bytes = format == Format::Csv ? csv(calls) : callLog(calls);
    // Not committed, the temporary file is dropped and a file already there stays as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = tr("导出的文件“%1”无法写入：%2").arg(path, file.errorString());
        return false;
    }
    return true;
}
