#include "lookup/CallSheetPainter.h"

#include <QFont>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace {
constexpr double BandWidth = 718;
constexpr double TitleHeight = 40;
constexpr double HeaderHeight = 30;
constexpr double DetailHeight = 24;
constexpr double SummaryHeight = 40;

QFont songti(double points, bool bold = false)
{
    QFont font;
    // Where 宋体 itself is missing, another Chinese font, so that digits and letters come
    // narrow from the same font as the Chinese text.
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"),
                      QStringLiteral("AR PL UMing CN"), QStringLiteral("WenQuanYi Zen Hei"),
                      QStringLiteral("Noto Sans CJK SC")});
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// Draws in page-image pixels on a device of any resolution. Fonts keep their point sizes,
// which the device itself turns into its own pixels.
class Sheet
{
public:
    Sheet(QPagedPaintDevice* device, QPainter* painter)
        : m_device(device), m_painter(painter), m_scale(device->logicalDpiY() / 96.0),
          m_pageHeight(device->height() / m_scale)
    {
        QPen pen(Qt::black);
        pen.setWidthF(m_scale);
        m_painter->setPen(pen);
    }

    // Starts a new page when `height` more does not fit on this one.
    bool fits(double height) const { return m_top + height <= m_pageHeight || m_top == 0; }
    void newPage()
    {
        m_device->newPage();
        m_top = 0;
    }
    void advance(double height) { m_top += height; }

    // The height that `text` takes when wrapped at `width`.
    double textHeight(double width, const QString& text, const QFont& font) const
    {
        m_painter->save();
        m_painter->setFont(font);
        const QRectF bounds = m_painter->boundingRect(QRectF(0, 0, width * m_scale, 1e6),
                                                      Qt::AlignLeft | Qt::TextWordWrap, text);
        m_painter->restore();
        return bounds.height() / m_scale;
    }

    void frame(double left, double top, double right, double height)
    {
        m_painter->drawRect(rect(left, top, right - left, height));
    }
    void line(double left, double right)
    {
        m_painter->drawLine(QPointF(left * m_scale, m_top * m_scale), QPointF(right * m_scale, m_top * m_scale));
    }
    void text(double left, double top, double width, double height, const QString& text, const QFont& font,
              int flags = Qt::AlignLeft | Qt::AlignVCenter, const QColor& color = Qt::black)
    {
        m_painter->save();
        m_painter->setFont(font);
        m_painter->setPen(color);
        m_painter->drawText(rect(left, top, width, height), flags, text);
        m_painter->restore();
    }

private:
    QRectF rect(double left, double top, double width, double height) const
    {
        return QRectF(left * m_scale, (m_top + top) * m_scale, width * m_scale, height * m_scale);
    }

    QPagedPaintDevice* m_device;
    QPainter* m_painter;
    double m_scale;
    double m_pageHeight;
    double m_top = 0;
};

void columnHeader(Sheet& sheet)
{
    const QFont font = songti(10, true);
    sheet.frame(0, 6, 189, HeaderHeight - 6);
    sheet.frame(188, 6, BandWidth, HeaderHeight - 6);
    sheet.text(14, 6, 170, 25, CallSheetPainter::tr("项目"), font);
    sheet.text(198, 6, 510, 25, CallSheetPainter::tr("客户资料"), font);
    sheet.advance(HeaderHeight);
}
} // namespace

bool CallSheetPainter::paint(QPagedPaintDevice* device, const QList<CallSheet::Record>& records,
                             const QDateTime& printedAt)
{
    QPainter painter;
    if (!painter.begin(device))
        return false;
    Sheet sheet(device, &painter);

    sheet.text(291, 8, 145, 30, tr("  来电记录单  "), songti(14, true), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip);
    sheet.advance(TitleHeight);
    columnHeader(sheet);

    const QFont detail = songti(9);
    const int wrapped = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;
    for (const CallSheet::Record& record : records) {
        // A value holds up to two lines of its box; the row grows to show both.
        const double height = std::max(DetailHeight, std::max(sheet.textHeight(163, record.Field1, detail),
                                                              sheet.textHeight(507, record.Field2, detail)) +
                                                         4);
        if (!sheet.fits(height)) {
            sheet.newPage();
            columnHeader(sheet);
        }
        // Each row's boxes end where the next row's begin, so that neighbours share a line.
        sheet.frame(0, 0, 189, height);
        sheet.frame(188, 0, BandWidth, height);
        sheet.text(14, 0, 163, height, record.Field1, detail, wrapped);
        sheet.text(200, 0, 507, height, record.Field2, detail, wrapped);
        sheet.advance(height);
    }

    if (!sheet.fits(SummaryHeight))
        sheet.newPage();
    sheet.line(0, BandWidth);
    const QFont stamp = songti(11);
    const int free = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip;
    sheet.text(505, 8, 79, 24, tr("打印时间："), stamp, free);
    sheet.text(584, 8, 134, 24, printedAt.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")), stamp, free);
    sheet.text(8, 8, 300, 24, tr("维诺星系列－来电显示  "), songti(9), free, QColor(Qt::lightGray));
    return painter.end();
}
