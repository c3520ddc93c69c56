#include "app/Banner.h"

#include <QCoreApplication>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

QPixmap PaintBanner(int width, int height)
{
    QPixmap pixmap(width, height);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, width, height);
    sky.setColorAt(0.0, QColor(0x0b, 0x3d, 0x91));
    sky.setColorAt(1.0, QColor(0x1e, 0x88, 0xe5));
    p.fillRect(pixmap.rect(), sky);

    // Rings spreading from a handset: the line is ringing.
    const QPointF centre(height * 0.55, height * 0.5);
    p.setBrush(Qt::NoBrush);
    for (int i = 1; i <= 4; ++i) {
        p.setPen(QPen(QColor(255, 255, 255, 150 - i * 30), 2));
        p.drawEllipse(centre, height * 0.18 * i + 4, height * 0.18 * i + 4);
    }
    QPainterPath handset;
    const qreal s = height * 0.28;
    handset.moveTo(centre.x() - s, centre.y() - s * 0.55);
    handset.cubicTo(centre.x() - s * 0.4, centre.y() - s * 1.1, centre.x() + s * 0.4, centre.y() - s * 1.1,
                    centre.x() + s, centre.y() - s * 0.55);
    handset.lineTo(centre.x() + s * 0.7, centre.y() + s * 0.1);
    handset.lineTo(centre.x() + s * 0.35, centre.y() - s * 0.15);
    handset.lineTo(centre.x() - s * 0.35, centre.y() - s * 0.15);
    handset.lineTo(centre.x() - s * 0.7, centre.y() + s * 0.1);
    handset.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(handset);
    p.drawRoundedRect(QRectF(centre.x() - s * 0.6, centre.y() + s * 0.05, s * 1.2, s * 0.8), 4, 4);

    QFont title(QStringLiteral("宋体"));
    title.setPixelSize(height * 30 / 98);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    const QRectF text(height * 1.15, 0, width - height * 1.2, height * 0.62);
    p.drawText(text, Qt::AlignLeft | Qt::AlignBottom, QCoreApplication::translate("Banner", "维诺星来电显示"));
    QFont sub(QStringLiteral("Sans"));
    sub.setPixelSize(height * 13 / 98);
    p.setFont(sub);
    p.setPen(QColor(0xbb, 0xde, 0xfb));
    p.drawText(QRectF(text.left(), height * 0.66, text.width(), height * 0.3), Qt::AlignLeft | Qt::AlignTop,
               QStringLiteral("Caller ID  V3.0"));
    return pixmap;
}
