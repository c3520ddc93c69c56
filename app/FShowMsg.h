#pragma once

#include <QWidget>

// The notice "正在加载参数..." with a running animation, on top of everything while the
// region table loads at start-up. Closing it frees it and clears FShowMsg.
class TFShowMsg final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TFShowMsg)

public:
    explicit TFShowMsg(QWidget* owner = nullptr);
    ~TFShowMsg() override;

    // Shows the notice and paints it at once, before the caller blocks on its loading.
    void showNow();
};

extern TFShowMsg* FShowMsg;
