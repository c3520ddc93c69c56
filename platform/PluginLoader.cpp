#include "platform/PluginLoader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPluginLoader>

QObject* loadPluginObject(const QString& name, QString* error)
{
    const QString beside =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral(VORNX_PLUGIN_SUBDIR "/") + name);
    QPluginLoader loader(QFile::exists(beside + QStringLiteral(".so")) ? beside : name);
    QObject* root = loader.instance();
    if (!root && error)
        *error = QCoreApplication::translate("PluginLoader", "无法加载插件 %1: %2").arg(name, loader.errorString());
    return root;
}
