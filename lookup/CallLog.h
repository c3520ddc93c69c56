#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QString>

#include <QList>

#include <functional>

// The call log "Phone.Log": one GBK line per call shown, "time-#-number-#-remark". The
// caller window appends to it and the history window lists it, so both go through this
// class for the line format.
class CallLog
{
    Q_DECLARE_TR_FUNCTIONS(CallLog)

public:
    struct Entry
    {
        QString time;   // "yyyy-MM-dd hh:mm:ss"
        QString number; // as the caller window received it, without region
        QString remark; // what row 3 of the caller window showed; may itself hold "-#-"
    };

    explicit CallLog(QString path, std::function<QDateTime()> now = &QDateTime::currentDateTime);

    // Appends one line stamped with the current time; the file is created when missing.
    // False with the user's text in *error when the file cannot be opened or written.
    bool append(const QString& number, const QString& remark, QString* error = nullptr);

    // Every record in file order, lines of any length. False with the user's text in *error
    // when the log cannot be read (it is missing after "清除记录" until the next call).
    bool read(QList<Entry>* entries, QString* error = nullptr) const;
    // Deletes the whole log; a log that is already gone counts as deleted.
    bool remove() const;

    // "%s-#-%s-#-%s\r\n" as the program has always written it through a text-mode stream,
    // which made the line end the three bytes CR CR LF; older logs hold exactly that.
    static QByteArray formatLine(const Entry& entry);
    // Any run of CR and LF ends a line. The fields are split at the first two separators;
    // see the source for lines that lack them.
    static Entry parseLine(QByteArrayView line);

    // The time pattern of the log and of the caller window's time row.
    static QString timeText(const QDateTime& time);

private:
    QString m_path;
    std::function<QDateTime()> m_now;
};
