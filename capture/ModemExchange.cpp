#include "capture/ModemExchange.h"

#include "platform/serial/SerialPort.h"

#include <QElapsedTimer>
#include <QThread>

bool ModemExchange::WaitSent(SerialPort& port)
{
    QElapsedTimer clock;
    clock.start();
    while (port.outBufferCount() > 0) {
        if (clock.elapsed() >= DrainLimitMs)
            return false;
        QThread::msleep(1);
    }
    return true;
}

bool ModemExchange::SendAndWait(SerialPort& port, const QByteArray& command, int pauseMs)
{
    port.output(command + '\r');
    QThread::msleep(pauseMs);
    return WaitSent(port);
}

bool ModemExchange::Answered(SerialPort& port)
{
    return port.inBufferCount() >= 2;
}

bool ModemExchange::Positive(const QByteArray& reply)
{
    return reply.contains("OK");
}
