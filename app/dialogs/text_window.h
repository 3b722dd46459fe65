#pragma once
// The static-text windows (credits, licence): a read-only text ("Memo1") above an "OK" button
// ("OKButton") that closes the window.
#include <QString>

class QDialog;

void BuildTextWindow(QDialog& dialog, const char* objectName, const QString& title, const QString& text,
                     int width, int height);
