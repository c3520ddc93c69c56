#pragma once

#include "capture/CallerIdParser.h"
#include "lookup/CallerLookup.h"
#include "lookup/LineCommands.h"

#include <QByteArray>
#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <memory>

class AnimatedTrayIcon;
class SerialPort;
class LineMessage;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class QTimer;
class QToolButton;
class ContactsWindow;
class RegionTable;
class ClickableGroupBox;
class ClickableLabel;
class CallerWindow;
class HistoryWindow;
class RegionQueryWindow;

// The program's hub: owns the line objects, the region table and the device settings, and
// receives the messages by which both capture paths report a call.
//
// The window is split by concern over several files: MainWindow.cpp (layout, creation,
// close), MainWindowModem.cpp (serial modem), MainWindowLine.cpp (telephony line),
// MainWindowDevices.cpp (device settings), MainWindowNotify.cpp (call notification),
// MainWindowArea.cpp (region table), MainWindowTray.cpp (tray icon and its menu).
class MainWindow final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The creation sequence; the program runs it right after constructing the window.
    void FormCreate();

    // Components, named as the rest of the program refers to them.
    QLabel* Label1 = nullptr;
    QLabel* Label4 = nullptr; // status line: the chosen device
    ClickableLabel* Image2 = nullptr; // banner
    ClickableGroupBox* GroupBox3 = nullptr; // modem
    QRadioButton* RadioButton4 = nullptr;
    QLabel* Label7 = nullptr;
    QComboBox* ComboBox4 = nullptr; // port COM1..COM8
    QLabel* Label5 = nullptr;
    QComboBox* ComboBox6 = nullptr; // initialisation command
    QLabel* Label6 = nullptr;
    QComboBox* ComboBox5 = nullptr; // caller-ID command
    QPushButton* btnTestModem = nullptr;
    ClickableGroupBox* GroupBox2 = nullptr; // TAPI line device
    QRadioButton* RadioButton3 = nullptr;
    QComboBox* ComboBox1 = nullptr; // line devices
    ClickableLabel* Image1 = nullptr; // the line device's icon
    QToolButton* btnLineCfg = nullptr;
    QListWidget* ListBox1 = nullptr; // line device report
    QCheckBox* chkBoot = nullptr;
    QCheckBox* chkDelHeader = nullptr;
    QCheckBox* chkFskDTMF = nullptr;
    QPushButton* btnMonitor = nullptr;
    QPushButton* btnStart = nullptr;
    QTimer* Timer1 = nullptr; // ring repeat
    QTimer* Timer2 = nullptr; // automatic start of monitoring
    SerialPort* MSComm1 = nullptr; // the modem's serial port

    // Tray icon and its menu.
    QList<QIcon> ImageList1; // menu images
    QList<QIcon> ImageList2; // tray icons: resting, ringing
    AnimatedTrayIcon* TrayIcon1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* A2 = nullptr; // 关于
    QAction* H1 = nullptr; // 帮助
    QAction* U1 = nullptr; // 在线升级
    QAction* N4 = nullptr;
    QAction* L1 = nullptr; // 历史记录
    QAction* A1 = nullptr; // 通讯薄
    QAction* N5 = nullptr; // 号码归属查询
    QAction* N3 = nullptr;
    QAction* S1 = nullptr; // 选择设备
    QAction* N2 = nullptr; // 设置数据源
    QAction* N1 = nullptr;
    QAction* X1 = nullptr; // 关闭

    // The address book's contacts window, created on first use.
    ContactsWindow* AddrBookForm = nullptr;

    QString AppPath;
    QByteArray CallerNumber; // the last number the modem reported
    int DevType = 0; // 0 before monitoring, then 3 (TAPI) or 4 (modem)
    // The region table: created empty with the window, filled by LoadAreaCodes, released
    // when the window closes.
    std::unique_ptr<RegionTable> AreaTable;

    // Creation steps, in their order.
    void LoadAreaCodes();
    void StartTapi();
    void SetModemDefaults();
    void ApplyDeviceSettings();

    // Device settings: the device choice is stored by the monitoring command, whatever its
    // outcome; nothing is stored while neither device is chosen.
    void WriteDeviceChoice();
    QString SettingsFile() const;

    // Tray: the icon is made visible, then the window leaves the screen (where a tray exists).
    void SendToTray();

    // Commands and handlers.
    void btnMonitorClick();
    void btnTestModemClick();
    void btnStartClick();
    void ComboBox1Change();
    void btnLineCfgClick();
    void Timer1Timer();
    void Timer2Timer();
    // The number-location query window, created on first use and shown without blocking.
    void ShowPhoneQryForm();
    // The caller window for a number typed in the query window, without the arrival sound.
    void ShowCallerInfo(const QString& number);
    void RadioButton3Click();
    void RadioButton4Click();
    void GroupBox2Click();
    void GroupBox3Click();
    void ComboBox4Change();
    void chkBootClick();
    void chkDelHeaderClick();
    void chkFskDTMFClick();
    void Image2Click();

    // Tray menu commands.
    void A2Click();
    void H1Click();
    void U1Click();
    void L1Click();
    void A1Click();
    void N5Click();
    void S1Click();
    void N2Click();
    void X1Click();

    // The modem and the line: finding the modem, starting and testing it, calls.
    int ScanModemPort();
    void MSComm1Comm();
    void DialNumber(const QString& number);
    void HangUp();
    void PickUp();

    // Messages of the capture paths.
    void OnCallerNumber(const LineMessage& message);
    void OnLineRing(const LineMessage& message);
    void OnRingDone();

signals:
    // The window was closed: the program ends.
    void closed();

protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void CreateComponents();
    void ConnectHandlers();
    void ConnectDeviceHandlers();
    void ConnectModemHandlers();
    bool ModemStartUp();
    bool ModemTest();
    void WriteModem(const QByteArray& command);
    void MSComm1DeviceLost(const QString& errorText);
    void CreateTray();
    void FormClose();
    void ReleaseTapi();

    // ---- Caller lookup and its windows (lookup side of the restructuring; integrator: keep
    // this block whole, and once the window implements LineCommands itself, hand `*this`
    // to the caller window and drop m_lineCommands). ----
public:
    // The call history, created on first use; a window already open only comes to the front.
    void showHistory();

private:
    // The road of a number: looked up, logged, then shown in the caller window. A call
    // gets the arrival sound and comes up above every window while it appears.
    void showCaller(const QString& number, bool isCall);
    // The caller window with its lookup, both made on first use: "Vornx.ini" is read then.
    CallerWindow& callerWindow();
    // Resolves a number to its region through the table this window owns.
    QString regionOf(const QString& number) const;

    std::unique_ptr<LineCommands> m_lineCommands;
    std::unique_ptr<CallerLookup> m_callerLookup;
    QPointer<CallerWindow> m_callerWindow;
    QPointer<HistoryWindow> m_historyWindow;
    QPointer<RegionQueryWindow> m_regionQueryWindow;
    // ---- end of the lookup block ----

    CallerIdParser m_callerIdParser;
    bool m_modemStarted = false; // the modem on the open port accepted the start-up commands
    bool m_closed = false;
};

extern MainWindow* MainForm;
