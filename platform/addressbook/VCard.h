#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// One content line of a card, unfolded and decoded. `begin`/`end` delimit the physical
// lines it was read from, so that an edited card can keep every line it did not change
// byte for byte.
struct VCardProperty
{
    QByteArray group; // "item1" of "item1.TEL", as written
    QByteArray name;  // upper case
    // Parameters as written ("TYPE=WORK", "WORK", "CHARSET=GB2312"), in order.
    QList<QByteArray> params;
    // TYPE values in upper case, from TYPE= lists and from the bare parameters of 2.1.
    QStringList types;
    bool pref = false; // TYPE=PREF, a bare PREF or PREF=n
    // The value after quoted-printable and charset decoding, backslash escapes still in place.
    QString value;
    qsizetype begin = 0;
    qsizetype end = 0;

    bool hasType(const QString& type) const { return types.contains(type); }
    // The value with its escapes resolved.
    QString text(const QByteArray& version) const;
    // A structured value (N, ADR, ORG) split at its unescaped semicolons.
    QStringList components(const QByteArray& version) const;
};

struct VCard
{
    QByteArray version; // "2.1", "3.0", "4.0"; "2.1" when the card does not say
    QList<VCardProperty> properties;
    qsizetype begin = 0;        // start of the BEGIN:VCARD line
    qsizetype endLineBegin = 0; // start of the END:VCARD line
    qsizetype end = 0;          // after the END:VCARD line and its line break

    // Index of the first property of that name, or -1.
    int indexOf(const QByteArray& name) const;
};

// Reads every card of a vCard file (2.1, 3.0 or 4.0, any mix). Line folding, quoted-
// printable soft line breaks, CHARSET= and grouped properties are understood; unknown
// properties are kept as read. A card that is not closed before the next one begins or the
// file ends is skipped, the others are kept.
class VCardReader
{
public:
    struct Result
    {
        QList<VCard> cards;
        int skipped = 0; // broken cards left out
    };

    static Result read(const QByteArray& bytes);
};

// Builds content lines as the given card version expects them: escapes, TYPE parameters,
// UTF-8 (quoted-printable in 2.1 where the value needs it) and folding at 75 octets.
class VCardWriter
{
public:
    // `params` are written as they stand; charset and encoding are added when needed.
    static QByteArray line(const QByteArray& version, const QByteArray& group, const QByteArray& name,
                           const QList<QByteArray>& params, const QStringList& components, const QByteArray& eol);
    // A TYPE parameter list in the card version's form: "WORK;VOICE", "TYPE=WORK,VOICE", "TYPE=work,voice".
    static QList<QByteArray> typeParams(const QByteArray& version, const QStringList& types);
};
