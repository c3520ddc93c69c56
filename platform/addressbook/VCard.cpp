#include "platform/addressbook/VCard.h"

#include <QStringDecoder>

#include <algorithm>
#include <map>

namespace {

struct Line
{
    QByteArray content; // unfolded, without line break
    qsizetype begin = 0;
    qsizetype end = 0; // after the last physical line's break
};

bool isFoldContinuation(const QByteArray& bytes, qsizetype pos)
{
    return pos < bytes.size() && (bytes.at(pos) == ' ' || bytes.at(pos) == '\t');
}

// End of the physical line starting at pos: sets contentEnd (before the break) and returns
// the start of the next line. CR LF, LF and a lone CR all end a line.
qsizetype physicalLineEnd(const QByteArray& bytes, qsizetype pos, qsizetype* contentEnd)
{
    const qsizetype n = bytes.size();
    while (pos < n && bytes.at(pos) != '\n' && bytes.at(pos) != '\r')
        ++pos;
    *contentEnd = pos;
    if (pos < n && bytes.at(pos) == '\r')
        ++pos;
    if (pos < n && bytes.at(pos) == '\n' && (pos == *contentEnd || bytes.at(pos - 1) == '\r'))
        ++pos;
    return pos;
}

// Position of the first character outside double quotes that equals c, or -1.
qsizetype indexOutsideQuotes(const QByteArray& text, char c, qsizetype from = 0)
{
    bool quoted = false;
    for (qsizetype i = from; i < text.size(); ++i) {
        if (text.at(i) == '"')
            quoted = !quoted;
        else if (!quoted && text.at(i) == c)
            return i;
    }
    return -1;
}

QList<QByteArray> splitOutsideQuotes(const QByteArray& text, char c)
{
    QList<QByteArray> parts;
    qsizetype start = 0;
    for (qsizetype i; (i = indexOutsideQuotes(text, c, start)) >= 0; start = i + 1)
        parts << text.mid(start, i - start);
    parts << text.mid(start);
    return parts;
}

bool isQuotedPrintableParam(const QByteArray& param)
{
    const qsizetype eq = param.indexOf('=');
    if (eq < 0)
        return param.trimmed().toUpper() == "QUOTED-PRINTABLE";
    return param.left(eq).trimmed().toUpper() == "ENCODING" &&
           param.mid(eq + 1).trimmed().toUpper() == "QUOTED-PRINTABLE";
}

// Whether the line's parameters make its value quoted-printable, decided exactly as the
// property parser decides it, so that soft line breaks are joined only for such values.
bool saysQuotedPrintable(const QByteArray& content)
{
    const qsizetype colon = indexOutsideQuotes(content, ':');
    const QList<QByteArray> head = splitOutsideQuotes(content.left(colon < 0 ? content.size() : colon), ';');
    return std::any_of(head.begin() + 1, head.end(), isQuotedPrintableParam);
}

QList<Line> logicalLines(const QByteArray& bytes)
{
    QList<Line> lines;
    qsizetype pos = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (pos < bytes.size()) {
        Line line;
        line.begin = pos;
        qsizetype contentEnd = 0;
        pos = physicalLineEnd(bytes, pos, &contentEnd);
        line.content = bytes.mid(line.begin, contentEnd - line.begin);
        const bool qp = saysQuotedPrintable(line.content);
        for (;;) {
            if (pos >= bytes.size())
                break;
            const qsizetype next = pos;
            if (qp && line.content.endsWith('=')) {
                // Quoted-printable soft line break: the value goes on at the start of the next line.
                line.content.chop(1);
                pos = physicalLineEnd(bytes, next, &contentEnd);
                line.content += bytes.mid(next, contentEnd - next);
            } else if (isFoldContinuation(bytes, next)) {
                pos = physicalLineEnd(bytes, next, &contentEnd);
                line.content += bytes.mid(next + 1, contentEnd - next - 1);
            } else {
                break;
            }
        }
        line.end = pos;
        lines << line;
    }
    return lines;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

QByteArray decodeQuotedPrintable(const QByteArray& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '=' && i + 2 < text.size() && hexDigit(text.at(i + 1)) >= 0 && hexDigit(text.at(i + 2)) >= 0) {
            out += char(hexDigit(text.at(i + 1)) * 16 + hexDigit(text.at(i + 2)));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

// Text decoders by charset, opened once per file: opening a converter costs far more than
// decoding one short value.
class Decoders
{
public:
    QString decode(const QByteArray& bytes, QByteArray charset)
    {
        if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; }))
            return QString::fromLatin1(bytes);
        charset = charset.toUpper();
        // Exports labelled GB2312 routinely hold GBK characters; GB18030 reads both.
        if (charset == "GB2312" || charset == "GBK" || charset == "CP936" || charset == "EUC-CN")
            charset = "GB18030";
        if (!charset.isEmpty() && charset != "UTF-8") {
            QStringDecoder& decoder = get(charset);
            if (decoder.isValid())
                return decode(decoder, bytes);
        }
        QStringDecoder& utf8 = get("UTF-8");
        const QString text = decode(utf8, bytes);
        if (!utf8.hasError())
            return text;
        // Cards without a charset from Chinese systems are in the system's code page.
        return decode(get("GB18030"), bytes);
    }

private:
    static QString decode(QStringDecoder& decoder, const QByteArray& bytes)
    {
        decoder.resetState();
        return decoder.decode(bytes);
    }

    QStringDecoder& get(const QByteArray& charset)
    {
        auto it = m_decoders.find(charset);
        if (it == m_decoders.end())
            it =
                m_decoders.emplace(charset, QStringDecoder(charset.constData(), QStringDecoder::Flag::Stateless)).first;
        return it->second;
    }

    std::map<QByteArray, QStringDecoder> m_decoders;
};

bool parseProperty(const QByteArray& content, Decoders& decoders, VCardProperty* property)
{
    const qsizetype colon = indexOutsideQuotes(content, ':');
    if (colon <= 0)
        return false;
    QList<QByteArray> head = splitOutsideQuotes(content.left(colon), ';');
    QByteArray name = head.takeFirst().trimmed();
    const qsizetype dot = name.lastIndexOf('.');
    if (dot >= 0) {
        property->group = name.left(dot);
        name = name.mid(dot + 1);
    }
    if (name.isEmpty())
        return false;
    property->name = name.toUpper();

    bool quotedPrintable = false;
    QByteArray charset;
    for (const QByteArray& param : head) {
        property->params << param;
        const qsizetype eq = param.indexOf('=');
        const QByteArray pname = (eq < 0 ? param : param.left(eq)).trimmed().toUpper();
        QByteArray pvalue = eq < 0 ? QByteArray() : param.mid(eq + 1).trimmed();
        if (pvalue.size() >= 2 && pvalue.startsWith('"') && pvalue.endsWith('"'))
            pvalue = pvalue.mid(1, pvalue.size() - 2);
        if (isQuotedPrintableParam(param)) {
            quotedPrintable = true;
        } else if (eq < 0) {
            if (pname == "PREF")
                property->pref = true;
            else if (pname != "BASE64" && pname != "8BIT" && pname != "7BIT" && !pname.isEmpty())
                property->types << QString::fromLatin1(pname);
        } else if (pname == "TYPE") {
            for (const QByteArray& type : pvalue.split(',')) {
                const QByteArray t = type.trimmed().toUpper();
                if (t == "PREF")
                    property->pref = true;
                else if (!t.isEmpty())
                    property->types << QString::fromLatin1(t);
            }
        } else if (pname == "CHARSET") {
            charset = pvalue;
        } else if (pname == "PREF") {
            property->pref = true;
        }
    }
    const QByteArray raw = content.mid(colon + 1);
    property->value = decoders.decode(quotedPrintable ? decodeQuotedPrintable(raw) : raw, charset);
    return true;
}

bool isModern(const QByteArray& version)
{
    return version != "2.1";
}

QString unescape(QStringView text, const QByteArray& version)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        // Values written on Windows carry CR LF inside; the program keeps LF alone.
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            continue;
        if (c != QLatin1Char('\\') || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const QChar next = text.at(i + 1);
        if (next == QLatin1Char(';') || next == QLatin1Char(',')) {
            out += next;
            ++i;
        } else if (isModern(version) && next == QLatin1Char('\\')) {
            out += next;
            ++i;
        } else if (isModern(version) && (next == QLatin1Char('n') || next == QLatin1Char('N'))) {
            out += QLatin1Char('\n');
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

QString escape(const QString& text, const QByteArray& version)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\r'))
            continue;
        if (c == QLatin1Char(';'))
            out += QLatin1String("\\;");
        else if (isModern(version) && c == QLatin1Char(','))
            out += QLatin1String("\\,");
        else if (isModern(version) && c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (isModern(version) && c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else
            out += c;
    }
    return out;
}

// Quoted-printable with soft line breaks so that no line exceeds 76 characters; line
// breaks of the value become CR LF, as 2.1 readers expect.
QByteArray encodeQuotedPrintable(const QByteArray& head, const QByteArray& value, const QByteArray& eol)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out = head;
    qsizetype lineLength = head.size();
    for (qsizetype i = 0; i < value.size(); ++i) {
        const uchar c = uchar(value.at(i));
        QByteArray piece;
        if (c == '\n') {
            piece = "=0D=0A";
        } else if (c >= 33 && c <= 126 && c != '=') {
            piece = QByteArray(1, char(c));
        } else if (c == ' ' && i + 1 < value.size() && value.at(i + 1) != '\n') {
            piece = " ";
        } else {
            piece = QByteArray("=") + hex[c >> 4] + hex[c & 15];
        }
        if (lineLength + piece.size() > 75) {
            out += '=' + eol;
            lineLength = 0;
        }
        out += piece;
        lineLength += piece.size();
    }
    return out + eol;
}

QByteArray fold(const QByteArray& line, const QByteArray& eol)
{
    QByteArray out;
    qsizetype pos = 0;
    qsizetype limit = 75;
    while (line.size() - pos > limit) {
        qsizetype cut = pos + limit;
        // Never split a UTF-8 sequence.
        while (cut > pos && (uchar(line.at(cut)) & 0xC0) == 0x80)
            --cut;
        out += line.mid(pos, cut - pos) + eol + ' ';
        pos = cut;
        limit = 74;
    }
    return out + line.mid(pos) + eol;
}

} // namespace

QString VCardProperty::text(const QByteArray& version) const
{
    return unescape(value, version);
}

QStringList VCardProperty::components(const QByteArray& version) const
{
    QStringList parts;
    qsizetype start = 0;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value.at(i) == QLatin1Char('\\'))
            ++i;
        else if (value.at(i) == QLatin1Char(';')) {
            parts << unescape(QStringView(value).mid(start, i - start), version);
            start = i + 1;
        }
    }
    parts << unescape(QStringView(value).mid(start), version);
    return parts;
}

int VCard::indexOf(const QByteArray& name) const
{
    for (int i = 0; i < properties.size(); ++i) {
        if (properties.at(i).name == name)
            return i;
    }
    return -1;
}

VCardReader::Result VCardReader::read(const QByteArray& bytes)
{
    Result result;
    Decoders decoders;
    VCard card;
    bool inside = false;
    for (const Line& line : logicalLines(bytes)) {
        const QByteArray word = line.content.trimmed().toUpper();
        if (word == "BEGIN:VCARD") {
            if (inside)
                ++result.skipped;
            card = VCard();
            card.begin = line.begin;
            inside = true;
        } else if (!inside) {
            continue;
        } else if (word == "END:VCARD") {
            card.endLineBegin = line.begin;
            card.end = line.end;
            const int v = card.indexOf("VERSION");
            card.version = v < 0 ? QByteArray("2.1") : card.properties.at(v).value.trimmed().toLatin1();
            result.cards << std::move(card);
            inside = false;
        } else {
            // Blank lines and lines that are no property carry nothing; the card stays.
            VCardProperty property;
            if (!parseProperty(line.content, decoders, &property))
                continue;
            property.begin = line.begin;
            property.end = line.end;
            card.properties << std::move(property);
        }
    }
    if (inside)
        ++result.skipped;
    return result;
}

QByteArray VCardWriter::line(const QByteArray& version, const QByteArray& group, const QByteArray& name,
                             const QList<QByteArray>& params, const QStringList& components, const QByteArray& eol)
{
    QStringList escaped;
    for (const QString& component : components)
        escaped << escape(component, version);
    const QByteArray value = escaped.join(QLatin1Char(';')).toUtf8();

    QByteArray head = group.isEmpty() ? name : group + '.' + name;
    for (const QByteArray& param : params)
        head += ';' + param;
    if (isModern(version))
        return fold(head + ':' + value, eol);

    bool ascii = true;
    for (const char c : value)
        ascii = ascii && uchar(c) < 0x80;
    if (!ascii)
        head += ";CHARSET=UTF-8";
    if (ascii && !value.contains('\n'))
        return head + ':' + value + eol;
    return encodeQuotedPrintable(head + ";ENCODING=QUOTED-PRINTABLE:", value, eol);
}

QList<QByteArray> VCardWriter::typeParams(const QByteArray& version, const QStringList& types)
{
    QList<QByteArray> params;
    if (types.isEmpty())
        return params;
    if (!isModern(version)) {
        for (const QString& type : types)
            params << type.toLatin1();
        return params;
    }
    QStringList list = types;
    const bool pref = version == "4.0" && list.removeAll(QStringLiteral("PREF")) > 0;
    if (!list.isEmpty()) {
        const QByteArray joined = list.join(QLatin1Char(',')).toLatin1();
        params << "TYPE=" + (version == "4.0" ? joined.toLower() : joined);
    }
    if (pref)
        params << "PREF=1";
    return params;
}
