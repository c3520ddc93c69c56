#pragma once

// The real Access files some tests open (nwind.mdb, sample.accdb) are not part of the checkout:
// the build names their folder with -DVORNX_TEST_ACCESS_DIR=... A case that needs one starts with
// VORNX_REQUIRE_ACCESS_FILE: without the file it is skipped with one line that names the file and
// the option, so a fresh clone still passes; under CI (CI=true) a missing file is a failure,
// because there a skip would hide that the Access road was never tried.

#include <QFileInfo>
#include <QString>
#include <QtTest>

namespace AccessFiles {

inline QString folder()
{
    return QStringLiteral(VORNX_TEST_ACCESS_DIR);
}

// Where `name` is expected; empty when no folder is configured.
inline QString path(const char* name)
{
    const QString dir = folder();
    return dir.isEmpty() ? QString() : dir + QLatin1Char('/') + QLatin1String(name);
}

inline bool present(const char* name)
{
    const QString file = path(name);
    return !file.isEmpty() && QFileInfo(file).isFile();
}

inline bool requiredHere()
{
    return qEnvironmentVariable("CI") == QLatin1String("true");
}

inline QString missingNotice(const char* name)
{
    const QString where = folder().isEmpty() ? QStringLiteral("no folder configured")
                                             : QStringLiteral("not in ") + folder();
    return QStringLiteral("Access file %1 missing (%2); name its folder with -DVORNX_TEST_ACCESS_DIR=...")
        .arg(QLatin1String(name), where);
}

} // namespace AccessFiles

#define VORNX_REQUIRE_ACCESS_FILE(name)                                                                      \
    do {                                                                                                     \
        if (!AccessFiles::present(name)) {                                                                   \
            if (AccessFiles::requiredHere())                                                                 \
                QFAIL(qPrintable(AccessFiles::missingNotice(name) + QStringLiteral(" (required under CI)"))); \
            QSKIP(qPrintable(AccessFiles::missingNotice(name)));                                             \
        }                                                                                                    \
    } while (false)
