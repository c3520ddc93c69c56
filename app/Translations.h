#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The language of the program's texts. The texts are written in Chinese; English comes from
// the catalogue built into the program. Chinese also brings Qt's own catalogues, so that the
// printer, file and preview dialogs speak the same language as the program.
namespace Translations {

enum class Language
{
    Chinese,
    English
};

// "--lang zh|en" (or "--lang=en") wins; else the desktop's first interface language, most
// preferred first as QLocale::uiLanguages() lists them: Chinese, and a locale that names no
// language ("C", "POSIX", unset), keep the Chinese texts; any other language gets English.
// A "--lang" without a known value gives no language and the error.
std::optional<Language> choose(const QStringList& arguments, const QStringList& uiLanguages, QString* error);

// Installs the catalogues of the language into the running application (kept until it ends).
// A missing Qt catalogue (the distribution's Qt translations not installed) leaves Qt's
// dialogs in English and is not an error.
void install(Language language);

// Chooses from the command line and the desktop's locale and installs; a bad "--lang" is
// written to standard error and gives false (the program then ends with exit code 2).
bool setUp(const QStringList& arguments);

} // namespace Translations
