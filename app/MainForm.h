#pragma once

#include <QMainWindow>

// The program's hub: owns the line objects, the region table and the device settings, and
// receives the messages by which both capture paths report a call.
class TMainForm final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TMainForm)

public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    QString AppPath;
};

extern TMainForm* MainForm;
