#include "lookup/CellDocument.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
void write(const QString& path, const QByteArray& bytes, bool executable = false)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    if (executable)
        QVERIFY(f.setPermissions(f.permissions() | QFileDevice::ExeOwner));
}

QByteArray program()
{
    QFile f(QStringLiteral("/bin/true"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TestCellDocument : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString file(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        write(file(QStringLiteral("合同.pdf")), "%PDF-1.4\n1 0 obj <<>> endobj\ntrailer <<>>\n%%EOF\n");
        write(file(QStringLiteral("photo.jpg")), QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11) + QByteArray(64, 0));
        write(file(QStringLiteral("note.txt")), "Customer prefers calls after 10.\n");
        write(file(QStringLiteral("run.sh")), "#!/bin/sh\necho hi\n", true);
        write(file(QStringLiteral("script.txt")), "#!/bin/sh\nrm -rf ~/x\n");
        write(file(QStringLiteral("program.jpg")), program(), true);
        write(file(QStringLiteral("start.desktop")), "[Desktop Entry]\nType=Application\nExec=xterm\n");
        write(file(QStringLiteral("setup.exe")), QByteArray("MZ\x90\x00", 4) + QByteArray(128, 0));
        write(file(QStringLiteral("tool.py")), "print('x')\n");
        write(file(QStringLiteral("page.txt")), "<!DOCTYPE html>\n<html><body><script>alert(1)</script></body></html>\n");
        write(file(QStringLiteral("drawing.txt")), "<svg xmlns=\"http://www.w3.org/2000/svg\"><script>alert(1)</script></svg>\n");
        write(file(QStringLiteral("drawing.svg")), "<svg xmlns=\"http://www.w3.org/2000/svg\"><circle r=\"1\"/></svg>\n");
        write(file(QStringLiteral("page.jpg")), "<html><body>not a photo</body></html>\n");
        // An old Word file is OLE storage inside, known only by its name.
        write(file(QStringLiteral("letter.doc")), QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(504, 0));
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("folder.pdf")));
        QVERIFY(QFile::link(file(QStringLiteral("run.sh")), file(QStringLiteral("link.pdf"))));
        QVERIFY(QFile::link(file(QStringLiteral("photo.jpg")), file(QStringLiteral("link-to-photo.jpg"))));
    }

    void documentsAreOpened_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("PDF with a Chinese name") << QStringLiteral("合同.pdf");
        QTest::newRow("picture") << QStringLiteral("photo.jpg");
        QTest::newRow("plain text") << QStringLiteral("note.txt");
        QTest::newRow("old Word file") << QStringLiteral("letter.doc");
    }

    void documentsAreOpened()
    {
        QFETCH(QString, name);
        const std::optional<QString> path = CellDocument::path(file(name));
        QVERIFY(path.has_value());
        QCOMPARE(QFileInfo(*path).fileName(), name);
        // Blanks that a fixed-width database column adds around the value.
        QVERIFY(CellDocument::path(QStringLiteral("  ") + file(name) + QStringLiteral("   ")).has_value());
    }

    void aLinkOpensWhatItPointsTo()
    {
        QCOMPARE(CellDocument::path(file(QStringLiteral("link-to-photo.jpg"))),
                 std::optional<QString>(QFileInfo(file(QStringLiteral("photo.jpg"))).canonicalFilePath()));
    }

    void programsAndScriptsAreNeverOpened_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("shell script") << QStringLiteral("run.sh");
        QTest::newRow("script named as text") << QStringLiteral("script.txt");
        QTest::newRow("program named as picture") << QStringLiteral("program.jpg");
        QTest::newRow("desktop launcher") << QStringLiteral("start.desktop");
        QTest::newRow("Windows program") << QStringLiteral("setup.exe");
        QTest::newRow("Python script") << QStringLiteral("tool.py");
        QTest::newRow("link to a script named as PDF") << QStringLiteral("link.pdf");
        QTest::newRow("folder") << QStringLiteral("folder.pdf");
        QTest::newRow("HTML page named as text") << QStringLiteral("page.txt");
        QTest::newRow("SVG named as text") << QStringLiteral("drawing.txt");
        QTest::newRow("SVG picture") << QStringLiteral("drawing.svg");
        QTest::newRow("HTML page named as photo") << QStringLiteral("page.jpg");
        QTest::newRow("missing") << QStringLiteral("missing.pdf");
    }

    void programsAndScriptsAreNeverOpened()
    {
        QFETCH(QString, name);
        QCOMPARE(CellDocument::path(file(name)), std::nullopt);
    }

    void onlyFullPathsCount()
    {
        // The label and value texts of an ordinary call.
        QCOMPARE(CellDocument::path(QStringLiteral("来电号码")), std::nullopt);
        QCOMPARE(CellDocument::path(QString()), std::nullopt);
        // A relative name would depend on the folder the program runs in.
        QVERIFY(QDir::setCurrent(m_dir.path()));
        QCOMPARE(CellDocument::path(QStringLiteral("note.txt")), std::nullopt);
    }
};

QTEST_APPLESS_MAIN(TestCellDocument)
#include "tst_celldocument.moc"
