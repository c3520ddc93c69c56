#include "app/LineMonitorWindow.h"

#include "capture/CallerIdReport.h"
#include "platform/ui/MessageBoxes.h"
#include "platform/ui/WindowPlacement.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

LineMonitorWindow::LineMonitorWindow(QWidget* parent, std::function<QDateTime()> now)
    : QWidget(parent, Qt::Window), m_now(std::move(now))
{
    WindowPlacement::centreWhenShown(this);
    setObjectName(QStringLiteral("lineMonitor"));
    setWindowTitle(tr("线路监视"));
    resize(640, 420);

    m_view = new QPlainTextEdit(this);
    m_view->setObjectName(QStringLiteral("monitorView"));
    m_view->setReadOnly(true);
    m_view->setMaximumBlockCount(MaxLines);
    m_view->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto* copyButton = new QPushButton(tr("复制"), this);
    copyButton->setObjectName(QStringLiteral("copyButton"));
    auto* saveButton = new QPushButton(tr("保存..."), this);
    saveButton->setObjectName(QStringLiteral("saveButton"));
    auto* clearButton = new QPushButton(tr("清除"), this);
    clearButton->setObjectName(QStringLiteral("clearButton"));
    m_numberEdit = new QLineEdit(this);
    m_numberEdit->setObjectName(QStringLiteral("simulatedNumberEdit"));
    m_numberEdit->setPlaceholderText(tr("来电号码"));
    m_numberEdit->setMaxLength(64);
    m_simulateButton = new QPushButton(tr("模拟来电"), this);
    m_simulateButton->setObjectName(QStringLiteral("simulateButton"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copyButton);
    buttons->addWidget(saveButton);
    buttons->addWidget(clearButton);
    buttons->addStretch();
    buttons->addWidget(new QLabel(tr("号码:"), this));
    buttons->addWidget(m_numberEdit);
    buttons->addWidget(m_simulateButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_view);
    layout->addLayout(buttons);

    connect(copyButton, &QPushButton::clicked, this, &LineMonitorWindow::copyText);
    connect(saveButton, &QPushButton::clicked, this, &LineMonitorWindow::saveText);
    connect(clearButton, &QPushButton::clicked, m_view, &QPlainTextEdit::clear);
    connect(m_simulateButton, &QPushButton::clicked, this, &LineMonitorWindow::simulate);
    connect(m_numberEdit, &QLineEdit::returnPressed, this, &LineMonitorWindow::simulate);
}

QString LineMonitorWindow::text() const
{
    return m_view->toPlainText();
}

void LineMonitorWindow::add(LineMonitorLog::Kind kind, const QString& text)
{
    m_view->appendPlainText(LineMonitorLog::line(m_now(), kind, text));
}

void LineMonitorWindow::addReceived(const QByteArray& data)
{
    add(LineMonitorLog::Kind::Received, LineMonitorLog::render(data));
}

void LineMonitorWindow::addSent(const QByteArray& data)
{
    add(LineMonitorLog::Kind::Sent, LineMonitorLog::render(data));
}

void LineMonitorWindow::addReport(const CallerIdReport& report)
{
    add(LineMonitorLog::Kind::Recognised, report.describe());
}

void LineMonitorWindow::copyText() const
{
    QApplication::clipboard()->setText(text());
}

bool LineMonitorWindow::saveTo(const QString& path, QString* error) const
{
    QSaveFile file(path);
    const QByteArray bytes = text().toUtf8() + '\n';
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

void LineMonitorWindow::saveText()
{
    const QString path = QFileDialog::getSaveFileName(this, tr("保存线路监视记录"), QStringLiteral("linemonitor.txt"),
                                                      tr("文本文件 (*.txt)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!saveTo(path, &error))
        ShowWarningBox(tr("无法保存线路监视记录: %1").arg(error));
}

void LineMonitorWindow::simulate()
{
    const QByteArray number = m_numberEdit->text().trimmed().toLatin1();
    if (number.isEmpty())
        return;
    add(LineMonitorLog::Kind::Simulated, LineMonitorLog::render(number));
    emit simulatedCall(number);
}
