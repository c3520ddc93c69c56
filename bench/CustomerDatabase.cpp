#include "CustomerDatabase.h"

#include <QSqlDatabase>
#include <QSqlQuery>

QString mobileOf(int i)
{
    return QStringLiteral("139%1").arg(i, 8, 10, QLatin1Char('0'));
}

void writeCustomerDatabase(const QString& file, int count, const std::function<QString(int)>& phoneOf)
{
    const QString connection = QStringLiteral("bench-customers");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(file);
        if (!db.open())
            qFatal("cannot create %s", qPrintable(file));
        QSqlQuery q(db);
        q.exec(QStringLiteral("create table Unit (ID integer primary key, Name text, Linkman text, Phone text, "
                              "PhoneMove text, Address text, Business text, Remark text)"));
        q.exec(QStringLiteral("create table BillIndex (UnitID integer, 单号 text)"));
        db.transaction();
        q.prepare(QStringLiteral("insert into Unit values (?, ?, '联系人', ?, ?, '地址', '业务', '')"));
        for (int i = 1; i <= count; ++i) {
            q.addBindValue(i);
            q.addBindValue(QStringLiteral("客户%1有限公司").arg(i));
            q.addBindValue(phoneOf(i));
            q.addBindValue(mobileOf(i));
            q.exec();
        }
        db.commit();
    }
    QSqlDatabase::removeDatabase(connection);
}
