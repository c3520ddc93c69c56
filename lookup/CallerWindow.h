#pragma once

#include "lookup/CallerRecord.h"
#include "lookup/CallerWindowSize.h"
#include "platform/addressbook/ContactDialogs.h"

#include <QDialog>
#include <QPointer>

class CallSheetPrinter;
class CallerLookup;
class LineCommands;
class QLabel;
class QMenu;
class QStandardItemModel;
class QTableView;
class QTableWidget;
class QToolButton;

// The pop-up "客户资料" that tells who is calling: shows the CallerRecord its owner looked
// up, steps through its matches, unfolds the business records, and offers the commands of
// a call (call back, pick up, hang up through the line the owner watches), the history,
// printing, help and, for the address book, the contact's details and a new contact.
// Created once and reused for every call; closing only hides it, and the record it holds
// stays, so that its buttons still step through it when the same number is shown again.
// The user may resize or maximise it: the values follow the width, wrapped, and each holds
// its whole text as a tooltip; the size is kept in "sysset.ini" for the next start.
class CallerWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CallerWindow)

public:
    // lookup and line belong to the owner and outlive this window.
    CallerWindow(CallerLookup& lookup, LineCommands& line, QWidget* parent = nullptr);
    ~CallerWindow() override;

    // Takes a new lookup, made when the data source changed, in place of the one given
    // before; the owner destroys the old one afterwards. The record on show stays: it is
    // the last call's, read before the change.
    void setLookup(CallerLookup& lookup);

    // Shows a new record: its rows, the stepping buttons, the window folded.
    void showRecord(const CallerRecord& record);
    const CallerRecord& record() const { return m_record; }

    // The business records are unfolded below the record.
    bool businessRecordsShown() const { return m_unfolded; }
    // The client size without the business records, as it is kept for the next start.
    QSize foldedSize() const { return m_foldedSize; }
    // The value shown in a row (row 1 is the number, row 2 the time, ...).
    QString rowText(int row) const;

    // The message boxes a lookup asked for, in their order.
    static void showNotices(const QList<CallerRecord::Notice>& notices);

signals:
    // "历史记录": the owner brings up the call history.
    void historyRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildWindow();
    void buildCommands();
    void fillRows();
    void updateStepButtons();
    void setUnfolded(bool unfolded);
    void rememberSize();

    void stepBack();
    void stepForward();
    void toggleBusinessRecords();
    void dial();
    void pickUp();
    void hangUp();
    void showContactDetails();
    void addContact();
    void printSheet();
    void previewSheet();
    void setUpPrinter();
    void showHelp();
    // A value naming a document opens it on a double click or Enter, never on a mere
    // selection: stepping through the grid with the arrow keys opens nothing.
    void openCellDocument(int row, int column);
    // A new sheet of what the grid shows now.
    void makeSheet();

    CallerLookup* m_lookup;
    LineCommands& m_line;
    ContactDialogs m_contactDialogs;
    CallerRecord m_record;
    CallerWindowSize m_storedSize;
    QSize m_foldedSize;
    bool m_unfolded = false;

    QLabel* m_positionLabel = nullptr;
    QTableWidget* m_recordGrid = nullptr;
    QTableView* m_businessGrid = nullptr;
    QStandardItemModel* m_businessModel = nullptr;
    QWidget* m_businessPanel = nullptr;
    QToolButton* m_previousButton = nullptr;
    QToolButton* m_nextButton = nullptr;
    QToolButton* m_dialButton = nullptr;
    QToolButton* m_pickUpButton = nullptr;
    QToolButton* m_hangUpButton = nullptr;
    QToolButton* m_historyButton = nullptr;
    QToolButton* m_detailsButton = nullptr;
    QToolButton* m_newContactButton = nullptr;
    QToolButton* m_printButton = nullptr;
    QToolButton* m_moreButton = nullptr;
    QToolButton* m_helpButton = nullptr;
    QMenu* m_printMenu = nullptr;
    QPointer<CallSheetPrinter> m_sheetPrinter;
};
