#include "platform/addressbook/AddressBookLocation.h"

#include "platform/profile/PrivateProfile.h"

#include <QDir>

QString AddressBookLocation::storePath(const QString& programFolder)
{
    const QDir folder(programFolder);
    const PrivateProfile settings(folder.filePath(QStringLiteral("sysset.ini")));
    const QString name =
        settings.readString(QStringLiteral("ADDRBOOK"), QStringLiteral("VCARD"), QStringLiteral("contacts.vcf"), 260);
    return QDir::cleanPath(folder.absoluteFilePath(name.isEmpty() ? QStringLiteral("contacts.vcf") : name));
}
