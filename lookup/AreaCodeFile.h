#pragma once

#include <QByteArrayView>
#include <QCoreApplication>
#include <QString>

class RegionTable;

// What a load of the region file did.
struct AreaCodeLoad
{
    // Set when the file could not be opened or created; the table is then empty.
    QString error;
    qsizetype loaded = 0;
    // Records the table cannot hold (a name of 50 bytes or more, an empty code); each is
    // skipped so that one damaged record does not cost the rest of the table.
    qsizetype skipped = 0;
    QString firstSkipReason;

    // What the user is told once when records were skipped.
    QString skipNotice() const;
};

// Reads the region file "area.dat": records of an 8-character code field, white space, a
// GBK region name without white space, white space; in any order.
class AreaCodeFile
{
    Q_DECLARE_TR_FUNCTIONS(AreaCodeFile)

public:
    // Every area code and mobile segment of the country fits in a few megabytes; a file far
    // beyond that is not a region table and is not read into memory.
    static constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;

    // Fills table from the file. A missing file is created empty, as the program's first
    // start finds none; an existing file is only read.
    static AreaCodeLoad load(const QString& path, RegionTable& table);
    // Fills table from the file's bytes.
    static AreaCodeLoad read(QByteArrayView bytes, RegionTable& table);
    // The code of an 8-character field: everything before the first space that follows
    // the first character (the first character always belongs to the code).
    static QByteArrayView cutCode(QByteArrayView field);
};
