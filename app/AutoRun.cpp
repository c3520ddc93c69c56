#include "app/AutoRun.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QSaveFile>

#include <algorithm>

namespace {
// A command-line word of an Exec key: quoted when it holds anything the launcher would
// split or expand, with the launcher's escapes; '%' is doubled so that it is not taken for
// a field code.
QString execWord(const QString& word)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString out = word;
    out.replace(QLatin1Char('%'), QLatin1String("%%"));
    const bool quote = out.isEmpty() || std::any_of(out.cbegin(), out.cend(), [](QChar c) { return reserved.contains(c); });
    if (!quote)
        return out;
    QString quoted;
    for (QChar c : out) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// The value of a string key escapes backslashes once more.
QString desktopString(const QString& value)
{
    QString out = value;
    out.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    return out;
}
} // namespace

QString AutoRunEntryPath(const QString& name)
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    // Relative paths are invalid for XDG variables and must be ignored.
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart/") + name + QStringLiteral(".desktop");
}

bool SetAutoRun(const QString& name, const QString& path, bool enable, const QStringList& arguments)
{
    const QString entry = AutoRunEntryPath(name);
    if (!enable)
        return !QFile::exists(entry) || QFile::remove(entry);

    // A line break in a folder name would end the Exec line and let the rest of the name
    // become keys of its own (another Exec=); such a name is refused, not guessed at.
    const auto hasControl = [](const QString& word) {
        return std::any_of(word.cbegin(), word.cend(), [](QChar c) { return c.category() == QChar::Other_Control; });
    };
    if (hasControl(path) || std::any_of(arguments.cbegin(), arguments.cend(), hasControl))
        return false;

    QStringList words{execWord(path)};
    for (const QString& a : arguments)
        words += execWord(a);
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=%1\n"
                                        "Comment=维诺星系列－来电显示\n"
                                        "Exec=%2\n"
                                        "Terminal=false\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(name, desktopString(words.join(QLatin1Char(' '))));
    if (!QDir().mkpath(QFileInfo(entry).absolutePath()))
        return false;
    QSaveFile file(entry);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(text.toUtf8());
    return file.commit();
}
