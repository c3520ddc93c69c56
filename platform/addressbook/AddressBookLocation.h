#pragma once

#include <QString>

// Where the address book lives: the key VCARD in the section [ADDRBOOK] of "sysset.ini"
// names the vCard file, absolute or relative to the program folder. Without the key the
// file is "contacts.vcf" in the program folder.
class AddressBookLocation
{
public:
    static QString storePath(const QString& programFolder);
};
