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

void MessageBox::Notify(QWidget* parent, const QString& text, QMessageBox::Icon icon) {
    const Message message{QString::fromUtf8(app::kTitle), text, icon, false};
    if (CurrentHandler()) {
        CurrentHandler()(message);
        return;
    }
    static const QString kNoticeName = QStringLiteral("notice");
    if (parent) {
        if (auto* earlier =
                parent->findChild<QMessageBox*>(kNoticeName, Qt::FindDirectChildrenOnly)) {
            earlier->close();
        }
    }
    auto* box = new QMessageBox(icon, message.title, text, QMessageBox::Ok, parent);
    box->setObjectName(kNoticeName);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->setDefaultButton(QMessageBox::Ok);
    box->show();
}

void MessageBox::SetHandler(Handler handler) {
    CurrentHandler() = std::move(handler);
}

void MessageBox::ClearHandler() {
    CurrentHandler() = nullptr;
}

} // namespace kivora
