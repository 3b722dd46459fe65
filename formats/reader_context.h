#pragma once
// What the Open command lends its readers besides the file: the program's settings that a reader may
// need. The program keeps them (app/); a reader is given them for the call.
#include <cstdint>
#include <string>

#include "core/spectrum_record.h"

// The axis types the query dialog of headerless text files showed last: x unit code and y kind code.
// nm and intensity at start; every close of the dialog stores its selection here for the rest of the run.
struct TAxisQueryChoice {
    SpecXUnit XUnit = SpecXNanometer;
    SpecYKind YKind = SpecYIntensity;
};

struct TReaderContext {
    const std::string& ProgramFolder;   // ends with "/"; the SPC library lies there
    TAxisQueryChoice& AxisQueryChoice;  // read and updated by the query of headerless text files
};
