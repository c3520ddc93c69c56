#pragma once

#include "lookup/DbConnection.h"
#include "lookup/DbQuery.h"
#include "lookup/AddressBookIndex.h"
#include "platform/addressbook/ContactDialogs.h"

#include <QDialog>
#include <QList>
#include <QStringList>

#include <functional>

class QAction;
class QLabel;
class QMenu;
class QTableView;
class QTableWidget;
class QToolButton;
class QWidget;
class DataSetModel;

// The pop-up "客户资料" that tells who is calling: looks the number up in the data source of
// "Vornx.ini" (address book, or a customer database with its business records), shows the
// region of long numbers, plays the arrival sound and logs the call. Created once, on
// first use, and reused for every call; closing only hides it. The customer result stays
// when the window is closed, so that its buttons still step through it when the same number
// is shown again; it is held in memory and keeps nothing of the database busy.
class CallerWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CallerWindow)

public:
    // The region of a number as received ("" when none). The main window, which owns the
    // region table, sets it before any caller window exists.
    using RegionLookup = std::function<QString(const QString& number)>;
    static void setRegionLookup(RegionLookup region);

    // Calling back, picking up and hanging up go to the line the main window owns; it
    // installs its commands here. Without them the buttons do nothing.
    struct LineCommands
    {
        std::function<void(const QString& number)> DialNumber;
        std::function<void()> PickUp;
        std::function<void()> HangUp;
    };
    static void setLineCommands(LineCommands commands);

    // Reads "Vornx.ini" and opens the data source. Whoever needs the window first creates
    // it into ShowInfoDlg.
    explicit CallerWindow(QWidget* parent = nullptr);
    ~CallerWindow() override;

    QString PhoneNo;
    QString ShownNo;
    bool SoundOn = true;
    int QueryType = 0;
    QString ConnStr;
    QString CustSQL;
    QString BizSQL;
    AddressBookIndex AddrBook;
    QList<const ContactSummary*> Matches;
    int MatchIndex = 0;

    QTableWidget* StringGrid1 = nullptr;
    DbConnection ADOConnection1;
    DbQuery ADOQuery1;
    DbQuery ADOQuery2;
    QTableView* DBGrid1 = nullptr;
    QToolButton* sbtnPrev = nullptr;
    QToolButton* sbtnNext = nullptr;
    QToolButton* sbtnDial = nullptr;
    QToolButton* sbtnPickUp = nullptr;
    QToolButton* sbtnHangUp = nullptr;
    QToolButton* sbtnHestory = nullptr;
    QToolButton* sbtnDetailInfo = nullptr;
    QToolButton* sbtnNewCust = nullptr;
    QToolButton* tbtnPrinter = nullptr;
    QToolButton* sbtnMoreInfo = nullptr;
    QToolButton* sbtnHelp = nullptr;
    QMenu* PopupMenu1 = nullptr; // of tbtnPrinter
    QAction* N1 = nullptr;       // 直接打印
    QAction* N2 = nullptr;       // 打印预览
    QAction* S1 = nullptr;       // 打印设置

    // The window's outer height: 430 collapsed, 600 with the business records unfolded.
    int outerHeight() const { return m_outerHeight; }
    // The value text of a grid row (row 1 is the number, row 2 the time, ...).
    QString rowText(int row) const;

    void ShowRecord();
    void sbtnPrevClick();
    void sbtnNextClick();
    void sbtnMoreInfoClick();

    // The toolbar's commands and the grid's document opening (ShowInfoDlgCommands.cpp).
    void sbtnDialClick();
    void sbtnPickUpClick();
    void sbtnHangUpClick();
    void sbtnHestoryClick();
    void sbtnDetailInfoClick();
    void sbtnNewCustClick();
    void tbtnPrinterClick();
    void N1Click();
    void N2Click();
    void S1Click();
    void sbtnHelpClick();
    // A value naming a document opens it on a double click or Enter, never on a mere
    // selection: stepping through the grid with the arrow keys opens nothing.
    void StringGrid1CellActivated(int row, int column);

    // What row 3 says when the lookup itself failed; the call is shown and logged anyway.
    static QString connectFailedText();
    static QString statementFailedText();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildForm();
    void ConnectCommands();
    void readSettings();
    void FormShow();
    bool lookUpInDatabase();
    void lookUpInAddressBook();
    void fillEntry(const ContactSummary& entry);
    bool openConnection(QString* error);
    void setRowText(int row, const QString& text);
    void setRowLabel(int row, const QString& text);
    void setOuterHeight(int height);
    // With VORNX_CALLER_LOG set (end-to-end runs and the latency benchmark), each filled
    // window is appended to that file: "shown <steady clock in µs>", then "label<TAB>value"
    // per row, then an empty line.
    void traceShown() const;
    QString numberText() const;
    bool isDatabaseType() const { return QueryType == 2 || QueryType == 3; }

    ContactDialogs m_contactDialogs;
    DataSetModel* m_businessModel = nullptr;
    QString m_creationConnectError;
    int m_outerHeight = 430;
};

extern CallerWindow* ShowInfoDlg;
