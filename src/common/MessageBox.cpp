#include "MessageBox.h"

#include <utility>

#include <QPushButton>

#include "AppInfo.h"

namespace kivora {

namespace {
MessageBox::Handler& CurrentHandler() {
    static MessageBox::Handler handler;
    return handler;
}
} // namespace

void MessageBox::Show(QWidget* parent, const QString& text, QMessageBox::Icon icon) {
    const Message message{QString::fromUtf8(app::kTitle), text, icon};
    if (CurrentHandler()) {
        CurrentHandler()(message);
        return;
    }
    QMessageBox box(icon, message.title, text, QMessageBox::Ok, parent);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}

void MessageBox::SetHandler(Handler handler) {
    CurrentHandler() = std::move(handler);
}

void MessageBox::ClearHandler() {
    CurrentHandler() = nullptr;
}

} // namespace kivora
