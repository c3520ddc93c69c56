#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>
#include <memory>

class QWidget;

// Every message box of the program goes through show(), so that tests can answer the
// boxes instead of blocking in a modal loop. With VORNX_MESSAGE_LOG set (end-to-end runs
// of the executable), boxes are appended to that file as "caption<TAB>text" lines and
// answered with their default button instead of being shown.
namespace MessageBoxes {

struct Box
{
    QMessageBox::Icon icon;
    QString caption;
    QString text;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton;
};

using Handler = std::function<QMessageBox::StandardButton(const Box&)>;

// Replaces the modal box (tests); an empty handler restores it.
void setHandler(Handler handler);

QMessageBox::StandardButton show(const Box& box, QWidget* parent = nullptr);

// The box show() puts on screen, before it is shown.
std::unique_ptr<QMessageBox> build(const Box& box, QWidget* parent = nullptr);

// The width a box needs so that the window system can show its whole caption beside the
// title bar's buttons.
int captionWidth(const QString& caption);

} // namespace MessageBoxes

// Notices of the windows, captioned "系统提示".
void ShowInfoBox(const QString& text);
void ShowWarningBox(const QString& text);
