#pragma once

#include "lookup/CallerLookup.h"
#include "lookup/LineCommands.h"

#include <QByteArray>
#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <memory>

class AboutDialog;
class AnimatedTrayIcon;
class ClickableGroupBox;
class ClickableLabel;
class ContactsWindow;
class LineMessage;
class LineMonitorWindow;
class LoadingNotice;
class ModemLine;
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
class RegionTable;
class TelephonyLine;
struct ModemCommands;
class CallerWindow;
class HistoryWindow;
class RegionQueryWindow;
class DataSourceWizard;
class CallPublisher;
class MqttLineProvider;
class DesktopNotifier;
class CallerRecord;
class BlockList;
class BlockListWindow;

// The program's hub: owns the modem, the telephony line, the region table and the device
// settings, turns what the devices report into the posted call messages, and answers the
// caller window's line commands over whichever device it monitors.
//
// The window is split by concern over several files: MainWindow.cpp (layout, creation,
// close), MainWindowModem.cpp (the modem), MainWindowLine.cpp (the telephony line),
// MainWindowDevices.cpp (device settings), MainWindowNotify.cpp (call notification),
// MainWindowArea.cpp (region table), MainWindowTray.cpp (tray icon and its menu),
// MainWindowBlock.cpp (the block list).
class MainWindow final : public QMainWindow, public LineCommands
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    // What monitoring watches; the numbers are those of the device settings file.
    enum class MonitoredDevice
    {
        None = 0,
        Line = 3,
        Modem = 4
    };

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The start-up sequence; the program runs it right after constructing the window.
    void startUp();
    // Its steps, in their order.
    void loadRegionTable();
    void startLineDevices();
    void chooseModemDefaults();
    // Each item of the port list names the device behind it; a port without one is greyed,
    // yet stays selectable, since stored settings may name it.
    void describePorts();
    void applyDeviceSettings();

    // Stores the device choice, as the monitoring command does whatever its outcome;
    // nothing is stored while neither device is chosen.
    void storeDeviceChoice();

    // The tray icon is made visible, then the window leaves the screen (where a tray exists).
    void sendToTray();

    // What the tray icon and its tooltip say: monitoring a device, not monitoring, or the
    // monitored device lost.
    enum class MonitoringState
    {
        Off,
        On,
        Lost
    };
    MonitoringState monitoringState() const { return m_monitoringState; }

    MonitoredDevice monitoredDevice() const { return m_monitoredDevice; }
    // Empty until loaded; gone once the window has closed.
    const RegionTable* regionTable() const { return m_regionTable.get(); }

    // Calling back, picking up and hanging up over the monitored device.
    void dial(const QString& number) override;
    void pickUp() override;
    void hangUp() override;

    // Publishes every call this desk takes to the broker of that line, while one is configured.
    void publishCallsThrough(MqttLineProvider& line);

    // The block list: calls of a blocked number are logged and shown nowhere. A number is
    // added or taken out as an exact entry and saved at once; a failure is said in a box.
    void blockNumber(const QString& number);
    void unblockNumber(const QString& number);
    // Whether a call of the number would be blocked (by its own entry or by a prefix).
    bool isBlocked(const QString& number) const;

public slots:
    // Starts monitoring the chosen device and goes to the tray.
    void startMonitoring();
    // Fills the line report with the chosen line device's capabilities.
    void showLineReport();

    // The caller and region query windows.
    // The number-location query window, created on first use and shown without blocking.
    void showRegionQuery();
    // The caller window for a number typed in the query window, without the arrival sound.
    void showCallerInfo(const QString& number);
    // The line monitor, created on first use; from then on it follows the modem's port.
    void showLineMonitor();
    // The caller window for a call of the history, with the time it was logged.
    void showLoggedCall(const QString& number, const QString& loggedTime);
    // The block list's editor, created on first use; the list is read from its file afresh.
    void showBlockList();

signals:
    // The window was closed: the program ends.
    void closed();

protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void createWidgets();
    void connectWidgets();
    void connectDeviceWidgets();
    void connectModem();
    void createTray();
    void hideInTray();
    void release();

    // Devices.
    ModemCommands modemCommands() const;
    void testModem();
    void showModemLost(const QString& errorText);
    void showLineClosed();
    void showCallBackFailed(qint32 code);
    void configureLine();
    bool openLineForMonitoring(QString* device);
    bool startModemMonitoring(QString* device);
    // Shows a monitoring state on the tray icon; `device` names what is (or was) monitored.
    void showMonitoringState(MonitoringState state, const QString& device = QString());
    void releaseLine();
    void postMessage(int id, const QByteArray& text, qintptr lParam);

    // Device choice and settings.
    QString settingsFile() const;
    void lineChosen();
    void modemChosen();
    void showChosenPort();
    void storeAutoStart();
    void storeDropFirstDigit();
    void storeDtmf();
    // Says once that "sysset.ini" could not be written, until a later write works again.
    void reportSettingsWrite(bool written);

    // Tray menu commands.
    void showAbout();
    void showHelp();
    void startUpdater();
    void showAddressBook();
    void showDataSourceWizard();
    void showDeviceChoice();
    void openHomePage();

    // Call notification.
    void takeCallerNumber(const LineMessage& message);
    void startRinging(const LineMessage& message);
    void stopRinging();
    void playRing();

    QString m_programFolder;
    MonitoredDevice m_monitoredDevice = MonitoredDevice::None;
    // Created empty with the window, filled by loadRegionTable, released when the window closes.
    std::unique_ptr<RegionTable> m_regionTable;
    ModemLine* m_modem = nullptr;
    std::unique_ptr<TelephonyLine> m_line;

    QLabel* m_statusLabel = nullptr; // the chosen device
    ClickableLabel* m_banner = nullptr;
    ClickableGroupBox* m_modemGroup = nullptr;
    QRadioButton* m_modemRadio = nullptr;
    QComboBox* m_portCombo = nullptr; // COM1..COM8
    QComboBox* m_initCommandCombo = nullptr;
    QComboBox* m_callerIdCommandCombo = nullptr;
    QPushButton* m_testModemButton = nullptr;
    QPushButton* m_lineMonitorButton = nullptr;
    QPointer<LineMonitorWindow> m_lineMonitor;
    ClickableGroupBox* m_lineGroup = nullptr;
    QRadioButton* m_lineRadio = nullptr;
    QComboBox* m_lineCombo = nullptr;
    ClickableLabel* m_lineIcon = nullptr;
    QToolButton* m_lineConfigButton = nullptr;
    QListWidget* m_lineReport = nullptr;
    QCheckBox* m_autoStartCheck = nullptr;
    QCheckBox* m_dropFirstDigitCheck = nullptr;
    QCheckBox* m_dtmfCheck = nullptr;
    QPushButton* m_monitorButton = nullptr;
    QPushButton* m_exitButton = nullptr;
    QTimer* m_ringTimer = nullptr;      // repeats the ring sound
    QTimer* m_autoStartTimer = nullptr; // starts monitoring by itself

    QList<QIcon> m_menuIcons;
    QList<QIcon> m_trayIcons; // resting, ringing
    QIcon m_trayOffIcon;      // resting while nothing is monitored
    MonitoringState m_monitoringState = MonitoringState::Off;
    QString m_monitoredName;
    AnimatedTrayIcon* m_trayIcon = nullptr;
    QMenu* m_trayMenu = nullptr;
    QAction* m_aboutAction = nullptr;
    QAction* m_helpAction = nullptr;
    QAction* m_updateAction = nullptr;
    QAction* m_historyAction = nullptr;
    QAction* m_addressBookAction = nullptr;
    QAction* m_regionQueryAction = nullptr;
    QAction* m_blockListAction = nullptr;
    QAction* m_deviceAction = nullptr;
    QAction* m_dataSourceAction = nullptr;
    QAction* m_closeAction = nullptr;

    QPointer<AboutDialog> m_aboutDialog;
    QPointer<LoadingNotice> m_loadingNotice;
    // The address book's contacts window, created on first use.
    QPointer<ContactsWindow> m_contactsWindow;
    QPointer<DataSourceWizard> m_dataSourceWizard;
    std::unique_ptr<CallPublisher> m_callPublisher;

    // Caller lookup and its windows.
public:
    // The call history, created on first use; a window already open only comes to the front.
    void showHistory();

private:
    // The road of a call: looked up, logged, then shown in the caller window with the
    // arrival sound, above every window while it appears; then its boxes, if any.
    void showCall(const QString& number, const QString& delivered);
    void showCallerWindow(CallerWindow& window);
    // A number shown at the user's asking: looked up and shown, not logged.
    void showCallAgain(const QString& number, const QString& loggedTime);
    // The boxes a lookup asked for, shown one at a time once no call waits to be logged.
    void tell(const QList<CallerRecord::Notice>& notices);
    void showWaitingNotices();
    // The caller window with its lookup, both made on first use: "Vornx.ini" is read then.
    CallerWindow& callerWindow();
    std::unique_ptr<CallerLookup> makeCallerLookup();
    // The data-source wizard wrote new settings: the next call is looked up with them.
    void dataSourceChanged();
    // Resolves a number to its region through the table this window owns.
    QString regionOf(const QString& number) const;
    // A caller's digits in the national form the lookup, the log and the block list use.
    QByteArray nationalForm(const QByteArray& digits) const;
    // A call of a blocked number: logged, and answered and hung up when the user chose so.
    void turnAway(const QString& number);
    void storeBlockList();
    // The tray menu's switch of the desktop notification, and the notification of a call.
    void createNotificationAction();
    void notifyDesktop(const QString& number, const CallerRecord* record);

    QAction* m_notifyAction = nullptr;
    DesktopNotifier* m_desktopNotifier = nullptr; // made at the first call it is wanted for

    std::unique_ptr<CallerLookup> m_callerLookup;
    QPointer<CallerWindow> m_callerWindow;
    QPointer<HistoryWindow> m_historyWindow;
    QPointer<RegionQueryWindow> m_regionQueryWindow;
    std::unique_ptr<BlockList> m_blockList;
    QPointer<BlockListWindow> m_blockListWindow;
    QList<CallerRecord::Notice> m_waitingNotices;
    CallerRecord::Notice m_openNotice;
    bool m_showingNotices = false;
    bool m_closed = false;
    bool m_settingsFailureShown = false;
};
