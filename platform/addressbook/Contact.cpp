#include "platform/addressbook/Contact.h"

#include <QRegularExpression>

#include <algorithm>
#include <map>

namespace {

bool hasAny(const VCardProperty& property, std::initializer_list<const char*> types)
{
    return std::any_of(types.begin(), types.end(),
                       [&](const char* type) { return property.hasType(QString::fromLatin1(type)); });
}

// Whether a TEL property is one of the telephone numbers, and which one. `taken` tells
// which kinds an earlier number already holds, so that a second WORK or HOME number
// becomes business 2 or home 2.
bool phoneKind(const VCardProperty& tel, const QList<PhoneKind>& taken, PhoneKind* kind)
{
    if (tel.hasType(QStringLiteral("FAX")))
        return false;
    if (tel.hasType(QStringLiteral("CELL")))
        *kind = PhoneKind::Mobile;
    else if (tel.hasType(QStringLiteral("PAGER")))
        *kind = PhoneKind::Pager;
    else if (tel.hasType(QStringLiteral("CAR")))
        *kind = PhoneKind::Car;
    else if (hasAny(tel, {"X-RADIO", "RADIO"}))
        *kind = PhoneKind::Radio;
    else if (hasAny(tel, {"TEXTPHONE", "X-TTYTDD", "TTY", "TDD"}))
        *kind = PhoneKind::TtyTdd;
    else if (hasAny(tel, {"X-ASSISTANT", "ASSISTANT"}))
        *kind = PhoneKind::Assistant;
    else if (hasAny(tel, {"X-CALLBACK", "CALLBACK"}))
        *kind = PhoneKind::Callback;
    else if (hasAny(tel, {"X-COMPANY-MAIN", "X-COMPANY_MAIN", "COMPANY-MAIN"}))
        *kind = PhoneKind::CompanyMain;
    else if (tel.hasType(QStringLiteral("WORK")))
        *kind = taken.contains(PhoneKind::Business) ? PhoneKind::Business2 : PhoneKind::Business;
    else if (tel.hasType(QStringLiteral("HOME")))
        *kind = taken.contains(PhoneKind::Home) ? PhoneKind::Home2 : PhoneKind::Home;
    else if (tel.pref || hasAny(tel, {"MAIN", "X-PRIMARY"}))
        *kind = PhoneKind::Primary;
    else
        *kind = PhoneKind::Other;
    return true;
}

QStringList phoneTypes(PhoneKind kind, const QByteArray& version)
{
    switch (kind) {
    case PhoneKind::Business:
    case PhoneKind::Business2:
        return {QStringLiteral("WORK"), QStringLiteral("VOICE")};
    case PhoneKind::Callback:
        return {QStringLiteral("X-CALLBACK")};
    case PhoneKind::Home:
    case PhoneKind::Home2:
        return {QStringLiteral("HOME"), QStringLiteral("VOICE")};
    case PhoneKind::Primary:
        return {QStringLiteral("PREF"), QStringLiteral("VOICE")};
    case PhoneKind::Mobile:
        return {QStringLiteral("CELL"), QStringLiteral("VOICE")};
    case PhoneKind::Radio:
        return {QStringLiteral("X-RADIO")};
    case PhoneKind::Car:
        return {QStringLiteral("CAR"), QStringLiteral("VOICE")};
    case PhoneKind::Other:
        return {QStringLiteral("VOICE")};
    case PhoneKind::Pager:
        return {QStringLiteral("PAGER")};
    case PhoneKind::Assistant:
        return {QStringLiteral("X-ASSISTANT")};
    case PhoneKind::CompanyMain:
        return {QStringLiteral("X-COMPANY-MAIN")};
    case PhoneKind::TtyTdd:
        return {version == "4.0" ? QStringLiteral("TEXTPHONE") : QStringLiteral("X-TTYTDD")};
    }
    return {};
}

QString phoneNumber(const VCardProperty& tel, const QByteArray& version)
{
    QString number = tel.text(version).trimmed();
    if (number.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive))
        number = number.mid(4);
    return number;
}

bool isGenderProperty(const QByteArray& name)
{
    return name == "GENDER" || (name.startsWith("X-") && name.endsWith("-GENDER"));
}

int genderValue(const QString& text)
{
    const QString value = text.trimmed();
    if (value == QLatin1String("0") || value == QLatin1String("1") || value == QLatin1String("2"))
        return value.toInt();
    if (value.isEmpty())
        return -1;
    const QChar first = value.at(0).toUpper();
    if (first == QLatin1Char('M') || first == QChar(0x7537)) // 男
        return 2;
    if (first == QLatin1Char('F') || first == QChar(0x5973)) // 女
        return 1;
    if (first == QLatin1Char('U'))
        return 0;
    return -1;
}

QString birthdayText(const QString& stored)
{
    const QString date = stored.trimmed().section(QLatin1Char('T'), 0, 0);
    static const QRegularExpression full(QStringLiteral("^(\\d{4})-?(\\d{2})-?(\\d{2})$"));
    static const QRegularExpression noYear(QStringLiteral("^--(\\d{2})-?(\\d{2})$"));
    if (const auto m = full.match(date); m.hasMatch())
        return m.captured(1) + QLatin1Char('-') + m.captured(2) + QLatin1Char('-') + m.captured(3);
    if (const auto m = noYear.match(date); m.hasMatch())
        return QLatin1String("--") + m.captured(1) + QLatin1Char('-') + m.captured(2);
    return stored.trimmed();
}

bool containsCjk(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x2E80; });
}

QString composedName(const QStringList& n)
{
    const QString family = n.value(0).trimmed();
    const QString given = n.value(1).trimmed();
    const QString middle = n.value(2).trimmed();
    if (containsCjk(family + given + middle))
        return family + middle + given;
    QStringList parts;
    for (const QString& part : {given, middle, family}) {
        if (!part.isEmpty())
            parts << part;
    }
    return parts.join(QLatin1Char(' '));
}

ContactAddress addressOf(const QStringList& adr)
{
    ContactAddress address;
    address.street = adr.value(2).trimmed();
    address.city = adr.value(3).trimmed();
    address.state = adr.value(4).trimmed();
    address.postalCode = adr.value(5).trimmed();
    address.country = adr.value(6).trimmed();
    return address;
}

// Collects the new lines of an edited card, keyed by the property they replace.
class CardEdit
{
public:
    CardEdit(const VCard& card, const QByteArray& eol) : m_card(card), m_eol(eol) {}

    // Rewrites property `source` with new components (keeping its group and parameters,
    // or `newParams` when given), removes it when `remove`, or adds a new line when
    // there is no source.
    void set(int source, const QByteArray& name, const QList<QByteArray>& params, const QStringList& components,
             bool remove, bool replaceParams = false)
    {
        if (source < 0) {
            if (!remove)
                m_added += VCardWriter::line(m_card.version, QByteArray(), name, params, components, m_eol);
            return;
        }
        const VCardProperty& property = m_card.properties.at(source);
        if (remove) {
            m_replaced[source] = QByteArray();
            return;
        }
        const QList<QByteArray> kept = replaceParams ? params : keptParams(property);
        m_replaced[source] = VCardWriter::line(m_card.version, property.group, property.name, kept, components, m_eol);
    }

    QByteArray bytes(const QByteArray& fileBytes) const
    {
        QByteArray out;
        qsizetype pos = m_card.begin;
        for (const auto& [index, line] : m_replaced) {
            const VCardProperty& property = m_card.properties.at(index);
            out += fileBytes.mid(pos, property.begin - pos);
            out += line;
            pos = property.end;
        }
        out += fileBytes.mid(pos, m_card.endLineBegin - pos);
        out += m_added;
        out += fileBytes.mid(m_card.endLineBegin, m_card.end - m_card.endLineBegin);
        if (!out.endsWith('\n') && !out.endsWith('\r'))
            out += m_eol;
        return out;
    }

private:
    // Encoding, charset and value type belong to the old value; the new one brings its own.
    static QList<QByteArray> keptParams(const VCardProperty& property)
    {
        QList<QByteArray> kept;
        for (const QByteArray& param : property.params) {
            const QByteArray name = param.left(param.indexOf('=')).trimmed().toUpper();
            if (name != "ENCODING" && name != "CHARSET" && name != "VALUE" && name != "QUOTED-PRINTABLE" &&
                name != "BASE64" && name != "8BIT" && name != "7BIT")
                kept << param;
        }
        return kept;
    }

    const VCard& m_card;
    QByteArray m_eol;
    std::map<int, QByteArray> m_replaced;
    QByteArray m_added;
};

QStringList withComponents(QStringList components, qsizetype size, const std::map<int, QString>& values)
{
    while (components.size() < size)
        components << QString();
    for (const auto& [index, value] : values)
        components[index] = value;
    return components;
}

QStringList addressComponents(QStringList old, const ContactAddress& address)
{
    return withComponents(
        old, 7,
        {{2, address.street}, {3, address.city}, {4, address.state}, {5, address.postalCode}, {6, address.country}});
}

QString genderText(int gender, const QByteArray& version)
{
    if (version == "4.0")
        return QStringLiteral("UFM").mid(gender, 1);
    return QString::number(gender);
}

QByteArray genderName(const QByteArray& version)
{
    return version == "4.0" ? QByteArray("GENDER") : QByteArray("X-WAB-GENDER");
}

QString birthdayValue(const QString& birthday, const QByteArray& version)
{
    // vCard 4.0 dates are written without separators.
    static const QRegularExpression full(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    if (version == "4.0" && full.match(birthday).hasMatch())
        return QString(birthday).remove(QLatin1Char('-'));
    return birthday;
}

void applyEdits(CardEdit& edit, const VCard& card, const ContactSources& sources, const Contact& before,
                const Contact& after)
{
    const QByteArray& version = card.version;
    auto components = [&](int source) {
        return source < 0 ? QStringList() : card.properties.at(source).components(version);
    };
    auto type = [&](const char* t) { return VCardWriter::typeParams(version, {QString::fromLatin1(t)}); };

    if (before.displayName != after.displayName)
        edit.set(sources.displayName, "FN", {}, {after.displayName}, after.displayName.isEmpty());
    if (before.familyName != after.familyName || before.givenName != after.givenName) {
        const QStringList n =
            withComponents(components(sources.name), 5, {{0, after.familyName}, {1, after.givenName}});
        edit.set(sources.name, "N", {}, n, n.join(QString()).isEmpty());
    }
    if (before.email != after.email)
        edit.set(sources.email, "EMAIL", type("INTERNET"), {after.email}, after.email.isEmpty());
    if (before.company != after.company) {
        const QStringList org = withComponents(components(sources.company), 1, {{0, after.company}});
        edit.set(sources.company, "ORG", {}, org, org.join(QString()).isEmpty());
    }
    if (before.gender != after.gender) {
        // The old property may be of another form (GENDER, X-...-GENDER); the new line is
        // written in this card version's own form in its place.
        edit.set(-1, genderName(version), {}, {genderText(after.gender, version)}, after.gender < 0);
        if (sources.gender >= 0)
            edit.set(sources.gender, "", {}, {}, true);
    }
    if (before.birthday != after.birthday)
        edit.set(sources.birthday, "BDAY", {}, {birthdayValue(after.birthday, version)}, after.birthday.isEmpty());
    if (before.notes != after.notes)
        edit.set(sources.notes, "NOTE", {}, {after.notes}, after.notes.isEmpty());
    if (before.business != after.business)
        edit.set(sources.business, "ADR", type("WORK"), addressComponents(components(sources.business), after.business),
                 after.business.isEmpty());
    if (before.home != after.home)
        edit.set(sources.home, "ADR", type("HOME"), addressComponents(components(sources.home), after.home),
                 after.home.isEmpty());

    for (const ContactPhone& old : before.phones) {
        const auto now = std::find_if(after.phones.begin(), after.phones.end(),
                                      [&](const ContactPhone& p) { return p.source == old.source; });
        if (now == after.phones.end() || now->number.trimmed().isEmpty())
            edit.set(old.source, "TEL", {}, {}, true);
        else if (now->kind != old.kind)
            edit.set(old.source, "TEL", VCardWriter::typeParams(version, phoneTypes(now->kind, version)),
                     {now->number.trimmed()}, false, true);
        else if (now->number != old.number)
            edit.set(old.source, "TEL", {}, {now->number.trimmed()}, false);
    }
    for (const ContactPhone& phone : after.phones) {
        if (phone.source < 0 && !phone.number.trimmed().isEmpty())
            edit.set(-1, "TEL", VCardWriter::typeParams(version, phoneTypes(phone.kind, version)),
                     {phone.number.trimmed()}, false);
    }
}

} // namespace

bool ContactAddress::isEmpty() const
{
    return country.isEmpty() && state.isEmpty() && city.isEmpty() && postalCode.isEmpty() && street.isEmpty();
}

Contact ContactMapping::fromCard(const VCard& card, ContactSources* sources)
{
    Contact contact;
    ContactSources found;
    const QByteArray& version = card.version;
    int untypedAddress = -1;
    QList<PhoneKind> taken;
    for (int i = 0; i < card.properties.size(); ++i) {
        const VCardProperty& p = card.properties.at(i);
        if (p.name == "FN" && found.displayName < 0) {
            contact.displayName = p.text(version).trimmed();
            found.displayName = i;
        } else if (p.name == "N" && found.name < 0) {
            const QStringList n = p.components(version);
            contact.familyName = n.value(0).trimmed();
            contact.givenName = n.value(1).trimmed();
            found.name = i;
        } else if (p.name == "EMAIL" && (found.email < 0 || (p.pref && !card.properties.at(found.email).pref))) {
            contact.email = p.text(version).trimmed();
            found.email = i;
        } else if (p.name == "ORG" && found.company < 0) {
            contact.company = p.components(version).value(0).trimmed();
            found.company = i;
        } else if (isGenderProperty(p.name) && found.gender < 0) {
            const int gender = genderValue(p.components(version).value(0));
            if (gender >= 0) {
                contact.gender = gender;
                found.gender = i;
            }
        } else if (p.name == "BDAY" && found.birthday < 0) {
            contact.birthday = birthdayText(p.text(version));
            found.birthday = i;
        } else if (p.name == "NOTE" && found.notes < 0) {
            contact.notes = p.text(version);
            found.notes = i;
        } else if (p.name == "ADR") {
            if (p.hasType(QStringLiteral("WORK")) && found.business < 0)
                found.business = i;
            else if (p.hasType(QStringLiteral("HOME")) && found.home < 0)
                found.home = i;
            else if (!p.hasType(QStringLiteral("WORK")) && !p.hasType(QStringLiteral("HOME")) && untypedAddress < 0)
                untypedAddress = i;
        } else if (p.name == "TEL") {
            ContactPhone phone;
            if (phoneKind(p, taken, &phone.kind)) {
                phone.number = phoneNumber(p, version);
                phone.source = i;
                contact.phones << phone;
                taken << phone.kind;
            }
        }
    }
    if (found.business < 0)
        found.business = untypedAddress;
    if (found.business >= 0)
        contact.business = addressOf(card.properties.at(found.business).components(version));
    if (found.home >= 0)
        contact.home = addressOf(card.properties.at(found.home).components(version));
    if (contact.displayName.isEmpty()) {
        found.displayName = -1;
        contact.displayName =
            composedName({contact.familyName, contact.givenName,
                          found.name < 0 ? QString() : card.properties.at(found.name).components(version).value(2)});
        if (contact.displayName.isEmpty())
            contact.displayName = contact.company;
    }
    if (sources)
        *sources = found;
    return contact;
}

QString ContactMapping::displayNameFor(const QString& familyName, const QString& givenName)
{
    return composedName({familyName, givenName});
}

QByteArray ContactMapping::editedCard(const QByteArray& fileBytes, const VCard& card, const ContactSources& sources,
                                      const Contact& before, const Contact& after, const QByteArray& eol)
{
    CardEdit edit(card, eol);
    applyEdits(edit, card, sources, before, after);
    return edit.bytes(fileBytes);
}

QByteArray ContactMapping::newCard(const Contact& contact, const QString& uid, const QByteArray& eol)
{
    VCard card;
    card.version = "3.0";
    const QByteArray head = "BEGIN:VCARD" + eol + "VERSION:3.0" + eol;
    const QByteArray tail = "END:VCARD" + eol;
    const QByteArray skeleton = head + tail;
    card.begin = 0;
    card.endLineBegin = head.size();
    card.end = skeleton.size();

    // A 3.0 card needs N and FN even when the user gave only one of them.
    Contact after = contact;
    if (after.displayName.isEmpty())
        after.displayName = displayNameFor(after.familyName, after.givenName);
    if (after.familyName.isEmpty() && after.givenName.isEmpty())
        after.familyName = after.displayName;
    CardEdit edit(card, eol);
    applyEdits(edit, card, ContactSources(), Contact(), after);
    edit.set(-1, "UID", {}, {uid}, false);
    return edit.bytes(skeleton);
}
