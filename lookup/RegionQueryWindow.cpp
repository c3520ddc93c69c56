#include "lookup/RegionQueryWindow.h"

#include "lookup/RegionQuery.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

RegionQueryWindow* PhoneQryForm = nullptr;

RegionQueryWindow::RegionQueryWindow(const RegionTable& table, QWidget* parent) : QDialog(parent), m_table(table)
{
    setWindowTitle(tr("号码归属查询"));

    Label3 = new QLabel(tr("输入您需要查询的电话，可以是手机或固定电话号码         "), this);
    Label1 = new QLabel(tr("电话号码  "), this);
    Label2 = new QLabel(tr("号码归属  "), this);
    edtPhoneNum = new QLineEdit(this);
    edtPhoneNum->installEventFilter(this);
    // Keys are filtered one by one; this also keeps pasted text to digits.
    edtPhoneNum->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    Label1->setBuddy(edtPhoneNum);
    edtDistrict = new QLineEdit(this);
    edtDistrict->setReadOnly(true);
    Label2->setBuddy(edtDistrict);

    btnQurey = new QPushButton(tr("查询(&Q)"), this);
    btnQurey->setDefault(true);
    btnInfo = new QPushButton(tr("其他信息"), this);
    btnInfo->setEnabled(false);
    btnExit = new QPushButton(tr("关闭(&C)"), this);
    connect(btnQurey, &QPushButton::clicked, this, &RegionQueryWindow::btnQureyClick);
    connect(btnInfo, &QPushButton::clicked, this, &RegionQueryWindow::btnInfoClick);
    connect(btnExit, &QPushButton::clicked, this, &RegionQueryWindow::btnExitClick);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnQurey);
    buttons->addWidget(btnInfo);
    buttons->addWidget(btnExit);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(16, 14, 16, 12);
    grid->setVerticalSpacing(10);
    grid->addWidget(Label3, 0, 0, 1, 2);
    grid->addWidget(Label1, 1, 0);
    grid->addWidget(edtPhoneNum, 1, 1);
    grid->addWidget(Label2, 2, 0);
    grid->addWidget(edtDistrict, 2, 1);
    grid->addLayout(buttons, 3, 0, 1, 2);
    setFixedSize(sizeHint().expandedTo(QSize(380, 0)));
}

bool RegionQueryWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edtPhoneNum && event->type() == QEvent::KeyPress)
        return edtPhoneNumKeyPress(static_cast<QKeyEvent*>(event));
    return QDialog::eventFilter(watched, event);
}

bool RegionQueryWindow::edtPhoneNumKeyPress(const QKeyEvent* event) const
{
    // Keys that type no character (arrows, Delete, Enter for the default button, shortcuts)
    // are not characters for the entry and pass.
    const QString text = event->text();
    if (text.isEmpty() || !text.at(0).isPrint())
        return false;
    return !(text.size() == 1 && text.at(0) >= QLatin1Char('0') && text.at(0) <= QLatin1Char('9'));
}

void RegionQueryWindow::btnQureyClick()
{
    edtDistrict->setText(RegionQuery::answer(m_table, edtPhoneNum->text()));
}

void RegionQueryWindow::btnInfoClick()
{
    emit callerInfoRequested(RegionQuery::withoutLeadingZeros(edtPhoneNum->text()));
}

void RegionQueryWindow::btnExitClick()
{
    close();
}
