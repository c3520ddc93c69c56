// The simulated line's configuration dialog, opened through lineConfigDialogA as the main
// window's line button does, editing and saving the device.
#include "platform/telephony/SimulatedLineProvider.h"
#include "platform/ui/MessageBoxes.h"
#include "platform/ui/SimulatedLineConfigDialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestSimulatedLineDialog : public QObject
{
    Q_OBJECT

private:
    // Runs `act` on the dialog once lineConfigDialogA has shown it.
    template <typename F> LONG showDialog(DWORD device, F act)
    {
        QTimer::singleShot(0, [act] {
            auto* dialog = qobject_cast<SimulatedLineConfigDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            act(dialog);
        });
        return lineConfigDialogA(device, nullptr, "");
    }

    static void setField(QDialog* dialog, const char* name, const QString& text)
    {
        auto* edit = dialog->findChild<QLineEdit*>(QLatin1String(name));
        QVERIFY2(edit, name);
        edit->setText(text);
    }

private slots:
    void cleanup()
    {
        LineProviders::clear();
        MessageBoxes::setHandler({});
    }

    void editsAreSavedOnOk()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("simline.json"));
        auto provider = std::make_unique<SimulatedLineProvider>(path);
        provider->addDevice({});
        provider->addDevice({});
        SimulatedLineConfigDialog::installInto(*provider);
        SimulatedLineProvider* p = provider.get();
        LineProviders::install(std::move(provider));

        const LONG result = showDialog(1, [](QDialog* dialog) {
            setField(dialog, "lineNameEdit", QStringLiteral("前台线路"));
            setField(dialog, "makeCallResultEdit", QStringLiteral("0x80000048"));
            dialog->accept();
        });
        QCOMPARE(result, 0);
        QCOMPARE(p->device(1).caps.lineName, QByteArray("前台线路"));
        QCOMPARE(p->device(1).makeCallResult, LINEERR_OPERATIONFAILED);
        QCOMPARE(p->device(0).caps.lineName, QByteArray());

        SimulatedLineProvider reread(path);
        QVERIFY(reread.load());
        QCOMPARE(reread.device(1).caps.lineName, QByteArray("前台线路"));

        // Cancel keeps everything.
        QCOMPARE(showDialog(1, [](QDialog* dialog) {
                     setField(dialog, "lineNameEdit", QStringLiteral("x"));
                     dialog->reject();
                 }),
                 0);
        QCOMPARE(p->device(1).caps.lineName, QByteArray("前台线路"));
    }

    void badResultCodeIsRefused()
    {
        QTemporaryDir dir;
        auto provider = std::make_unique<SimulatedLineProvider>(dir.filePath(QStringLiteral("simline.json")));
        provider->addDevice({});
        SimulatedLineConfigDialog::installInto(*provider);
        SimulatedLineProvider* p = provider.get();
        LineProviders::install(std::move(provider));
        QStringList boxes;
        MessageBoxes::setHandler([&](const MessageBoxes::Box& box) {
            boxes << box.caption;
            return QMessageBox::Ok;
        });
        bool stillOpen = false;
        showDialog(0, [&](QDialog* dialog) {
            setField(dialog, "lineNameEdit", QStringLiteral("新名称"));
            setField(dialog, "makeCallResultEdit", QStringLiteral("busy"));
            dialog->accept();
            stillOpen = dialog->isVisible();
            dialog->reject();
        });
        QVERIFY(stillOpen);
        QCOMPARE(boxes, QStringList{"错误提示"});
        QCOMPARE(p->device(0).caps.lineName, QByteArray());
    }

    void unwritableFileKeepsTheDeviceAsItWas()
    {
        auto provider = std::make_unique<SimulatedLineProvider>(QStringLiteral("/proc/simline.json"));
        provider->addDevice({});
        SimulatedLineConfigDialog::installInto(*provider);
        SimulatedLineProvider* p = provider.get();
        LineProviders::install(std::move(provider));
        QStringList texts;
        MessageBoxes::setHandler([&](const MessageBoxes::Box& box) {
            texts << box.text;
            return QMessageBox::Ok;
        });
        showDialog(0, [&](QDialog* dialog) {
            setField(dialog, "lineNameEdit", QStringLiteral("新名称"));
            dialog->accept();
            dialog->reject();
        });
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts[0].contains(QStringLiteral("/proc/simline.json")), qPrintable(texts[0]));
        QCOMPARE(p->device(0).caps.lineName, QByteArray());
    }
};

QTEST_MAIN(TestSimulatedLineDialog)
#include "tst_simulatedlinedialog.moc"
