#include "ui/QtPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace mw {

namespace {

QMessageBox::Icon IconFor(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QWidget* Owner() {
    return QApplication::activeWindow();
}

} // namespace

QString QtFileFilter(const QString& filter) {
    QStringList parts = filter.split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        QString pattern = parts[i + 1];
        filters << (description.contains(pattern) ? description
                                                  : description + " (" + pattern + ")");
    }
    return filters.join(";;");
}

void QtPrompts::Message(const QString& text, const QString& title, MessageIcon icon) {
    QMessageBox box(IconFor(icon), title, text, QMessageBox::Ok, Owner());
    box.exec();
}

bool QtPrompts::AskYesNo(const QString& text, const QString& title, MessageIcon icon) {
    QMessageBox box(IconFor(icon), title, text, QMessageBox::Yes | QMessageBox::No, Owner());
    return box.exec() == QMessageBox::Yes;
}

QString QtPrompts::InputBox(const QString& prompt, const QString& title) {
    return QInputDialog::getText(Owner(), title, prompt);
}

QString QtPrompts::OpenFile(const QString& title, const QString& filter) {
    return QFileDialog::getOpenFileName(Owner(), title, QString(), QtFileFilter(filter));
}

// The dialog asks before an existing file is chosen (no DontConfirmOverwrite): replacing a
// user's file unasked could lose it.
QString QtPrompts::SaveFile(const QString& title, const QString& filter) {
    return QFileDialog::getSaveFileName(Owner(), title, QString(), QtFileFilter(filter));
}

} // namespace mw
