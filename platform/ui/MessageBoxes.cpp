#include "platform/ui/MessageBoxes.h"

#include <QCoreApplication>
#include <QFile>

namespace {
MessageBoxes::Handler g_handler;

QMessageBox::StandardButton logged(const MessageBoxes::Box& box, const QString& logPath)
{
    QFile log(logPath);
    if (log.open(QIODevice::Append | QIODevice::Text)) {
        QString text = box.text;
        text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
        log.write((box.caption + QLatin1Char('\t') + text + QLatin1Char('\n')).toUtf8());
    }
    if (box.defaultButton != QMessageBox::NoButton)
        return box.defaultButton;
    return box.buttons.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::Yes;
}
} // namespace

void MessageBoxes::setHandler(Handler handler)
{
    g_handler = std::move(handler);
}

QMessageBox::StandardButton MessageBoxes::show(const Box& box, QWidget* parent)
{
    if (g_handler)
        return g_handler(box);
    const QString logPath = qEnvironmentVariable("VORNX_MESSAGE_LOG");
    if (!logPath.isEmpty())
        return logged(box, logPath);
    QMessageBox mb(box.icon, box.caption, box.text, box.buttons, parent);
    if (box.defaultButton != QMessageBox::NoButton)
        mb.setDefaultButton(box.defaultButton);
    return QMessageBox::StandardButton(mb.exec());
}

void ShowInfoBox(const QString& text)
{
    MessageBoxes::show({QMessageBox::Information, QCoreApplication::translate("MessageBoxes", "系统提示"), text,
                        QMessageBox::Ok, QMessageBox::Ok});
}

void ShowWarningBox(const QString& text)
{
    MessageBoxes::show({QMessageBox::Warning, QCoreApplication::translate("MessageBoxes", "系统提示"), text,
                        QMessageBox::Ok, QMessageBox::Ok});
}
