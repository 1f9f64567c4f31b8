#pragma once

#include <optional>

#include <QDialog>

#include "print/PrinterLogin.h"

class QLineEdit;

namespace kivora {

// The small window that asks for the login a print queue wants, in place of libcups' prompt on
// the terminal.
class PrinterLoginDialog : public QDialog {
    Q_OBJECT

public:
    PrinterLoginDialog(const QString& user, QWidget* parent);

    PrinterLogin Login() const;

    // Modal over the active window; nothing when the user cancels. Fits a LoginAsker.
    static std::optional<PrinterLogin> Ask(const QString& user);

private:
    QLineEdit* txtUser_;
    QLineEdit* txtPassword_;
};

} // namespace kivora
