#include "lookup/CallSheetPrinter.h"

#include "lookup/CallSheetPainter.h"
#include "platform/ui/MessageBoxes.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>

CallSheetPrinter::CallSheetPrinter(const QList<CallSheet::Row>& rows, QObject* parent)
    : QObject(parent), m_records(CallSheet::records(rows))
{
}

CallSheetPrinter::~CallSheetPrinter() = default;

QPrinter& CallSheetPrinter::printer()
{
    static QPrinter* report = nullptr;
    if (!report) {
        report = new QPrinter(QPrinter::HighResolution);
        report->setDocName(tr("来电记录单打印"));
        report->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                          QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        report->setCopyCount(1);
        // Gone with the application, before the printing system it may hold.
        qAddPostRoutine([] {
            delete report;
            report = nullptr;
        });
    }
    return *report;
}

bool CallSheetPrinter::paint(QPrinter* target) const
{
    return CallSheetPainter::paint(target, m_records, QDateTime::currentDateTime());
}

bool CallSheetPrinter::print()
{
    if (paint(&printer()))
        return true;
    MessageBoxes::show({QMessageBox::Critical, tr("错误提示"), tr("打印机不存在或未就绪，未能打印！"), QMessageBox::Ok,
                        QMessageBox::Ok});
    return false;
}

void CallSheetPrinter::preview(QWidget* parent)
{
    QPrintPreviewDialog preview(&printer(), parent);
    preview.setWindowTitle(tr("来电记录单打印"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, &CallSheetPrinter::paint);
    preview.exec();
}

bool CallSheetPrinter::setUpPrinter(QWidget* parent)
{
    QPrintDialog dialog(&printer(), parent);
    dialog.setWindowTitle(tr("打印设置"));
    // This dialog only chooses; printing is the other commands' job.
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>())
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(tr("确定"));
    return dialog.exec() == QDialog::Accepted;
}
