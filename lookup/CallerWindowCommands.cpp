#include "lookup/CallerWindow.h"

#include "lookup/CallSheetPrinter.h"
#include "lookup/CallerLookup.h"
#include "lookup/CellDocument.h"
#include "lookup/LineCommands.h"
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

void CallerWindow::buildCommands()
{
    m_printMenu = new QMenu(this);
    m_printMenu->setObjectName(QStringLiteral("printMenu"));
    m_printMenu->addAction(tr("直接打印(&P)"), this, &CallerWindow::printSheet)
        ->setObjectName(QStringLiteral("printAction"));
    m_printMenu->addAction(tr("打印预览(&U)"), this, &CallerWindow::previewSheet)
        ->setObjectName(QStringLiteral("previewAction"));
    m_printMenu->addAction(tr("打印设置(&S)"), this, &CallerWindow::setUpPrinter)
        ->setObjectName(QStringLiteral("printSetupAction"));
    m_printButton->setMenu(m_printMenu);
    m_printButton->setPopupMode(QToolButton::MenuButtonPopup);
    // Room for the arrow beside the caption.
    m_printButton->setStyleSheet(
        QStringLiteral("QToolButton { padding-right: 12px; } QToolButton::menu-button { width: 12px; }"));

    connect(m_dialButton, &QToolButton::clicked, this, &CallerWindow::dial);
    connect(m_pickUpButton, &QToolButton::clicked, this, &CallerWindow::pickUp);
    connect(m_hangUpButton, &QToolButton::clicked, this, &CallerWindow::hangUp);
    connect(m_historyButton, &QToolButton::clicked, this, &CallerWindow::historyRequested);
    connect(m_detailsButton, &QToolButton::clicked, this, &CallerWindow::showContactDetails);
    connect(m_newContactButton, &QToolButton::clicked, this, &CallerWindow::addContact);
    connect(m_printButton, &QToolButton::clicked, this, &CallerWindow::printSheet);
    connect(m_helpButton, &QToolButton::clicked, this, &CallerWindow::showHelp);
    connect(m_recordGrid, &QTableWidget::cellActivated, this, &CallerWindow::openCellDocument);
}

void CallerWindow::dial()
{
    // The shown number may have lost the long-distance prefix; the line needs it.
    m_line.dial(m_record.dialNumber());
}

void CallerWindow::pickUp()
{
    m_line.pickUp();
}

void CallerWindow::hangUp()
{
    m_line.hangUp();
}

void CallerWindow::showContactDetails()
{
    if (m_record.source() != CallerRecord::Source::AddressBook)
        return;
    if (!m_record.currentContact()) {
        ShowInfoBox(tr("无详细信息!"));
        return;
    }
    m_lookup->showContactDetails(m_record, m_contactDialogs);
}

void CallerWindow::addContact()
{
    if (m_record.source() != CallerRecord::Source::AddressBook)
        return;
    // The number is offered for pasting into the new contact, but only in place of text:
    // a picture the user copied stays where it is.
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* content = clipboard->mimeData();
    if (content && content->hasText())
        clipboard->setText(m_record.number());
    m_lookup->newContact(m_contactDialogs);
}

void CallerWindow::makeSheet()
{
    // The grid's first row is the record's row 1; its header is left out.
    QList<CallSheet::Row> rows;
    for (int row = 0; row < m_recordGrid->rowCount(); ++row) {
        const QTableWidgetItem* label = m_recordGrid->item(row, 0);
        const QTableWidgetItem* value = m_recordGrid->item(row, 1);
        rows.append({label ? label->text() : QString(), value ? value->text() : QString()});
    }
    delete m_sheetPrinter;
    m_sheetPrinter = new CallSheetPrinter(rows, this);
}

void CallerWindow::printSheet()
{
    makeSheet();
    m_sheetPrinter->print();
}

void CallerWindow::previewSheet()
{
    makeSheet();
    m_sheetPrinter->preview(this);
}

void CallerWindow::setUpPrinter()
{
    // The settings belong to the report's printer, whatever sheet is made next.
    if (!m_sheetPrinter)
        makeSheet();
    m_sheetPrinter->setUpPrinter(this);
}

void CallerWindow::showHelp()
{
    HelpViewer::showTopic(QStringLiteral("ShowCallInfo_index.htm"));
}

void CallerWindow::openCellDocument(int row, int column)
{
    const QTableWidgetItem* cell = m_recordGrid->item(row, column);
    if (!cell)
        return;
    if (const std::optional<QString> document = CellDocument::path(cell->text()))
        QDesktopServices::openUrl(QUrl::fromLocalFile(*document));
}
