#pragma once

#include <QDialog>

class QLabel;

// The about box: product, version, maker, and links to the maker's home page and support mail.
class AboutDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AboutDialog)

public:
    explicit AboutDialog(QWidget* parent = nullptr);

private:
    QLabel* m_homePageLink = nullptr;
    QLabel* m_supportLink = nullptr;
};
