#include "lookup/CellDocument.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>

namespace {
bool isDocumentType(const QMimeType& type)
{
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
    const QMimeDatabase types;
    if (!isDocumentType(types.mimeTypeForFile(target, QMimeDatabase::MatchExtension)) ||
        isRunnable(types.mimeTypeForFile(target, QMimeDatabase::MatchContent)))
        return std::nullopt;
    return target.filePath();
}
