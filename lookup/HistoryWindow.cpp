#include "lookup/HistoryWindow.h"

#include "lookup/CallLog.h"
#include "lookup/CallerWindow.h"
#include "platform/ProgramFolder.h"
#include "platform/ui/MessageBoxes.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

HistoryWindow* HistoryForm = nullptr;

namespace {
constexpr int FrameHeight = 27;

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
    setWindowTitle(QStringLiteral("历史记录"));
    setFont(QFont(QStringLiteral("宋体"), 9));
    resize(483, 415 - FrameHeight);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);

    auto* panel5 = new QFrame(this);
    panel5->setObjectName(QStringLiteral("Panel5"));
    panel5->setFixedHeight(41);
    panel5->setAutoFillBackground(true);
    panel5->setPalette(QPalette(Qt::white));
    auto* band = new QHBoxLayout(panel5);
    band->setContentsMargins(12, 0, 12, 0);
    band->addWidget(new QLabel(QStringLiteral("历史来电记录    "), panel5));
    band->addStretch();
    auto* picture = new QLabel(panel5);
    picture->setPixmap(style()->standardIcon(QStyle::SP_FileDialogDetailedView).pixmap(32, 32));
    band->addWidget(picture);
    layout->addWidget(panel5);

    ListView1 = new QTableWidget(0, 3, this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setHorizontalHeaderLabels(
        {QStringLiteral("来电时间"), QStringLiteral("来电号码"), QStringLiteral("备注")});
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setShowGrid(true);
    ListView1->setWordWrap(false);
    ListView1->verticalHeader()->hide();
    ListView1->setColumnWidth(0, 140);
    ListView1->setColumnWidth(1, 140);
    ListView1->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
    ListView1->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Fixed);
    ListView1->horizontalHeader()->setStretchLastSection(true);
    auto* listBox = new QVBoxLayout;
    listBox->setContentsMargins(8, 0, 8, 0);
    listBox->addWidget(ListView1);
    layout->addLayout(listBox, 1);

    Button1 = new QPushButton(QStringLiteral("详细信息(&M)"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button3 = new QPushButton(QStringLiteral("清除记录"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button2 = new QPushButton(QStringLiteral("确定(&Y)"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(8, 0, 8, 0);
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button3);
    buttons->addWidget(Button2);
    layout->addLayout(buttons);

    connect(ListView1, &QTableWidget::cellDoubleClicked, this, &HistoryWindow::ListView1DblClick);
    connect(Button1, &QPushButton::clicked, this, &HistoryWindow::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &HistoryWindow::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &HistoryWindow::Button3Click);
}

HistoryWindow::~HistoryWindow()
{
    if (HistoryForm == this)
        HistoryForm = nullptr;
}

void HistoryWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Restored from minimised by the window system: the list stays the snapshot it was.
    if (!event->spontaneous())
        FormShow();
}

void HistoryWindow::FormShow()
{
    ListView1->setRowCount(0);
    QList<CallLog::Entry> entries;
    QString error;
    if (!phoneLog().read(&entries, &error)) {
        showError(this, error);
        return;
    }
    ListView1->setRowCount(int(entries.size()));
    for (int row = 0; row < entries.size(); ++row) {
        const CallLog::Entry& entry = entries.at(row);
        ListView1->setItem(row, 0, new QTableWidgetItem(entry.time));
        ListView1->setItem(row, 1, new QTableWidgetItem(entry.number));
        ListView1->setItem(row, 2, new QTableWidgetItem(entry.remark));
    }
    // The latest calls are the ones looked for.
    ListView1->scrollToBottom();
}

void HistoryWindow::ListView1DblClick()
{
    const QList<QTableWidgetItem*> selected = ListView1->selectedItems();
    if (selected.isEmpty()) {
        MessageBoxes::show({QMessageBox::Information, QStringLiteral("系统提示"), QStringLiteral("没有记录被选择！"),
                            QMessageBox::Ok, QMessageBox::Ok},
                           this);
        return;
    }
    const QTableWidgetItem* number = ListView1->item(selected.first()->row(), 1);
    if (!ShowInfoDlg)
        ShowInfoDlg = new CallerWindow(parentWidget());
    ShowInfoDlg->close();
    ShowInfoDlg->PhoneNo = bareNumber(number ? number->text() : QString());
    // A call looked at again is no new call: no arrival sound.
    ShowInfoDlg->SoundOn = false;
    ShowInfoDlg->show();
    ShowInfoDlg->SoundOn = true;
    ShowInfoDlg->raise();
    ShowInfoDlg->activateWindow();
}

void HistoryWindow::Button1Click()
{
    ListView1DblClick();
}

void HistoryWindow::Button2Click()
{
    close();
}

void HistoryWindow::Button3Click()
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
    ListView1->setRowCount(0);
}

void ShowHistoryForm(QWidget* owner)
{
    if (!HistoryForm)
        HistoryForm = new HistoryWindow(owner);
    HistoryForm->show();
    HistoryForm->raise();
    HistoryForm->activateWindow();
}
