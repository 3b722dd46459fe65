#include "app/dialogs/TCreditDia.h"

#include "app/dialogs/text_window.h"

TCreditDia::TCreditDia(QWidget* parent) : QDialog(parent) {
    BuildTextWindow(*this, "CreditDia", "Credits",
                    "Varolux32\n\n"
                    "Thanks to everyone who sent spectra, reported faults and suggested improvements, and to the "
                    "authors of the free libraries this program is built on: Qt, zlib, libpng, giflib, libtiff, "
                    "libjpeg, libzip and nettle.",
                    420, 260);
}
