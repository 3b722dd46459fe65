#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <functional>

#include "app/query_dialogs.h"
#include "formats/ascii_reader.h"

namespace {

QApplication& app() {
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    static QApplication* a = new QApplication(argc, argv);  // outlives Qt's font caches at exit
    return *a;
}

// Runs the query dialog and lets `drive` work the modal dialog once it is shown.
bool runWith(ui::Query& q, std::function<void(QDialog&)> drive) {
    app();
    QTimer::singleShot(0, [drive] {
        auto* dia = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dia, nullptr);
        drive(*dia);
    });
    return runQueryDialog(q);
}

template <class T>
T* child(QDialog& d, const char* name) {
    T* w = d.findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

ui::Query query(const std::string& x, const std::string& y) {
    ui::Query q;
    q.dialog = kAxisQueryDialog;
    q.fields[kAxisQueryFileLabel] = "Dateiname: probe.fak";
    q.fields[kAxisQueryPathLabel] = "Dateipfad: /data/";
    q.fields[kAxisQueryXUnit] = x;
    q.fields[kAxisQueryYKind] = y;
    return q;
}

}  // namespace

TEST(AxisQueryDialog, ShowsTheLastChoiceAndHandsBackTheNewOne) {
    ui::Query q = query("3", "4");
    const bool ok = runWith(q, [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "axis type query");
        EXPECT_EQ(child<QLabel>(d, "Label1")->text(), "Dateiname: probe.fak");
        EXPECT_TRUE(child<QLabel>(d, "Label2")->wordWrap());
        EXPECT_EQ(child<QGroupBox>(d, "RXAchse")->title(), "X-Axis Type");
        EXPECT_EQ(child<QGroupBox>(d, "RYAchse")->title(), "Y-Axis Type");
        EXPECT_TRUE(child<QRadioButton>(d, "RXAchse_2")->isChecked());  // eV
        EXPECT_EQ(child<QRadioButton>(d, "RXAchse_2")->text(), "Electron Volts eV");
        EXPECT_TRUE(child<QRadioButton>(d, "RYAchse_5")->isChecked());  // log(Epsilon)
        EXPECT_EQ(child<QRadioButton>(d, "RXAchse_1")->text(), QString::fromUtf8("Wavelength [\xC2\xB5m]"));
        child<QRadioButton>(d, "RXAchse_4")->click();  // Raman shift
        child<QRadioButton>(d, "RYAchse_1")->click();  // reflectance
        child<QPushButton>(d, "OKBtn")->click();
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(q.fields[kAxisQueryXUnit], "5");
    EXPECT_EQ(q.fields[kAxisQueryYKind], "6");
}

TEST(AxisQueryDialog, CancelStillHandsBackTheSelection) {
    ui::Query q = query("1", "5");
    const bool ok = runWith(q, [](QDialog& d) {
        child<QRadioButton>(d, "RXAchse_3")->click();  // wavenumbers
        child<QPushButton>(d, "CancelBtn")->click();
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(q.fields[kAxisQueryXUnit], "2");
    EXPECT_EQ(q.fields[kAxisQueryYKind], "5");
}

TEST(AxisQueryDialog, CodesOutsideTheTablesSelectNothing) {
    ui::Query q = query("9", "0");
    const bool ok = runWith(q, [](QDialog& d) {
        for (int i = 0; i < 5; ++i)
            EXPECT_FALSE(child<QRadioButton>(d, ("RXAchse_" + std::to_string(i)).c_str())->isChecked());
        child<QPushButton>(d, "OKBtn")->click();
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(q.fields[kAxisQueryXUnit], "9");  // nothing selected, nothing handed back
    EXPECT_EQ(q.fields[kAxisQueryYKind], "0");
}
