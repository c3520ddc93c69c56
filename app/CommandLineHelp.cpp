#include "app/CommandLineHelp.h"

#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <cstring>

namespace {
bool isHelp(const char* argument)
{
    return std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0;
}

bool isVersion(const char* argument)
{
    return std::strcmp(argument, "--version") == 0;
}
} // namespace

bool CommandLineHelp::requested(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i)
        if (isHelp(argv[i]) || isVersion(argv[i]))
            return true;
    return false;
}

QString CommandLineHelp::versionText()
{
    return QStringLiteral("vornx " VORNX_VERSION "\n");
}

QString CommandLineHelp::helpText(const QStringList& arguments, const QString& executableFolder)
{
    // The folder is named as this very command line would use it, so that a user of an
    // installed program learns where the settings and the call log are. It is not created.
    const QString folder = QDir::toNativeSeparators(ProgramFolder::resolve(arguments, executableFolder));
    return QCoreApplication::translate(
               "CommandLineHelp",
               "用法：vornx [--data-dir 文件夹] [--region 电话号码] [--lang zh|en]\n"
               "维诺星系列－来电显示：监视电话线路，显示来电号码的地区和客户资料，并记录每一个来电。\n"
               "\n"
               "选项：\n"
               "  --data-dir 文件夹    程序文件夹（设置、区号表、通话记录、声音、帮助）；\n"
               "                       新的或空的文件夹会先复制进随程序提供的文件。\n"
               "                       也可由环境变量 VORNX_DATA_DIR 指定。\n"
               "  --region 电话号码    显示该号码所在的地区后退出，不打开窗口。\n"
               "  --lang zh|en         界面语言：中文或英文；不指定时随桌面的语言设置\n"
               "                       （中文环境或未设置时为中文，其他语言为英文）。\n"
               "  -h, --help           显示本帮助后退出。\n"
               "  --version            显示版本后退出。\n"
               "\n"
               "程序文件夹：%1\n")
        .arg(folder);
}

int CommandLineHelp::run(const QStringList& arguments)
{
    // Whichever of the two comes first is answered.
    QString text;
    for (qsizetype i = 1; i < arguments.size() && text.isEmpty(); ++i) {
        const QByteArray a = arguments.at(i).toUtf8();
        if (isHelp(a.constData()))
            text = helpText(arguments, QCoreApplication::applicationDirPath());
        else if (isVersion(a.constData()))
            text = versionText();
    }
    if (text.isEmpty())
        return 2;
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
