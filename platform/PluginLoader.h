#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QString>

// The program's plugins: the parts whose libraries are large and seldom needed, loaded the
// first time they are used so that the resident program does not carry them. A plugin's
// root object implements one interface (Q_DECLARE_INTERFACE); it lives until the program
// ends and is shared by everything that loads the same plugin.
//
// A plugin is looked for in the program's plugin folder beside its executable (the same
// relative place in a build and in an installed program), then in Qt's library paths.
QObject* loadPluginObject(const QString& name, QString* error = nullptr);

template <class Interface>
Interface* loadPlugin(const QString& name, QString* error = nullptr)
{
    QObject* root = loadPluginObject(name, error);
    Interface* plugin = qobject_cast<Interface*>(root);
    if (root && !plugin && error)
        *error = QCoreApplication::translate("PluginLoader", "插件 %1 不是本程序的版本").arg(name);
    return plugin;
}
