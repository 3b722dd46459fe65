#pragma once
// Writers that live outside formats/: the plot's image export, the SPC library binding and the JCAMP-DX
// writer fill these when they are built in. The save dispatcher calls them; an empty hook makes it
// report the format as unavailable.
#include <functional>
#include <string>

#include "formats/save_dispatcher.h"

struct TSaveHooks {
    // The current plot as an image in the format of a row of the plot's save dialog. True when the file
    // was written.
    std::function<bool(const std::string& fileName, SaveFormat format)> saveImage;
    // One spectrum of the program's list as SPC / JCAMP-DX, choosing it when the list holds more than one.
    // True when the file was written (false after a cancelled choice).
    std::function<bool(const std::string& fileName)> saveSpc;
    std::function<bool(const std::string& fileName)> saveJcamp;
};

// The one set of hooks of the program.
TSaveHooks& SaveHooks();
