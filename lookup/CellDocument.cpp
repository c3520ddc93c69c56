#include "lookup/CellDocument.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>

namespace {
// Pictures and texts that are really pages: a browser opens them and runs their scripts.
bool isActiveContent(const QMimeType& type)
{
    static const QStringList active = {QStringLiteral("image/svg+xml"), QStringLiteral("text/html"),
                                       QStringLiteral("application/xhtml+xml"), QStringLiteral("text/xml"),
                                       QStringLiteral("application/xml"), QStringLiteral("text/javascript")};
    for (const QString& name : active)
        if (type.inherits(name))
            return true;
    return false;
}

bool isDocumentType(const QMimeType& type)
{
    if (isActiveContent(type))
        return false;
    const QString name = type.name();
    static const QStringList mediaKinds = {QStringLiteral("image/"), QStringLiteral("audio/"),
                                           QStringLiteral("video/"),
                                           QStringLiteral("application/vnd.openxmlformats-officedocument."),
                                           QStringLiteral("application/vnd.oasis.opendocument.")};
    static const QStringList documents = {
        QStringLiteral("application/pdf"),    QStringLiteral("text/plain"),
        QStringLiteral("text/csv"),           QStringLiteral("application/rtf"),
        QStringLiteral("application/msword"), QStringLiteral("application/vnd.ms-excel"),
        QStringLiteral("application/vnd.ms-powerpoint"), QStringLiteral("application/vnd.ms-works")};
    for (const QString& kind : mediaKinds)
        if (name.startsWith(kind))
            return true;
    return documents.contains(name);
}

// Office files whose content is only known as their container: old Office files are OLE
// storage, new ones ZIP archives, unless the type database knows them by their parts.
bool isOfficeType(const QMimeType& type)
{
    const QString name = type.name();
    return name.startsWith(QLatin1String("application/vnd.openxmlformats-officedocument.")) ||
           name.startsWith(QLatin1String("application/vnd.oasis.opendocument.")) ||
           name.startsWith(QLatin1String("application/vnd.ms-")) || name == QLatin1String("application/msword");
}

bool isOfficeContainer(const QMimeType& type)
{
    return type.inherits(QStringLiteral("application/zip")) || type.inherits(QStringLiteral("application/x-ole-storage"));
}

bool isRunnable(const QMimeType& type)
{
    static const QStringList programs = {
        QStringLiteral("application/x-executable"),      QStringLiteral("application/x-sharedlib"),
        QStringLiteral("application/x-desktop"),         QStringLiteral("application/x-ms-dos-executable"),
        QStringLiteral("application/x-msdownload"),      QStringLiteral("application/vnd.microsoft.portable-executable"),
        QStringLiteral("application/x-shellscript")};
    for (const QString& program : programs)
        if (type.inherits(program))
            return true;
    return false;
}
} // namespace

std::optional<QString> CellDocument::path(const QString& cellText)
{
    const QString text = cellText.trimmed();
    // A relative name would depend on the folder the program happens to run in.
    if (text.isEmpty() || !QDir::isAbsolutePath(text))
        return std::nullopt;
    const QFileInfo file(text);
    // Links are judged by what they point to.
    const QFileInfo target(file.canonicalFilePath());
    if (!file.exists() || !target.isFile())
        return std::nullopt;
    // The desktop picks the program by the name; the content is checked as well, so that a
    // program or a script renamed to ".txt" or ".jpg" is not opened either.
    // The desktop may also look inside, so the content itself has to be a document: an HTML
    // page or an SVG picture named ".txt" would open in a browser with its scripts.
    const QMimeDatabase types;
    const QMimeType byName = types.mimeTypeForFile(target, QMimeDatabase::MatchExtension);
    const QMimeType byContent = types.mimeTypeForFile(target, QMimeDatabase::MatchContent);
    if (!isDocumentType(byName) || isRunnable(byContent) || isActiveContent(byContent))
        return std::nullopt;
    if (!isDocumentType(byContent) && !(isOfficeType(byName) && isOfficeContainer(byContent)))
        return std::nullopt;
    return target.filePath();
}
