#include "app/program_state.h"

TSpectraList SpectraList;

uint8_t DisplayXUnit = 1;
uint8_t DisplayYMode = 2;

uint8_t ShowXTitle = 1;
uint8_t CustomXTitleOn = 0;
std::string CustomXTitle;
uint8_t ShowYTitle = 1;
uint8_t CustomYTitleOn = 0;
std::string CustomYTitle;

TGaussModelParams GaussModelParams = GaussDefaultParams();

TProgramSettings ProgramSettings;

void SetDisplayState(const TDisplayState& display) {
    DisplayXUnit = display.DisplayXUnit;
    DisplayYMode = display.DisplayYMode;
}

void SetDefaultDisplay() {
    SetDisplayState(TDisplayState{});
    ShowXTitle = 1;
    ShowYTitle = 1;
    CustomXTitleOn = 0;
    CustomYTitleOn = 0;
    CustomXTitle.clear();
    CustomYTitle.clear();
}
