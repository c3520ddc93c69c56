#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

// The block list "黑名单.txt" of the program folder: numbers whose calls are logged but never
// shown. UTF-8, one entry a line: an exact number, or a prefix ending in '*', then
// optionally a tab and a remark. A number may be written as the caller's network sends it
// ("+86...", "0086...", "0591...", digits only); it is compared in the national form the
// lookup uses, so "13905911234" also catches "+8613905911234" and "008613905911234".
//
// Lines that are no entry (a typo, a remark in another encoding) are skipped when matching
// and written back unchanged when the list is saved, so the user's file never loses a line.
class BlockList
{
    Q_DECLARE_TR_FUNCTIONS(BlockList)

public:
    // The national form of a caller's digits (no '+', no leading zeros), as the lookup makes it.
    using National = std::function<QString(const QString& digits)>;

    struct Entry
    {
        QString pattern; // as written: digits with an optional '+' in front and '*' behind
        QString remark;
    };

    BlockList(QString path, National national);

    // A missing file is an empty list. False with the user's text in *error when the file
    // is there but cannot be read or is too large to be a list; the list is then empty and
    // refuses to save, so the file stays as it is.
    bool load(QString* error = nullptr);
    // Writes the whole file anew through a temporary file: all or nothing. When it cannot
    // be written, the list goes back to what the file holds, so that no change that was not
    // kept stays in force.
    bool save(QString* error = nullptr);

    QList<Entry> entries() const;
    // Lines kept as they are because they hold no entry.
    qsizetype skippedLines() const;

    // The entry that blocks the number (an exact one before a prefix), if any.
    std::optional<Entry> match(const QString& number) const;
    // Adds an entry, or gives an entry of the same number the new remark. False with the
    // user's text in *error when the pattern is no number or the list is full; nothing is
    // saved by this.
    bool add(const QString& pattern, const QString& remark, QString* error = nullptr);
    // Removes the entries of that number, or of that prefix when it ends in '*'; a prefix
    // that covers a number stays when the number is removed. False when there was none.
    bool remove(const QString& number);

    static bool isValidPattern(const QString& pattern);

    // The remark a blocked call is logged with in "Phone.Log".
    static QString logRemark() { return QStringLiteral("黑名单"); }
    static QString fileName() { return QStringLiteral("黑名单.txt"); }
    // A list of a few hundred numbers is a few kilobytes.
    static constexpr qint64 kMaxFileSize = 1024 * 1024;
    static constexpr qsizetype kMaxEntries = 20000;

private:
    struct Line
    {
        Entry entry;
        QByteArray kept; // the raw line when it holds no entry
        bool valid = false;
    };
    // The digits an entry stands for in national form, without the '*'.
    QString keyOf(const QString& pattern) const;
    QString nationalOf(const QString& number) const;

    QString m_path;
    National m_national;
    QList<Line> m_lines;
    bool m_loaded = true;
};
