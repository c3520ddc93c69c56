#include "app/MainWindow.h"
#include "capture/LineMessage.h"
#include "platform/ProgramFolder.h"
#include "platform/profile/PrivateProfile.h"
#include "platform/serial/SerialPort.h"
#include "support/VirtualModemProcess.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
// Records the line messages posted to the main window, as the window receives them.
class MessageRecorder final : public QObject
{
public:
    struct Message
    {
        int id;
        QByteArray text;
        qintptr lParam;
    };
    QList<Message> messages;

    bool eventFilter(QObject*, QEvent* e) override
    {
        if (LineMessage::isLineMessage(e)) {
            const auto& m = static_cast<const LineMessage&>(*e);
            messages.append({m.id(), m.text(), m.lParam()});
        }
        return false;
    }

    QList<QByteArray> numbers() const
    {
        QList<QByteArray> list;
        for (const Message& m : messages)
            if (m.id == WM_CALLER_NUMBER)
                list << m.text;
        return list;
    }
};
} // namespace

// A caller-ID report written by the virtual modem on a pseudo-terminal reaches the main
// window as a number.
class TestModemReception : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_folder.isValid());
        ProgramFolder::setPath(m_folder.path());
        m_modem = std::make_unique<VirtualModemProcess>(QStringList{"chunk 5", "pause 15"});
        QVERIFY(!m_modem->path().isEmpty());
        QVERIFY(PrivateProfile(ProgramFolder::file(QStringLiteral("sysset.ini")))
                    .writeString(QStringLiteral("PORTS"), QStringLiteral("COM3"), m_modem->path()));
        m_form = std::make_unique<MainWindow>();
        m_form->installEventFilter(&m_recorder);
        m_recorder.messages.clear();
        m_form->MSComm1->SetCommPort(3);
        m_form->MSComm1->SetPortOpen(true);
    }

    void cleanup()
    {
        m_form.reset();
        m_modem.reset();
    }

    void callReachesTheMainWindow()
    {
        m_modem->command(QStringLiteral("call 0591123456"));
        QTRY_COMPARE(m_recorder.numbers(), QList<QByteArray>{"0591123456"});
        QCOMPARE(m_recorder.messages.at(0).lParam, 121);
        QCOMPARE(m_form->CallerNumber, QByteArray("0591123456"));
    }

    void eachNumberTravelsWithItsOwnCopy()
    {
        m_modem->command(QStringLiteral("chunk 0"));
        m_modem->command(QStringLiteral("send RING\\r\\nNMBR=13800138000\\r\\nNMBR = 0591123456\\r\\n"));
        QTRY_COMPARE(m_recorder.numbers(), QList<QByteArray>({"13800138000", "0591123456"}));
        QCOMPARE(m_form->CallerNumber, QByteArray("0591123456"));
    }

    void noiseGivesNoNumber()
    {
        m_modem->command(QStringLiteral("send \\r\\nRING\\r\\nDATE = 0321\\r\\nNAME = X\\r\\n"));
        m_modem->command(QStringLiteral("call 22"));
        QTRY_COMPARE(m_recorder.numbers(), QList<QByteArray>{"22"});
    }

private:
    QTemporaryDir m_folder;
    std::unique_ptr<VirtualModemProcess> m_modem;
    std::unique_ptr<MainWindow> m_form;
    MessageRecorder m_recorder;
};

QTEST_MAIN(TestModemReception)
#include "tst_modemreception.moc"
