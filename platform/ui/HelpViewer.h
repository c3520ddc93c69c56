#pragma once

#include <QString>

class QTextBrowser;

// The program's help: HTML pages in the "help" folder of the program folder, one page per
// topic ("abstract_index.htm", "ShowCallInfo_index.htm"), shown in a help window of the
// program that is created on first use and reused. Links to other pages of the folder stay
// in the window; web and mail links go to the desktop's programs.
namespace HelpViewer {

// Shows the topic, or reports "对不起，打开帮助文件出错！" (captioned "错误提示") and returns
// false when the page is missing or unreadable.
bool showTopic(const QString& topic);

// The help window's page view once it exists (tests), else null.
QTextBrowser* browser();

} // namespace HelpViewer
