#include "app/LineProviderSetup.h"

#include "platform/PrivateFolder.h"
#include "platform/ProgramFolder.h"
#include "platform/telephony/MqttLineProvider.h"
#include "platform/telephony/NcidLineProvider.h"
#include "platform/telephony/SimulatedLineControl.h"
#include "platform/telephony/SimulatedLineProvider.h"
#include "platform/telephony/SipLineProvider.h"
#include "platform/ui/MessageBoxes.h"
#include "platform/ui/NetworkLineConfigDialog.h"
#include "platform/ui/SimulatedLineConfigDialog.h"
#include "platform/ui/SipLineConfigDialog.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

void InstallSimulatedLine()
{
    const QString configFile = ProgramFolder::file(QStringLiteral("simline.json"));
    if (!QFileInfo::exists(configFile))
        return;
    auto provider = std::make_unique<SimulatedLineProvider>(configFile);
    QString error;
    if (!provider->load(&error)) {
        // A hand-edited file with a mistake: say where, and run without the simulated line.
        MessageBoxes::show(
            {QMessageBox::Warning, QCoreApplication::translate("LineProviderSetup", "错误提示"),
             QCoreApplication::translate("LineProviderSetup", "模拟电话线路的配置文件有误，模拟线路不可用：\n%1")
                 .arg(error),
             QMessageBox::Ok, QMessageBox::Ok});
        return;
    }
    SimulatedLineConfigDialog::installInto(*provider);
    auto* control = new SimulatedLineControl(provider.get(), provider.get());
    // Without its socket the line still works; it just cannot be rung from outside.
    // In a program folder others may write into, the socket could be replaced by theirs; it
    // then lives in the user's runtime folder, where the tool finds it the same way.
    const QString socket = PrivateFolder::fileFor(ProgramFolder::path(), QStringLiteral("simline.sock"), &error);
    if (socket.isEmpty() || !control->listen(socket, &error))
        qWarning("simulated line: %s", qPrintable(error));
    LineProviders::install(std::move(provider));
}

// The SIP line is always there, so that its account can be entered through the line's
// configuration dialog; without an account it does nothing.
SipLineProvider* InstallSipLine()
{
    auto provider = std::make_unique<SipLineProvider>(ProgramFolder::file(QStringLiteral("sipline.json")));
    QString error;
    if (!provider->load(&error))
        MessageBoxes::show(
            {QMessageBox::Warning, QCoreApplication::translate("LineProviderSetup", "错误提示"),
             QCoreApplication::translate("LineProviderSetup", "SIP线路的账号文件有误，请在线路配置中重新填写：\n%1")
                 .arg(error),
             QMessageBox::Ok, QMessageBox::Ok});
    SipLineConfigDialog::installInto(*provider);
    SipLineProvider* line = provider.get();
    LineProviders::install(std::move(provider));
    return line;
}

QList<NetworkCallLine*>& networkLines()
{
    static QList<NetworkCallLine*> lines;
    return lines;
}

void ShowSettingsError(const QString& text)
{
    MessageBoxes::show({QMessageBox::Warning, QCoreApplication::translate("LineProviderSetup", "错误提示"), text,
                        QMessageBox::Ok, QMessageBox::Ok});
}

// The network lines come after the others, so that the devices chosen before they existed
// keep their numbers. Like the SIP line they are always there, for their dialogs.
void InstallNetworkLines()
{
    auto ncid = std::make_unique<NcidLineProvider>(ProgramFolder::file(QStringLiteral("ncidline.json")));
    QString error;
    if (!ncid->load(&error))
        ShowSettingsError(QCoreApplication::translate("LineProviderSetup", "NCID 服务器线路的配置文件有误，请在线路配置中重新填写：\n%1").arg(error));
    NetworkLineConfigDialog::installInto(*ncid);
    networkLines().append(ncid.get());
    LineProviders::install(std::move(ncid));

    auto mqtt = std::make_unique<MqttLineProvider>(ProgramFolder::file(QStringLiteral("mqttline.json")));
    if (!mqtt->load(&error))
        ShowSettingsError(QCoreApplication::translate("LineProviderSetup", "MQTT 网络线路的配置文件有误，请在线路配置中重新填写：\n%1").arg(error));
    NetworkLineConfigDialog::installInto(*mqtt);
    networkLines().append(mqtt.get());
    LineProviders::install(std::move(mqtt));
}

} // namespace

SipLineProvider* InstallLineProviders()
{
    InstallSimulatedLine();
    SipLineProvider* sip = InstallSipLine();
    InstallNetworkLines();
    return sip;
}

QList<NetworkCallLine*> InstalledNetworkLines()
{
    return networkLines();
}
