#include "platform/ui/WindowPlacement.h"

#include <QCursor>
#include <QEvent>
#include <QApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {
class ShowFilter final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The show event comes before the window is mapped, so it opens in its place.
        if (event->type() == QEvent::Show && !event->spontaneous())
            WindowPlacement::centre(static_cast<QWidget*>(watched));
        return false;
    }
};

const QWidget* onScreen(const QWidget* widget)
{
    if (!widget)
        return nullptr;
    const QWidget* window = widget->window();
    return window->isVisible() && !window->isMinimized() ? window : nullptr;
}
} // namespace

QRect WindowPlacement::centredInside(const QRect& area, const QSize& frameSize)
{
    const QSize size = frameSize.boundedTo(area.size());
    QRect frame(QPoint(0, 0), size);
    frame.moveCenter(area.center());
    // An odd leftover pixel must not push the frame past the area's edge.
    frame.moveLeft(std::clamp(frame.left(), area.left(), area.right() - size.width() + 1));
    frame.moveTop(std::clamp(frame.top(), area.top(), area.bottom() - size.height() + 1));
    return frame;
}

QScreen* WindowPlacement::screenFor(const QWidget* window)
{
    const QWidget* reference = onScreen(window->parentWidget());
    if (!reference) {
        const QWidget* active = onScreen(QApplication::activeWindow());
        if (active != window->window())
            reference = active;
    }
    if (reference)
        return reference->screen();
    if (QScreen* underMouse = QApplication::screenAt(QCursor::pos()))
        return underMouse;
    return QApplication::primaryScreen();
}

void WindowPlacement::centre(QWidget* window)
{
    QScreen* screen = screenFor(window);
    if (!screen)
        return;
    // Before the first mapping the frame is not known: the window's own size stands for it.
    const QRect frame = window->frameGeometry();
    const QMargins margins(window->geometry().left() - frame.left(), window->geometry().top() - frame.top(),
                           frame.right() - window->geometry().right(), frame.bottom() - window->geometry().bottom());
    const QRect placed = centredInside(screen->availableGeometry(), frame.size());
    if (placed.size() != frame.size())
        window->resize(placed.marginsRemoved(margins).size());
    window->move(placed.topLeft());
}

void WindowPlacement::centreWhenShown(QWidget* window)
{
    window->installEventFilter(new ShowFilter(window));
}
