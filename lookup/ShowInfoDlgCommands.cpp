#include "lookup/ShowInfoDlg.h"

#include "lookup/CellDocument.h"
#include "lookup/HistoryForm.h"
#include "lookup/InfoPrtForm.h"
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
TShowInfoDlg::LineCommands g_line;
} // namespace

void TShowInfoDlg::setLineCommands(LineCommands commands)
{
    g_line = std::move(commands);
}

void TShowInfoDlg::ConnectCommands()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    N1 = PopupMenu1->addAction(tr("直接打印(&P)"), this, &TShowInfoDlg::N1Click);
    N1->setObjectName(QStringLiteral("N1"));
    N2 = PopupMenu1->addAction(tr("打印预览(&U)"), this, &TShowInfoDlg::N2Click);
    N2->setObjectName(QStringLiteral("N2"));
    S1 = PopupMenu1->addAction(tr("打印设置(&S)"), this, &TShowInfoDlg::S1Click);
    S1->setObjectName(QStringLiteral("S1"));
    tbtnPrinter->setMenu(PopupMenu1);
    tbtnPrinter->setPopupMode(QToolButton::MenuButtonPopup);
    // Room for the arrow beside the caption.
    tbtnPrinter->setStyleSheet(
        QStringLiteral("QToolButton { padding-right: 12px; } QToolButton::menu-button { width: 12px; }"));

    connect(sbtnDial, &QToolButton::clicked, this, &TShowInfoDlg::sbtnDialClick);
    connect(sbtnPickUp, &QToolButton::clicked, this, &TShowInfoDlg::sbtnPickUpClick);
    connect(sbtnHangUp, &QToolButton::clicked, this, &TShowInfoDlg::sbtnHangUpClick);
    connect(sbtnHestory, &QToolButton::clicked, this, &TShowInfoDlg::sbtnHestoryClick);
    connect(sbtnDetailInfo, &QToolButton::clicked, this, &TShowInfoDlg::sbtnDetailInfoClick);
    connect(sbtnNewCust, &QToolButton::clicked, this, &TShowInfoDlg::sbtnNewCustClick);
    connect(tbtnPrinter, &QToolButton::clicked, this, &TShowInfoDlg::tbtnPrinterClick);
    connect(sbtnHelp, &QToolButton::clicked, this, &TShowInfoDlg::sbtnHelpClick);
    connect(StringGrid1, &QTableWidget::cellActivated, this, &TShowInfoDlg::StringGrid1CellActivated);
}

void TShowInfoDlg::sbtnDialClick()
{
    if (g_line.DialNumber)
        g_line.DialNumber(PhoneNo);
}

void TShowInfoDlg::sbtnPickUpClick()
{
    if (g_line.PickUp)
        g_line.PickUp();
}

void TShowInfoDlg::sbtnHangUpClick()
{
    if (g_line.HangUp)
        g_line.HangUp();
}

void TShowInfoDlg::sbtnHestoryClick()
{
    // Owned by the caller window's owner, so that it outlives neither and hides with neither.
    ShowHistoryForm(parentWidget());
}

void TShowInfoDlg::sbtnDetailInfoClick()
{
    if (QueryType != 1)
        return;
    if (MatchIndex < 0 || MatchIndex >= Matches.size()) {
        ShowInfoBox(tr("无详细信息!"));
        return;
    }
    AddrBook.ShowDetails(Matches.at(MatchIndex)->EntryID);
}

void TShowInfoDlg::sbtnNewCustClick()
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

void TShowInfoDlg::tbtnPrinterClick()
{
    N1Click();
}

void TShowInfoDlg::N1Click()
{
    delete InfoPrtForm;
    InfoPrtForm = new TInfoPrtForm(StringGrid1, this);
    InfoPrtForm->Print();
}

void TShowInfoDlg::N2Click()
{
    delete InfoPrtForm;
    InfoPrtForm = new TInfoPrtForm(StringGrid1, this);
    InfoPrtForm->Preview(this);
}

void TShowInfoDlg::S1Click()
{
    if (!InfoPrtForm)
        InfoPrtForm = new TInfoPrtForm(StringGrid1, this);
    InfoPrtForm->PrinterSetup(this);
}

void TShowInfoDlg::sbtnHelpClick()
{
    HelpViewer::showTopic(QStringLiteral("ShowCallInfo_index.htm"));
}

void TShowInfoDlg::StringGrid1CellActivated(int row, int column)
{
    const QTableWidgetItem* cell = StringGrid1->item(row, column);
    if (!cell)
        return;
    if (const std::optional<QString> document = CellDocument::path(cell->text()))
        QDesktopServices::openUrl(QUrl::fromLocalFile(*document));
}
