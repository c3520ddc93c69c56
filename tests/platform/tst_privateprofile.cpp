#include "platform/profile/PrivateProfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QByteArray gbk(const QString& text)
{
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// Two values of different lengths, so that a torn file cannot pass for either.
QString bigValue(int round)
{
    return QString(round % 2 ? 70000 : 90000, round % 2 ? QChar(0x6765) : QChar(0x7535));
}

// Child mode of the interrupted-write test: writes a large key over and over until killed.
int hammer(const QString& path)
{
    PrivateProfile ini(path);
    for (int round = 0;; ++round) {
        if (!ini.writeString(QStringLiteral("DATA"), QStringLiteral("BIG"), bigValue(round)))
            return 1;
    }
}
} // namespace

class TestPrivateProfile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString file(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void missingFileSectionOrKeyGiveTheDefault()
    {
        PrivateProfile missing(file(QStringLiteral("none.ini")));
        QCOMPARE(missing.readString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("-1")), QStringLiteral("-1"));
        QCOMPARE(missing.readInt(QStringLiteral("S"), QStringLiteral("K"), 7), 7);
        QVERIFY(!QFile::exists(missing.fileName()));

        writeAll(file(QStringLiteral("a.ini")), "[S]\r\nK=v\r\n[T]\r\n");
        PrivateProfile ini(file(QStringLiteral("a.ini")));
        QCOMPARE(ini.readString(QStringLiteral("X"), QStringLiteral("K"), QStringLiteral("d")), QStringLiteral("d"));
        QCOMPARE(ini.readString(QStringLiteral("S"), QStringLiteral("X"), QStringLiteral("d")), QStringLiteral("d"));
        // A key of another section is not found through this one.
        QCOMPARE(ini.readString(QStringLiteral("T"), QStringLiteral("K"), QStringLiteral("d")), QStringLiteral("d"));
        QCOMPARE(ini.readString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("d")), QStringLiteral("v"));
    }

    void namesIgnoreCaseAndBlanksAroundValuesAreDropped()
    {
        writeAll(file(QStringLiteral("b.ini")),
                 "; comment K=no\n  [ DeviceSet ]  \n  devtype =  4 \t\nQuoted=\"  x  \"\nEmpty=\n"
                 "devtype=9\n[DEVICESET]\nDEVNUM=5\n");
        PrivateProfile ini(file(QStringLiteral("b.ini")));
        QCOMPARE(ini.readString(QStringLiteral("DEVICESET"), QStringLiteral("DEVTYPE"), QString()), QStringLiteral("4"));
        QCOMPARE(ini.readString(QStringLiteral("deviceset"), QStringLiteral("quoted"), QString()), QStringLiteral("  x  "));
        // An empty value is a value, not a missing key; readInt treats it as missing.
        QCOMPARE(ini.readString(QStringLiteral("DEVICESET"), QStringLiteral("Empty"), QStringLiteral("d")), QString());
        QCOMPARE(ini.readInt(QStringLiteral("DEVICESET"), QStringLiteral("Empty"), 3), 3);
        // Only the first section of a name counts.
        QCOMPARE(ini.readString(QStringLiteral("DEVICESET"), QStringLiteral("DEVNUM"), QStringLiteral("d")), QStringLiteral("d"));
    }

    void valuesAreCutToTheBufferLessOne()
    {
        writeAll(file(QStringLiteral("c.ini")), "[DEVICESET]\r\nDEVNUM=12\r\nNAME=" + gbk(QStringLiteral("维诺星")) + "\r\n");
        PrivateProfile ini(file(QStringLiteral("c.ini")));
        QCOMPARE(ini.readString(QStringLiteral("DEVICESET"), QStringLiteral("DEVNUM"), QString(), 2), QStringLiteral("1"));
        QCOMPARE(ini.readString(QStringLiteral("DEVICESET"), QStringLiteral("DEVNUM"), QString(), 1), QString());
        QCOMPARE(ini.readString(QStringLiteral("DEVICESET"), QStringLiteral("MISSING"), QStringLiteral("-1"), 2), QStringLiteral("-"));
        // Two bytes per character in GBK: five bytes hold two characters, never half of one.
        QCOMPARE(ini.readString(QStringLiteral("DEVICESET"), QStringLiteral("NAME"), QString(), 6), QStringLiteral("维诺"));
        QCOMPARE(ini.readString(QStringLiteral("DEVICESET"), QStringLiteral("NAME"), QString(), 7), QStringLiteral("维诺星"));
    }

    void integersFollowTheLeadingDigits()
    {
        writeAll(file(QStringLiteral("d.ini")), "[SYSTEM]\nA=1\nB=0\nC=12abc\nD=-3\nE=x\nF=99999999999\n");
        PrivateProfile ini(file(QStringLiteral("d.ini")));
        const QString s = QStringLiteral("SYSTEM");
        QCOMPARE(ini.readInt(s, QStringLiteral("A"), 5), 1);
        QCOMPARE(ini.readInt(s, QStringLiteral("B"), 5), 0);
        QCOMPARE(ini.readInt(s, QStringLiteral("C"), 5), 12);
        QCOMPARE(ini.readInt(s, QStringLiteral("D"), 5), -3);
        QCOMPARE(ini.readInt(s, QStringLiteral("E"), 5), 0);
        QCOMPARE(ini.readInt(s, QStringLiteral("F"), 5), std::numeric_limits<int>::max());
        QCOMPARE(ini.readInt(s, QStringLiteral("G"), 5), 5);
    }

    void windowsWrittenFilesReadTheSame()
    {
        const QByteArray body = "[Vornx]\r\nTitle=" + gbk(QStringLiteral("客户名称")) + "\r\nLast=end";
        writeAll(file(QStringLiteral("crlf.ini")), body);
        writeAll(file(QStringLiteral("lf.ini")), QByteArray(body).replace("\r\n", "\n") + "\n");
        writeAll(file(QStringLiteral("bom.ini")),
                 "\xEF\xBB\xBF[Vornx]\r\nTitle=" + QStringLiteral("客户名称").toUtf8() + "\r\nLast=end\r\n");
        for (const char* name : {"crlf.ini", "lf.ini", "bom.ini"}) {
            PrivateProfile ini(file(QLatin1String(name)));
            QCOMPARE(ini.readString(QStringLiteral("VORNX"), QStringLiteral("title"), QString()), QStringLiteral("客户名称"));
            QCOMPARE(ini.readString(QStringLiteral("Vornx"), QStringLiteral("Last"), QString()), QStringLiteral("end"));
        }
    }

    void writeChangesOneKeyInPlace()
    {
        const QString path = file(QStringLiteral("e.ini"));
        writeAll(path, "; settings\r\n[DEVICESET]\r\nDevType = 3\r\n\r\n[SYSTEM]\r\n; boot\r\nAUTOSTART=0\r\n");
        PrivateProfile ini(path);
        QVERIFY(ini.writeString(QStringLiteral("deviceset"), QStringLiteral("DEVTYPE"), QStringLiteral("4")));
        QCOMPARE(readAll(path), QByteArray("; settings\r\n[DEVICESET]\r\nDevType=4\r\n\r\n[SYSTEM]\r\n; boot\r\nAUTOSTART=0\r\n"));

        // New keys go to the end of their section (before its trailing blank line), new
        // sections to the end of the file.
        QVERIFY(ini.writeString(QStringLiteral("DEVICESET"), QStringLiteral("DEVNUM"), QStringLiteral("2")));
        QVERIFY(ini.writeString(QStringLiteral("NEW"), QStringLiteral("K"), QStringLiteral("v")));
        QCOMPARE(readAll(path), QByteArray("; settings\r\n[DEVICESET]\r\nDevType=4\r\nDEVNUM=2\r\n\r\n[SYSTEM]\r\n; boot\r\n"
                                           "AUTOSTART=0\r\n[NEW]\r\nK=v\r\n"));
        QCOMPARE(ini.readInt(QStringLiteral("DEVICESET"), QStringLiteral("DEVNUM"), -1), 2);
    }

    void writeKeepsTheFilesOwnFormat()
    {
        // No final newline, LF line ends and bytes that are not valid GBK stay as they are.
        const QString path = file(QStringLiteral("f.ini"));
        writeAll(path, "[A]\nodd=\xff\xfe\n[B]\nK=1");
        PrivateProfile ini(path);
        QVERIFY(ini.writeString(QStringLiteral("B"), QStringLiteral("L"), QStringLiteral("2")));
        QCOMPARE(readAll(path), QByteArray("[A]\nodd=\xff\xfe\n[B]\nK=1\nL=2\n"));

        const QString bom = file(QStringLiteral("g.ini"));
        writeAll(bom, "\xEF\xBB\xBF[A]\r\nK=1");
        PrivateProfile utf8(bom);
        QVERIFY(utf8.writeString(QStringLiteral("A"), QStringLiteral("K"), QStringLiteral("来电")));
        QCOMPARE(readAll(bom), "\xEF\xBB\xBF[A]\r\nK=" + QStringLiteral("来电").toUtf8());
    }

    // Found by fuzzing: a file ending in a CR without its LF. The key written after that
    // line used to be glued to it and could not be read back, although the write succeeded.
    void keyWrittenAfterALoneCrReadsBack()
    {
        const QString path = file(QStringLiteral("cr.ini"));
        writeAll(path, "[A]\nK=1\n[sysset][\r");
        PrivateProfile ini(path);
        QVERIFY(ini.writeString(QStringLiteral("sysset"), QStringLiteral("comm"), QStringLiteral("3")));
        QCOMPARE(ini.readInt(QStringLiteral("sysset"), QStringLiteral("comm"), 0), 3);
        QCOMPARE(readAll(path), QByteArray("[A]\nK=1\n[sysset][\r\ncomm=3\n"));

        // Only lines ended by a CR alone: new lines get the desktop's CR LF.
        writeAll(path, "[A]\r");
        QVERIFY(ini.writeString(QStringLiteral("B"), QStringLiteral("K"), QStringLiteral("2")));
        QCOMPARE(ini.readInt(QStringLiteral("B"), QStringLiteral("K"), 0), 2);
        QCOMPARE(readAll(path), QByteArray("[A]\r\n[B]\r\nK=2\r\n"));
    }

    void newFileIsGbkWithCrLf()
    {
        const QString path = file(QStringLiteral("new.ini"));
        PrivateProfile ini(path);
        QVERIFY(ini.writeString(QStringLiteral("Vornx"), QStringLiteral("Name"), QStringLiteral("维诺星")));
        QVERIFY(ini.writeString(QStringLiteral("Vornx"), QStringLiteral("Two"), QStringLiteral("a\r\nb")));
        QCOMPARE(readAll(path), "[Vornx]\r\nName=" + gbk(QStringLiteral("维诺星")) + "\r\nTwo=a b\r\n");
        QCOMPARE(ini.readString(QStringLiteral("Vornx"), QStringLiteral("Name"), QString()), QStringLiteral("维诺星"));
    }

    void failedWritesReportFailure()
    {
        PrivateProfile noFolder(file(QStringLiteral("no/such/folder/x.ini")));
        QVERIFY(!noFolder.writeString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("v")));
        QVERIFY(!QDir(file(QStringLiteral("no"))).exists());

        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("dir.ini")));
        PrivateProfile folder(file(QStringLiteral("dir.ini")));
        QVERIFY(!folder.writeString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("v")));
        QVERIFY(QFileInfo(file(QStringLiteral("dir.ini"))).isDir());
    }

    void writeKeepsPermissionsAndFollowsLinks()
    {
        const QString real = file(QStringLiteral("real.ini"));
        writeAll(real, "[S]\nK=1\n");
        QVERIFY(QFile::setPermissions(real, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QVERIFY(QFile::link(real, file(QStringLiteral("link.ini"))));
        PrivateProfile ini(file(QStringLiteral("link.ini")));
        QVERIFY(ini.writeString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("2")));
        QVERIFY(QFileInfo(file(QStringLiteral("link.ini"))).isSymLink());
        QCOMPARE(readAll(real), QByteArray("[S]\nK=2\n"));
        const QFileDevice::Permissions perms = QFile::permissions(real);
        QVERIFY(perms.testFlag(QFileDevice::WriteOwner));
        QVERIFY(!perms.testFlag(QFileDevice::ReadGroup) && !perms.testFlag(QFileDevice::ReadOther));
    }

    // Files that are there but are no settings file read as missing, with the reason, and
    // are never waited on or read whole: a FIFO, a huge file, UTF-16 text, a file without
    // permission. A write does not replace them with a file that lost their keys.
    void unusableFilesReadAsMissingWithAReason()
    {
        const QString fifo = file(QStringLiteral("fifo.ini"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString huge = file(QStringLiteral("huge.ini"));
        {
            QFile f(huge);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("[S]\r\nK=huge\r\n");
            QVERIFY(f.resize(PrivateProfile::kMaxFileSize + 1));
        }
        const QString utf16 = file(QStringLiteral("utf16.ini"));
        {
            QFile f(utf16);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("\xFF\xFE");
            const QString text = QStringLiteral("[S]\r\nK=utf16\r\n");
            f.write(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        }
        const QList<QPair<QString, QString>> cases = {
            {fifo, QStringLiteral("不是普通文件")},
            {huge, QStringLiteral("太大")},
            {utf16, QStringLiteral("不是文本文件")},
        };
        for (const auto& [path, reason] : cases) {
            PrivateProfile ini(path);
            QString error;
            QVERIFY2(!ini.load(&error), qPrintable(path));
            QVERIFY2(error.contains(path) && error.contains(reason), qPrintable(error));
            QCOMPARE(ini.readString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("default")),
                     QStringLiteral("default"));
            // Without load() each read meets the same checks.
            QCOMPARE(PrivateProfile(path).readString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("d")),
                     QStringLiteral("d"));
        }
        QVERIFY(!PrivateProfile(huge).writeString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("new")));
        QCOMPARE(QFileInfo(huge).size(), PrivateProfile::kMaxFileSize + 1);

        if (::geteuid() != 0) {
            const QString locked = file(QStringLiteral("locked.ini"));
            writeAll(locked, "[S]\r\nK=v\r\n");
            QVERIFY(QFile::setPermissions(locked, QFileDevice::WriteOwner));
            PrivateProfile ini(locked);
            QString error;
            QVERIFY(!ini.load(&error));
            QVERIFY2(error.contains(locked) && error.contains(QStringLiteral("无法读取")), qPrintable(error));
        }
    }

    // UTF-16 without a byte-order mark is known by its NUL bytes; a few damaged bytes in a
    // text file leave the keys around them readable.
    void utf16WithoutMarkIsRefusedButDamagedTextIsRead()
    {
        const QString utf16 = file(QStringLiteral("utf16-nobom.ini"));
        const QString text = QStringLiteral("[S]\r\nK=utf16\r\n");
        writeAll(utf16, QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2));
        QString error;
        QVERIFY(!PrivateProfile(utf16).load(&error));
        QVERIFY2(error.contains(QStringLiteral("不是文本文件")), qPrintable(error));

        const QString damaged = file(QStringLiteral("damaged.ini"));
        writeAll(damaged, QByteArray("\x00\x01\xFF\x00garbage\r\n", 13) + "[S]\r\nK=kept\r\n");
        PrivateProfile ini(damaged);
        QVERIFY(ini.load());
        QCOMPARE(ini.readString(QStringLiteral("S"), QStringLiteral("K"), QString()), QStringLiteral("kept"));

        // A write that would shorten a damaged file until it no longer reads as text is
        // refused: what a write reports as done reads back.
        const QString nearly = file(QStringLiteral("nearly.ini"));
        writeAll(nearly, "[S]\r\nK=" + QByteArray(60, 'x') + "\r\n" + QByteArray(22, '\0') + "\r\n");
        PrivateProfile shortened(nearly);
        QVERIFY(shortened.load());
        QVERIFY(!shortened.writeString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("3")));
        QCOMPARE(shortened.readString(QStringLiteral("S"), QStringLiteral("K"), QString()), QString(60, QLatin1Char('x')));
    }

    // After load() the keys of one operation come from one reading of the file; a write
    // starts again from the file on disk.
    void loadReadsTheFileOnce()
    {
        const QString path = file(QStringLiteral("once.ini"));
        writeAll(path, "[S]\r\nA=1\r\nB=2\r\n");
        PrivateProfile ini(path);
        QVERIFY(ini.load());
        writeAll(path, "[S]\r\nA=9\r\nB=8\r\n");
        QCOMPARE(ini.readInt(QStringLiteral("S"), QStringLiteral("A"), 0), 1);
        QCOMPARE(ini.readString(QStringLiteral("S"), QStringLiteral("B"), QString()), QStringLiteral("2"));
        QVERIFY(ini.writeString(QStringLiteral("S"), QStringLiteral("C"), QStringLiteral("3")));
        QCOMPARE(ini.readInt(QStringLiteral("S"), QStringLiteral("A"), 0), 9);
        QCOMPARE(ini.readInt(QStringLiteral("S"), QStringLiteral("C"), 0), 3);
    }

    void interruptedWritesLeaveAWholeFile()
    {
        // A writer killed at random moments must leave the old or the new file, nothing torn
        // and no stray temporary file beside it.
        for (int attempt = 0; attempt < 5; ++attempt) {
            QTemporaryDir dir;
            const QString path = dir.filePath(QStringLiteral("sysset.ini"));
            writeAll(path, "[DATA]\r\nBIG=start\r\n");
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hammer"), path});
            QVERIFY(child.waitForStarted());
            QTest::qWait(150 + 70 * attempt);
            QCOMPARE(child.state(), QProcess::Running);
            ::kill(pid_t(child.processId()), SIGKILL);
            QVERIFY(child.waitForFinished());

            const QString value = PrivateProfile(path).readString(QStringLiteral("DATA"), QStringLiteral("BIG"), QString(), 1 << 20);
            QVERIFY2(value == QStringLiteral("start") || value == bigValue(0) || value == bigValue(1),
                     qPrintable(QStringLiteral("torn value of %1 characters").arg(value.size())));
            QVERIFY(readAll(path).endsWith("\r\n"));
            // A complete copy may wait under its temporary name if the writer died between
            // naming and renaming it; the next write takes its place.
            QVERIFY(PrivateProfile(path).writeString(QStringLiteral("DATA"), QStringLiteral("NEXT"), QStringLiteral("1")));
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("sysset.ini")});
        }
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--hammer")
        return hammer(QString::fromLocal8Bit(argv[2]));
    TestPrivateProfile test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_privateprofile.moc"
