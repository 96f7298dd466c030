#pragma once

#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <utility>

namespace mw {

// Controls carry fixed object names (cmdImportTemplate, txtMultiIdx, ...) that tests find them by.
template <class Control, class... Arguments>
Control* Named(const QString& name, Arguments&&... arguments) {
    auto* control = new Control(std::forward<Arguments>(arguments)...);
    control->setObjectName(name);
    return control;
}

// A dialog's button that Enter does not press unless it has the focus.
inline QPushButton* DialogButton(const QString& name, const QString& caption) {
    auto* button = Named<QPushButton>(name, caption);
    button->setAutoDefault(false);
    return button;
}

inline QRadioButton* NamedOption(const QString& name, const QString& caption,
                                 const QString& tooltip = {}) {
    auto* option = Named<QRadioButton>(name, caption);
    option->setToolTip(tooltip);
    return option;
}

} // namespace mw
