#include "lookup/DataSourceSettings.h"

#include "platform/profile/PrivateProfile.h"

#include <QFile>
#include <QStringEncoder>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

// A binary file (a picture, a database saved under the wrong name) reads as no keys at all and
// would silently mean the address book. A settings file has text and at least one section;
// an empty or missing file is simply the defaults.
bool looksLikeSettings(const QString& iniFile)
{
    QFile file(iniFile);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    const QByteArray head = file.read(64 * 1024);
    return head.trimmed().isEmpty() || (!head.contains('\0') && head.contains('[') && head.contains(']'));
}

const QString kQueryType = QStringLiteral("QUERYTYPE");
const QString kDbSet = QStringLiteral("DBSET");
const QString kTableSet = QStringLiteral("TABLESET");
// Buffer sizes of the reader, in bytes of the file's encoding with the closing zero.
constexpr int kShortValue = 256;
constexpr int kStatement = 512;
// The clause customerStatement() puts between the table and the condition.
const QString kWizardWhere = QStringLiteral(" b where  b.");

// A whole decimal number with an optional sign; anything else (empty, "2a", "1.5") gives 0
// and false.
int wholeNumber(const QString& text, bool* valid)
{
    const int value = text.toInt(valid, 10);
    return *valid ? value : 0;
}

// Names as they go into a statement. Names that are not plain words (blanks, punctuation,
// a leading digit, as Access and other databases allow) are quoted, or the statement would
// not run; plain names, including those in Chinese, stay as they are.
QString sqlName(const QString& name)
{
    bool plain = name.isEmpty() || !name.at(0).isDigit();
    for (const QChar c : name) {
        if (!(c.unicode() >= 0x80 || c.isLetterOrNumber() || c == QLatin1Char('_')))
            plain = false;
    }
    if (plain)
        return name;
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// Whether a connection string carries a password ("Password=", "PWD=", the Jet database
// password), in which case the file holding it is for its owner's eyes only.
bool holdsPassword(const QString& connectString)
{
    for (const QString& part : connectString.split(QLatin1Char(';'))) {
        const qsizetype eq = part.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = part.left(eq).trimmed().toLower();
        QString value = part.mid(eq + 1).trimmed();
        if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
            value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        if ((key.contains(QLatin1String("password")) || key == QLatin1String("pwd")) && !value.isEmpty())
            return true;
    }
    return false;
}

QStringList sqlNames(const QStringList& names)
{
    QStringList result;
    for (const QString& n : names)
        result << sqlName(n);
    return result;
}

} // namespace

DataSourceSettings DataSourceSettings::read(const QString& iniFile)
{
    PrivateProfile ini(iniFile);
    DataSourceSettings s;
    QString unreadable;
    if (!ini.load(&unreadable))
        s.problem = tr("%1，来电查询按默认设置（通讯薄）进行。").arg(unreadable);
    else if (!looksLikeSettings(iniFile))
        s.problem = tr("“%1”不是设置文件（没有可读的节），来电查询按默认设置（通讯薄）进行。").arg(iniFile);
    s.queryType = wholeNumber(ini.readString(kQueryType, QStringLiteral("TYPE"), QStringLiteral("1"), kShortValue),
                              &s.queryTypeValid);
    if (s.queryType != 2 && s.queryType != 3)
        return s;
    s.connectString = ini.readString(kDbSet, QStringLiteral("ConnectString"), QString(), kShortValue);
    s.customerSql = ini.readString(kDbSet, QStringLiteral("strSQL"), QString(), kStatement);
    s.businessSql = DataSourceSql::completedBusinessStatement(
        ini.readString(kDbSet, QStringLiteral("strSQL1"), QString(), kStatement), s.customerSql);
    s.fieldCount = wholeNumber(ini.readString(kTableSet, QStringLiteral("FIELDNUM"), QStringLiteral("0"), kShortValue),
                               &s.fieldCountValid);
    if (s.fieldCount < 0 || s.fieldCount > kMaxFields) {
        const int bounded = std::clamp(s.fieldCount, 0, kMaxFields);
        s.problem = tr("“%1”中 [TABLESET] 的 FIELDNUM=%2 超出范围（0 到 %3），按 %4 个字段读取。")
                        .arg(iniFile)
                        .arg(s.fieldCount)
                        .arg(kMaxFields)
                        .arg(bounded);
        s.fieldCount = bounded;
    }
    for (int k = 0; k < s.fieldCount; ++k)
        s.labels << ini.readString(kTableSet, QStringLiteral("FIELD%1").arg(k), QStringLiteral("a"), kShortValue);
    return s;
}

QString DataSourceSql::customerStatement(const QString& table, const QStringList& shownFields,
                                         const QStringList& phoneFields)
{
    QString sql = QStringLiteral("select ") + sqlNames(shownFields).join(QLatin1String(", ")) + QStringLiteral(" from ")
                  + sqlName(table) + QStringLiteral(" b where ");
    for (qsizetype i = 0; i < phoneFields.size(); ++i)
        sql += (i == 0 ? QStringLiteral(" b.") : QStringLiteral("or b.")) + sqlName(phoneFields.at(i))
               + QStringLiteral(" like '%#NO#' ");
    return sql;
}

QString DataSourceSql::businessStatement(const QString& businessTable, const QString& customerTable,
                                         const QList<QPair<QString, QString>>& joins)
{
    QString sql = QStringLiteral("select a.* from ") + sqlName(businessTable) + QStringLiteral(" a,")
                  + sqlName(customerTable) + QStringLiteral(" b where ");
    for (const auto& [businessField, customerField] : joins)
        sql += QStringLiteral(" a.") + sqlName(businessField) + QStringLiteral("=b.") + sqlName(customerField)
               + QStringLiteral(" and ");
    return sql;
}

QString DataSourceSql::completedBusinessStatement(const QString& businessSql, const QString& customerSql)
{
    QString condition;
    const qsizetype clause = customerSql.indexOf(kWizardWhere, 0, Qt::CaseSensitive);
    if (clause >= 0) {
        condition = customerSql.mid(clause + kWizardWhere.size() - 4); // from the blanks before "b."
    } else {
        const qsizetype where = customerSql.indexOf(QLatin1String("where"), 0, Qt::CaseSensitive);
        condition = customerSql.mid(where < 0 ? 4 : where + 5);
    }
    return businessSql + QStringLiteral(" (") + condition + QStringLiteral(" )");
}

QString DataSourceSql::label(const QString& fieldName, const QString& caption)
{
    return caption.isEmpty() ? fieldName : caption;
}

DataSourceWriter::DataSourceWriter(QString folder)
    : m_folder(std::move(folder))
{
    if (!m_folder.endsWith(QLatin1Char('/')))
        m_folder += QLatin1Char('/');
}

QString DataSourceWriter::fileName() const
{
    return m_folder + QStringLiteral("Vornx.ini");
}

QString DataSourceWriter::tempFileName() const
{
    return m_folder + QStringLiteral("Vornx_temp.ini");
}

bool DataSourceWriter::startFrom(const QString& templateFile)
{
    m_error.clear();
    // A temporary file left behind by an interrupted run must not lend its keys to the new file.
    QFile::remove(tempFileName());
    if (!templateFile.isEmpty()) {
        if (!QFile::exists(templateFile)) {
            fail(tr("找不到模板文件“%1”。").arg(templateFile));
            return false;
        }
        if (!QFile::copy(templateFile, tempFileName())) {
            fail(tr("无法复制模板文件“%1”。").arg(templateFile));
            return false;
        }
    }
    // The file will hold the database password: readable by its owner only from the start,
    // and writable whatever the template's mode. Each write keeps the mode; commit() opens it
    // up again when no password went in.
    if (!QFile::exists(tempFileName()))
        QFile(tempFileName()).open(QIODevice::WriteOnly);
    QFile::setPermissions(tempFileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return true;
}

void DataSourceWriter::fail(const QString& error)
{
    if (m_error.isEmpty())
        m_error = error;
}

void DataSourceWriter::write(const QString& section, const QString& key, const QString& value, const QString& what,
                             int bufferSize)
{
    if (!m_error.isEmpty())
        return; // the new file is spoilt already; commit() will not use it
    // The reader would cut a longer value, and every lookup would then run a broken
    // statement or connect with half a string. Measured in the bytes the file will hold: GBK,
    // or UTF-8 in a file (a template) that begins with a byte-order mark.
    QByteArray head;
    {
        QFile existing(tempFileName());
        if (existing.open(QIODevice::ReadOnly))
            head = existing.read(3);
    }
    qsizetype bytes = 0;
    if (head == QByteArray("ï»¿")) {
        bytes = value.toUtf8().size();
    } else {
        QStringEncoder gbk("GB18030");
        bytes = QByteArray(gbk.encode(value)).size();
    }
    if (bytes > bufferSize - 1) {
        fail(tr("%1过长（%2 字节），最多 %3 字节。").arg(what).arg(bytes).arg(bufferSize - 1));
        return;
    }
    if (!PrivateProfile(tempFileName()).writeString(section, key, value))
        fail(tr("无法写入“%1”。").arg(tempFileName()));
}

void DataSourceWriter::writeQueryType(int type)
{
    write(kQueryType, QStringLiteral("TYPE"), QString::number(type), QStringLiteral("TYPE"), kShortValue);
}

void DataSourceWriter::writeConnectString(const QString& connectString)
{
    write(kDbSet, QStringLiteral("ConnectString"), connectString, tr("连接字符串"), kShortValue);
}

void DataSourceWriter::writeExternalSource(const QString& connectString, const QString& customerSql,
                                           const QString& businessSql, const QStringList& labels)
{
    writeQueryType(2);
    writeConnectString(connectString);
    write(kDbSet, QStringLiteral("strSQL"), customerSql, tr("客户资料查询语句"), kStatement);
    write(kDbSet, QStringLiteral("strSQL1"), businessSql, tr("业务记录查询语句"), kStatement);
    for (qsizetype k = 0; k < labels.size(); ++k)
        write(kTableSet, QStringLiteral("FIELD%1").arg(k), labels.at(k), tr("字段标题“%1”").arg(labels.at(k)),
              kShortValue);
    write(kTableSet, QStringLiteral("FIELDNUM"), QString::number(labels.size()), QStringLiteral("FIELDNUM"),
          kShortValue);
}

bool DataSourceWriter::commit(QString* error)
{
    if (!m_error.isEmpty()) {
        // Never put a new file in place that lacks a key or holds a value the reader would cut.
        QFile::remove(tempFileName());
        if (error)
            *error = m_error;
        return false;
    }
    // A password is for the owner's eyes only; otherwise the mode any new file of the user gets.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const bool secret = holdsPassword(
        PrivateProfile(tempFileName()).readString(kDbSet, QStringLiteral("ConnectString"), QString(), 65536));
    ::chmod(QFile::encodeName(tempFileName()).constData(), secret ? 0600 : 0666 & ~mask);
    // One rename replaces the old file: a crash leaves either the old or the new settings,
    // never none as deleting first and renaming after would.
    if (std::rename(QFile::encodeName(tempFileName()).constData(), QFile::encodeName(fileName()).constData()) == 0)
        return true;
    if (error)
        *error = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}
