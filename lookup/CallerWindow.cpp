#include "lookup/CallerWindow.h"

#include "lookup/CallerLookup.h"
#include "lookup/LineCommands.h"
#include "platform/ui/MessageBoxes.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QShowEvent>
#include <QStandardItemModel>
#include <QStyle>
#include <QTableView>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
constexpr int CollapsedHeight = 430;
constexpr int ExpandedHeight = 600;
// Title bar and borders: the outer heights above hold a client area 27 pixels lower.
constexpr int FrameHeight = 27;
constexpr int ClientWidth = 597;

QFrame* panel(QWidget* parent, const char* name, int height)
{
    auto* frame = new QFrame(parent);
    frame->setObjectName(QLatin1String(name));
    if (height > 0)
        frame->setFixedHeight(height);
    return frame;
}
} // namespace

CallerWindow::CallerWindow(CallerLookup& lookup, LineCommands& line, QWidget* parent)
    : QDialog(parent), m_lookup(&lookup), m_line(line), m_contactDialogs(this), m_record(lookup.blankRecord())
{
    buildWindow();
    fillRows();
    // The address book has no business records.
    if (m_lookup->source() == CallerRecord::Source::AddressBook)
        m_moreButton->setEnabled(false);
}

CallerWindow::~CallerWindow() = default;

void CallerWindow::setLookup(CallerLookup& lookup)
{
    m_lookup = &lookup;
    m_moreButton->setEnabled(m_lookup->source() != CallerRecord::Source::AddressBook);
}

void CallerWindow::buildWindow()
{
    setWindowTitle(QStringLiteral("客户资料"));
    setFont(QFont(QStringLiteral("宋体"), 9));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    QFrame* banner = panel(this, "bannerPanel", 41);
    banner->setAutoFillBackground(true);
    banner->setPalette(QPalette(Qt::white));
    auto* band = new QHBoxLayout(banner);
    band->setContentsMargins(12, 0, 12, 0);
    band->addWidget(new QLabel(QStringLiteral("如果有多条相关记录，可以用<上一条><下一条>查看。    "), banner));
    band->addStretch();
    auto* picture = new QLabel(banner);
    picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    band->addWidget(picture);
    layout->addWidget(banner);

    QFrame* recordPanel = panel(this, "recordPanel", 320);
    auto* gridBox = new QVBoxLayout(recordPanel);
    gridBox->setContentsMargins(8, 15, 8, 15);
    m_recordGrid = new QTableWidget(2, 2, recordPanel);
    m_recordGrid->setObjectName(QStringLiteral("recordGrid"));
    m_recordGrid->setFixedSize(580, 290);
    m_recordGrid->setHorizontalHeaderLabels({QStringLiteral("项    目"), QStringLiteral("资    料")});
    m_recordGrid->setColumnWidth(0, 80);
    m_recordGrid->setColumnWidth(1, 450);
    m_recordGrid->verticalHeader()->hide();
    m_recordGrid->verticalHeader()->setDefaultSectionSize(24);
    m_recordGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_recordGrid->setWordWrap(false);
    gridBox->addWidget(m_recordGrid);
    layout->addWidget(recordPanel);

    QFrame* toolPanel = panel(this, "toolPanel", 30);
    toolPanel->setFrameShape(QFrame::StyledPanel);
    auto* barBox = new QHBoxLayout(toolPanel);
    barBox->setContentsMargins(0, 0, 0, 0);
    auto* toolBar = new QToolBar(toolPanel);
    toolBar->setObjectName(QStringLiteral("toolBar"));
    toolBar->setIconSize(QSize(16, 16));
    // Every command fits in the window's width, none behind an overflow arrow.
    toolBar->setStyleSheet(
        QStringLiteral("QToolBar { border: 0px; padding: 0px; } QToolButton { padding: 0px; margin: 0px; } "
                       "QToolBar::separator { width: 5px; }"));
    toolBar->layout()->setSpacing(0);
    barBox->addWidget(toolBar);
    auto button = [this, toolBar](const char* name, const QString& caption, const QString& hint,
                                  QStyle::StandardPixmap icon) {
        auto* b = new QToolButton(toolBar);
        b->setObjectName(QLatin1String(name));
        b->setAutoRaise(true);
        b->setText(caption);
        b->setToolTip(hint);
        if (icon != QStyle::SP_CustomBase)
            b->setIcon(style()->standardIcon(icon));
        b->setToolButtonStyle(caption.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
        toolBar->addWidget(b);
        return b;
    };
    m_previousButton =
        button("previousButton", QStringLiteral("上一条"), QStringLiteral("上一条记录 "), QStyle::SP_ArrowBack);
    m_nextButton = button("nextButton", QString(), QStringLiteral("下一条(&N)"), QStyle::SP_ArrowForward);
    toolBar->addSeparator();
    m_dialButton = button("dialButton", QStringLiteral("回拨"), QStringLiteral("回拨(&R)"), QStyle::SP_DialogYesButton);
    m_pickUpButton =
        button("pickUpButton", QStringLiteral("接听"), QStringLiteral("接听电话"), QStyle::SP_DialogApplyButton);
    m_hangUpButton = button("hangUpButton", QString(), QStringLiteral("挂断电话"), QStyle::SP_DialogCancelButton);
    toolBar->addSeparator();
    m_historyButton = button("historyButton", QStringLiteral("历史记录"), QStringLiteral("历史来电(&H)"),
                             QStyle::SP_FileDialogDetailedView);
    toolBar->addSeparator();
    m_detailsButton = button("detailsButton", QStringLiteral("详细资料"), QStringLiteral("详细信息(&M)"),
                             QStyle::SP_FileDialogInfoView);
    m_newContactButton = button("newContactButton", QStringLiteral("添加"), QStringLiteral("添加新客户资料"),
                                QStyle::SP_FileDialogNewFolder);
    toolBar->addSeparator();
    m_printButton = button("printButton", QStringLiteral("打印"), QStringLiteral("打  印(&P)"), QStyle::SP_DriveFDIcon);
    toolBar->addSeparator();
    m_moreButton = button("moreButton", QStringLiteral("↓"), QStringLiteral("更多信息..."), QStyle::SP_CustomBase);
    QFont arrow(QStringLiteral("宋体"));
    arrow.setPixelSize(14);
    arrow.setBold(true);
    arrow.setUnderline(true);
    m_moreButton->setFont(arrow);
    toolBar->addSeparator();
    m_helpButton = button("helpButton", QString(), QStringLiteral("帮助"), QStyle::SP_MessageBoxQuestion);
    layout->addWidget(toolPanel);

    m_businessPanel = panel(this, "businessPanel", 0);
    auto* bizBox = new QVBoxLayout(m_businessPanel);
    bizBox->setContentsMargins(7, 5, 8, 5);
    m_businessGrid = new QTableView(m_businessPanel);
    m_businessGrid->setObjectName(QStringLiteral("businessGrid"));
    m_businessGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_businessGrid->verticalHeader()->hide();
    m_businessGrid->verticalHeader()->setDefaultSectionSize(22);
    m_businessModel = new QStandardItemModel(this);
    m_businessGrid->setModel(m_businessModel);
    bizBox->addWidget(m_businessGrid);
    layout->addWidget(m_businessPanel, 1);

    connect(m_previousButton, &QToolButton::clicked, this, &CallerWindow::stepBack);
    connect(m_nextButton, &QToolButton::clicked, this, &CallerWindow::stepForward);
    connect(m_moreButton, &QToolButton::clicked, this, &CallerWindow::toggleBusinessRecords);
    buildCommands();

    setOuterHeight(CollapsedHeight);
}

void CallerWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Restored from minimised by the window system: it stays where the user left it.
    if (event->spontaneous())
        return;
    // Centred on the screen, not over the main window, which is usually hidden in the tray.
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, m_outerHeight / 2));
    }
}

void CallerWindow::showRecord(const CallerRecord& record)
{
    m_record = record;
    fillRows();
    const bool addressBook = m_record.source() == CallerRecord::Source::AddressBook;
    m_detailsButton->setEnabled(addressBook);
    m_newContactButton->setEnabled(addressBook);
    setOuterHeight(CollapsedHeight);
    updateStepButtons();
}

void CallerWindow::fillRows()
{
    const QList<CallerRecord::Row>& rows = m_record.rows();
    m_recordGrid->setRowCount(int(rows.size()));
    for (int row = 0; row < rows.size(); ++row) {
        m_recordGrid->setItem(row, 0, new QTableWidgetItem(rows.at(row).label));
        m_recordGrid->setItem(row, 1, new QTableWidgetItem(rows.at(row).value));
    }
}

void CallerWindow::updateStepButtons()
{
    // Without a source there is nothing to step through; the buttons are left as they are.
    if (m_record.source() == CallerRecord::Source::None)
        return;
    m_nextButton->setEnabled(m_record.canStepForward());
    m_previousButton->setEnabled(m_record.canStepBack());
}

void CallerWindow::stepBack()
{
    m_record.stepBack();
    updateStepButtons();
    fillRows();
}

void CallerWindow::stepForward()
{
    m_record.stepForward();
    updateStepButtons();
    fillRows();
}

void CallerWindow::toggleBusinessRecords()
{
    if (m_outerHeight / 100 != CollapsedHeight / 100) {
        setOuterHeight(CollapsedHeight);
        m_moreButton->setText(QStringLiteral("↓"));
        return;
    }
    QString error;
    const std::optional<BusinessRecords> records = m_lookup->businessRecords(m_record.number(), &error);
    if (!records) {
        // A failed statement leaves the grid empty; a number that makes no statement leaves it as it was.
        if (!error.isEmpty()) {
            m_businessModel->clear();
            ShowInfoBox(error);
        }
        return;
    }
    m_businessModel->clear();
    m_businessModel->setColumnCount(int(records->fields.size()));
    m_businessModel->setHorizontalHeaderLabels(records->fields);
    for (const QStringList& values : records->rows) {
        QList<QStandardItem*> items;
        for (const QString& value : values)
            items << new QStandardItem(value);
        m_businessModel->appendRow(items);
    }
    setOuterHeight(ExpandedHeight);
    m_moreButton->setText(QStringLiteral("↑"));
}

void CallerWindow::showNotices(const QList<CallerRecord::Notice>& notices)
{
    for (const CallerRecord::Notice& notice : notices) {
        switch (notice.kind) {
        case CallerRecord::Notice::Error:
            MessageBoxes::show({QMessageBox::Critical, QStringLiteral("错误提示"), notice.text, QMessageBox::Ok,
                                QMessageBox::Ok});
            break;
        case CallerRecord::Notice::Information:
            ShowInfoBox(notice.text);
            break;
        case CallerRecord::Notice::Warning:
            ShowWarningBox(notice.text);
            break;
        }
    }
}

QString CallerWindow::rowText(int row) const
{
    const QTableWidgetItem* item = m_recordGrid->item(row - 1, 1);
    return item ? item->text() : QString();
}

void CallerWindow::setOuterHeight(int height)
{
    m_outerHeight = height;
    m_businessPanel->setVisible(height == ExpandedHeight);
    setFixedSize(ClientWidth, height - FrameHeight);
}
