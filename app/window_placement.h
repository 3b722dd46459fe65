#pragma once
// Placement of the main window in the settings store (files key, values "Flags", "ShowCmd",
// "MinMaxPos", "NormPos" as "%d,%d,%d,%d" and "PixelsPerInch").
#include <optional>
#include <string>

struct TWindowPlacement {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;  // normal position, right and bottom exclusive
    bool Maximized = false;
};

std::optional<TWindowPlacement> LoadWindowPlacement();
bool SaveWindowPlacement(const TWindowPlacement& p);
// "%d,%d,%d,%d"; nullopt when the text is not four integers.
std::optional<TWindowPlacement> ParsePlacementRect(const std::string& text);
