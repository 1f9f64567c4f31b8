#pragma once

#include <functional>

#include <QMessageBox>
#include <QString>

class QWidget;

namespace kivora {

// Every message the program shows goes through here, so that tests can read and answer it.
class MessageBox {
public:
    struct Message {
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        // False for a notice that leaves the window usable while it is open.
        bool modal = true;
    };
    // A handler replaces the dialog; it is told the message instead.
    using Handler = std::function<void(const Message&)>;

    // A modal box with a single OK button. The title is the application's title.
    static void Show(QWidget* parent, const QString& text, QMessageBox::Icon icon);
    // The same box without blocking: it returns at once and the box stays until OK. A parent
    // shows one notice at a time; a newer one takes the place of one still open.
    static void Notify(QWidget* parent, const QString& text, QMessageBox::Icon icon);

    static void SetHandler(Handler handler);
    static void ClearHandler();
};

} // namespace kivora
