#pragma once

#include <QCoreApplication>
#include <QString>

#include <memory>

// An INI file read and written key by key with the rules of the desktop's private-profile
// calls, so that files written by either side read the same:
// - a missing file, section or key gives the caller's default;
// - section and key names compare without regard to case, blanks around names and values
//   are dropped, and a value wrapped in matching quotes loses them;
// - a value longer than the caller's buffer is cut to the buffer size less one;
// - a write changes one key in place and keeps every other line byte for byte; a new key is
//   added at the end of its section, a new section at the end of the file.
// Values are GBK text, or UTF-8 in a file that begins with a UTF-8 byte-order mark. CR LF,
// LF and a missing final newline all read the same. The file is opened around each call.
//
// A settings file is a few kilobytes: one over kMaxFileSize, one that is not a regular file
// (a FIFO would block the reader for good) or one that is not text reads as missing.
class PrivateProfile
{
    Q_DECLARE_TR_FUNCTIONS(PrivateProfile)

public:
    static constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

    explicit PrivateProfile(QString fileName);

    const QString& fileName() const { return m_fileName; }

    // Reads the file once and answers the reads that follow from that copy, so that the keys
    // of one operation cost one read of the file. False, with a message naming the file, when
    // the file is there but cannot be used (the reads then give their defaults); a missing
    // file is an empty one.
    bool load(QString* error = nullptr);

    // `bufferSize` counts bytes of the file's encoding including the terminating zero, as the
    // desktop call does; a character is never split, so the result may be a byte shorter.
    QString readString(const QString& section, const QString& key, const QString& defaultValue,
                       int bufferSize = 256) const;
    // The decimal number at the start of the value (an optional sign, then digits; 0 when
    // there are none); the default when the key is missing or its value is empty.
    int readInt(const QString& section, const QString& key, int defaultValue) const;

    // Writes the whole file again through a temporary file that replaces it, so that the file
    // is either the old one or the new one, never a half-written one. Returns whether the
    // file was written.
    bool writeString(const QString& section, const QString& key, const QString& value);

    struct Document;

private:
    QString m_fileName;
    std::shared_ptr<const Document> m_loaded;
};
