#pragma once

#include <QDialog>

class QLabel;

// The about box: product, version, maker, and links to the maker's home page and support mail.
class TAboutxDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TAboutxDlg)

public:
    explicit TAboutxDlg(QWidget* parent = nullptr);
    ~TAboutxDlg() override;

    QLabel* lblHomePage = nullptr;
    QLabel* lblSupport = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};

extern TAboutxDlg* AboutxDlg;
