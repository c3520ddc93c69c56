#pragma once

#include <mosquitto.h>

#include <QCoreApplication>
#include <QString>

// libmosquitto, opened when the first MQTT client starts instead of linked, so that a
// program that never speaks MQTT maps neither it nor the TLS libraries it needs. The
// members are the library's functions of the same names.
class MosquittoLibrary final
{
    Q_DECLARE_TR_FUNCTIONS(MosquittoLibrary)

public:
    // The program's one copy, opened and initialised at the first call. Null when the
    // library is missing or lacks a function; `error` then says which.
    static const MosquittoLibrary* instance(QString* error);

    decltype(&::mosquitto_connack_string) mosquitto_connack_string = nullptr;
    decltype(&::mosquitto_connect_async) mosquitto_connect_async = nullptr;
    decltype(&::mosquitto_connect_callback_set) mosquitto_connect_callback_set = nullptr;
    decltype(&::mosquitto_destroy) mosquitto_destroy = nullptr;
    decltype(&::mosquitto_disconnect) mosquitto_disconnect = nullptr;
    decltype(&::mosquitto_disconnect_callback_set) mosquitto_disconnect_callback_set = nullptr;
    decltype(&::mosquitto_lib_init) mosquitto_lib_init = nullptr;
    decltype(&::mosquitto_loop_misc) mosquitto_loop_misc = nullptr;
    decltype(&::mosquitto_loop_read) mosquitto_loop_read = nullptr;
    decltype(&::mosquitto_loop_write) mosquitto_loop_write = nullptr;
    decltype(&::mosquitto_message_callback_set) mosquitto_message_callback_set = nullptr;
    decltype(&::mosquitto_new) mosquitto_new = nullptr;
    decltype(&::mosquitto_publish) mosquitto_publish = nullptr;
    decltype(&::mosquitto_socket) mosquitto_socket = nullptr;
    decltype(&::mosquitto_strerror) mosquitto_strerror = nullptr;
    decltype(&::mosquitto_subscribe) mosquitto_subscribe = nullptr;
    decltype(&::mosquitto_tls_insecure_set) mosquitto_tls_insecure_set = nullptr;
    decltype(&::mosquitto_tls_opts_set) mosquitto_tls_opts_set = nullptr;
    decltype(&::mosquitto_tls_set) mosquitto_tls_set = nullptr;
    decltype(&::mosquitto_username_pw_set) mosquitto_username_pw_set = nullptr;
    decltype(&::mosquitto_want_write) mosquitto_want_write = nullptr;

private:
    MosquittoLibrary() = default;
    bool load(const QString& fileName, QString* error);
};
