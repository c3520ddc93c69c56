#pragma once

#include "app/LineMonitorLog.h"

#include <QByteArray>
#include <QDateTime>
#include <QWidget>

#include <functional>

struct CallerIdReport;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The line monitor: what the modem's port delivers and what the program sent to it, time-
// stamped and readable, with what was recognised as a caller, to tell "no data from the
// modem" from "no match in my database". Its text can be copied and saved; a number typed
// here can be sent through the whole road of a call as if a modem had reported it.
class LineMonitorWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LineMonitorWindow)

public:
    // Lines kept: the oldest go first on a line that never stops talking.
    static constexpr int MaxLines = 5000;

    explicit LineMonitorWindow(QWidget* parent = nullptr, std::function<QDateTime()> now = &QDateTime::currentDateTime);

    QString text() const;
    // The whole text to a file, replaced at once; false with the reason when it cannot be.
    bool saveTo(const QString& path, QString* error) const;

public slots:
    void addReceived(const QByteArray& data);
    void addSent(const QByteArray& data);
    void addReport(const CallerIdReport& report);
    void copyText() const;
    void saveText();
    void simulate();

signals:
    // The number typed for a simulated call.
    void simulatedCall(const QByteArray& number);

private:
    void add(LineMonitorLog::Kind kind, const QString& text);

    std::function<QDateTime()> m_now;
    QPlainTextEdit* m_view = nullptr;
    QLineEdit* m_numberEdit = nullptr;
    QPushButton* m_simulateButton = nullptr;
};
