#include "lookup/CallerWindow.h"

#include "lookup/CellDocument.h"
#include "lookup/HistoryWindow.h"
#include "lookup/CallSheetPrinter.h"
#include "platform/ui/HelpViewer.h"
#include "platform/ui/MessageBoxes.h"

#include <QAction>
#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QTableWidget>
#include <QToolButton>
#include <QUrl>

namespace {
CallerWindow::LineCommands g_line;
} // namespace

void CallerWindow::setLineCommands(LineCommands commands)
{
    g_line = std::move(commands);
}

void CallerWindow::ConnectCommands()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    N1 = PopupMenu1->addAction(tr("直接打印(&P)"), this, &CallerWindow::N1Click);
    N1->setObjectName(QStringLiteral("N1"));
    N2 = PopupMenu1->addAction(tr("打印预览(&U)"), this, &CallerWindow::N2Click);
    N2->setObjectName(QStringLiteral("N2"));
    S1 = PopupMenu1->addAction(tr("打印设置(&S)"), this, &CallerWindow::S1Click);
    S1->setObjectName(QStringLiteral("S1"));
    tbtnPrinter->setMenu(PopupMenu1);
    tbtnPrinter->setPopupMode(QToolButton::MenuButtonPopup);
    // Room for the arrow beside the caption.
    tbtnPrinter->setStyleSheet(
        QStringLiteral("QToolButton { padding-right: 12px; } QToolButton::menu-button { width: 12px; }"));

    connect(sbtnDial, &QToolButton::clicked, this, &CallerWindow::sbtnDialClick);
    connect(sbtnPickUp, &QToolButton::clicked, this, &CallerWindow::sbtnPickUpClick);
    connect(sbtnHangUp, &QToolButton::clicked, this, &CallerWindow::sbtnHangUpClick);
    connect(sbtnHestory, &QToolButton::clicked, this, &CallerWindow::sbtnHestoryClick);
    connect(sbtnDetailInfo, &QToolButton::clicked, this, &CallerWindow::sbtnDetailInfoClick);
    connect(sbtnNewCust, &QToolButton::clicked, this, &CallerWindow::sbtnNewCustClick);
    connect(tbtnPrinter, &QToolButton::clicked, this, &CallerWindow::tbtnPrinterClick);
    connect(sbtnHelp, &QToolButton::clicked, this, &CallerWindow::sbtnHelpClick);
    connect(StringGrid1, &QTableWidget::cellActivated, this, &CallerWindow::StringGrid1CellActivated);
}

void CallerWindow::sbtnDialClick()
{
    if (g_line.DialNumber)
        g_line.DialNumber(PhoneNo);
}

void CallerWindow::sbtnPickUpClick()
{
    if (g_line.PickUp)
        g_line.PickUp();
}

void CallerWindow::sbtnHangUpClick()
{
    if (g_line.HangUp)
        g_line.HangUp();
}

void CallerWindow::sbtnHestoryClick()
{
    // Owned by the caller window's owner, so that it outlives neither and hides with neither.
    ShowHistoryForm(parentWidget());
}

void CallerWindow::sbtnDetailInfoClick()
{
    if (QueryType != 1)
        return;
    if (MatchIndex < 0 || MatchIndex >= Matches.size()) {
        ShowInfoBox(tr("无详细信息!"));
        return;
    }
    AddrBook.ShowDetails(Matches.at(MatchIndex)->EntryID);
}

void CallerWindow::sbtnNewCustClick()
{
    if (QueryType != 1)
        return;
    // The number is offered for pasting into the new contact, but only in place of text:
    // a picture the user copied stays where it is.
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* content = clipboard->mimeData();
    if (content && content->hasText())
        clipboard->setText(PhoneNo);
    AddrBook.NewContact();
}

void CallerWindow::tbtnPrinterClick()
{
    N1Click();
}

void CallerWindow::N1Click()
{
    delete InfoPrtForm;
    InfoPrtForm = new CallSheetPrinter(StringGrid1, this);
    InfoPrtForm->Print();
}

void CallerWindow::N2Click()
{
    delete InfoPrtForm;
    InfoPrtForm = new CallSheetPrinter(StringGrid1, this);
    InfoPrtForm->Preview(this);
}

void CallerWindow::S1Click()
{
    if (!InfoPrtForm)
        InfoPrtForm = new CallSheetPrinter(StringGrid1, this);
    InfoPrtForm->PrinterSetup(this);
}

void CallerWindow::sbtnHelpClick()
{
    HelpViewer::showTopic(QStringLiteral("ShowCallInfo_index.htm"));
}

void CallerWindow::StringGrid1CellActivated(int row, int column)
{
    const QTableWidgetItem* cell = StringGrid1->item(row, column);
    if (!cell)
        return;
    if (const std::optional<QString> document = CellDocument::path(cell->text()))
        QDesktopServices::openUrl(QUrl::fromLocalFile(*document));
}
