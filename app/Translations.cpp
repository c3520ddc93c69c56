#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

namespace {
const QLatin1String kOption("--lang");

std::optional<Translations::Language> named(const QString& value)
{
    if (value == QLatin1String("zh"))
        return Translations::Language::Chinese;
    if (value == QLatin1String("en"))
        return Translations::Language::English;
    return std::nullopt;
}

// The value of the last "--lang" on the command line, or nothing when there is none.
std::optional<QString> requested(const QStringList& arguments)
{
    std::optional<QString> value;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (a == kOption)
            value = i + 1 < arguments.size() ? arguments.at(++i) : QString();
        else if (a.startsWith(kOption + QLatin1Char('=')))
            value = a.sliced(kOption.size() + 1);
    }
    return value;
}

Translations::Language fromLocale(const QStringList& uiLanguages)
{
    const QString first = uiLanguages.value(0);
    if (first.isEmpty())
        return Translations::Language::Chinese;
    const QLocale::Language language = QLocale(first).language();
    if (language == QLocale::Chinese || language == QLocale::C || language == QLocale::AnyLanguage)
        return Translations::Language::Chinese;
    return Translations::Language::English;
}

bool load(const QString& name, const QString& folder)
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(name, folder) && QCoreApplication::installTranslator(translator))
        return true;
    delete translator;
    return false;
}
} // namespace

std::optional<Translations::Language> Translations::choose(const QStringList& arguments, const QStringList& uiLanguages,
                                                           QString* error)
{
    const std::optional<QString> value = requested(arguments);
    if (!value)
        return fromLocale(uiLanguages);
    const std::optional<Language> language = named(*value);
    if (!language && error)
        *error = QCoreApplication::translate("Translations", "未知的语言“%1”，--lang 只能是 zh 或 en。").arg(*value);
    return language;
}

void Translations::install(Language language)
{
    if (language == Language::English) {
        load(QStringLiteral("vornx_en"), QStringLiteral(":/i18n"));
        return;
    }
    // The Chinese texts are the program's own; only Qt's catalogues are needed, those of the
    // modules whose texts the program shows (dialogs and buttons, sound, serial port errors).
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* module : {"qtbase", "qtmultimedia", "qtserialport"})
        load(QLatin1String(module) + QLatin1String("_zh_CN"), folder);
}

bool Translations::setUp(const QStringList& arguments)
{
    const QStringList uiLanguages = QLocale::system().uiLanguages();
    QString error;
    const std::optional<Language> language = choose(arguments, uiLanguages, &error);
    if (!language) {
        // The complaint itself speaks the desktop's language.
        install(fromLocale(uiLanguages));
        choose(arguments, uiLanguages, &error);
        const QByteArray bytes = (error + QLatin1Char('\n')).toUtf8();
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
        return false;
    }
    install(*language);
    return true;
}
