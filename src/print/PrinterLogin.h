#pragma once

#include <functional>
#include <optional>

#include <QString>

namespace kivora {

// A user name and password for a print queue that asks for them.
struct PrinterLogin {
    QString user;
    QString password;
};

// Asks the user for a login, offering `user` as the name; nothing when the user cancels.
using LoginAsker = std::function<std::optional<PrinterLogin>(const QString& user)>;

} // namespace kivora
