#pragma once
// The start-up window: borderless, centred, shown for a few seconds before the main window.
#include <QDialog>

class QLabel;

class TSStart : public QDialog {
    Q_OBJECT
public:
    explicit TSStart(QWidget* parent = nullptr);
    // Appends the version to the version label, repaints and waits (3000 ms, or VAROLUX32_SPLASH_MS).
    void FormActivate();
    static int WaitMilliseconds();

private:
    QLabel* versionLabel_ = nullptr;
};
