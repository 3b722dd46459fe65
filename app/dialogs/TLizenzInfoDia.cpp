#include "app/dialogs/TLizenzInfoDia.h"

#include "app/dialogs/text_window.h"

TLizenzInfoDia::TLizenzInfoDia(QWidget* parent) : QDialog(parent) {
    BuildTextWindow(*this, "LizenzInfoDia", "Licence Agreement",
                    "Varolux32 licence agreement\n\n"
                    "Varolux32 may be used and passed on free of charge, unchanged and complete.\n\n"
                    "The program is provided as it is, without any warranty. The authors are not liable for any "
                    "damage or loss of data caused by its use. Check every result that you rely on.",
                    460, 300);
}
