#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

// Reading a file the program expects to be small (a settings file, a list of accounts, an
// icon) without trusting what is found under its name: it is opened without blocking, so a
// FIFO or a device is never waited on, and checked on the open file to be a regular file of
// at most maxSize bytes before anything is read.
class SmallFile
{
    Q_DECLARE_TR_FUNCTIONS(SmallFile)

public:
    enum class Status { Read, Missing, Refused };

    // Refused comes with a message naming the file and the reason.
    static Status read(const QString& path, qint64 maxSize, QByteArray* bytes, QString* error = nullptr);
};
