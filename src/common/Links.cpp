#include "Links.h"

#include <QRegularExpression>

#include "Shell.h"

namespace kivora {

void SendSupportMail(Shell& shell) {
    shell.Open(QStringLiteral("mailto:") + kSupportEmail);
}

void OpenWebPage(Shell& shell, const QString& address) {
    // "host:8080/path" is a host and port, not a scheme.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:(?!\\d)"));
    shell.Open(scheme.match(address).hasMatch() ? address : QStringLiteral("https://") + address);
}

} // namespace kivora
