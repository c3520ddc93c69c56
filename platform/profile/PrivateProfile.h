#pragma once

#include <QString>

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
class PrivateProfile
{
public:
    explicit PrivateProfile(QString fileName);

    const QString& fileName() const { return m_fileName; }

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

private:
    QString m_fileName;
};
