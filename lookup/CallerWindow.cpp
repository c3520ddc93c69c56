#include "lookup/CallerWindow.h"

#include "lookup/CallLog.h"
#include "lookup/CallerStatement.h"
#include "lookup/StatementRunner.h"
#include "lookup/DataSetModel.h"
#include "lookup/DbError.h"
#include "platform/ProgramFolder.h"
#include "platform/sound/Sound.h"
#include "platform/ui/MessageBoxes.h"
#include "lookup/DataSourceSettings.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QTableView>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <chrono>

CallerWindow* ShowInfoDlg = nullptr;

namespace {
CallerWindow::RegionLookup g_region;

constexpr int CollapsedHeight = 430;
constexpr int ExpandedHeight = 600;
// Title bar and borders: the outer heights above hold a client area 27 pixels lower.
constexpr int FrameHeight = 27;
constexpr int ClientWidth = 597;

const QString DatabaseNotFound = QStringLiteral("数据库中没有对应来电的通讯资料信息！");
const QString AddressBookNotFound = QStringLiteral("通讯薄中没有对应来电的通讯资料信息！");

void reportError(const QString& text)
{
    MessageBoxes::show({QMessageBox::Critical, QStringLiteral("错误提示"), text, QMessageBox::Ok, QMessageBox::Ok});
}

QFrame* panel(QWidget* parent, int height)
{
    auto* frame = new QFrame(parent);
    if (height > 0)
        frame->setFixedHeight(height);
    return frame;
}
} // namespace

CallerWindow::CallerWindow(QWidget* parent)
    : QDialog(parent), AddrBook(&m_contactDialogs), ADOQuery1(&ADOConnection1), ADOQuery2(&ADOConnection1),
      m_contactDialogs(this)
{
    buildForm();
    readSettings();
}

void CallerWindow::setRegionLookup(RegionLookup region)
{
    g_region = std::move(region);
}

CallerWindow::~CallerWindow()
{
    if (ShowInfoDlg == this)
        ShowInfoDlg = nullptr;
}

void CallerWindow::buildForm()
{
    setWindowTitle(QStringLiteral("客户资料"));
    setFont(QFont(QStringLiteral("宋体"), 9));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    QFrame* panel5 = panel(this, 41);
    panel5->setObjectName(QStringLiteral("Panel5"));
    panel5->setAutoFillBackground(true);
    panel5->setPalette(QPalette(Qt::white));
    auto* band = new QHBoxLayout(panel5);
    band->setContentsMargins(12, 0, 12, 0);
    band->addWidget(new QLabel(QStringLiteral("如果有多条相关记录，可以用<上一条><下一条>查看。    "), panel5));
    band->addStretch();
    auto* picture = new QLabel(panel5);
    picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    band->addWidget(picture);
    layout->addWidget(panel5);

    QFrame* panel2 = panel(this, 320);
    panel2->setObjectName(QStringLiteral("Panel2"));
    auto* gridBox = new QVBoxLayout(panel2);
    gridBox->setContentsMargins(8, 15, 8, 15);
    StringGrid1 = new QTableWidget(2, 2, panel2);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setFixedSize(580, 290);
    StringGrid1->setHorizontalHeaderLabels({QStringLiteral("项    目"), QStringLiteral("资    料")});
    StringGrid1->setColumnWidth(0, 80);
    StringGrid1->setColumnWidth(1, 450);
    StringGrid1->verticalHeader()->hide();
    StringGrid1->verticalHeader()->setDefaultSectionSize(24);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setWordWrap(false);
    gridBox->addWidget(StringGrid1);
    layout->addWidget(panel2);

    QFrame* coolBar = panel(this, 30);
    coolBar->setObjectName(QStringLiteral("CoolBar1"));
    coolBar->setFrameShape(QFrame::StyledPanel);
    auto* barBox = new QHBoxLayout(coolBar);
    barBox->setContentsMargins(0, 0, 0, 0);
    auto* toolBar = new QToolBar(coolBar);
    toolBar->setObjectName(QStringLiteral("ToolBar1"));
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
    sbtnPrev = button("sbtnPrev", QStringLiteral("上一条"), QStringLiteral("上一条记录 "), QStyle::SP_ArrowBack);
    sbtnNext = button("sbtnNext", QString(), QStringLiteral("下一条(&N)"), QStyle::SP_ArrowForward);
    toolBar->addSeparator();
    sbtnDial = button("sbtnDial", QStringLiteral("回拨"), QStringLiteral("回拨(&R)"), QStyle::SP_DialogYesButton);
    sbtnPickUp = button("sbtnPickUp", QStringLiteral("接听"), QStringLiteral("接听电话"), QStyle::SP_DialogApplyButton);
    sbtnHangUp = button("sbtnHangUp", QString(), QStringLiteral("挂断电话"), QStyle::SP_DialogCancelButton);
    toolBar->addSeparator();
    sbtnHestory = button("sbtnHestory", QStringLiteral("历史记录"), QStringLiteral("历史来电(&H)"),
                         QStyle::SP_FileDialogDetailedView);
    toolBar->addSeparator();
    sbtnDetailInfo = button("sbtnDetailInfo", QStringLiteral("详细资料"), QStringLiteral("详细信息(&M)"),
                            QStyle::SP_FileDialogInfoView);
    sbtnNewCust =
        button("sbtnNewCust", QStringLiteral("添加"), QStringLiteral("添加新客户资料"), QStyle::SP_FileDialogNewFolder);
    toolBar->addSeparator();
    tbtnPrinter = button("tbtnPrinter", QStringLiteral("打印"), QStringLiteral("打  印(&P)"), QStyle::SP_DriveFDIcon);
    toolBar->addSeparator();
    sbtnMoreInfo = button("sbtnMoreInfo", QStringLiteral("↓"), QStringLiteral("更多信息..."), QStyle::SP_CustomBase);
    QFont arrow(QStringLiteral("宋体"));
    arrow.setPixelSize(14);
    arrow.setBold(true);
    arrow.setUnderline(true);
    sbtnMoreInfo->setFont(arrow);
    toolBar->addSeparator();
    sbtnHelp = button("sbtnHelp", QString(), QStringLiteral("帮助"), QStyle::SP_MessageBoxQuestion);
    layout->addWidget(coolBar);

    QFrame* panel3 = panel(this, 0);
    panel3->setObjectName(QStringLiteral("Panel3"));
    auto* bizBox = new QVBoxLayout(panel3);
    bizBox->setContentsMargins(7, 5, 8, 5);
    DBGrid1 = new QTableView(panel3);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->verticalHeader()->hide();
    DBGrid1->verticalHeader()->setDefaultSectionSize(22);
    m_businessModel = new DataSetModel(&ADOQuery2, this);
    DBGrid1->setModel(m_businessModel);
    bizBox->addWidget(DBGrid1);
    layout->addWidget(panel3, 1);

    connect(sbtnPrev, &QToolButton::clicked, this, &CallerWindow::sbtnPrevClick);
    connect(sbtnNext, &QToolButton::clicked, this, &CallerWindow::sbtnNextClick);
    connect(sbtnMoreInfo, &QToolButton::clicked, this, &CallerWindow::sbtnMoreInfoClick);
    ConnectCommands();

    setOuterHeight(CollapsedHeight);
}

void CallerWindow::readSettings()
{
    const DataSourceSettings settings = DataSourceSettings::read(ProgramFolder::file(QStringLiteral("Vornx.ini")));
    // The file is written by the mapping wizard; a hand-edited number that does not read
    // is taken as 0 after telling the user.
    if (!settings.queryTypeValid || !settings.fieldCountValid)
        reportError(QStringLiteral("请重新设置数据源参数！"));
    QueryType = settings.queryType;

    if (isDatabaseType()) {
        ConnStr = settings.connectString;
        CustSQL = settings.customerSql;
        BizSQL = settings.businessSql;
        if (settings.fieldCount > 0)
            StringGrid1->setRowCount(settings.fieldCount + 2);
        setRowLabel(1, QStringLiteral("来电号码"));
        setRowLabel(2, QStringLiteral("来电时间"));
        for (int k = 0; k < settings.fieldCount; ++k)
            setRowLabel(k + 3, settings.labels.value(k));
        ADOConnection1.close();
        ADOConnection1.setConnectionString(ConnStr);
        // A database that cannot be opened now is tried again at each call.
        openConnection(&m_creationConnectError);
    } else if (QueryType == 1) {
        sbtnMoreInfo->setEnabled(false);
        StringGrid1->setRowCount(10);
        const QStringList labels = {QStringLiteral("来电号码"), QStringLiteral("来电时间"), QStringLiteral("客户姓名"),
                                    QStringLiteral("家庭地址"), QStringLiteral("公司地址"), QStringLiteral("公司名称"),
                                    QStringLiteral("性    别"), QStringLiteral("生    日"), QStringLiteral("邮件地址"),
                                    QStringLiteral("附    注")};
        for (int row = 1; row <= labels.size(); ++row)
            setRowLabel(row, labels.at(row - 1));
        AddrBook.Open();
        // The readable contacts are used; the user learns that some could not be read.
        if (AddrBook.SkippedCards > 0)
            ShowWarningBox(tr("通讯薄文件中有%1张名片无法读取，已跳过。").arg(AddrBook.SkippedCards));
    }
}

QString CallerWindow::connectFailedText()
{
    return tr("数据库无法打开，未能查找来电资料！");
}

QString CallerWindow::statementFailedText()
{
    return tr("数据库操作失败，未能查找来电资料！");
}

bool CallerWindow::openConnection(QString* error)
{
    try {
        ADOConnection1.open();
        return true;
    } catch (const DbError& e) {
        *error = e.message();
        return false;
    }
}

void CallerWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Shown again by the window system (restored from minimised): nothing new to look up.
    if (event->spontaneous())
        return;
    FormShow();
    // Centred on the screen, not over the main window, which is usually hidden in the tray.
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, m_outerHeight / 2));
    }
}

void CallerWindow::FormShow()
{
    if (PhoneNo == ShownNo)
        return;
    for (int row = 1; row <= StringGrid1->rowCount(); ++row)
        setRowText(row, QString());
    sbtnDetailInfo->setEnabled(QueryType == 1);
    sbtnNewCust->setEnabled(QueryType == 1);
    setOuterHeight(CollapsedHeight);

    bool lookedUp = true;
    if (isDatabaseType())
        lookedUp = lookUpInDatabase();
    else if (QueryType == 1)
        lookUpInAddressBook();
    // A number whose lookup failed is looked up again when the caller calls again; so is
    // the caller shown before it, whose record this window no longer holds.
    ShownNo = lookedUp ? PhoneNo : QString();

    if (SoundOn)
        Sound::play(ProgramFolder::file(QStringLiteral("coming.wav")));

    QString error;
    if (!CallLog(ProgramFolder::file(QStringLiteral("Phone.Log"))).append(PhoneNo, rowText(3), &error))
        reportError(error);
    traceShown();
}

void CallerWindow::traceShown() const
{
    const QString path = qEnvironmentVariable("VORNX_CALLER_LOG");
    if (path.isEmpty())
        return;
    QByteArray text = "shown " +
                      QByteArray::number(qint64(std::chrono::duration_cast<std::chrono::microseconds>(
                                                    std::chrono::steady_clock::now().time_since_epoch())
                                                    .count())) +
                      '\n';
    for (int row = 1; row <= StringGrid1->rowCount(); ++row) {
        const QTableWidgetItem* label = StringGrid1->item(row - 1, 0);
        text += ((label ? label->text() : QString()) + QLatin1Char('\t') + rowText(row)).toUtf8() + '\n';
    }
    QFile log(path);
    if (log.open(QIODevice::WriteOnly | QIODevice::Append))
        log.write(text + '\n');
}

bool CallerWindow::lookUpInDatabase()
{
    auto showFailure = [this](const QString& text) {
        ADOQuery1.close();
        sbtnPrev->setEnabled(false);
        sbtnNext->setEnabled(false);
        setRowText(1, numberText());
        setRowText(2, CallLog::timeText(QDateTime::currentDateTime()));
        setRowText(3, text);
    };

    if (!ADOConnection1.connected()) {
        QString error = m_creationConnectError;
        m_creationConnectError.clear();
        if (error.isEmpty() && openConnection(&error)) {
            // connected again: look up below
        } else {
            showFailure(connectFailedText());
            reportError(error);
            return false;
        }
    }

    const std::optional<QString> statement = CallerStatement::withNumber(CustSQL, PhoneNo);
    if (!statement) {
        showFailure(DatabaseNotFound);
        return true;
    }
    // A failed statement may mean the server went away; the connection then stays broken
    // although it still counts as open, so it is closed and the next call opens it afresh.
    try {
        if (!DataModule1->RunSQL(*statement, true, ADOQuery1)) {
            showFailure(statementFailedText());
            ADOConnection1.close();
            return false;
        }
        ADOQuery1.first();
    } catch (const std::exception&) {
        showFailure(statementFailedText());
        ADOConnection1.close();
        reportError(QStringLiteral("数据库操作失败"));
        return false;
    }
    sbtnNext->setEnabled(!ADOQuery1.eof());
    sbtnPrev->setEnabled(!ADOQuery1.bof());
    ShowRecord();
    return true;
}

void CallerWindow::lookUpInAddressBook()
{
    setRowText(1, numberText());
    setRowText(2, CallLog::timeText(QDateTime::currentDateTime()));
    // Only a number of digits is looked up; an empty one would end every stored number.
    Matches = CallerStatement::isLookupNumber(PhoneNo) ? AddrBook.FindByPhone(PhoneNo) : QList<const ContactSummary*>();
    MatchIndex = 0;
    sbtnNext->setEnabled(Matches.size() > 1);
    sbtnPrev->setEnabled(false);
    if (Matches.isEmpty())
        setRowText(3, AddressBookNotFound);
    else
        fillEntry(*Matches.first());
}

void CallerWindow::fillEntry(const ContactSummary& entry)
{
    const QStringList values = {entry.Name,   entry.HomeAddress, entry.BusinessAddress, entry.Company,
                                entry.Gender, entry.Birthday,    entry.EMail,           entry.Notes};
    for (int i = 0; i < values.size(); ++i)
        setRowText(i + 3, values.at(i));
}

void CallerWindow::ShowRecord()
{
    setRowText(1, numberText());
    setRowText(2, CallLog::timeText(QDateTime::currentDateTime()));
    if (!ADOQuery1.isOpen())
        return;
    if (ADOQuery1.eof()) {
        setRowText(3, DatabaseNotFound);
        return;
    }
    // Positional: the k-th column of the result goes to the row labelled FIELDk; columns
    // beyond the labelled rows are not shown.
    const int columns = int(ADOQuery1.fieldNames().size());
    for (int i = 0; i < columns; ++i)
        setRowText(i + 3, ADOQuery1.fieldText(i));
}

void CallerWindow::sbtnPrevClick()
{
    if (isDatabaseType()) {
        if (!ADOQuery1.isOpen())
            return;
        ADOQuery1.prior();
        sbtnNext->setEnabled(!ADOQuery1.eof());
        sbtnPrev->setEnabled(!ADOQuery1.bof());
        ShowRecord();
    } else if (QueryType == 1) {
        --MatchIndex;
        sbtnNext->setEnabled(MatchIndex < Matches.size() - 1);
        sbtnPrev->setEnabled(MatchIndex != 0);
        if (MatchIndex >= 0 && MatchIndex < Matches.size())
            fillEntry(*Matches.at(MatchIndex));
    }
}

void CallerWindow::sbtnNextClick()
{
    if (isDatabaseType()) {
        if (!ADOQuery1.isOpen())
            return;
        ADOQuery1.next();
        sbtnNext->setEnabled(!ADOQuery1.eof());
        sbtnPrev->setEnabled(!ADOQuery1.bof());
        ShowRecord();
    } else if (QueryType == 1) {
        ++MatchIndex;
        sbtnNext->setEnabled(MatchIndex < Matches.size() - 1);
        sbtnPrev->setEnabled(MatchIndex != 0);
        if (MatchIndex >= 0 && MatchIndex < Matches.size())
            fillEntry(*Matches.at(MatchIndex));
    }
}

void CallerWindow::sbtnMoreInfoClick()
{
    if (m_outerHeight / 100 != CollapsedHeight / 100) {
        setOuterHeight(CollapsedHeight);
        sbtnMoreInfo->setText(QStringLiteral("↓"));
        return;
    }
    const std::optional<QString> statement = CallerStatement::withNumber(BizSQL, PhoneNo);
    if (!statement || !DataModule1->RunSQL(*statement, true, ADOQuery2))
        return;
    setOuterHeight(ExpandedHeight);
    sbtnMoreInfo->setText(QStringLiteral("↑"));
}

QString CallerWindow::numberText() const
{
    if (PhoneNo.size() > 8 && g_region) {
        const QString district = g_region(PhoneNo);
        if (!district.isEmpty())
            return PhoneNo + QLatin1Char('(') + district + QLatin1Char(')');
    }
    return PhoneNo;
}

QString CallerWindow::rowText(int row) const
{
    const QTableWidgetItem* item = StringGrid1->item(row - 1, 1);
    return item ? item->text() : QString();
}

void CallerWindow::setRowText(int row, const QString& text)
{
    if (row < 1 || row > StringGrid1->rowCount())
        return;
    StringGrid1->setItem(row - 1, 1, new QTableWidgetItem(text));
}

void CallerWindow::setRowLabel(int row, const QString& text)
{
    if (row < 1 || row > StringGrid1->rowCount())
        return;
    StringGrid1->setItem(row - 1, 0, new QTableWidgetItem(text));
}

void CallerWindow::setOuterHeight(int height)
{
    m_outerHeight = height;
    findChild<QFrame*>(QStringLiteral("Panel3"))->setVisible(height == ExpandedHeight);
    setFixedSize(ClientWidth, height - FrameHeight);
}
