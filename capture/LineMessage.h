#pragma once

#include <QByteArray>
#include <QEvent>

// The three messages by which the capture paths report a call to the main window. They
// are posted (never sent) with QCoreApplication::postEvent, so the poster never runs the
// main window's handling from inside its own callback.
enum LineMessageId : int {
    WM_CALLER_NUMBER = 32868,
    WM_LINE_RING = 32869,
    WM_RING_DONE = 32870,
};

class LineMessage final : public QEvent
{
public:
    // `text` is the message's own copy of the number text (WM_CALLER_NUMBER); the poster's
    // buffer may change before the main window handles the event.
    LineMessage(LineMessageId id, QByteArray text, qintptr lParam)
        : QEvent(QEvent::Type(id)), m_text(std::move(text)), m_lParam(lParam)
    {
    }

    LineMessageId id() const { return LineMessageId(type()); }
    const QByteArray& text() const { return m_text; }
    qintptr lParam() const { return m_lParam; }

    static bool isLineMessage(const QEvent* e)
    {
        return e->type() == QEvent::Type(WM_CALLER_NUMBER) || e->type() == QEvent::Type(WM_LINE_RING) ||
               e->type() == QEvent::Type(WM_RING_DONE);
    }

private:
    QByteArray m_text;
    qintptr m_lParam;
};
