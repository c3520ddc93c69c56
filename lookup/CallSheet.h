#pragma once

#include <QList>
#include <QString>

// The rows of the call record sheet: label and value of each row of the caller window, as
// they go on paper. The sheet's table has always held a label in 60 bytes and a value in
// 160 bytes of GBK, so a value is never longer on paper than two lines of its box.
class CallSheet
{
public:
    struct Record
    {
        QString Field1; // the row label
        QString Field2; // the value
    };
    struct Row
    {
        QString label;
        QString value;
    };

    static constexpr int LabelBytes = 60;
    static constexpr int ValueBytes = 160;

    // One record per row, in row order; every CR and every LF becomes one blank, then the
    // texts are cut to their sizes.
    static QList<Record> records(const QList<Row>& rows);

    // The longest start of `text` that takes at most `bytes` bytes in GBK. A Chinese
    // character is never cut in half: it is left out whole.
    static QString cutToBytes(const QString& text, int bytes);
};
