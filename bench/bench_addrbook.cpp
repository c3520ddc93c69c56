// Address book figures for 10,000 contacts: opening the store (read, decode and prepare
// every contact) for an export of the desktop address book (vCard 2.1, GB2312,
// quoted-printable) and for a vCard 3.0 UTF-8 file, searching by telephone number, and
// adding one contact to the file.
// Usage: bench_addrbook [contacts]
#include "bench/Median.h"
#include "lookup/AddressBookIndex.h"
#include "platform/addressbook/ContactStore.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {
constexpr int Rounds = 7;

// CPU time of this thread: the machine is shared, so wall time says more about the
// neighbours than about the address book.
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

QByteArray quotedPrintable(const QByteArray& bytes)
{
    QByteArray out;
    for (const char c : bytes) {
        if (uchar(c) > 126 || c == '=')
            out += '=' + QByteArray::number(uchar(c), 16).toUpper().rightJustified(2, '0');
        else
            out += c;
    }
    return out;
}

QString mobile(int i)
{
    return QStringLiteral("139%1").arg(i, 8, 10, QLatin1Char('0'));
}

QString office(int i)
{
    return QStringLiteral("010-6%1").arg(i, 7, 10, QLatin1Char('0'));
}

QByteArray export21(int count)
{
    QStringEncoder gbk("GB18030");
    QByteArray out;
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("客户%1").arg(i);
        out += "BEGIN:VCARD\r\nVERSION:2.1\r\n";
        out += "N;CHARSET=gb2312:" + gbk.encode(QStringLiteral("客户;%1").arg(i)) + "\r\n";
        out += "FN;CHARSET=gb2312:" + gbk.encode(name) + "\r\n";
        out += "ORG;CHARSET=gb2312:" + gbk.encode(QStringLiteral("维诺星贸易有限公司")) + "\r\n";
        out += "NOTE;ENCODING=QUOTED-PRINTABLE;CHARSET=gb2312:" +
               quotedPrintable(gbk.encode(QStringLiteral("每月订货，来电请转销售部。"))) + "\r\n";
        out += "TEL;WORK;VOICE:" + office(i).toLatin1() + "\r\n";
        out += "TEL;CELL;VOICE:" + mobile(i).toLatin1() + "\r\n";
        out += "TEL;WORK;FAX:" + office(i).toLatin1() + "9\r\n";
        out += "ADR;WORK;ENCODING=QUOTED-PRINTABLE;CHARSET=gb2312:;;" +
               quotedPrintable(gbk.encode(QStringLiteral("中关村大街%1号;北京;北京;100080;中国").arg(i))) + "\r\n";
        out += "X-WAB-GENDER:2\r\nBDAY:19800517\r\n";
        out += "EMAIL;PREF;INTERNET:c" + QByteArray::number(i) + "@example.com\r\n";
        out += "REV:20061201T083000Z\r\nEND:VCARD\r\n\r\n";
    }
    return out;
}

QByteArray export30(int count)
{
    QByteArray out;
    for (int i = 0; i < count; ++i) {
        out += "BEGIN:VCARD\r\nVERSION:3.0\r\n";
        out += "FN:" + QStringLiteral("客户%1").arg(i).toUtf8() + "\r\n";
        out += "N:" + QStringLiteral("客户;%1;;;").arg(i).toUtf8() + "\r\n";
        out += "ORG:" + QStringLiteral("维诺星贸易有限公司").toUtf8() + "\r\n";
        out += "TEL;TYPE=WORK,VOICE:" + office(i).toLatin1() + "\r\n";
        out += "TEL;TYPE=CELL:" + mobile(i).toLatin1() + "\r\n";
        out += "item1.TEL:0571-" + QByteArray::number(80000000 + i) + "\r\nitem1.X-ABLabel:Shop\r\n";
        out += "ADR;TYPE=HOME:;;" + QStringLiteral("朝阳路%1号;上海;;200000;中国").arg(i).toUtf8() + "\r\n";
        out += "NOTE:" + QStringLiteral("一段比较长的附注，折行之后继续写下去，看看折行的读法是否够快。").toUtf8() +
               "\r\n";
        out += "EMAIL;TYPE=INTERNET:c" + QByteArray::number(i) + "@example.com\r\n";
        out += "UID:" + QByteArray::number(1000000 + i) + "\r\nEND:VCARD\r\n";
    }
    return out;
}

void benchOpen(const char* what, const QString& path, int count)
{
    std::vector<double> cpu;
    std::vector<double> wall;
    size_t entries = 0;
    for (int i = 0; i < Rounds; ++i) {
        AddressBookIndex book(path, nullptr);
        QElapsedTimer timer;
        timer.start();
        const double before = cpuMs();
        book.open();
        cpu.push_back(cpuMs() - before);
        wall.push_back(double(timer.nsecsElapsed()) / 1e6);
        entries = book.entries.size();
    }
    std::printf("open %-34s %6zu of %d contacts, %5.1f MB: %7.1f ms CPU, %7.1f ms wall (median of %d)\n", what, entries,
                count, double(QFile(path).size()) / 1e6, median(cpu), median(wall), Rounds);
}

void benchSearch(const QString& path, int count)
{
    AddressBookIndex book(path, nullptr);
    book.open();
    struct Case
    {
        const char* what;
        QString number;
    };
    const Case cases[] = {{"mobile of the first contact", mobile(0)},
                          {"mobile of the last contact", mobile(count - 1)},
                          {"local number of an office line", office(count / 2).mid(4)},
                          {"number of nobody", QStringLiteral("13700000000")}};
    for (const Case& c : cases) {
        constexpr int Searches = 200;
        int found = 0;
        const double before = cpuMs();
        for (int i = 0; i < Searches; ++i)
            found = int(book.findByPhone(c.number).size());
        std::printf("search %-32s %d found: %7.3f ms CPU per search\n", c.what, found, (cpuMs() - before) / Searches);
    }
}

void benchAdd(const QTemporaryDir& dir, const QByteArray& bytes)
{
    std::vector<double> wall;
    for (int i = 0; i < Rounds; ++i) {
        const QString path = dir.filePath(QStringLiteral("add.vcf"));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        file.close();
        Contact contact;
        contact.displayName = QStringLiteral("新客户");
        contact.phones << ContactPhone{PhoneKind::Mobile, QStringLiteral("13800138000"), -1};
        ContactStore store(path);
        QElapsedTimer timer;
        timer.start();
        store.load();
        store.add(contact, nullptr, nullptr);
        wall.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("new contact: read the file, add, write it whole: %7.1f ms wall (median of %d)\n", median(wall),
                Rounds);
}

} // namespace

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    QTemporaryDir dir;
    const QByteArray v21 = export21(count);
    const QByteArray v30 = export30(count);
    for (const auto& [name, bytes] : {std::pair{"21.vcf", v21}, std::pair{"30.vcf", v30}}) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    }
    benchOpen("2.1 GB2312 quoted-printable export", dir.filePath(QStringLiteral("21.vcf")), count);
    benchOpen("3.0 UTF-8 file", dir.filePath(QStringLiteral("30.vcf")), count);
    benchSearch(dir.filePath(QStringLiteral("21.vcf")), count);
    benchAdd(dir, v21);
    return 0;
}
