#include "app/MainWindow.h"

#include "app/AnimatedTrayIcon.h"
#include "app/CallPublisher.h"
#include "app/DeviceSettings.h"
#include "app/IncomingNumber.h"
#include "app/NationalNumber.h"
#include "capture/LineMessage.h"
#include "lookup/BlockList.h"
#include "lookup/CallerLookup.h"
#include "lookup/CallerWindow.h"
#include "lookup/DataSourceSettings.h"
#include "lookup/HistoryWindow.h"
#include "lookup/RegionQuery.h"
#include "lookup/RegionTable.h"
#include "platform/ProgramFolder.h"
#include "platform/desktop/DesktopNotifier.h"
#include "platform/telephony/MqttLineProvider.h"
#include "platform/sound/Sound.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QMenu>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace {
// The modem reports every ring by itself; any other poster starts a ring that goes on
// until the call is shown or over.
constexpr qintptr SingleRing = 4;

} // namespace

void MainWindow::startRinging(const LineMessage& message)
{
    // A caller ID repeated while the line still rings belongs to the same call.
    if (m_callerLookup)
        m_callerLookup->ringing();
    if (m_callerLookup && m_callerLookup->ringingCallTurnedAway())
        return;
    if (message.lParam() == SingleRing) {
        // The icon only flickers; the sound plays on by itself.
        m_trayIcon->setAnimate(true);
        Sound::play(m_programFolder + QStringLiteral("ring.wav"));
        m_trayIcon->setAnimate(false);
        m_trayIcon->setIconIndex(0);
        return;
    }
    // A second ring of the same call keeps the running timer in step.
    if (!m_ringTimer->isActive())
        m_ringTimer->start();
    m_trayIcon->setAnimate(true);
}

void MainWindow::playRing()
{
    Sound::play(m_programFolder + QStringLiteral("ring.wav"));
}

void MainWindow::stopRinging()
{
    m_ringTimer->stop();
    m_trayIcon->setAnimate(false);
    m_trayIcon->setIconIndex(0);
}

void MainWindow::takeCallerNumber(const LineMessage& message)
{
    const bool dropHeader = m_dropFirstDigitCheck->isChecked();
    const std::optional<QByteArray> number = IncomingNumber::take(message.text(), dropHeader);
    if (!number)
        return;
    const QString caller = QString::fromLatin1(nationalForm(*number));
    // A blocked caller is logged and turned away; nothing pops up, rings or goes to the other
    // desks.
    if (m_blockList->match(caller)) {
        turnAway(caller);
        QCoreApplication::postEvent(this, new LineMessage(WM_RING_DONE, {}, 0));
        return;
    }
    showCall(caller, QString::fromLatin1(IncomingNumber::delivered(message.text(), dropHeader)));
    // The other desks sharing the line hear of the call too (when a broker is configured).
    if (m_callPublisher)
        m_callPublisher->announce(message.text(), caller, regionOf(caller), callerWindow().record(),
                                  m_monitoredDevice == MonitoredDevice::Modem ? m_portCombo->currentText()
                                                                              : m_lineCombo->currentText());
    QCoreApplication::postEvent(this, new LineMessage(WM_RING_DONE, {}, 0));
}

void MainWindow::showCallerInfo(const QString& number)
{
    showCallAgain(number, QString());
}

void MainWindow::showLoggedCall(const QString& number, const QString& loggedTime)
{
    showCallAgain(number, loggedTime);
}

QByteArray MainWindow::nationalForm(const QByteArray& digits) const
{
    return NationalNumber::of(digits, [this](QByteArrayView n) { return !regionOf(QString::fromLatin1(n)).isEmpty(); });
}

QString MainWindow::regionOf(const QString& number) const
{
    return m_regionTable ? RegionQuery::district(*m_regionTable, number) : QString();
}

std::unique_ptr<CallerLookup> MainWindow::makeCallerLookup()
{
    return std::make_unique<CallerLookup>(
        DataSourceSettings::read(ProgramFolder::file(QStringLiteral("Vornx.ini"))),
        [this](const QString& number) { return regionOf(number); }, ProgramFolder::path());
}

CallerWindow& MainWindow::callerWindow()
{
    if (!m_callerWindow) {
        m_callerLookup = makeCallerLookup();
        m_callerWindow = new CallerWindow(*m_callerLookup, *this, this);
        connect(m_callerWindow, &CallerWindow::historyRequested, this, &MainWindow::showHistory);
        tell(m_callerLookup->openingNotices());
    }
    return *m_callerWindow;
}

void MainWindow::dataSourceChanged()
{
    // Before the first call there is nothing to replace: the first call reads the new file.
    if (!m_callerWindow)
        return;
    std::unique_ptr<CallerLookup> lookup = makeCallerLookup();
    // The window lets go of the old lookup before it is destroyed.
    m_callerWindow->setLookup(*lookup);
    m_callerLookup = std::move(lookup);
    tell(m_callerLookup->openingNotices());
}

void MainWindow::showCall(const QString& number, const QString& delivered)
{
    CallerWindow& window = callerWindow();
    // A repeat of the caller ID of the call still ringing leaves the record where the user
    // stepped to.
    const std::optional<CallerRecord> record = m_callerLookup->arrive(number, delivered);
    if (!record) {
        if (!window.isVisible())
            showCallerWindow(window);
        return;
    }
    // Closed first, so that a window still on screen comes up again centred with the new caller.
    window.close();
    window.showRecord(*record);
    showCallerWindow(window);
    // After the window: the first sound of the program loads the sound plugin first.
    Sound::play(ProgramFolder::file(QStringLiteral("coming.wav")));
    notifyDesktop(number, &*record);
    tell(record->notices());
}

void MainWindow::showCallerWindow(CallerWindow& window)
{
    // Pinned above every window while it appears, then a normal window again, so that it
    // comes up in front of whatever the user works in without staying there. The pin is
    // set while the window is hidden and taken off the shown window in place, since
    // changing a shown widget's flags hides it and shows it again. It does not take the
    // keyboard: whatever the user is typing stays in the program it is typed in.
    window.setAttribute(Qt::WA_ShowWithoutActivating, true);
    window.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    window.show();
    window.raise();
    const Qt::WindowFlags normal = window.windowFlags() & ~Qt::WindowStaysOnTopHint;
    window.overrideWindowFlags(normal);
    if (QWindow* handle = window.windowHandle())
        handle->setFlags(normal);
}

void MainWindow::showCallAgain(const QString& number, const QString& loggedTime)
{
    CallerWindow& window = callerWindow();
    window.close();
    const CallerRecord record = m_callerLookup->reopen(number, loggedTime);
    window.showRecord(record);
    // Asked for by the user, so it comes up to be worked in.
    window.setAttribute(Qt::WA_ShowWithoutActivating, false);
    window.show();
    window.raise();
    window.activateWindow();
    tell(record.notices());
}

void MainWindow::tell(const QList<CallerRecord::Notice>& notices)
{
    // The boxes wait until the call that raised them is logged and shown: a box runs its own
    // event loop, and a call coming while it is open (or many, while nobody is at the PC) is
    // then logged and shown at once, its boxes queued behind the open one. A box already
    // waiting to be answered is not asked for again.
    auto same = [](const CallerRecord::Notice& a, const CallerRecord::Notice& b) {
        return a.kind == b.kind && a.text == b.text;
    };
    for (const CallerRecord::Notice& notice : notices) {
        const bool waiting =
            (m_showingNotices && same(m_openNotice, notice)) ||
            std::any_of(m_waitingNotices.cbegin(), m_waitingNotices.cend(),
                        [&](const CallerRecord::Notice& other) { return same(other, notice); });
        if (!waiting)
            m_waitingNotices.append(notice);
    }
    if (!m_waitingNotices.isEmpty())
        QMetaObject::invokeMethod(this, &MainWindow::showWaitingNotices, Qt::QueuedConnection);
}

void MainWindow::showWaitingNotices()
{
    if (m_showingNotices)
        return;
    m_showingNotices = true;
    while (!m_waitingNotices.isEmpty()) {
        m_openNotice = m_waitingNotices.takeFirst();
        CallerWindow::showNotices({m_openNotice});
    }
    m_showingNotices = false;
}

void MainWindow::createNotificationAction()
{
    m_notifyAction = m_trayMenu->addAction(tr("桌面通知(&N)"));
    m_notifyAction->setObjectName(QStringLiteral("notifyAction"));
    m_notifyAction->setCheckable(true);
    m_notifyAction->setChecked(DeviceSettings(settingsFile()).readSystem().notify);
    connect(m_notifyAction, &QAction::toggled, this, [this](bool on) { DeviceSettings(settingsFile()).writeNotify(on); });
}

void MainWindow::notifyDesktop(const QString& number, const CallerRecord* record)
{
    if (!m_notifyAction->isChecked())
        return;
    if (!m_desktopNotifier) {
        m_desktopNotifier = new DesktopNotifier(this);
        m_desktopNotifier->setObjectName(QStringLiteral("desktopNotifier"));
        connect(m_desktopNotifier, &DesktopNotifier::actionInvoked, this, [this] {
            if (!m_callerWindow)
                return;
            m_callerWindow->showNormal();
            m_callerWindow->raise();
            m_callerWindow->activateWindow();
        });
    }
    // The region, then the first field of the caller's record (the customer's name in the
    // usual statement), or the text that says why there is none.
    QStringList lines;
    const QString region = regionOf(number);
    if (!region.isEmpty())
        lines << region;
    if (record && record->rows().size() > 2) {
        const CallerRecord::Row& row = record->rows().at(2);
        lines << (row.label.isEmpty() ? row.value : row.label + tr("：") + row.value);
    }
    m_desktopNotifier->notify(tr("来电：%1").arg(number), lines.join(QLatin1Char('\n')), tr("显示资料"));
}

void MainWindow::showHistory()
{
    if (!m_historyWindow) {
        m_historyWindow = new HistoryWindow(this);
        m_historyWindow->setRegionLookup([this](const QString& number) { return regionOf(number); });
        connect(m_historyWindow, &HistoryWindow::callerRequested, this, &MainWindow::showLoggedCall);
        m_historyWindow->setBlockedTest([this](const QString& number) { return isBlocked(number); });
        connect(m_historyWindow, &HistoryWindow::blockRequested, this, &MainWindow::blockNumber);
        connect(m_historyWindow, &HistoryWindow::unblockRequested, this, &MainWindow::unblockNumber);
        connect(m_historyWindow, &HistoryWindow::blockListRequested, this, &MainWindow::showBlockList);
    }
    m_historyWindow->show();
    m_historyWindow->raise();
    m_historyWindow->activateWindow();
}

void MainWindow::publishCallsThrough(MqttLineProvider& line)
{
    // The broker the MQTT line listens to carries this desk's own calls to the others; a
    // new broker in the line's settings gets a new publisher.
    auto publishTo = [this](const MqttSettings& settings) {
        m_callPublisher.reset();
        if (settings.configured())
            m_callPublisher = std::make_unique<CallPublisher>(settings);
    };
    publishTo(line.settings());
    connect(&line, &MqttLineProvider::settingsChanged, this, publishTo);
}
