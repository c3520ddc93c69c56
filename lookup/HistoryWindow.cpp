#include "lookup/HistoryWindow.h"

#include "lookup/CallLog.h"
#include "platform/ProgramFolder.h"
#include "platform/ui/MessageBoxes.h"
#include "platform/ui/WindowPlacement.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>

#include <memory>

struct HistoryLoad
{
    bool ok = false;
    QList<CallLog::Entry> entries;
    qsizetype earlier = 0;
    QString error;
};

namespace {
constexpr int FrameHeight = 27;
// The list holds this many of the latest calls: enough to look back months in a shop, few
// enough for the list to stay quick and small whatever the size of the log.
constexpr qsizetype kMaxListed = 10000;
constexpr qint64 kReadAtOnceBytes = 1024 * 1024;

CallLog phoneLog()
{
    return CallLog(ProgramFolder::file(QStringLiteral("Phone.Log")));
}

void showError(QWidget* parent, const QString& text)
{
    MessageBoxes::show({QMessageBox::Critical, QStringLiteral("错误信息"), text, QMessageBox::Ok, QMessageBox::Ok},
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
} // namespace

HistoryWindow::HistoryWindow(QWidget* parent) : QDialog(parent)
{
    WindowPlacement::centreWhenShown(this);
    setWindowTitle(QStringLiteral("历史记录"));
    setFont(QFont(QStringLiteral("宋体"), 9));
    resize(483, 415 - FrameHeight);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);

    auto* banner = new QFrame(this);
    banner->setObjectName(QStringLiteral("bannerPanel"));
    banner->setFixedHeight(41);
    banner->setAutoFillBackground(true);
    banner->setPalette(QPalette(Qt::white));
    auto* band = new QHBoxLayout(banner);
    band->setContentsMargins(12, 0, 12, 0);
    band->addWidget(new QLabel(QStringLiteral("历史来电记录    "), banner));
    band->addStretch();
    auto* picture = new QLabel(banner);
    picture->setPixmap(style()->standardIcon(QStyle::SP_FileDialogDetailedView).pixmap(32, 32));
    band->addWidget(picture);
    layout->addWidget(banner);

    m_callList = new QTableWidget(0, 3, this);
    m_callList->setObjectName(QStringLiteral("callList"));
    m_callList->setHorizontalHeaderLabels(
        {QStringLiteral("来电时间"), QStringLiteral("来电号码"), QStringLiteral("备注")});
    m_callList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_callList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_callList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_callList->setShowGrid(true);
    m_callList->setWordWrap(false);
    m_callList->verticalHeader()->hide();
    m_callList->setColumnWidth(0, 140);
    m_callList->setColumnWidth(1, 140);
    m_callList->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
    m_callList->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Fixed);
    m_callList->horizontalHeader()->setStretchLastSection(true);
    auto* listBox = new QVBoxLayout;
    listBox->setContentsMargins(8, 0, 8, 0);
    listBox->addWidget(m_callList);
    layout->addLayout(listBox, 1);

    m_detailsButton = new QPushButton(QStringLiteral("详细信息(&M)"), this);
    m_detailsButton->setObjectName(QStringLiteral("detailsButton"));
    m_clearButton = new QPushButton(QStringLiteral("清除记录"), this);
    m_clearButton->setObjectName(QStringLiteral("clearButton"));
    m_okButton = new QPushButton(QStringLiteral("确定(&Y)"), this);
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_okButton->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(8, 0, 8, 0);
    buttons->addStretch();
    buttons->addWidget(m_detailsButton);
    buttons->addWidget(m_clearButton);
    buttons->addWidget(m_okButton);
    layout->addLayout(buttons);

    connect(m_callList, &QTableWidget::cellDoubleClicked, this, &HistoryWindow::requestSelectedCaller);
    connect(m_detailsButton, &QPushButton::clicked, this, &HistoryWindow::requestSelectedCaller);
    connect(m_okButton, &QPushButton::clicked, this, &HistoryWindow::close);
    connect(m_clearButton, &QPushButton::clicked, this, &HistoryWindow::clearHistory);
}

HistoryWindow::~HistoryWindow() = default;

void HistoryWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Restored from minimised by the window system: the list stays the snapshot it was.
    if (!event->spontaneous())
        reload();
}

void HistoryWindow::reload()
{
    m_callList->setRowCount(0);
    if (m_title.isEmpty())
        m_title = windowTitle();
    setWindowTitle(m_title);
    const int generation = ++m_loadGeneration;
    const CallLog log = phoneLog();
    // A log of a few thousand calls is read at once; a bigger one would hold the window, so
    // it is read on a thread of its own and listed when it is in.
    if (QFileInfo(ProgramFolder::file(QStringLiteral("Phone.Log"))).size() <= kReadAtOnceBytes) {
        HistoryLoad load;
        load.ok = log.readLatest(kMaxListed, &load.entries, &load.earlier, &load.error);
        fill(load);
        return;
    }
    auto load = std::make_shared<HistoryLoad>();
    QThread* reader = QThread::create(
        [log, load] { load->ok = log.readLatest(kMaxListed, &load->entries, &load->earlier, &load->error); });
    connect(reader, &QThread::finished, reader, &QObject::deleteLater);
    connect(reader, &QThread::finished, this, [this, load, generation] {
        if (generation == m_loadGeneration)
            fill(*load);
    });
    setWindowTitle(tr("%1（正在读取…）").arg(m_title));
    reader->start(QThread::LowPriority);
}

void HistoryWindow::fill(const HistoryLoad& load)
{
    setWindowTitle(m_title);
    if (!load.ok) {
        showError(this, load.error);
        return;
    }
    const QList<CallLog::Entry>& entries = load.entries;
    if (load.earlier > 0)
        setWindowTitle(tr("%1（最近 %2 次来电，更早的 %3 次未列出）").arg(m_title).arg(entries.size()).arg(load.earlier));
    m_callList->setRowCount(int(entries.size()));
    for (int row = 0; row < entries.size(); ++row) {
        const CallLog::Entry& entry = entries.at(row);
        m_callList->setItem(row, 0, new QTableWidgetItem(entry.time));
        m_callList->setItem(row, 1, new QTableWidgetItem(entry.number));
        m_callList->setItem(row, 2, new QTableWidgetItem(entry.remark));
    }
    // The latest calls are the ones looked for.
    m_callList->scrollToBottom();
}

void HistoryWindow::requestSelectedCaller()
{
    const QList<QTableWidgetItem*> selected = m_callList->selectedItems();
    if (selected.isEmpty()) {
        MessageBoxes::show({QMessageBox::Information, QStringLiteral("系统提示"), QStringLiteral("没有记录被选择！"),
                            QMessageBox::Ok, QMessageBox::Ok},
                           this);
        return;
    }
    const QTableWidgetItem* number = m_callList->item(selected.first()->row(), 1);
    const QTableWidgetItem* time = m_callList->item(selected.first()->row(), 0);
    emit callerRequested(bareNumber(number ? number->text() : QString()), time ? time->text() : QString());
}

void HistoryWindow::clearHistory()
{
    // The whole history goes at once and cannot be brought back: asked first.
    if (MessageBoxes::show({QMessageBox::Question, QStringLiteral("系统提示"),
                            QStringLiteral("确实要清除全部历史来电记录吗？清除后不能恢复。"),
                            QMessageBox::Yes | QMessageBox::No, QMessageBox::No},
                           this) != QMessageBox::Yes)
        return;
    if (!phoneLog().remove()) {
        showError(this, QStringLiteral("历史记录无法清除！"));
        return;
    }
    m_callList->setRowCount(0);
}
