// The program's language: chosen from the desktop's locale or --lang, the English catalogue
// complete for every text of the sources, Qt's own dialogs Chinese in a Chinese program.
#include "app/MainWindow.h"
#include "app/Translations.h"
#include "platform/ProgramFolder.h"
#include "platform/ui/MessageBoxes.h"
#include "support/CallerWindowFixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLibraryInfo>
#include <QPrintPreviewDialog>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QXmlStreamReader>
#include <QtTest>

using Translations::Language;

namespace {
bool hasChinese(const QString& text)
{
    static const QRegularExpression han(QStringLiteral("\\p{Han}"));
    return text.contains(han);
}

// %1..%9 of a text, in order of appearance, sorted (a translation may reorder them).
QStringList placeholders(const QString& text)
{
    static const QRegularExpression arg(QStringLiteral("%[1-9]"));
    QStringList found;
    for (auto it = arg.globalMatch(text); it.hasNext();)
        found << it.next().captured();
    found.sort();
    return found;
}

bool hasMnemonic(QString text)
{
    text.replace(QLatin1String("&&"), QString());
    return text.contains(QLatin1Char('&'));
}

struct Message
{
    QString context;
    QString source;
    QString translation;
    bool unfinished = false;
};

QList<Message> readCatalogue(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return {};
    }
    QList<Message> messages;
    QString context;
    QXmlStreamReader xml(&file);
    // A carriage return of a text is a child element <byte value="xd"/>: read over it.
    const auto text = [&xml] { return xml.readElementText(QXmlStreamReader::IncludeChildElements); };
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = text();
        } else if (xml.name() == QLatin1String("message")) {
            messages.append({context, {}, {}, false});
        } else if (xml.name() == QLatin1String("source") && !messages.isEmpty()) {
            messages.last().source = text();
        } else if (xml.name() == QLatin1String("translation") && !messages.isEmpty()) {
            const QStringView type = xml.attributes().value(QLatin1String("type"));
            messages.last().unfinished = type == QLatin1String("unfinished");
            messages.last().translation = text();
        }
    }
    if (xml.hasError())
        *error = xml.errorString();
    return messages;
}

QStringList visibleTexts(const QWidget& window)
{
    QStringList texts{window.windowTitle()};
    for (const QLabel* label : window.findChildren<QLabel*>())
        texts << label->text() << label->toolTip();
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>())
        texts << button->text() << button->toolTip();
    for (const QGroupBox* box : window.findChildren<QGroupBox*>())
        texts << box->title();
    for (const QAction* action : window.findChildren<QAction*>())
        texts << action->text();
    texts.removeAll(QString());
    return texts;
}

bool ciRun()
{
    return qgetenv("CI") == "true";
}
} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        ProgramFolder::setPath(m_folder.path());
        MessageBoxes::setHandler([](const MessageBoxes::Box&) { return QMessageBox::Ok; });
    }

    void languageChoice_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("uiLanguages");
        QTest::addColumn<int>("expected"); // -1: refused
        const int zh = int(Language::Chinese);
        const int en = int(Language::English);
        const QStringList noOption{QStringLiteral("vornx")};
        QTest::newRow("zh_CN") << noOption << QStringList{QStringLiteral("zh_CN"), QStringLiteral("zh")} << zh;
        QTest::newRow("zh-Hant-TW") << noOption << QStringList{QStringLiteral("zh-Hant-TW")} << zh;
        QTest::newRow("C") << noOption << QStringList{QStringLiteral("C")} << zh;
        QTest::newRow("POSIX") << noOption << QStringList{QStringLiteral("POSIX")} << zh;
        QTest::newRow("unset") << noOption << QStringList{} << zh;
        QTest::newRow("en_US") << noOption << QStringList{QStringLiteral("en-US")} << en;
        QTest::newRow("de_DE") << noOption << QStringList{QStringLiteral("de-DE")} << en;
        QTest::newRow("en first, zh second")
            << noOption << QStringList{QStringLiteral("en-GB"), QStringLiteral("zh-CN")} << en;
        QTest::newRow("--lang en over zh")
            << QStringList{QStringLiteral("vornx"), QStringLiteral("--lang"), QStringLiteral("en")}
            << QStringList{QStringLiteral("zh-CN")} << en;
        QTest::newRow("--lang=zh over en") << QStringList{QStringLiteral("vornx"), QStringLiteral("--lang=zh")}
                                           << QStringList{QStringLiteral("en-US")} << zh;
        // The value of --lang is not taken for another option's value, nor the other way round.
        QTest::newRow("--lang after --data-dir")
            << QStringList{QStringLiteral("vornx"), QStringLiteral("--data-dir"), QStringLiteral("/tmp/x"),
                           QStringLiteral("--lang"), QStringLiteral("en")}
            << QStringList{QStringLiteral("zh-CN")} << en;
        QTest::newRow("--lang fr") << QStringList{QStringLiteral("vornx"), QStringLiteral("--lang"),
                                                  QStringLiteral("fr")}
                                   << QStringList{QStringLiteral("zh-CN")} << -1;
        QTest::newRow("--lang without value") << QStringList{QStringLiteral("vornx"), QStringLiteral("--lang")}
                                              << QStringList{QStringLiteral("en-US")} << -1;
        QTest::newRow("--lang=") << QStringList{QStringLiteral("vornx"), QStringLiteral("--lang=")}
                                 << QStringList{QStringLiteral("en-US")} << -1;
    }

    void languageChoice()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, uiLanguages);
        QFETCH(int, expected);
        QString error;
        const std::optional<Language> language = Translations::choose(arguments, uiLanguages, &error);
        if (expected < 0) {
            QVERIFY(!language);
            QVERIFY2(error.contains(QLatin1String("--lang")), qPrintable(error));
        } else {
            QVERIFY(language);
            QCOMPARE(int(*language), expected);
            QVERIFY(error.isEmpty());
        }
    }

    // Every text of the sources has an English translation: lupdate over the sources, into a
    // copy of the catalogue, leaves nothing unfinished; the translations read as English and
    // keep the placeholders and mnemonics of their source.
    void catalogueCoversEveryText()
    {
        QTemporaryDir work;
        QVERIFY(work.isValid());
        const QString copy = work.filePath(QStringLiteral("vornx_en.ts"));
        QVERIFY(QFile::copy(QStringLiteral(VORNX_SOURCE_DIR "/translations/vornx_en.ts"), copy));
        QProcess lupdate;
        lupdate.setWorkingDirectory(QStringLiteral(VORNX_SOURCE_DIR));
        QStringList arguments = QStringLiteral(VORNX_LUPDATE_ARGUMENTS).split(QLatin1Char('|'));
        arguments << QStringLiteral("-ts") << copy;
        lupdate.start(QStringLiteral(VORNX_LUPDATE), arguments);
        QVERIFY2(lupdate.waitForFinished(120000), qPrintable(lupdate.errorString()));
        QVERIFY2(lupdate.exitCode() == 0, lupdate.readAllStandardError().constData());

        QString error;
        const QList<Message> messages = readCatalogue(copy, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(messages.size() > 100);
        QStringList faults;
        for (const Message& m : messages) {
            const QString where = m.context + QLatin1String(": ") + m.source.left(40);
            if (m.unfinished || m.translation.isEmpty())
                faults << QLatin1String("untranslated ") + where;
            else if (hasChinese(m.translation))
                faults << QLatin1String("Chinese in the translation of ") + where;
            else if (placeholders(m.translation) != placeholders(m.source))
                faults << QLatin1String("placeholders differ in ") + where;
            else if (hasMnemonic(m.translation) != hasMnemonic(m.source))
                faults << QLatin1String("mnemonic differs in ") + where;
        }
        QVERIFY2(faults.isEmpty(), qPrintable(QLatin1String("run the update_translations target and translate:\n") +
                                              faults.join(QLatin1Char('\n'))));
    }

    // In a Chinese program Qt's own buttons and dialogs speak Chinese too (Debian package
    // qt6-translations-l10n). The test's environment names the Chinese language (LANGUAGE).
    void qtDialogsSpeakChineseInAChineseProgram()
    {
        const QString catalogue =
            QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QLatin1String("/qtbase_zh_CN.qm");
        if (!QFile::exists(catalogue)) {
            if (ciRun())
                QFAIL(qPrintable(QLatin1String("missing ") + catalogue + QLatin1String(" (qt6-translations-l10n)")));
            QSKIP(
                qPrintable(QLatin1String("missing ") + catalogue + QLatin1String(" (install qt6-translations-l10n)")));
        }
        QVERIFY(Translations::setUp({QStringLiteral("vornx")}));

        QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
        QCOMPARE(buttons.button(QDialogButtonBox::Ok)->text(), QStringLiteral("确定"));

        QPrintPreviewDialog preview;
        QStringList actions;
        for (const QAction* action : preview.findChildren<QAction*>())
            if (!action->text().isEmpty())
                actions << action->text();
        QVERIFY2(actions.contains(QStringLiteral("打印")), qPrintable(actions.join(QLatin1Char(','))));
        QVERIFY2(!actions.contains(QStringLiteral("Print")), qPrintable(actions.join(QLatin1Char(','))));
    }

    // With the English catalogue no caption of the main window or its tray menu is Chinese.
    void mainWindowSpeaksEnglish()
    {
        QVERIFY(Translations::setUp({QStringLiteral("vornx"), QStringLiteral("--lang"), QStringLiteral("en")}));
        MainWindow window;
        QCOMPARE(window.windowTitle(), QStringLiteral("Vornx Caller ID V3.0"));
        QCOMPARE(window.findChild<QPushButton*>(QStringLiteral("monitorButton"))->text(), QStringLiteral("&Monitor"));
        QCOMPARE(window.findChild<QAction*>(QStringLiteral("historyAction"))->text(), QStringLiteral("Call &history"));
        const QStringList texts = visibleTexts(window);
        QVERIFY(texts.size() > 15);
        QStringList chinese;
        for (const QString& text : texts)
            if (hasChinese(text))
                chinese << text;
        QVERIFY2(chinese.isEmpty(), qPrintable(chinese.join(QLatin1Char('|'))));
    }

    // The caller window in English: no Chinese caption, and at its smallest width the longer
    // English captions still leave every command of its bar in view, none behind the overflow
    // arrow.
    void callerWindowSpeaksEnglishAndShowsEveryCommand()
    {
        QVERIFY(Translations::setUp({QStringLiteral("vornx"), QStringLiteral("--lang"), QStringLiteral("en")}));
        CallerWindowFixture f;
        f.show(QStringLiteral("13905911234"));
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Customer Details"));
        QCOMPARE(f.child<QToolButton>("dialButton")->text(), QStringLiteral("Call back"));
        QStringList chinese;
        for (const QString& text : visibleTexts(f.window))
            if (hasChinese(text))
                chinese << text;
        QVERIFY2(chinese.isEmpty(), qPrintable(chinese.join(QLatin1Char('|'))));

        f.window.resize(1, f.window.height());
        QCoreApplication::processEvents();
        f.window.layout()->activate();
        QCoreApplication::processEvents();
        const auto* bar = f.child<QToolBar>("toolBar");
        QStringList hidden;
        for (const QToolButton* button : bar->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly)) {
            const bool overflowArrow = button->objectName() == QLatin1String("qt_toolbar_ext_button");
            if (button->isVisible() == overflowArrow)
                hidden << (overflowArrow ? QStringLiteral("overflow arrow shown") : button->objectName());
        }
        QVERIFY2(hidden.isEmpty(), qPrintable(hidden.join(QLatin1Char(','))));
    }

private:
    QTemporaryDir m_folder;
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
