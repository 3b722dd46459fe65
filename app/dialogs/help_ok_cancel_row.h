#pragma once
// The "&Help" ... "OK" "Cancel" row at the foot of the settings dialogs.
class QBoxLayout;
class QPushButton;
class QWidget;

struct HelpOkCancelButtons {
    QPushButton* help;    // "HelpBtn"
    QPushButton* ok;      // "OKBtn", the default button
    QPushButton* cancel;  // "CancelBtn"
};

// Adds the row below `into`; the caller connects the buttons to its own slots.
HelpOkCancelButtons AddHelpOkCancelRow(QWidget* dialog, QBoxLayout* into);
