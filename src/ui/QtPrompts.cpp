#include "ui/QtPrompts.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

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

QStringList QtFileFilters(const QString& filter) {
    QStringList parts = filter.split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        QString pattern = parts[i + 1];
        filters << (description.contains(pattern) ? description
                                                  : description + " (" + pattern + ")");
    }
    return filters;
}

void QtPrompts::Message(const QString& text, const QString& title, MessageIcon icon) {
    QMessageBox box(IconFor(icon), title, text, QMessageBox::Ok, Owner());
    box.exec();
}

bool QtPrompts::AskYesNo(const QString& text, const QString& title, MessageIcon icon) {
    QMessageBox box(IconFor(icon), title, text, QMessageBox::Yes | QMessageBox::No, Owner());
    return box.exec() == QMessageBox::Yes;
}

namespace {

// The pictures at most this size, so that two of them fit beside each other on any screen.
constexpr int PictureSide = 360;

QWidget* CaptionedPictureView(const CaptionedPicture& picture) {
    auto* view = new QWidget;
    auto* layout = new QVBoxLayout(view);
    auto* image = new QLabel;
    QImage scaled = picture.Picture.width() > PictureSide || picture.Picture.height() > PictureSide
                        ? picture.Picture.scaled(PictureSide, PictureSide, Qt::KeepAspectRatio,
                                                 Qt::SmoothTransformation)
                        : picture.Picture;
    image->setPixmap(QPixmap::fromImage(scaled));
    image->setAlignment(Qt::AlignCenter);
    image->setStyleSheet("background: #30343a");
    image->setMinimumSize(PictureSide / 2, PictureSide / 2);
    layout->addWidget(image, 1);
    layout->addWidget(new QLabel(picture.Caption), 0, Qt::AlignHCenter);
    return view;
}

} // namespace

bool QtPrompts::AskYesNoShowing(const QString& text, const QString& title,
                                const std::vector<CaptionedPicture>& pictures) {
    QDialog dialog(Owner());
    dialog.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&dialog);
    auto* question = new QLabel(text);
    question->setWordWrap(true);
    layout->addWidget(question);
    auto* row = new QHBoxLayout;
    for (const CaptionedPicture& picture : pictures)
        row->addWidget(CaptionedPictureView(picture));
    layout->addLayout(row);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Yes | QDialogButtonBox::No);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    // Enter answers No: the change is made only when Yes is chosen on purpose.
    buttons->button(QDialogButtonBox::Yes)->setAutoDefault(false);
    buttons->button(QDialogButtonBox::No)->setDefault(true);
    buttons->button(QDialogButtonBox::No)->setFocus();
    return dialog.exec() == QDialog::Accepted;
}

QString QtPrompts::InputBox(const QString& prompt, const QString& title) {
    return QInputDialog::getText(Owner(), title, prompt);
}

QString QtPrompts::InputBoxWith(const QString& prompt, const QString& title, const QString& text) {
    return QInputDialog::getText(Owner(), title, prompt, QLineEdit::Normal, text);
}

UnsavedChoice QtPrompts::AskSaveChanges(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Warning, title, text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, Owner());
    box.setDefaultButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save:
        return UnsavedChoice::Save;
    case QMessageBox::Discard:
        return UnsavedChoice::Discard;
    default:
        return UnsavedChoice::Cancel;
    }
}

ChosenFile QtPrompts::ChooseOpenFile(const QString& title, const QString& filter,
                                     const QString& folder) {
    const QStringList filters = QtFileFilters(filter);
    QString chosenFilter;
    QString path =
        QFileDialog::getOpenFileName(Owner(), title, folder, filters.join(";;"), &chosenFilter);
    return {path, std::max(0, static_cast<int>(filters.indexOf(chosenFilter)))};
}

// The dialog asks before an existing file is chosen (no DontConfirmOverwrite): replacing a
// user's file unasked could lose it. A name typed without an extension gets the chosen filter's
// before that question, so that the question names the file that is written.
ChosenFile QtPrompts::ChooseSaveFile(const QString& title, const QString& filter,
                                     const QString& folder) {
    const QStringList filters = QtFileFilters(filter);
    QFileDialog dialog(Owner(), title, folder, filters.join(";;"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    auto useSuffixOf = [&](const QString& chosen) {
        dialog.setDefaultSuffix(
            FilterExtension(filter, static_cast<int>(filters.indexOf(chosen))).mid(1));
    };
    useSuffixOf(filters.value(0));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, useSuffixOf);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return {dialog.selectedFiles().constFirst(),
            std::max(0, static_cast<int>(filters.indexOf(dialog.selectedNameFilter())))};
}

} // namespace mw
