#pragma once
// Where the colour map puts its title, image and colour bar: the coordinates object (fixed values
// when not automatic) and the automatic layout.
#include <functional>

#include "app/plot/pcolor/pcolor_types.h"

// Pixel rectangles of title, image and colour bar within the control. While Automatic is set, writes
// are ignored (the layout computes the values); otherwise a changed value is stored and OnChange fires.
class TPColorCoordinates {
public:
    std::function<void()> OnChange;

    bool Automatic() const { return automatic_; }
    void SetAutomatic(bool on);  // always fires OnChange
    const TPixelRect& Image() const { return image_; }
    const TPixelRect& Title() const { return title_; }
    const TPixelRect& ColorBar() const { return bar_; }

    void SetImageLeft(int v) { Write(image_.Left, v); }
    void SetImageTop(int v) { Write(image_.Top, v); }
    void SetImageWidth(int v) { Write(image_.Width, v < 0 ? 0 : v); }
    void SetImageHeight(int v) { Write(image_.Height, v < 0 ? 0 : v); }
    void SetTitleLeft(int v) { Write(title_.Left, v); }
    void SetTitleTop(int v) { Write(title_.Top, v); }
    void SetTitleWidth(int v) { Write(title_.Width, v); }
    // The title height always follows from the title text.
    void SetColorBarLeft(int v) { Write(bar_.Left, v); }
    void SetColorBarTop(int v) { Write(bar_.Top, v); }
    void SetColorBarWidth(int v) { Write(bar_.Width, v); }
    void SetColorBarHeight(int v) { Write(bar_.Height, v); }

    // Copies Automatic and, when that is off, the rectangles (not the title height); fires OnChange.
    void Assign(const TPColorCoordinates& from);
    // The layout's own results, written whatever Automatic says.
    void Store(const TPixelRect& image, const TPixelRect& title, const TPixelRect& bar);

private:
    void Write(int& field, int v);

    bool automatic_ = true;
    TPixelRect image_{3, 21, 135, 126};
    TPixelRect title_{3, 5, 146, 11};
    TPixelRect bar_{141, 21, 6, 126};
};

struct TLayoutInput {
    int Width = 150, Height = 150;        // the control
    bool TitleVisible = true;
    bool TitleTextEmpty = false;
    int TitleFontHeight = 11;             // pixels
    std::function<int(int width)> MeasureTitle;  // height of the title text broken to `width`
    bool DrawColorBar = true;
    bool VerticalBar = true;
    // Room for the axes' tick labels and titles left of and below the image (0 while they are hidden).
    int AxisLeft = 0, AxisBottom = 0;
    // Room for the value labels beside a vertical bar or below a horizontal one.
    int BarLabelRoom = 0;
};

struct TLayoutResult {
    TPixelRect Image, Title, ColorBar;
    bool TitleShown = false;
    bool ColorBarShown = false;
};

// The automatic layout: title across the top, the image below it, the bar beside or below the image.
TLayoutResult AutomaticLayout(const TLayoutInput& in);
// Title and bar flags for fixed coordinates.
TLayoutResult FixedLayout(const TLayoutInput& in, const TPColorCoordinates& fixed);
