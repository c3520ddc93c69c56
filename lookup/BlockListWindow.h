#pragma once

#include <QWidget>

class BlockList;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// The editor of the block list: its entries with their remarks, a number or prefix to add
// or take out, and whether blocked calls are answered and hung up. Every change is saved at
// once; a change that cannot be saved is said and undone.
class BlockListWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BlockListWindow)

public:
    BlockListWindow(BlockList& list, bool answerBlocked, QWidget* parent = nullptr);

    // Shows the list as it now is (after the file was read again or changed elsewhere).
    void refresh();

signals:
    void answerBlockedChanged(bool on);

private:
    void addEntry();
    void removeEntry();
    void entrySelected();
    void store();

    BlockList& m_list;
    QTableWidget* m_table = nullptr;
    QLineEdit* m_numberEdit = nullptr;
    QLineEdit* m_remarkEdit = nullptr;
    QPushButton* m_addButton = nullptr;
    QPushButton* m_removeButton = nullptr;
    QLabel* m_skippedLabel = nullptr;
    QCheckBox* m_answerCheck = nullptr;
};
