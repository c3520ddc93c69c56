#include "lookup/HistoryWindow.h"

#include "lookup/CallChart.h"
#include "lookup/CallHistoryModel.h"
#include "lookup/CallLog.h"
#include "platform/PluginLoader.h"
#include "platform/ProgramFolder.h"
#include "platform/ui/MessageBoxes.h"
#include "platform/ui/WindowPlacement.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>
#include <QSplitter>
#include <QStyle>
#include <QTableView>
#include <QThread>
#include <QVBoxLayout>

#include <memory>

struct HistoryLoad
{
    bool ok = false;
    CallHistory history;
    qsizetype earlier = 0;
    QString error;
};

namespace {
constexpr int FrameHeight = 27;
constexpr qint64 kReadAtOnceBytes = 1024 * 1024;
constexpr int kBusiestListed = 10;

QString phoneLogPath()
{
    return ProgramFolder::file(QStringLiteral("Phone.Log"));
}

// Reads the latest calls of the log into a history; run on the reading thread for a big log.
void readLog(const QString& path, HistoryLoad* load)
{
    QList<CallLog::Entry> entries;
    load->ok = CallLog(path).readLatest(HistoryWindow::kMaxListed, &entries, &load->earlier, &load->error);
    if (load->ok)
        load->history = CallHistory(entries);
}

void showError(QWidget* parent, const QString& text)
{
    MessageBoxes::show({QMessageBox::Critical, HistoryWindow::tr("错误信息"), text, QMessageBox::Ok, QMessageBox::Ok},
                       parent);
}

// Blanks and control characters around the number, as a hand-edited log may hold them.
QString bareNumber(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= ' ')
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= ' ')
        --end;
    return text.mid(begin, end - begin);
}

QPushButton* addButton(QHBoxLayout* row, const QString& text, const char* name)
{
    auto* button = new QPushButton(text);
    button->setObjectName(QLatin1String(name));
    row->addWidget(button);
    return button;
}
} // namespace

HistoryWindow::HistoryWindow(QWidget* parent) : QDialog(parent)
{
    WindowPlacement::centreWhenShown(this);
    setWindowTitle(tr("历史记录"));
    setFont(QFont(QStringLiteral("宋体"), 9));
    // Wider and taller than the plain list was, for the search row and the chart.
    resize(760, 620 - FrameHeight);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);

    auto* banner = new QFrame(this);
    banner->setObjectName(QStringLiteral("bannerPanel"));
    banner->setFixedHeight(41);
    banner->setAutoFillBackground(true);
    banner->setPalette(QPalette(Qt::white));
    auto* band = new QHBoxLayout(banner);
    band->setContentsMargins(12, 0, 12, 0);
    band->addWidget(new QLabel(tr("历史来电记录    "), banner));
    band->addStretch();
    auto* picture = new QLabel(banner);
    picture->setPixmap(style()->standardIcon(QStyle::SP_FileDialogDetailedView).pixmap(32, 32));
    band->addWidget(picture);
    layout->addWidget(banner);

    m_searchEdit = new QLineEdit(this);
    m_searchEdit->setObjectName(QStringLiteral("searchEdit"));
    m_searchEdit->setPlaceholderText(tr("按号码、备注或日期查找"));
    m_searchEdit->setClearButtonEnabled(true);
    m_rangeCheck = new QCheckBox(tr("日期从"), this);
    m_rangeCheck->setObjectName(QStringLiteral("rangeCheck"));
    m_fromEdit = new QDateEdit(this);
    m_fromEdit->setObjectName(QStringLiteral("fromEdit"));
    m_toEdit = new QDateEdit(this);
    m_toEdit->setObjectName(QStringLiteral("toEdit"));
    for (QDateEdit* edit : {m_fromEdit, m_toEdit}) {
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        edit->setCalendarPopup(true);
        edit->setEnabled(false);
    }
    m_countLabel = new QLabel(this);
    m_countLabel->setObjectName(QStringLiteral("countLabel"));
    auto* filterRow = new QHBoxLayout;
    filterRow->setContentsMargins(8, 0, 8, 0);
    filterRow->addWidget(m_searchEdit, 1);
    filterRow->addWidget(m_rangeCheck);
    filterRow->addWidget(m_fromEdit);
    filterRow->addWidget(new QLabel(tr("至"), this));
    filterRow->addWidget(m_toEdit);
    filterRow->addWidget(m_countLabel);
    layout->addLayout(filterRow);

    m_calls = new CallHistoryModel(this);
    m_callList = new QTableView(this);
    m_callList->setObjectName(QStringLiteral("callList"));
    m_callList->setModel(m_calls);
    m_callList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_callList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_callList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_callList->setShowGrid(true);
    m_callList->setWordWrap(false);
    m_callList->verticalHeader()->hide();
    // Rows of one height: the view then never measures a hundred thousand rows.
    m_callList->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_callList->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_callList->setColumnWidth(CallHistory::TimeColumn, 140);
    m_callList->setColumnWidth(CallHistory::NumberColumn, 140);
    m_callList->setColumnWidth(CallHistory::RegionColumn, 110);
    m_callList->setColumnWidth(CallHistory::CountColumn, 50);
    // The remark takes what the others leave, as it did when it was the last column.
    m_callList->horizontalHeader()->setSectionResizeMode(CallHistory::RemarkColumn, QHeaderView::Stretch);
    // Log order until a column is chosen: the latest calls at the bottom.
    m_callList->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_callList->setSortingEnabled(true);
    m_callList->setContextMenuPolicy(Qt::CustomContextMenu);

    m_chartPanel = new QWidget(this);
    auto* chartRow = new QHBoxLayout(m_chartPanel);
    chartRow->setContentsMargins(0, 0, 0, 0);
    auto* busiestBox = new QVBoxLayout;
    busiestBox->addWidget(new QLabel(tr("来电最多"), m_chartPanel));
    m_busiestList = new QListWidget(m_chartPanel);
    m_busiestList->setObjectName(QStringLiteral("busiestList"));
    m_busiestList->setFixedWidth(200);
    busiestBox->addWidget(m_busiestList);
    chartRow->addLayout(busiestBox);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(m_callList);
    splitter->addWidget(m_chartPanel);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    auto* listBox = new QVBoxLayout;
    listBox->setContentsMargins(8, 0, 8, 0);
    listBox->addWidget(splitter);
    layout->addLayout(listBox, 1);

    m_blockAction = new QAction(tr("加入黑名单"), this);
    m_blockAction->setObjectName(QStringLiteral("blockAction"));
    m_unblockAction = new QAction(tr("移出黑名单"), this);
    m_unblockAction->setObjectName(QStringLiteral("unblockAction"));
    m_blockListAction = new QAction(tr("黑名单…"), this);
    m_blockListAction->setObjectName(QStringLiteral("blockListAction"));

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(8, 0, 8, 0);
    m_exportButton = addButton(buttons, tr("导出"), "exportButton");
    m_blockListButton = addButton(buttons, tr("黑名单…"), "blockListButton");
    buttons->addStretch();
    m_detailsButton = addButton(buttons, tr("详细信息(&M)"), "detailsButton");
    m_clearButton = addButton(buttons, tr("清除记录"), "clearButton");
    m_okButton = addButton(buttons, tr("确定(&Y)"), "okButton");
    m_okButton->setDefault(true);
    layout->addLayout(buttons);

    connect(m_searchEdit, &QLineEdit::textChanged, this, &HistoryWindow::applyFilter);
    connect(m_rangeCheck, &QCheckBox::toggled, this, [this](bool on) {
        m_fromEdit->setEnabled(on);
        m_toEdit->setEnabled(on);
        applyFilter();
    });
    connect(m_fromEdit, &QDateEdit::dateChanged, this, &HistoryWindow::applyFilter);
    connect(m_toEdit, &QDateEdit::dateChanged, this, &HistoryWindow::applyFilter);
    connect(m_callList, &QTableView::doubleClicked, this, &HistoryWindow::requestSelectedCaller);
    connect(m_callList, &QTableView::customContextMenuRequested, this, &HistoryWindow::showCallMenu);
    connect(m_callList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &HistoryWindow::updateBlockActions);
    connect(m_calls, &QAbstractItemModel::modelReset, this, &HistoryWindow::updateBlockActions);
    connect(m_blockAction, &QAction::triggered, this, [this] {
        const QString number = selectedNumber();
        if (!number.isEmpty())
            emit blockRequested(number);
        updateBlockActions();
    });
    connect(m_unblockAction, &QAction::triggered, this, [this] {
        const QString number = selectedNumber();
        if (!number.isEmpty())
            emit unblockRequested(number);
        updateBlockActions();
    });
    connect(m_blockListAction, &QAction::triggered, this, &HistoryWindow::blockListRequested);
    connect(m_blockListButton, &QPushButton::clicked, this, &HistoryWindow::blockListRequested);
    connect(m_exportButton, &QPushButton::clicked, this, &HistoryWindow::chooseExportFile);
    connect(m_detailsButton, &QPushButton::clicked, this, &HistoryWindow::requestSelectedCaller);
    connect(m_okButton, &QPushButton::clicked, this, &HistoryWindow::close);
    connect(m_clearButton, &QPushButton::clicked, this, &HistoryWindow::clearHistory);
    updateBlockActions();
}

HistoryWindow::~HistoryWindow() = default;

void HistoryWindow::setRegionLookup(CallHistory::RegionLookup lookup)
{
    m_regionLookup = std::move(lookup);
}

void HistoryWindow::setBlockedTest(std::function<bool(const QString&)> isBlocked)
{
    m_isBlocked = std::move(isBlocked);
    updateBlockActions();
}

void HistoryWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Restored from minimised by the window system: the list stays the snapshot it was.
    if (event->spontaneous())
        return;
    if (!m_chartMade)
        makeChart();
    reload();
}

void HistoryWindow::makeChart()
{
    m_chartMade = true;
    QString error;
    QWidget* shown = nullptr;
    if (auto* factory = loadPlugin<CallChartFactory>(QStringLiteral("vornx_chart"), &error)) {
        m_chart = factory->createChart(m_chartPanel);
        shown = m_chart->widget();
    } else {
        // The list and the busiest callers serve without the chart.
        auto* reason = new QLabel(tr("图表无法显示：%1").arg(error), m_chartPanel);
        reason->setObjectName(QStringLiteral("chartMissingLabel"));
        reason->setAlignment(Qt::AlignCenter);
        reason->setToolTip(reason->text());
        // One line, however long the loader's reason: it must not widen the window.
        reason->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        shown = reason;
    }
    static_cast<QHBoxLayout*>(m_chartPanel->layout())->insertWidget(0, shown, 1);
}

void HistoryWindow::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    // The list is read again at the next showing; a big log is not kept in memory meanwhile.
    if (!event->spontaneous()) {
        ++m_loadGeneration;
        m_calls->setHistory(CallHistory());
    }
}

void HistoryWindow::reload()
{
    m_calls->setHistory(CallHistory());
    showCounts();
    if (m_title.isEmpty())
        m_title = windowTitle();
    setWindowTitle(m_title);
    const int generation = ++m_loadGeneration;
    const QString path = phoneLogPath();
    // A log of a few thousand calls is read at once; a bigger one would hold the window, so
    // it is read on a thread of its own and listed when it is in.
    if (QFileInfo(path).size() <= kReadAtOnceBytes) {
        HistoryLoad load;
        readLog(path, &load);
        fill(load);
        return;
    }
    auto load = std::make_shared<HistoryLoad>();
    QThread* reader = QThread::create([path, load] { readLog(path, load.get()); });
    connect(reader, &QThread::finished, reader, &QObject::deleteLater);
    connect(reader, &QThread::finished, this, [this, load, generation] {
        if (generation == m_loadGeneration)
            fill(*load);
    });
    setWindowTitle(tr("%1（正在读取…）").arg(m_title));
    // At the ordinary priority: the user is waiting for the list.
    reader->start();
}

void HistoryWindow::fill(HistoryLoad& load)
{
    setWindowTitle(m_title);
    if (!load.ok) {
        showCounts();
        showError(this, load.error);
        return;
    }
    if (load.earlier > 0)
        setWindowTitle(
            tr("%1（最近 %2 次来电，更早的 %3 次未列出）").arg(m_title).arg(load.history.size()).arg(load.earlier));
    load.history.setRegionLookup(m_regionLookup);
    // The range offered is the log's own; set quietly, the filter is applied once below.
    const QDate first = load.history.firstDay();
    const QDate last = load.history.lastDay();
    for (QDateEdit* edit : {m_fromEdit, m_toEdit}) {
        const QSignalBlocker quiet(edit);
        if (first.isValid())
            edit->setDateRange(first, last);
    }
    {
        const QSignalBlocker quietFrom(m_fromEdit);
        const QSignalBlocker quietTo(m_toEdit);
        m_fromEdit->setDate(first.isValid() ? first : QDate::currentDate());
        m_toEdit->setDate(last.isValid() ? last : QDate::currentDate());
    }
    m_calls->setFilter(currentFilter());
    m_calls->setHistory(std::move(load.history));
    showCounts();
    // The latest calls are the ones looked for.
    m_callList->scrollToBottom();
}

CallFilter HistoryWindow::currentFilter() const
{
    const bool ranged = m_rangeCheck->isChecked();
    return CallFilter{m_searchEdit->text(), ranged ? m_fromEdit->date() : QDate(), ranged ? m_toEdit->date() : QDate()};
}

void HistoryWindow::applyFilter()
{
    m_calls->setFilter(currentFilter());
    showCounts();
}

void HistoryWindow::showCounts()
{
    const std::vector<qsizetype>& rows = m_calls->rows();
    m_countLabel->setText(tr("共 %1 次来电").arg(rows.size()));
    if (m_chart) {
        const CallHistory::Timeline timeline = m_calls->history().timeline(rows);
        if (timeline.counts.empty())
            m_chart->showNone(tr("没有来电"));
        else if (timeline.hourly)
            m_chart->showHours(timeline.counts,
                               tr("%1 每小时来电").arg(timeline.first.toString(QStringLiteral("yyyy-MM-dd"))));
        else
            m_chart->showDays(timeline.first, timeline.counts, tr("每日来电"));
    }
    m_busiestList->clear();
    for (const CallHistory::Caller& caller : m_calls->history().busiestCallers(rows, kBusiestListed))
        m_busiestList->addItem(tr("%1（%2 次）").arg(caller.number).arg(caller.calls));
}

QString HistoryWindow::selectedNumber() const
{
    const QModelIndexList selected = m_callList->selectionModel()->selectedRows();
    if (selected.isEmpty())
        return QString();
    return bareNumber(m_calls->text(selected.first().row(), CallHistory::NumberColumn));
}

void HistoryWindow::updateBlockActions()
{
    const QString number = selectedNumber();
    const bool blocked = !number.isEmpty() && m_isBlocked && m_isBlocked(number);
    m_blockAction->setEnabled(!number.isEmpty() && (!m_isBlocked || !blocked));
    m_unblockAction->setEnabled(!number.isEmpty() && (!m_isBlocked || blocked));
}

void HistoryWindow::showCallMenu(const QPoint& position)
{
    const QModelIndex index = m_callList->indexAt(position);
    if (index.isValid())
        m_callList->selectRow(index.row());
    // The block list may have changed since the selection did.
    updateBlockActions();
    QMenu menu(this);
    menu.addAction(m_blockAction);
    menu.addAction(m_unblockAction);
    menu.addSeparator();
    menu.addAction(m_blockListAction);
    menu.exec(m_callList->viewport()->mapToGlobal(position));
}

void HistoryWindow::requestSelectedCaller()
{
    const QModelIndexList selected = m_callList->selectionModel()->selectedRows();
    if (selected.isEmpty()) {
        MessageBoxes::show(
            {QMessageBox::Information, tr("系统提示"), tr("没有记录被选择！"), QMessageBox::Ok, QMessageBox::Ok}, this);
        return;
    }
    const int row = selected.first().row();
    emit callerRequested(bareNumber(m_calls->text(row, CallHistory::NumberColumn)),
                         m_calls->text(row, CallHistory::TimeColumn));
}

void HistoryWindow::chooseExportFile()
{
    const QString csvFilter = tr("CSV 文件 (*.csv)");
    const QString logFilter = tr("来电记录 (*.Log)");
    QString chosenFilter = csvFilter;
    const QString path =
        QFileDialog::getSaveFileName(this, tr("导出"), ProgramFolder::file(tr("来电记录") + QStringLiteral(".csv")),
                                     csvFilter + QStringLiteral(";;") + logFilter, &chosenFilter);
    if (path.isEmpty())
        return;
    exportCalls(path, chosenFilter == logFilter ? CallExport::Format::CallLog : CallExport::Format::Csv);
}

bool HistoryWindow::exportCalls(const QString& path, CallExport::Format format)
{
    QString error;
    if (!CallExport::write(path, format, *m_calls, &error)) {
        showError(this, error);
        return false;
    }
    return true;
}

void HistoryWindow::clearHistory()
{
    // The whole history goes at once and cannot be brought back: asked first.
    if (MessageBoxes::show({QMessageBox::Question, tr("系统提示"), tr("确实要清除全部历史来电记录吗？清除后不能恢复。"),
                            QMessageBox::Yes | QMessageBox::No, QMessageBox::No},
                           this) != QMessageBox::Yes)
        return;
    if (!CallLog(phoneLogPath()).remove()) {
        showError(this, tr("历史记录无法清除！"));
        return;
    }
    m_calls->setHistory(CallHistory());
    showCounts();
}
