#include "lookup/RegionQueryWindow.h"

#include "lookup/RegionQuery.h"
#include "platform/ui/WindowPlacement.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

RegionQueryWindow::RegionQueryWindow(const RegionTable& table, QWidget* parent) : QDialog(parent), m_table(table)
{
    WindowPlacement::centreWhenShown(this);
    setWindowTitle(tr("号码归属查询"));

    auto* hint = new QLabel(tr("输入您需要查询的电话，可以是手机或固定电话号码         "), this);
    auto* numberLabel = new QLabel(tr("电话号码  "), this);
    auto* regionLabel = new QLabel(tr("号码归属  "), this);
    m_numberEdit = new QLineEdit(this);
    m_numberEdit->setObjectName(QStringLiteral("numberEdit"));
    m_numberEdit->installEventFilter(this);
    // Keys are filtered one by one; this also keeps pasted text to digits.
    m_numberEdit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    numberLabel->setBuddy(m_numberEdit);
    m_regionEdit = new QLineEdit(this);
    m_regionEdit->setObjectName(QStringLiteral("regionEdit"));
    m_regionEdit->setReadOnly(true);
    regionLabel->setBuddy(m_regionEdit);

    m_queryButton = new QPushButton(tr("查询(&Q)"), this);
    m_queryButton->setObjectName(QStringLiteral("queryButton"));
    m_queryButton->setDefault(true);
    m_callerInfoButton = new QPushButton(tr("其他信息"), this);
    m_callerInfoButton->setObjectName(QStringLiteral("callerInfoButton"));
    m_callerInfoButton->setEnabled(false);
    m_closeButton = new QPushButton(tr("关闭(&C)"), this);
    m_closeButton->setObjectName(QStringLiteral("closeButton"));
    connect(m_queryButton, &QPushButton::clicked, this, &RegionQueryWindow::query);
    connect(m_callerInfoButton, &QPushButton::clicked, this, &RegionQueryWindow::requestCallerInfo);
    connect(m_closeButton, &QPushButton::clicked, this, &RegionQueryWindow::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_queryButton);
    buttons->addWidget(m_callerInfoButton);
    buttons->addWidget(m_closeButton);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(16, 14, 16, 12);
    grid->setVerticalSpacing(10);
    grid->addWidget(hint, 0, 0, 1, 2);
    grid->addWidget(numberLabel, 1, 0);
    grid->addWidget(m_numberEdit, 1, 1);
    grid->addWidget(regionLabel, 2, 0);
    grid->addWidget(m_regionEdit, 2, 1);
    grid->addLayout(buttons, 3, 0, 1, 2);
    setFixedSize(sizeHint().expandedTo(QSize(380, 0)));
}

bool RegionQueryWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_numberEdit && event->type() == QEvent::KeyPress)
        return swallowsKey(static_cast<QKeyEvent*>(event));
    return QDialog::eventFilter(watched, event);
}

bool RegionQueryWindow::swallowsKey(const QKeyEvent* event) const
{
    // Keys that type no character (arrows, Delete, Enter for the default button, shortcuts)
    // are not characters for the entry and pass.
    const QString text = event->text();
    if (text.isEmpty() || !text.at(0).isPrint())
        return false;
    return !(text.size() == 1 && text.at(0) >= QLatin1Char('0') && text.at(0) <= QLatin1Char('9'));
}

void RegionQueryWindow::enableCallerInfo()
{
    m_callerInfoButton->setEnabled(true);
}

void RegionQueryWindow::query()
{
    m_regionEdit->setText(RegionQuery::answer(m_table, m_numberEdit->text()));
}

void RegionQueryWindow::requestCallerInfo()
{
    emit callerInfoRequested(RegionQuery::withoutLeadingZeros(m_numberEdit->text()));
}
