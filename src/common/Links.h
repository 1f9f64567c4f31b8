#pragma once

#include <QString>

namespace kivora {

class Shell;

// The About window shows these and opens them when clicked.
inline const QString kSupportEmail = QStringLiteral("support@kivora.example");
inline const QString kWebPage = QStringLiteral("www.kivora.example/lotto");

// A new mail to the support address. A failure (no mail program) goes unreported.
void SendSupportMail(Shell& shell);

// Opens address in the browser; "https://" is put in front of an address without a scheme.
// A failure goes unreported.
void OpenWebPage(Shell& shell, const QString& address);

} // namespace kivora
