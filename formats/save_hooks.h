#pragma once
// The writer that lives outside formats/: the plot's image export, which the main window fills while it
// has a plot. The save dispatcher calls it for the rows of the plot's save dialog; an empty hook makes
// it report the format as unavailable.
#include <functional>
#include <string>

#include "formats/save_dispatcher.h"

struct TSaveHooks {
    // The current plot as an image in the format of a row of the plot's save dialog. True when the file
    // was written.
    std::function<bool(const std::string& fileName, SaveFormat format)> saveImage;
};

// The one set of hooks of the program.
TSaveHooks& SaveHooks();
