#pragma once
// Driving dialogs by their controls' object names.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace dlgtest {

template <typename T>
T* child(QObject* dialog, const char* name) {
    T* w = dialog->findChild<T*>(name);
    EXPECT_NE(w, nullptr) << "no control " << name;
    return w;
}

inline void click(QObject* dialog, const char* name) {
    if (auto* b = child<QAbstractButton>(dialog, name)) b->click();
    QApplication::processEvents();
}

// The same for a dialog at hand.
template <typename T>
T* child(QObject& dialog, const char* name) {
    return child<T>(&dialog, name);
}

inline void click(QObject& dialog, const char* name) { click(&dialog, name); }

inline void setCombo(QObject* dialog, const char* name, int index) {
    if (auto* c = child<QComboBox>(dialog, name)) c->setCurrentIndex(index);
}

inline void setEdit(QObject* dialog, const char* name, const QString& text) {
    if (auto* e = child<QLineEdit>(dialog, name)) e->setText(text);
}

inline void setCheck(QObject* dialog, const char* name, bool on) {
    if (auto* c = child<QAbstractButton>(dialog, name))
        if (c->isChecked() != on) c->click();
}

inline void open(QDialog& d) {
    d.show();
    QApplication::processEvents();
}

}  // namespace dlgtest
