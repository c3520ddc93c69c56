#include "platform/db/AccessMirror.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStringList>
#include <QVariant>

#include <cstdio>
#include <memory>
#include <mutex>
#include <vector>

#include <mdbtools.h>
#include <unistd.h>

namespace {

// Large enough for a memo of 65,535 characters (the most Access lets a user type) in UTF-8.
constexpr size_t kBindSize = 256 * 1024;

QString quoted(const QString& name)
{
    QString q = name;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

const char* sqliteType(int mdbType)
{
    switch (mdbType) {
    case MDB_BOOL:
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
    case MDB_COMPLEX:
        return "INTEGER";
    case MDB_FLOAT:
    case MDB_DOUBLE:
        return "REAL";
    case MDB_MONEY:
    case MDB_NUMERIC:
        return "NUMERIC";
    case MDB_OLE:
    case MDB_BINARY:
        return "BLOB";
    default:
        return "TEXT";
    }
}

// The value of one bound column of the current row, typed for SQLite.
QVariant columnValue(MdbHandle* mdb, MdbColumn* col, const char* text, int length)
{
    // libmdb gives a length of 0 for a null and for an empty text alike; yes/no fields
    // are never null and always arrive as "0" or "1".
    if (length <= 0)
        return QVariant();
    const QByteArray bytes(text, length);
    switch (col->col_type) {
    case MDB_BOOL:
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
    case MDB_COMPLEX:
        return bytes.toLongLong();
    case MDB_FLOAT:
        // A single-precision value keeps only its 7 significant digits, so 0.05 stays 0.05.
        return QByteArray::number(bytes.toDouble(), 'g', 7).toDouble();
    case MDB_DOUBLE:
        return bytes.toDouble();
    case MDB_OLE: {
        size_t size = 0;
        void* data = mdb_ole_read_full(mdb, col, &size);
        if (!data)
            return QVariant();
        QByteArray blob(static_cast<const char*>(data), qsizetype(size));
        g_free(data);
        return blob;
    }
    case MDB_BINARY:
        return bytes;
    default:
        // Texts, memos, dates, currency, decimals and replication ids arrive as UTF-8 text.
        return QString::fromUtf8(bytes);
    }
}

struct MdbCloser
{
    void operator()(MdbHandle* mdb) const { mdb_close(mdb); }
};
struct TableCloser
{
    void operator()(MdbTableDef* table) const { mdb_free_tabledef(table); }
};

QString stampOf(const QFileInfo& info)
{
    return QStringLiteral("%1\n%2\n%3\n")
        .arg(info.absoluteFilePath())
        .arg(info.size())
        .arg(info.lastModified().toMSecsSinceEpoch());
}

bool fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

AccessMirror::AccessMirror(QString cacheFolder)
    : m_folder(std::move(cacheFolder))
{
}

QString AccessMirror::defaultCacheFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/access-mirror");
}

namespace {
constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
} // namespace

bool AccessMirror::refresh(const QString& accessFile, QString* mirrorFile, QString* error)
{
    // Connections on other threads (the number index) copy the same file into the same place,
    // under the same temporary name: one copy is made at a time in the process.
    static std::mutex copying;
    const std::lock_guard lock(copying);
    const QFileInfo info(accessFile);
    if (!info.isFile())
        return fail(error, tr("找不到 Access 数据库文件：%1").arg(accessFile));
    // The copy holds the customers of a file that may be the user's alone: the folder is
    // closed to others, the folders made for it too, whatever the umask says.
    QStringList made;
    for (QDir up(m_folder); !up.exists() && !up.isRoot(); up.setPath(QFileInfo(up.absolutePath()).path()))
        made << up.absolutePath();
    if (!QDir().mkpath(m_folder))
        return fail(error, tr("无法建立数据缓存文件夹：%1").arg(m_folder));
    made << m_folder;
    for (const QString& folder : made)
        QFile::setPermissions(folder, kOwnerOnly | QFileDevice::ExeOwner);

    const QByteArray key =
        QCryptographicHash::hash(info.absoluteFilePath().toUtf8(), QCryptographicHash::Sha1).toHex();
    const QString base = m_folder + QLatin1Char('/') + QString::fromLatin1(key);
    const QString target = base + QStringLiteral(".sqlite");
    const QString stampFile = base + QStringLiteral(".source");
    // Taken before reading, so a change made while the copy is being made is seen next time.
    const QString stamp = stampOf(info);

    QFile stored(stampFile);
    if (QFileInfo::exists(target) && stored.open(QIODevice::ReadOnly) && QString::fromUtf8(stored.readAll()) == stamp) {
        // A copy made by an earlier version may still be readable by others.
        QFile::setPermissions(target, kOwnerOnly);
        *mirrorFile = target;
        return true;
    }
    stored.close();

    // Built beside the copy and renamed over it, so a reader never sees a half-made copy.
    const QString temp = base + QStringLiteral(".%1.tmp").arg(QCoreApplication::applicationPid());
    QFile::remove(temp);
    // Made here so that SQLite opens a file that is the owner's only from its first byte.
    {
        QFile created(temp);
        if (!created.open(QIODevice::NewOnly | QIODevice::WriteOnly) || !created.setPermissions(kOwnerOnly))
            return fail(error, tr("无法保存数据缓存文件：%1").arg(temp));
    }
    if (!build(accessFile, temp, error)) {
        QFile::remove(temp);
        return false;
    }
    if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(target).constData()) != 0) {
        QFile::remove(temp);
        return fail(error, tr("无法保存数据缓存文件：%1").arg(target));
    }
    QSaveFile out(stampFile);
    if (out.open(QIODevice::WriteOnly) && out.setPermissions(kOwnerOnly)) {
        out.write(stamp.toUtf8());
        out.commit();
    }
    *mirrorFile = target;
    return true;
}

bool AccessMirror::build(const QString& accessFile, const QString& target, QString* error) const
{
    std::unique_ptr<MdbHandle, MdbCloser> mdb(mdb_open(QFile::encodeName(accessFile).constData(), MDB_NOFLAGS));
    if (!mdb)
        return fail(error, tr("无法读取 Access 数据库文件（文件损坏或不是 Access 数据库）：%1").arg(accessFile));
    mdb_set_date_fmt(mdb.get(), "%Y-%m-%d %H:%M:%S");
    mdb_set_boolean_fmt_numbers(mdb.get());
    mdb_set_bind_size(mdb.get(), kBindSize);
    if (!mdb_read_catalog(mdb.get(), MDB_TABLE))
        return fail(error, tr("无法读取 Access 数据库的表目录：%1").arg(accessFile));

    const QString connectionName = QStringLiteral("vornx-mirror-%1").arg(quintptr(this), 0, 16);
    bool ok = false;
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
        db.setDatabaseName(target);
        if (!db.open()) {
            failure = db.lastError().text();
        } else {
            QSqlQuery(db).exec(QStringLiteral("PRAGMA journal_mode=OFF"));
            QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous=OFF"));
            db.transaction();
            ok = true;
            for (unsigned i = 0; ok && i < mdb->num_catalog; ++i) {
                auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
                if (entry->object_type != MDB_TABLE || !mdb_is_user_table(entry))
                    continue;
                std::unique_ptr<MdbTableDef, TableCloser> table(mdb_read_table(entry));
                if (!table || !mdb_read_columns(table.get())) {
                    failure = tr("无法读取表“%1”").arg(QString::fromUtf8(entry->object_name));
                    ok = false;
                    break;
                }
                mdb_rewind_table(table.get());

                const unsigned columns = table->num_cols;
                QStringList definitions;
                QStringList marks;
                std::vector<std::vector<char>> buffers(columns, std::vector<char>(kBindSize + 1));
                std::vector<int> lengths(columns, 0);
                std::vector<MdbColumn*> cols(columns);
                for (unsigned c = 0; c < columns; ++c) {
                    cols[c] = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, c));
                    definitions << quoted(QString::fromUtf8(cols[c]->name)) + QLatin1Char(' ')
                                       + QLatin1String(sqliteType(cols[c]->col_type));
                    marks << QStringLiteral("?");
                    mdb_bind_column(table.get(), int(c + 1), buffers[c].data(), &lengths[c]);
                }
                const QString name = quoted(QString::fromUtf8(table->name));
                QSqlQuery create(db);
                if (!create.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(name, definitions.join(QLatin1String(", "))))) {
                    failure = create.lastError().text();
                    ok = false;
                    break;
                }
                QSqlQuery insert(db);
                insert.prepare(QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(name, marks.join(QLatin1Char(','))));
                while (ok && mdb_fetch_row(table.get())) {
                    for (unsigned c = 0; c < columns; ++c)
                        insert.bindValue(int(c), columnValue(mdb.get(), cols[c], buffers[c].data(), lengths[c]));
                    if (!insert.exec()) {
                        failure = insert.lastError().text();
                        ok = false;
                    }
                }
            }
            ok = ok && db.commit();
            if (!ok && failure.isEmpty())
                failure = db.lastError().text();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connectionName);
    if (!ok)
        return fail(error, tr("复制 Access 数据库失败：%1").arg(failure));
    return true;
}
