#pragma once

#include "lookup/CallSheet.h"

#include <QList>
#include <QObject>

class QPrinter;
class QWidget;

// The call record sheet of the caller window, "来电记录单打印": a copy of the grid's rows
// taken when the sheet is made, printed directly, previewed or printed through the
// printer dialog. A new layout is made for every print and preview, so the sheet always
// holds what the grid shows at that moment.
class CallSheetPrinter final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CallSheetPrinter)

public:
    // The rows as the grid shows them, from row 1: label and value.
    explicit CallSheetPrinter(const QList<CallSheet::Row>& rows, QObject* parent = nullptr);
    ~CallSheetPrinter() override;

    const QList<CallSheet::Record>& records() const { return m_records; }

    // Prints on the report's printer. A printer that is missing or not ready is reported.
    bool print();
    void preview(QWidget* parent);
    // The printer dialog; what the user chooses there is kept for the following prints.
    // Cancelling changes nothing.
    bool setUpPrinter(QWidget* parent);

    // The report's printer settings: A4 portrait, 10 mm margins, one copy, until the
    // printer dialog changes them.
    static QPrinter& printer();

private:
    bool paint(QPrinter* target) const;

    QList<CallSheet::Record> m_records;
};
