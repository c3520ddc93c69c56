#include "app/RegionCommand.h"

#include "lookup/RegionTable.h"
#include "lookup/AreaCodeFile.h"
#include "lookup/RegionQuery.h"
#include "platform/ProgramFolder.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>
#include <optional>

namespace {
const char Option[] = "--region";

void print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = (text + QLatin1Char('\n')).toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

std::optional<QString> numberArgument(const QStringList& arguments)
{
    const QString option = QLatin1String(Option);
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments.at(i) == option)
            return i + 1 < arguments.size() ? std::optional(arguments.at(i + 1)) : std::nullopt;
        if (arguments.at(i).startsWith(option + QLatin1Char('=')))
            return arguments.at(i).sliced(option.size() + 1);
    }
    return std::nullopt;
}

bool onlyDigits(const QString& text)
{
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}
} // namespace

bool RegionCommand::requested(int argc, char* argv[])
{
    const size_t length = std::strlen(Option);
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], Option, length) == 0 && (argv[i][length] == '\0' || argv[i][length] == '='))
            return true;
    return false;
}

int RegionCommand::run(const QStringList& arguments)
{
    const std::optional<QString> number = numberArgument(arguments);
    if (!number) {
        print(stderr,
              QCoreApplication::translate("RegionCommand", "用法：vornx [--data-dir 文件夹] --region 电话号码"));
        return 2;
    }
    // The query window takes digits only; a script gets told rather than a guess.
    if (!onlyDigits(*number)) {
        print(stderr, QCoreApplication::translate("RegionCommand", "电话号码只能由数字组成：%1").arg(*number));
        return 2;
    }
    QString error;
    if (!ProgramFolder::init(arguments, &error)) {
        print(stderr, error);
        return 1;
    }
    RegionTable table;
    const AreaCodeLoad load = AreaCodeFile::load(ProgramFolder::file(QStringLiteral("area.dat")), table);
    if (!load.error.isEmpty()) {
        print(stderr, load.error);
        return 1;
    }
    if (load.skipped > 0)
        print(stderr, load.skipNotice());
    print(stdout, RegionQuery::answer(table, *number));
    return 0;
}
