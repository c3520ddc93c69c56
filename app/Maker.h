#pragma once

#include <QCoreApplication>
#include <QString>

// Who makes the program and where users find it: the about box and the banner link here.
namespace Maker {
inline QString name()
{
    return QCoreApplication::translate("Maker", "维诺星软件工作室");
}
inline const QString kHomePage = QStringLiteral("https://www.vornx.example.org/");
inline const QString kSupportMail = QStringLiteral("support@vornx.example.org");
} // namespace Maker
