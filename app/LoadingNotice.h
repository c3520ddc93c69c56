#pragma once

#include <QWidget>

// The notice "正在加载参数..." with a running animation, on top of everything while the
// region table loads at start-up. Closing it frees it.
class LoadingNotice final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LoadingNotice)

public:
    explicit LoadingNotice(QWidget* owner = nullptr);

    // Shows the notice and paints it at once, before the caller blocks on its loading.
    void showNow();
};
