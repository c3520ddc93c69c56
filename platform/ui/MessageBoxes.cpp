#include "platform/ui/MessageBoxes.h"

#include <QApplication>
#include <QFile>
#include <QFontMetrics>
#include <QGridLayout>

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
    return QMessageBox::StandardButton(build(box, parent)->exec());
}

std::unique_ptr<QMessageBox> MessageBoxes::build(const Box& box, QWidget* parent)
{
    auto mb = std::make_unique<QMessageBox>(box.icon, box.caption, box.text, box.buttons, parent);
    if (box.defaultButton != QMessageBox::NoButton)
        mb->setDefaultButton(box.defaultButton);
    // A short text makes a narrow box, and window managers cut a title wider than its window
    // ("系… 示"). The box sizes itself from its layout, so the caption's room goes in there.
    if (auto* grid = qobject_cast<QGridLayout*>(mb->layout()))
        grid->addItem(new QSpacerItem(captionWidth(box.caption), 0, QSizePolicy::Fixed, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    return mb;
}

int MessageBoxes::captionWidth(const QString& caption)
{
    // Title fonts are commonly a bold, somewhat larger version of the desktop font; the
    // window menu's icon and three buttons take about a title bar's height each, besides the margins.
    QFont title = QApplication::font();
    title.setBold(true);
    if (title.pointSizeF() > 0)
        title.setPointSizeF(title.pointSizeF() * 1.25);
    else
        title.setPixelSize(title.pixelSize() * 5 / 4);
    const QFontMetrics metrics(title);
    return metrics.horizontalAdvance(caption) + 6 * metrics.height();
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
