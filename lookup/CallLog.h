#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QString>

#include <QList>
#include <QtGlobal>

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
    // The last `maxEntries` records in file order, read in one pass with bounded memory
    // whatever the size of the log: a line longer than kMaxLineBytes is cut there.
    // *earlier counts the records left out before them.
    bool readLatest(qsizetype maxEntries, QList<Entry>* entries, qsizetype* earlier, QString* error = nullptr) const;
    static constexpr qsizetype kMaxLineBytes = 64 * 1024;
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
