#include "app/LoadingNotice.h"

#include "platform/ui/WindowPlacement.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QTimer>

namespace {
// A magnifying glass that sweeps over a page, 16 by 16, one step every 100 ms.
class SearchAnimation final : public QWidget
{
public:
    explicit SearchAnimation(QWidget* parent) : QWidget(parent)
    {
        setFixedSize(16, 16);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            m_step = (m_step + 1) % 8;
            update();
        });
        m_timer.start(100);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QColor(90, 90, 90));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(1.5, 0.5, 10, 13));
        p.setPen(QColor(150, 150, 150));
        for (int y = 3; y <= 11; y += 2)
            p.drawLine(QPointF(3.5, y), QPointF(9.5, y));
        // The glass walks a small circle over the page.
        static const QPointF path[8] = {{6, 5}, {8, 5.5}, {9, 7}, {8, 8.5}, {6, 9}, {4, 8.5}, {3, 7}, {4, 5.5}};
        const QPointF c = path[m_step];
        p.setPen(QPen(QColor(120, 70, 20), 2));
        p.drawLine(c + QPointF(2.2, 2.2), c + QPointF(5, 5));
        p.setPen(QPen(QColor(30, 60, 140), 1.2));
        p.setBrush(QColor(180, 220, 255, 180));
        p.drawEllipse(c, 2.8, 2.8);
    }

private:
    QTimer m_timer;
    int m_step = 0;
};
} // namespace

LoadingNotice::LoadingNotice(QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(268, 47);
    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(14, 4, 14, 4);
    row->addWidget(new SearchAnimation(panel));
    row->addSpacing(10);
    row->addWidget(new QLabel(tr("正在加载参数..."), panel));
    row->addStretch();
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(panel);
}

void LoadingNotice::showNow()
{
    WindowPlacement::centre(this);
    show();
    repaint();
}
