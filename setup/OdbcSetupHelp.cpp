#include "setup/OdbcSetupHelp.h"

QString OdbcSetupHelp::text(const QString& userFile, const QString& systemFile, const QStringList& drivers)
{
    // The file contents are not translated: the driver manager reads these keys as they are.
    const QString sqliteEntry = QStringLiteral("[customers]\nDriver=SQLite3\nDatabase=/home/user/customers.db");
    const QString postgresEntry = QStringLiteral(
        "[customers_pg]\nDriver=PostgreSQL Unicode\nServername=localhost\nPort=5432\nDatabase=customers");
    const QString installed = drivers.isEmpty()
                                  ? tr("没有安装任何 ODBC 驱动程序（Debian 软件包 libsqliteodbc、odbc-postgresql）。")
                                  : tr("已安装的驱动程序（Driver=）：%1").arg(drivers.join(tr("、")));
    return tr("本机没有 ODBC 数据源管理程序。请用文本编辑器在下列文件中加入数据源：\n"
              "用户数据源：%1\n"
              "系统数据源：%2（需要管理员权限）\n\n"
              "SQLite 数据库文件的例子：\n%3\n\n"
              "PostgreSQL 数据库的例子：\n%4\n\n"
              "%5\n"
              "保存后再打开“参数配置”页，新的数据源就在列表中。")
        .arg(userFile, systemFile, sqliteEntry, postgresEntry, installed);
}
