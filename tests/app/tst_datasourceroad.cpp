#include "app/MainWindow.h"
#include "capture/LineMessage.h"
#include "lookup/CallerWindow.h"
#include "platform/ProgramFolder.h"
#include "platform/sound/Sound.h"
#include "platform/ui/MessageBoxes.h"
#include "setup/ConnectionDialog.h"
#include "setup/DataSourceWizard.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

// A running program switched from the address book to the user's SQLite file with the
// data-source wizard: the next call is looked up there, with the captions just typed,
// by the caller window already on screen and without a restart.
class TestDataSourceRoad : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;
    QStringList m_boxes;

    template <typename T> static T* part(const QObject& window, const char* name)
    {
        T* widget = window.findChild<T*>(QLatin1String(name));
        if (!widget)
            qFatal("no widget named %s", name);
        return widget;
    }

    // Answers the next modal dialog of type T once its loop runs.
    template <typename T> static void answer(std::function<void(T&)> fill)
    {
        QTimer::singleShot(0, [fill] {
            auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
            QVERIFY(dialog && dialog->isVisible());
            fill(*dialog);
        });
    }

    static void clickCell(QTableWidget* grid, int row, int column)
    {
        grid->scrollTo(grid->model()->index(row, column));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(row, column)).center());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        ProgramFolder::setPath(m_folder.path());
        QFile ini(m_folder.filePath(QStringLiteral("Vornx.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[QUERYTYPE]\r\nTYPE=1\r\n");
        ini.close();
        // The shipped demo database under a name of the user's own, beside nothing else.
        QVERIFY(
            QFile::copy(QStringLiteral(VORNX_BIN_DIR "/demo.db"), m_folder.filePath(QStringLiteral("shop.sqlite3"))));
        MessageBoxes::setHandler([this](const MessageBoxes::Box& box) {
            m_boxes << box.text;
            return QMessageBox::Ok;
        });
        Sound::setHandler([](const QString&) {});
    }

    void theNextCallUsesTheNewSource()
    {
        MainWindow form;
        const auto post = [&form](const QByteArray& number) {
            QCoreApplication::postEvent(&form, new LineMessage(WM_CALLER_NUMBER, number, 0));
        };
        post("05713668522");
        QTRY_VERIFY(form.findChild<CallerWindow*>() && form.findChild<CallerWindow*>()->isVisible());
        CallerWindow* const window = form.findChild<CallerWindow*>();
        QCOMPARE(window->record().rows().value(2).label, QStringLiteral("客户姓名")); // the address book's rows

        const QString file = m_folder.filePath(QStringLiteral("shop.sqlite3"));
        answer<DataSourceWizard>([file](DataSourceWizard& wizard) {
            part<QRadioButton>(wizard, "externalSourceRadio")->click();
            part<QPushButton>(wizard, "nextButton")->click();
            answer<ConnectionDialog>([file](ConnectionDialog& connection) {
                part<QRadioButton>(connection, "sqliteRadio")->click();
                part<QTabWidget>(connection, "pages")->setCurrentIndex(1);
                part<QLineEdit>(connection, "sqliteFileEdit")->setText(file);
                part<QPushButton>(connection, "finishButton")->click();
            });
            part<QPushButton>(wizard, "chooseSourceButton")->click();
            part<QComboBox>(wizard, "customerTableCombo")->setCurrentText(QStringLiteral("Unit"));
            auto* grid = part<QTableWidget>(wizard, "fieldGrid");
            const auto row = [&wizard](const char* field) {
                return wizard.mapping().indexOfCustomerField(QString::fromLatin1(field));
            };
            clickCell(grid, row("Name"), 1);
            clickCell(grid, row("Phone"), 1);
            clickCell(grid, row("Phone"), 2);
            clickCell(grid, row("PhoneMove"), 2);
            grid->item(row("Name"), 3)->setText(QStringLiteral("客户名称"));
            part<QPushButton>(wizard, "nextButton")->click();
            part<QPushButton>(wizard, "finishButton")->click();
        });
        form.findChild<QAction*>(QStringLiteral("dataSourceAction"))->trigger();
        QCOMPARE(m_boxes.last(), QStringLiteral("设置成功！新设置从下一次来电起生效。"));
        // The last call's record stays on show until the next call.
        QCOMPARE(window->record().number(), QStringLiteral("5713668522"));
        QCOMPARE(window->record().rows().value(2).label, QStringLiteral("客户姓名"));

        // The same number again, from the customer's mobile this time, and then the office line.
        post("13385103707");
        QTRY_COMPARE(window->record().number(), QStringLiteral("13385103707"));
        QCOMPARE(form.findChildren<CallerWindow*>(), QList<CallerWindow*>{window});
        QCOMPARE(window->record().rows().value(2).label, QStringLiteral("客户名称"));
        QCOMPARE(window->rowText(3), QStringLiteral("杭州佳美医药有限责任公司"));
        QCOMPARE(window->record().rows().value(3).label, QStringLiteral("Phone"));
        QCOMPARE(window->rowText(4), QStringLiteral("05713668522"));
        post("05713668522");
        QTRY_COMPARE(window->record().number(), QStringLiteral("5713668522"));
        QCOMPARE(window->rowText(3), QStringLiteral("杭州佳美医药有限责任公司"));
    }
};

QTEST_MAIN(TestDataSourceRoad)
#include "tst_datasourceroad.moc"
