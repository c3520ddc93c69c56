#include "app/MainWindow.h"

#include "app/AboutDialog.h"
#include "app/Banner.h"
#include "app/CallPublisher.h"
#include "app/ClickableWidgets.h"
#include "app/LoadingNotice.h"
#include "capture/LineMessage.h"
#include "capture/ModemLine.h"
#include "capture/TelephonyLine.h"
#include "lookup/BlockList.h"
#include "lookup/BlockListWindow.h"
#include "lookup/RegionTable.h"
#include "lookup/RegionQueryWindow.h"
#include "platform/FreedMemory.h"
#include "platform/ProgramFolder.h"
#include "platform/ui/ExceptionReport.h"
#include "platform/addressbook/ContactsWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

namespace {
// Long enough for the first painting and the device steps queued by start-up to have run.
constexpr int StartUpSettleMs = 2000;

QLabel* label(QWidget* parent, const char* name, const QString& text, const QRect& geometry)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(geometry);
    return l;
}

// The caller-ID commands offered: the four the program always had (stored item indexes
// keep their meaning), then those of the common chipsets. Indexes stay below 10, as the
// settings file keeps one digit of them.
QStringList callerIdCommandPresets()
{
    return {QStringLiteral("AT#CID=1"),
            QStringLiteral("AT+VCID=1"),
            QStringLiteral("AT#CLS=8#CID=1"),
            QStringLiteral("AT#CLS=8#CID=1"),
            QStringLiteral("AT-STE=1;+VCID=1"),    // Agere/Conexant soft modems outside North America
            QStringLiteral("AT+VCID=2"),           // Conexant, unformatted packets
            QStringLiteral("AT#CID=2"),            // Rockwell/USR, unformatted packets
            QStringLiteral("ATS40.2=1"),           // ZyXEL
            QStringLiteral("AT+FCLASS=8;+VCID=1")}; // voice mode, report between DLE codes
}

QComboBox* comboBox(QWidget* parent, const char* name, const QStringList& items, const QRect& geometry)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(QLatin1String(name));
    // The commands may be typed as well as picked; typed text is never added as an item.
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->addItems(items);
    c->setGeometry(geometry);
    return c;
}

// The radio button sits in the blank start of its group's caption.
QRadioButton* captionRadio(QWidget* group, const char* name)
{
    auto* r = new QRadioButton(group);
    r->setObjectName(QLatin1String(name));
    r->setGeometry(2, 0, 16, 16);
    return r;
}
} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent), m_programFolder(ProgramFolder::path()), m_regionTable(std::make_unique<RegionTable>()),
      m_modem(new ModemLine(m_programFolder + QStringLiteral("sysset.ini"), this))
{
    setWindowTitle(tr("维诺星系列－来电显示V3.0"));
    setFont(QFont(QStringLiteral("宋体"), 9));
    setFixedSize(439, 533);
    m_modem->setObjectName(QStringLiteral("modem"));
    // A list that cannot be read blocks nothing and is not overwritten; its editor says why.
    m_blockList = std::make_unique<BlockList>(
        QDir(m_programFolder).filePath(BlockList::fileName()),
        [this](const QString& digits) { return QString::fromLatin1(nationalForm(digits.toLatin1())); });
    m_blockList->load();
    createWidgets();
    connectWidgets();
    connectDeviceWidgets();
    createTray();
}

// A window deleted without a close event (a test, the application ending first) still
// releases its line and port.
MainWindow::~MainWindow()
{
    release();
}

void MainWindow::createWidgets()
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
    label(top, "deviceHintLabel", tr("请选择电话设备    "), QRect(12, 14, 120, 14))->setFont(bold);
    m_statusLabel = label(top, "statusLabel", QString(), QRect(136, 14, 296, 14));
    m_statusLabel->setFont(bold);
    QPalette red = m_statusLabel->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    m_statusLabel->setPalette(red);

    m_banner = new ClickableLabel(client);
    m_banner->setObjectName(QStringLiteral("banner"));
    m_banner->setGeometry(20, 45, 399, 98);
    m_banner->setPixmap(PaintBanner(399, 98));
    m_banner->setCursor(Qt::PointingHandCursor);

    m_modemGroup = new ClickableGroupBox(tr("    来电Modem"), client);
    m_modemGroup->setObjectName(QStringLiteral("modemGroup"));
    m_modemGroup->setGeometry(8, 150, 423, 106);
    m_modemRadio = captionRadio(m_modemGroup, "modemRadio");
    label(m_modemGroup, "portLabel", tr("连接端口："), QRect(14, 26, 72, 16));
    m_portCombo = comboBox(m_modemGroup, "portCombo",
                           {QStringLiteral("COM1"), QStringLiteral("COM2"), QStringLiteral("COM3"),
                            QStringLiteral("COM4"), QStringLiteral("COM5"), QStringLiteral("COM6"),
                            QStringLiteral("COM7"), QStringLiteral("COM8")},
                           QRect(88, 22, 110, 22));
    label(m_modemGroup, "initCommandLabel", tr("初始化AT："), QRect(14, 52, 72, 16));
    m_initCommandCombo =
        comboBox(m_modemGroup, "initCommandCombo",
                 {QStringLiteral("ATZ"), QStringLiteral("AT&FE1"), QStringLiteral("AT&F&C1&D2")}, QRect(88, 48, 190, 22));
    label(m_modemGroup, "callerIdCommandLabel", tr("来电开AT："), QRect(14, 78, 72, 16));
    m_callerIdCommandCombo = comboBox(m_modemGroup, "callerIdCommandCombo",
                                      callerIdCommandPresets(),
                                      QRect(88, 74, 190, 22));
    m_testModemButton = new QPushButton(tr("测试Modem"), m_modemGroup);
    m_testModemButton->setObjectName(QStringLiteral("testModemButton"));
    m_testModemButton->setGeometry(300, 46, 100, 26);
    m_lineMonitorButton = new QPushButton(tr("线路监视"), m_modemGroup);
    m_lineMonitorButton->setObjectName(QStringLiteral("lineMonitorButton"));
    m_lineMonitorButton->setGeometry(300, 74, 100, 26);

    m_lineGroup = new ClickableGroupBox(tr("    TAPI来电设备"), client);
    m_lineGroup->setObjectName(QStringLiteral("lineGroup"));
    m_lineGroup->setGeometry(8, 262, 423, 190);
    m_lineRadio = captionRadio(m_lineGroup, "lineRadio");
    m_lineCombo = new QComboBox(m_lineGroup);
    m_lineCombo->setObjectName(QStringLiteral("lineCombo"));
    m_lineCombo->setGeometry(14, 24, 322, 22);
    m_lineIcon = new ClickableLabel(m_lineGroup);
    m_lineIcon->setObjectName(QStringLiteral("lineIcon"));
    m_lineIcon->setGeometry(344, 20, 30, 30);
    m_lineConfigButton = new QToolButton(m_lineGroup);
    m_lineConfigButton->setObjectName(QStringLiteral("lineConfigButton"));
    m_lineConfigButton->setGeometry(382, 21, 28, 28);
    m_lineConfigButton->setToolTip(tr("线路配置"));
    m_lineConfigButton->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    m_lineReport = new QListWidget(m_lineGroup);
    m_lineReport->setObjectName(QStringLiteral("lineReport"));
    m_lineReport->setGeometry(14, 56, 396, 124);
    QFont report = font();
    report.setPixelSize(12);
    m_lineReport->setFont(report);
    QPalette lime = m_lineReport->palette();
    lime.setColor(QPalette::Base, Qt::black);
    lime.setColor(QPalette::Text, QColor(0x00, 0xff, 0x00));
    m_lineReport->setPalette(lime);

    const auto check = [client](const char* name, const QString& text, const QRect& geometry) {
        auto* c = new QCheckBox(text, client);
        c->setObjectName(QLatin1String(name));
        c->setGeometry(geometry);
        return c;
    };
    m_autoStartCheck = check("autoStartCheck", tr("下次自动启动"), QRect(14, 460, 110, 18));
    m_dropFirstDigitCheck = check("dropFirstDigitCheck", tr("汇线通,去来电首位     "), QRect(130, 460, 170, 18));
    m_dtmfCheck = check("dtmfCheck", tr("转为DTMF制式"), QRect(306, 460, 120, 18));

    m_monitorButton = new QPushButton(tr("监控(&S)"), client);
    m_monitorButton->setObjectName(QStringLiteral("monitorButton"));
    m_monitorButton->setGeometry(230, 492, 90, 28);
    m_monitorButton->setDefault(true);
    m_exitButton = new QPushButton(tr("退出(&X)"), client);
    m_exitButton->setObjectName(QStringLiteral("exitButton"));
    m_exitButton->setGeometry(330, 492, 90, 28);

    m_ringTimer = new QTimer(this);
    m_ringTimer->setObjectName(QStringLiteral("ringTimer"));
    m_ringTimer->setInterval(1000);
    m_autoStartTimer = new QTimer(this);
    m_autoStartTimer->setObjectName(QStringLiteral("autoStartTimer"));
    m_autoStartTimer->setInterval(1000);
    m_autoStartTimer->setSingleShot(true);
}

void MainWindow::connectWidgets()
{
    connect(m_monitorButton, &QPushButton::clicked, this, &MainWindow::startMonitoring);
    connect(m_testModemButton, &QPushButton::clicked, this, &MainWindow::testModem);
    connect(m_lineMonitorButton, &QPushButton::clicked, this, &MainWindow::showLineMonitor);
    connect(m_exitButton, &QPushButton::clicked, this, &QWidget::close);
    connect(m_lineCombo, &QComboBox::activated, this, &MainWindow::showLineReport);
    connect(m_lineConfigButton, &QToolButton::clicked, this, &MainWindow::configureLine);
    connect(m_ringTimer, &QTimer::timeout, this, &MainWindow::playRing);
    // Monitoring starts a second after a start-up that was asked to start it.
    connect(m_autoStartTimer, &QTimer::timeout, this, &MainWindow::startMonitoring);
    connectModem();
}

void MainWindow::startUp()
{
    // A failing step (the region table that cannot be read) skips the steps after it; the
    // window still comes up and everything that does not need them works.
    try {
        loadRegionTable();
        startLineDevices();
        chooseModemDefaults();
        applyDeviceSettings();
    } catch (const std::exception& e) {
        ShowExceptionReport(e);
    }
    // What start-up only needed for a moment (the region file's pieces, decoded images, the
    // font database's scratch) is handed back once the window is shown and the line is open.
    QTimer::singleShot(StartUpSettleMs, this, &releaseFreedMemory);
}

bool MainWindow::event(QEvent* e)
{
    if (LineMessage::isLineMessage(e)) {
        const auto& message = static_cast<const LineMessage&>(*e);
        switch (message.id()) {
        case WM_CALLER_NUMBER:
            takeCallerNumber(message);
            break;
        case WM_LINE_RING:
            startRinging(message);
            break;
        case WM_RING_DONE:
            stopRinging();
            break;
        }
        return true;
    }
    return QMainWindow::event(e);
}

void MainWindow::closeEvent(QCloseEvent* e)
{
    release();
    QMainWindow::closeEvent(e);
    emit closed();
}

void MainWindow::release()
{
    if (m_closed)
        return;
    m_closed = true;
    m_modem->close();
    releaseLine();
    // The query window reads the table; it goes first.
    delete m_regionQueryWindow;
    m_regionTable.reset();
}
