#include "gui/qt_platform.h"

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QPushButton>

namespace tonfex {

Answer QtDialogs::question(const std::string& title, const std::string& text, bool offerAll) {
    QMessageBox box(QMessageBox::Question, qs(title), qs(text), QMessageBox::NoButton, parent);
    // Alt+J, Alt+A and Alt+N answer from the keyboard; Return and Escape answer "Nein".
    QPushButton* yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
    QPushButton* all =
        offerAll ? box.addButton(QStringLiteral("Ja, &alle"), QMessageBox::YesRole) : nullptr;
    QPushButton* no = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    if (box.clickedButton() == yes) return Answer::Yes;
    if (all && box.clickedButton() == all) return Answer::YesToAll;
    return Answer::No;
}

void QtDialogs::message(const std::string& title, const std::string& text) {
    QMessageBox box(QMessageBox::Information, qs(title), qs(text), QMessageBox::NoButton, parent);
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

void QtClipboard::clear() {
    QGuiApplication::clipboard()->clear();
}

void QtClipboard::setText(const std::string& text) {
    QGuiApplication::clipboard()->setText(qs(text));
}

void QtEvents::handlePending() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace tonfex
