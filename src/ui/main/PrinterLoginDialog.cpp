#include "PrinterLoginDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "common/AppIdentity.h"

namespace kivora {

PrinterLoginDialog::PrinterLoginDialog(const QString& user, QWidget* parent)
    : QDialog(parent), txtUser_(new QLineEdit(user)), txtPassword_(new QLineEdit) {
    setWindowTitle(AppTitle());
    txtUser_->setObjectName(QStringLiteral("txtUser"));
    txtPassword_->setObjectName(QStringLiteral("txtPassword"));
    txtPassword_->setEchoMode(QLineEdit::Password);
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("&User name:"), txtUser_);
    fields->addRow(QStringLiteral("&Password:"), txtPassword_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("The printer asks for your user name and password.")));
    layout->addLayout(fields);
    layout->addWidget(buttons);
    (user.isEmpty() ? txtUser_ : txtPassword_)->setFocus();
}

PrinterLogin PrinterLoginDialog::Login() const {
    return {txtUser_->text(), txtPassword_->text()};
}

std::optional<PrinterLogin> PrinterLoginDialog::Ask(const QString& user) {
    PrinterLoginDialog dialog(user, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Login();
}

} // namespace kivora
