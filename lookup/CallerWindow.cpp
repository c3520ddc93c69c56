#include "lookup/CallerWindow.h"

#include "lookup/CallerLookup.h"
#include "lookup/LineCommands.h"
#include "platform/ProgramFolder.h"
#include "platform/ui/MessageBoxes.h"
#include "platform/ui/WindowPlacement.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QResizeEvent>
#include <QStandardItemModel>
#include <QStyle>
#include <QTableView>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
// The client area folded: the window's outer height of 430 less its title bar and borders.
constexpr QSize DefaultClientSize(597, 403);
// The business records unfold below the record with this much room (an outer height of 600).
constexpr int BusinessRoom = 170;
// Smaller than this, a stored size is damage rather than the user's choice.
constexpr QSize SmallestStoredSize(300, 200);
constexpr int RowHeight = 24;

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
    : QDialog(parent), m_lookup(&lookup), m_line(line), m_contactDialogs(this), m_record(lookup.blankRecord()),
      m_storedSize(ProgramFolder::file(QStringLiteral("sysset.ini")), DefaultClientSize, SmallestStoredSize),
      m_foldedSize(m_storedSize.read())
{
    // A dialog, with the window system's maximise button beside its close button.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                   | Qt::WindowCloseButtonHint);
    buildWindow();
    fillRows();
    // The address book has no business records.
    if (m_lookup->source() == CallerRecord::Source::AddressBook)
        m_moreButton->setEnabled(false);
    resize(m_foldedSize);
    WindowPlacement::centreWhenShown(this);
}

CallerWindow::~CallerWindow()
{
    // The program may end while the window is on screen.
    if (isVisible())
        rememberSize();
}

void CallerWindow::setLookup(CallerLookup& lookup)
{
    m_lookup = &lookup;
    m_moreButton->setEnabled(m_lookup->source() != CallerRecord::Source::AddressBook);
}

void CallerWindow::buildWindow()
{
    setWindowTitle(tr("客户资料"));
    setFont(QFont(QStringLiteral("宋体"), 9));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    QFrame* banner = panel(this, "bannerPanel", 41);
    banner->setAutoFillBackground(true);
    banner->setPalette(QPalette(Qt::white));
    auto* band = new QHBoxLayout(banner);
    band->setContentsMargins(12, 0, 12, 0);
    band->addWidget(new QLabel(tr("如果有多条相关记录，可以用<上一条><下一条>查看。    "), banner));
    band->addStretch();
    m_positionLabel = new QLabel(banner);
    m_positionLabel->setObjectName(QStringLiteral("positionLabel"));
    m_positionLabel->hide();
    band->addWidget(m_positionLabel);
    band->addSpacing(8);
    auto* picture = new QLabel(banner);
    picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    band->addWidget(picture);
    layout->addWidget(banner);

    QFrame* recordPanel = panel(this, "recordPanel", 0);
    auto* gridBox = new QVBoxLayout(recordPanel);
    gridBox->setContentsMargins(8, 15, 8, 15);
    m_recordGrid = new QTableWidget(2, 2, recordPanel);
    m_recordGrid->setObjectName(QStringLiteral("recordGrid"));
    m_recordGrid->setMinimumHeight(4 * RowHeight);
    m_recordGrid->setHorizontalHeaderLabels({tr("项    目"), tr("资    料")});
    m_recordGrid->setColumnWidth(0, 80);
    // The values take whatever width the window has; a value longer than a line wraps and its
    // row grows to hold it.
    m_recordGrid->horizontalHeader()->setStretchLastSection(true);
    m_recordGrid->verticalHeader()->hide();
    m_recordGrid->verticalHeader()->setMinimumSectionSize(RowHeight);
    // Queued: the header reports the value column's new width before the view has taken it.
    connect(m_recordGrid->horizontalHeader(), &QHeaderView::sectionResized, m_recordGrid,
            &QTableWidget::resizeRowsToContents, Qt::QueuedConnection);
    m_recordGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_recordGrid->setWordWrap(true);
    m_recordGrid->setTextElideMode(Qt::ElideRight);
    m_recordGrid->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    gridBox->addWidget(m_recordGrid);
    layout->addWidget(recordPanel, 1);

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
    barBox->addStretch();
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
    m_previousButton = button("previousButton", tr("上一条"), tr("上一条记录 "), QStyle::SP_ArrowBack);
    m_nextButton = button("nextButton", QString(), tr("下一条(&N)"), QStyle::SP_ArrowForward);
    toolBar->addSeparator();
    m_dialButton = button("dialButton", tr("回拨"), tr("回拨(&R)"), QStyle::SP_DialogYesButton);
    m_pickUpButton = button("pickUpButton", tr("接听"), tr("接听电话"), QStyle::SP_DialogApplyButton);
    m_hangUpButton = button("hangUpButton", QString(), tr("挂断电话"), QStyle::SP_DialogCancelButton);
    toolBar->addSeparator();
    m_historyButton = button("historyButton", tr("历史记录"), tr("历史来电(&H)"), QStyle::SP_FileDialogDetailedView);
    toolBar->addSeparator();
    m_detailsButton = button("detailsButton", tr("详细资料"), tr("详细信息(&M)"), QStyle::SP_FileDialogInfoView);
    m_newContactButton = button("newContactButton", tr("添加"), tr("添加新客户资料"), QStyle::SP_FileDialogNewFolder);
    toolBar->addSeparator();
    m_printButton = button("printButton", tr("打印"), tr("打  印(&P)"), QStyle::SP_DriveFDIcon);
    toolBar->addSeparator();
    m_moreButton = button("moreButton", tr("↓"), tr("更多信息..."), QStyle::SP_CustomBase);
    QFont arrow(QStringLiteral("宋体"));
    arrow.setPixelSize(14);
    arrow.setBold(true);
    arrow.setUnderline(true);
    m_moreButton->setFont(arrow);
    toolBar->addSeparator();
    m_helpButton = button("helpButton", QString(), tr("帮助"), QStyle::SP_MessageBoxQuestion);
    layout->addWidget(toolPanel);

    m_businessPanel = panel(this, "businessPanel", BusinessRoom);
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
    layout->addWidget(m_businessPanel);
    m_businessPanel->hide();

    connect(m_previousButton, &QToolButton::clicked, this, &CallerWindow::stepBack);
    connect(m_nextButton, &QToolButton::clicked, this, &CallerWindow::stepForward);
    connect(m_moreButton, &QToolButton::clicked, this, &CallerWindow::toggleBusinessRecords);
    buildCommands();
    // Commands past the window's edge would hide behind an overflow arrow. Held on the bar
    // itself, the panel's frame comes on top of it.
    toolBar->setMinimumWidth(toolBar->sizeHint().width());
}

void CallerWindow::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    // A maximised window gives no size of the user's to keep.
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    m_foldedSize = event->size() - QSize(0, m_unfolded ? BusinessRoom : 0);
}

void CallerWindow::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    rememberSize();
}

void CallerWindow::rememberSize()
{
    // A size that cannot be kept costs the user nothing now: the window keeps it for this run.
    (void)m_storedSize.write(m_foldedSize);
}

void CallerWindow::showRecord(const CallerRecord& record)
{
    m_record = record;
    fillRows();
    const bool addressBook = m_record.source() == CallerRecord::Source::AddressBook;
    m_detailsButton->setEnabled(addressBook);
    m_newContactButton->setEnabled(addressBook);
    setUnfolded(false);
    updateStepButtons();
}

void CallerWindow::fillRows()
{
    const QList<CallerRecord::Row>& rows = m_record.rows();
    m_recordGrid->setRowCount(int(rows.size()));
    for (int row = 0; row < rows.size(); ++row) {
        m_recordGrid->setItem(row, 0, new QTableWidgetItem(rows.at(row).label));
        auto* value = new QTableWidgetItem(rows.at(row).value);
        // A value too long even for a wrapped row (a path, a long number) can still be read whole.
        value->setToolTip(rows.at(row).value);
        m_recordGrid->setItem(row, 1, value);
    }
    m_recordGrid->resizeRowsToContents();
}

void CallerWindow::updateStepButtons()
{
    const int count = m_record.matchCount();
    m_positionLabel->setVisible(count > 1);
    m_positionLabel->setText(tr("第 %1/%2 条").arg(m_record.matchNumber()).arg(count));
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
    if (m_unfolded) {
        setUnfolded(false);
        m_moreButton->setText(tr("↓"));
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
    setUnfolded(true);
    m_moreButton->setText(tr("↑"));
}

void CallerWindow::showNotices(const QList<CallerRecord::Notice>& notices)
{
    for (const CallerRecord::Notice& notice : notices) {
        switch (notice.kind) {
        case CallerRecord::Notice::Error:
            MessageBoxes::show({QMessageBox::Critical, tr("错误提示"), notice.text, QMessageBox::Ok, QMessageBox::Ok});
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

void CallerWindow::setUnfolded(bool unfolded)
{
    if (unfolded == m_unfolded)
        return;
    const QSize folded = m_foldedSize;
    m_unfolded = unfolded;
    m_businessPanel->setVisible(unfolded);
    // The business records take room of their own below; the record keeps the user's size.
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        resize(folded + QSize(0, unfolded ? BusinessRoom : 0));
    m_foldedSize = folded;
}
