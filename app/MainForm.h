#pragma once

#include <QByteArray>
#include <QMainWindow>
#include <QString>

#include <memory>

class LineMessage;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTimer;
class QToolButton;
class TAreaCode;
class TGroupBox;
class TImage;

// The program's hub: owns the line objects, the region table and the device settings, and
// receives the messages by which both capture paths report a call.
//
// The window is split by concern over several files: MainForm.cpp (layout, creation,
// close), MainFormModem.cpp (serial modem), MainFormTapi.cpp (telephony line),
// MainFormDevices.cpp (device settings), MainFormNotify.cpp (call notification),
// MainFormArea.cpp (region table).
class TMainForm final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TMainForm)

public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // The creation sequence; the program runs it right after constructing the window.
    void FormCreate();

    // Components, named as the rest of the program refers to them.
    QLabel* Label1 = nullptr;
    QLabel* Label4 = nullptr; // status line: the chosen device
    TImage* Image2 = nullptr; // banner
    TGroupBox* GroupBox3 = nullptr; // modem
    QRadioButton* RadioButton4 = nullptr;
    QLabel* Label7 = nullptr;
    QComboBox* ComboBox4 = nullptr; // port COM1..COM8
    QLabel* Label5 = nullptr;
    QComboBox* ComboBox6 = nullptr; // initialisation command
    QLabel* Label6 = nullptr;
    QComboBox* ComboBox5 = nullptr; // caller-ID command
    QPushButton* btnTestModem = nullptr;
    TGroupBox* GroupBox2 = nullptr; // TAPI line device
    QRadioButton* RadioButton3 = nullptr;
    QComboBox* ComboBox1 = nullptr; // line devices
    TImage* Image1 = nullptr; // the line device's icon
    QToolButton* btnLineCfg = nullptr;
    QListWidget* ListBox1 = nullptr; // line device report
    QCheckBox* chkBoot = nullptr;
    QCheckBox* chkDelHeader = nullptr;
    QCheckBox* chkFskDTMF = nullptr;
    QPushButton* btnMonitor = nullptr;
    QPushButton* btnStart = nullptr;
    QTimer* Timer1 = nullptr; // ring repeat
    QTimer* Timer2 = nullptr; // automatic start of monitoring

    QString AppPath;
    QByteArray CallerNumber; // the last number the modem reported
    int DevType = 0; // 0 before monitoring, then 3 (TAPI) or 4 (modem)
    // The region table: created empty with the window, filled by LoadAreaCodes, released
    // when the window closes.
    std::unique_ptr<TAreaCode> AreaTable;

    // Creation steps, in their order.
    void LoadAreaCodes();
    void StartTapi();
    void SetModemDefaults();
    void ApplyDeviceSettings();

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

private:
    void CreateComponents();
    void ConnectHandlers();
    void FormClose();
    void ReleaseTapi();

    bool m_closed = false;
};

extern TMainForm* MainForm;
