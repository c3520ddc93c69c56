#include "app/MainWindow.h"

#include "app/Banner.h"
#include "app/ClickableWidgets.h"
#include "capture/LineMessage.h"
#include "lookup/RegionTable.h"
#include "lookup/RegionQueryWindow.h"
#include "platform/ProgramFolder.h"
#include "platform/serial/SerialPort.h"
#include "platform/ui/ExceptionReport.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

MainWindow* MainForm = nullptr;

namespace {
QLabel* label(QWidget* parent, const QString& text, const QRect& geometry)
{
    auto* l = new QLabel(text, parent);
    l->setGeometry(geometry);
    return l;
}

QComboBox* comboBox(QWidget* parent, const QStringList& items, const QRect& geometry)
{
    auto* c = new QComboBox(parent);
    // The commands may be typed as well as picked; typed text is never added as an item.
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->addItems(items);
    c->setGeometry(geometry);
    return c;
}

// The radio button sits in the blank start of its group's caption.
QRadioButton* captionRadio(QWidget* group)
{
    auto* r = new QRadioButton(group);
    r->setGeometry(2, 0, 16, 16);
    return r;
}
} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent), AppPath(ProgramFolder::path()), AreaTable(std::make_unique<RegionTable>())
{
    setWindowTitle(QStringLiteral("维诺星系列－来电显示V3.0"));
    setFont(QFont(QStringLiteral("宋体"), 9));
    setFixedSize(439, 533);
    CreateComponents();
    ConnectHandlers();
    ConnectDeviceHandlers();
    CreateTray();
}

// A window deleted without a close event (a test, the application ending first) still
// releases its line and port.
MainWindow::~MainWindow()
{
    FormClose();
}

void MainWindow::CreateComponents()
{
    auto* client = new QWidget(this);
    setCentralWidget(client);

    auto* top = new QWidget(client);
    top->setGeometry(0, 0, 439, 41);
    top->setAutoFillBackground(true);
    QPalette white = top->palette();
    white.setColor(QPalette::Window, Qt::white);
    top->setPalette(white);
    QFont bold = font();
    bold.setBold(true);
    Label1 = label(top, QStringLiteral("请选择电话设备    "), QRect(12, 14, 120, 14));
    Label1->setFont(bold);
    Label4 = label(top, QString(), QRect(136, 14, 296, 14));
    Label4->setFont(bold);
    QPalette red = Label4->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label4->setPalette(red);

    Image2 = new ClickableLabel(client);
    Image2->setGeometry(20, 45, 399, 98);
    Image2->setPixmap(PaintBanner(399, 98));
    Image2->setCursor(Qt::PointingHandCursor);

    GroupBox3 = new ClickableGroupBox(QStringLiteral("    来电Modem"), client);
    GroupBox3->setGeometry(8, 150, 423, 106);
    RadioButton4 = captionRadio(GroupBox3);
    Label7 = label(GroupBox3, QStringLiteral("连接端口："), QRect(14, 26, 72, 16));
    ComboBox4 = comboBox(GroupBox3,
                         {QStringLiteral("COM1"), QStringLiteral("COM2"), QStringLiteral("COM3"), QStringLiteral("COM4"),
                          QStringLiteral("COM5"), QStringLiteral("COM6"), QStringLiteral("COM7"),
                          QStringLiteral("COM8")},
                         QRect(88, 22, 110, 22));
    Label5 = label(GroupBox3, QStringLiteral("初始化AT："), QRect(14, 52, 72, 16));
    ComboBox6 = comboBox(GroupBox3, {QStringLiteral("ATZ"), QStringLiteral("AT&FE1"), QStringLiteral("AT&F&C1&D2")},
                         QRect(88, 48, 190, 22));
    Label6 = label(GroupBox3, QStringLiteral("来电开AT："), QRect(14, 78, 72, 16));
    ComboBox5 = comboBox(GroupBox3,
                         {QStringLiteral("AT#CID=1"), QStringLiteral("AT+VCID=1"), QStringLiteral("AT#CLS=8#CID=1"),
                          QStringLiteral("AT#CLS=8#CID=1")},
                         QRect(88, 74, 190, 22));
    btnTestModem = new QPushButton(QStringLiteral("测试Modem"), GroupBox3);
    btnTestModem->setGeometry(300, 46, 100, 26);

    GroupBox2 = new ClickableGroupBox(QStringLiteral("    TAPI来电设备"), client);
    GroupBox2->setGeometry(8, 262, 423, 190);
    RadioButton3 = captionRadio(GroupBox2);
    ComboBox1 = new QComboBox(GroupBox2);
    ComboBox1->setGeometry(14, 24, 322, 22);
    Image1 = new ClickableLabel(GroupBox2);
    Image1->setGeometry(344, 20, 30, 30);
    btnLineCfg = new QToolButton(GroupBox2);
    btnLineCfg->setGeometry(382, 21, 28, 28);
    btnLineCfg->setToolTip(QStringLiteral("线路配置"));
    btnLineCfg->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    ListBox1 = new QListWidget(GroupBox2);
    ListBox1->setGeometry(14, 56, 396, 124);
    QFont report = font();
    report.setPixelSize(12);
    ListBox1->setFont(report);
    QPalette lime = ListBox1->palette();
    lime.setColor(QPalette::Base, Qt::black);
    lime.setColor(QPalette::Text, QColor(0x00, 0xff, 0x00));
    ListBox1->setPalette(lime);

    chkBoot = new QCheckBox(QStringLiteral("下次自动启动"), client);
    chkBoot->setGeometry(14, 460, 110, 18);
    chkDelHeader = new QCheckBox(QStringLiteral("汇线通,去来电首位     "), client);
    chkDelHeader->setGeometry(130, 460, 170, 18);
    chkFskDTMF = new QCheckBox(QStringLiteral("转为DTMF制式"), client);
    chkFskDTMF->setGeometry(306, 460, 120, 18);

    btnMonitor = new QPushButton(QStringLiteral("监控(&S)"), client);
    btnMonitor->setGeometry(230, 492, 90, 28);
    btnMonitor->setDefault(true);
    btnStart = new QPushButton(QStringLiteral("退出(&X)"), client);
    btnStart->setGeometry(330, 492, 90, 28);

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    Timer2 = new QTimer(this);
    Timer2->setInterval(1000);
    MSComm1 = new SerialPort(AppPath + QStringLiteral("sysset.ini"), this);

    const std::pair<QObject*, const char*> names[] = {
        {Label1, "Label1"},         {Label4, "Label4"},           {Image2, "Image2"},
        {GroupBox3, "GroupBox3"},   {RadioButton4, "RadioButton4"}, {Label7, "Label7"},
        {ComboBox4, "ComboBox4"},   {Label5, "Label5"},           {ComboBox6, "ComboBox6"},
        {Label6, "Label6"},         {ComboBox5, "ComboBox5"},     {btnTestModem, "btnTestModem"},
        {GroupBox2, "GroupBox2"},   {RadioButton3, "RadioButton3"}, {ComboBox1, "ComboBox1"},
        {Image1, "Image1"},         {btnLineCfg, "btnLineCfg"},   {ListBox1, "ListBox1"},
        {chkBoot, "chkBoot"},       {chkDelHeader, "chkDelHeader"}, {chkFskDTMF, "chkFskDTMF"},
        {btnMonitor, "btnMonitor"}, {btnStart, "btnStart"},       {Timer1, "Timer1"},
        {Timer2, "Timer2"},         {MSComm1, "MSComm1"},
    };
    for (const auto& [object, name] : names)
        object->setObjectName(QLatin1String(name));
}

void MainWindow::ConnectHandlers()
{
    connect(btnMonitor, &QPushButton::clicked, this, &MainWindow::btnMonitorClick);
    connect(btnTestModem, &QPushButton::clicked, this, &MainWindow::btnTestModemClick);
    connect(btnStart, &QPushButton::clicked, this, &MainWindow::btnStartClick);
    connect(ComboBox1, &QComboBox::activated, this, &MainWindow::ComboBox1Change);
    connect(btnLineCfg, &QToolButton::clicked, this, &MainWindow::btnLineCfgClick);
    connect(Timer1, &QTimer::timeout, this, &MainWindow::Timer1Timer);
    connect(Timer2, &QTimer::timeout, this, &MainWindow::Timer2Timer);
    ConnectModemHandlers();
}

void MainWindow::FormCreate()
{
    // A failing step (the region table that cannot be read) skips the steps after it; the
    // window still comes up and everything that does not need them works.
    try {
        LoadAreaCodes();
        StartTapi();
        SetModemDefaults();
        ApplyDeviceSettings();
    } catch (const std::exception& e) {
        ShowExceptionReport(e);
    }
}

void MainWindow::btnStartClick()
{
    close();
}

void MainWindow::Timer2Timer()
{
    Timer2->stop();
    btnMonitorClick();
}

bool MainWindow::event(QEvent* e)
{
    if (LineMessage::isLineMessage(e)) {
        const auto& message = static_cast<const LineMessage&>(*e);
        switch (message.id()) {
        case WM_CALLER_NUMBER:
            OnCallerNumber(message);
            break;
        case WM_LINE_RING:
            OnLineRing(message);
            break;
        case WM_RING_DONE:
            OnRingDone();
            break;
        }
        return true;
    }
    return QMainWindow::event(e);
}

void MainWindow::closeEvent(QCloseEvent* e)
{
    FormClose();
    QMainWindow::closeEvent(e);
    emit closed();
}

void MainWindow::FormClose()
{
    if (m_closed)
        return;
    m_closed = true;
    if (MSComm1->PortOpen())
        MSComm1->SetPortOpen(false);
    ReleaseTapi();
    // The query window reads the table; it goes first.
    delete m_regionQueryWindow;
    AreaTable.reset();
}
