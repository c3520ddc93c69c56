#include "platform/telephony/MosquittoLibrary.h"

#include <QLibrary>

const MosquittoLibrary* MosquittoLibrary::instance(QString* error)
{
    static MosquittoLibrary library;
    static QString failure;
    // Once for the program: libmosquitto's own initialisation may run only once.
    static const bool loaded = library.load(QStringLiteral("libmosquitto.so.1"), &failure);
    if (!loaded && error)
        *error = failure;
    return loaded ? &library : nullptr;
}

bool MosquittoLibrary::load(const QString& fileName, QString* error)
{
    // Stays loaded for the rest of the program: QLibrary does not unload on destruction.
    QLibrary library(fileName);
    if (!library.load()) {
        *error = tr("无法加载 MQTT 客户端库 %1: %2").arg(fileName, library.errorString());
        return false;
    }
    const char* missing = nullptr;
    auto resolve = [&](auto& function, const char* name) {
        function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(library.resolve(name));
        if (!function && !missing)
            missing = name;
    };
    resolve(mosquitto_connack_string, "mosquitto_connack_string");
    resolve(mosquitto_connect_async, "mosquitto_connect_async");
    resolve(mosquitto_connect_callback_set, "mosquitto_connect_callback_set");
    resolve(mosquitto_destroy, "mosquitto_destroy");
    resolve(mosquitto_disconnect, "mosquitto_disconnect");
    resolve(mosquitto_disconnect_callback_set, "mosquitto_disconnect_callback_set");
    resolve(mosquitto_lib_init, "mosquitto_lib_init");
    resolve(mosquitto_loop_misc, "mosquitto_loop_misc");
    resolve(mosquitto_loop_read, "mosquitto_loop_read");
    resolve(mosquitto_loop_write, "mosquitto_loop_write");
    resolve(mosquitto_message_callback_set, "mosquitto_message_callback_set");
    resolve(mosquitto_new, "mosquitto_new");
    resolve(mosquitto_publish, "mosquitto_publish");
    resolve(mosquitto_socket, "mosquitto_socket");
    resolve(mosquitto_strerror, "mosquitto_strerror");
    resolve(mosquitto_subscribe, "mosquitto_subscribe");
    resolve(mosquitto_tls_insecure_set, "mosquitto_tls_insecure_set");
    resolve(mosquitto_tls_opts_set, "mosquitto_tls_opts_set");
    resolve(mosquitto_tls_set, "mosquitto_tls_set");
    resolve(mosquitto_username_pw_set, "mosquitto_username_pw_set");
    resolve(mosquitto_want_write, "mosquitto_want_write");
    if (missing) {
        *error = tr("MQTT 客户端库 %1 缺少函数 %2").arg(fileName, QString::fromLatin1(missing));
        library.unload();
        return false;
    }
    mosquitto_lib_init();
    return true;
}
