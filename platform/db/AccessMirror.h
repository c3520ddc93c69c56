#pragma once

#include <QCoreApplication>
#include <QString>

// Makes Access files (Jet 3, Jet 4 and, as far as libmdb reads them, ACE .accdb) usable
// through SQLite: the user tables of the file are copied into a SQLite file in a cache
// folder, where statements with joins and scrolling results run. The user's file is only
// ever opened for reading. A copy is made again only when the file's size or time of last
// change differs from the copy's record of them.
//
// What the copy holds: every user table (system tables, linked tables and saved queries
// are left out) with its columns in the file's order and names unchanged; texts and memos
// as UTF-8 (Jet 3 texts decoded by the file's code page, e.g. GBK for code page 936);
// yes/no as 1/0; dates as "yyyy-MM-dd hh:mm:ss"; currency and decimal as numbers;
// OLE objects and binary fields as blobs. libmdb reports an empty text as null, so
// empty texts arrive as nulls. Memos are read up to 256 KiB of UTF-8.
class AccessMirror
{
    Q_DECLARE_TR_FUNCTIONS(AccessMirror)

public:
    explicit AccessMirror(QString cacheFolder = defaultCacheFolder());

    // The up-to-date SQLite copy of accessFile in *mirrorFile, made now if needed. Safe to call
    // from several threads.
    bool refresh(const QString& accessFile, QString* mirrorFile, QString* error = nullptr);

    // "<user cache folder>/access-mirror".
    static QString defaultCacheFolder();

private:
    bool build(const QString& accessFile, const QString& target, QString* error) const;

    QString m_folder;
};
