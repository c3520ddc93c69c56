#include "lookup/BlockListWindow.h"

#include "lookup/BlockList.h"
#include "platform/ui/MessageBoxes.h"
#include "platform/ui/WindowPlacement.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

BlockListWindow::BlockListWindow(BlockList& list, bool answerBlocked, QWidget* parent)
    : QWidget(parent, Qt::Window), m_list(list)
{
    setWindowTitle(tr("黑名单"));
    resize(440, 400);
    WindowPlacement::centreWhenShown(this);

    m_table = new QTableWidget(0, 2, this);
    m_table->setObjectName(QStringLiteral("blockTable"));
    m_table->setHorizontalHeaderLabels({tr("号码"), tr("备注")});
    m_table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);

    m_numberEdit = new QLineEdit(this);
    m_numberEdit->setObjectName(QStringLiteral("numberEdit"));
    m_numberEdit->setPlaceholderText(tr("号码，或以 * 结尾的号码开头，如 0591*"));
    m_remarkEdit = new QLineEdit(this);
    m_remarkEdit->setObjectName(QStringLiteral("remarkEdit"));
    m_remarkEdit->setPlaceholderText(tr("备注（可不填）"));
    m_addButton = new QPushButton(tr("加入黑名单(&A)"), this);
    m_addButton->setObjectName(QStringLiteral("addButton"));
    m_removeButton = new QPushButton(tr("移出黑名单(&R)"), this);
    m_removeButton->setObjectName(QStringLiteral("removeButton"));

    m_skippedLabel = new QLabel(this);
    m_skippedLabel->setObjectName(QStringLiteral("skippedLabel"));
    m_skippedLabel->setWordWrap(true);
    m_answerCheck = new QCheckBox(tr("拦截时接听后立即挂断(&H)（对方可能因此被收取通话费）"), this);
    m_answerCheck->setObjectName(QStringLiteral("answerCheck"));
    m_answerCheck->setChecked(answerBlocked);

    auto* numberLabel = new QLabel(tr("号码(&N)："), this);
    numberLabel->setBuddy(m_numberEdit);
    auto* remarkLabel = new QLabel(tr("备注(&M)："), this);
    remarkLabel->setBuddy(m_remarkEdit);
    auto* edits = new QGridLayout;
    edits->addWidget(numberLabel, 0, 0);
    edits->addWidget(m_numberEdit, 0, 1);
    edits->addWidget(m_addButton, 0, 2);
    edits->addWidget(remarkLabel, 1, 0);
    edits->addWidget(m_remarkEdit, 1, 1);
    edits->addWidget(m_removeButton, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addWidget(m_skippedLabel);
    layout->addLayout(edits);
    layout->addWidget(m_answerCheck);

    connect(m_addButton, &QPushButton::clicked, this, &BlockListWindow::addEntry);
    connect(m_numberEdit, &QLineEdit::returnPressed, this, &BlockListWindow::addEntry);
    connect(m_removeButton, &QPushButton::clicked, this, &BlockListWindow::removeEntry);
    connect(m_table, &QTableWidget::itemSelectionChanged, this, &BlockListWindow::entrySelected);
    connect(m_answerCheck, &QCheckBox::toggled, this, &BlockListWindow::answerBlockedChanged);
    refresh();
}

void BlockListWindow::refresh()
{
    const QList<BlockList::Entry> entries = m_list.entries();
    m_table->setRowCount(int(entries.size()));
    for (int row = 0; row < entries.size(); ++row) {
        m_table->setItem(row, 0, new QTableWidgetItem(entries.at(row).pattern));
        m_table->setItem(row, 1, new QTableWidgetItem(entries.at(row).remark));
    }
    const qsizetype skipped = m_list.skippedLines();
    m_skippedLabel->setText(tr("文件中另有 %1 行不是号码，已略过，保存时原样保留。").arg(skipped));
    m_skippedLabel->setVisible(skipped > 0);
}

void BlockListWindow::addEntry()
{
    QString error;
    if (!m_list.add(m_numberEdit->text(), m_remarkEdit->text(), &error)) {
        ShowWarningBox(error);
        return;
    }
    store();
    m_numberEdit->clear();
    m_remarkEdit->clear();
}

void BlockListWindow::removeEntry()
{
    if (!m_list.remove(m_numberEdit->text())) {
        ShowWarningBox(tr("黑名单中没有“%1”。").arg(m_numberEdit->text().trimmed()));
        return;
    }
    store();
    m_numberEdit->clear();
    m_remarkEdit->clear();
}

void BlockListWindow::entrySelected()
{
    const QList<QTableWidgetItem*> selected = m_table->selectedItems();
    if (selected.isEmpty())
        return;
    const int row = selected.first()->row();
    m_numberEdit->setText(m_table->item(row, 0)->text());
    m_remarkEdit->setText(m_table->item(row, 1)->text());
}

void BlockListWindow::store()
{
    QString error;
    if (!m_list.save(&error))
        ShowWarningBox(error);
    refresh();
}
