#pragma once

#include <QGroupBox>
#include <QLabel>

// A picture that reports clicks (the banner opens the maker's page when clicked).
class ClickableLabel final : public QLabel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ClickableLabel)

public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// A group box whose frame reports clicks: clicking a device group chooses that device.
class ClickableGroupBox final : public QGroupBox
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ClickableGroupBox)

public:
    using QGroupBox::QGroupBox;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
