#pragma once
// The button rows at the foot of the dialogs: "OK" "Cancel" at the right, and the settings dialogs'
// "&Help" at the left of them.
class QBoxLayout;
class QHBoxLayout;
class QPushButton;
class QWidget;

struct OkCancelButtons {
    QHBoxLayout* row;     // the row, for buttons a dialog adds
    QPushButton* ok;      // "OKBtn", the default button
    QPushButton* cancel;  // "CancelBtn"
};

// Adds the row below `into`; the caller connects the buttons to its own slots.
OkCancelButtons AddOkCancelRow(QWidget* dialog, QBoxLayout* into);

struct HelpOkCancelButtons {
    QPushButton* help;    // "HelpBtn"
    QPushButton* ok;      // "OKBtn", the default button
    QPushButton* cancel;  // "CancelBtn"
};

// Adds the row below `into`; the caller connects the buttons to its own slots.
HelpOkCancelButtons AddHelpOkCancelRow(QWidget* dialog, QBoxLayout* into);
