#include "app/plot/pcolor/pcolor_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

void TPColorCoordinates::Write(int& field, int v) {
    if (automatic_ || field == v) return;
    field = v;
    if (OnChange) OnChange();
}

void TPColorCoordinates::SetAutomatic(bool on) {
    automatic_ = on;
    if (OnChange) OnChange();
}

void TPColorCoordinates::Assign(const TPColorCoordinates& from) {
    automatic_ = from.automatic_;
    if (!automatic_) {
        image_ = from.image_;
        const int h = title_.Height;
        title_ = from.title_;
        title_.Height = h;
        bar_ = from.bar_;
    }
    if (OnChange) OnChange();
}

void TPColorCoordinates::Store(const TPixelRect& image, const TPixelRect& title, const TPixelRect& bar) {
    image_ = image;
    title_ = title;
    bar_ = bar;
}

TLayoutResult AutomaticLayout(const TLayoutInput& in) {
    TLayoutResult r;
    TPixelRect& t = r.Title;
    TPixelRect& im = r.Image;
    TPixelRect& bar = r.ColorBar;
    t.Left = 3;
    t.Width = in.Width - 6;
    t.Top = std::abs(static_cast<int>(std::nearbyint(in.TitleFontHeight * 0.5)));
    t.Height = in.MeasureTitle ? in.MeasureTitle(t.Width) : 0;
    r.TitleShown = in.TitleVisible && !in.TitleTextEmpty;
    im.Left = 3 + in.AxisLeft;
    im.Top = r.TitleShown ? t.Height + 2 * t.Top : 3;
    if (!in.DrawColorBar) {
        im.Width = in.Width - im.Left - 3;
        im.Height = in.Height - im.Top - 3 - in.AxisBottom;
    } else if (in.VerticalBar) {
        im.Height = in.Height - im.Top - 3 - in.AxisBottom;
        bar.Top = im.Top;
        bar.Height = im.Height;
        bar.Width = std::min(static_cast<int>(std::trunc(0.1 * bar.Height)), 30);
        im.Width = in.Width - im.Left - bar.Width - 6 - in.BarLabelRoom;
        if (static_cast<int>(std::trunc(0.05 * im.Width)) < bar.Width) {
            bar.Width = static_cast<int>(std::trunc(0.05 * im.Width));
            im.Width = in.Width - im.Left - bar.Width - 6 - in.BarLabelRoom;
        }
        bar.Left = im.Left + im.Width + 3;
    } else {
        im.Width = in.Width - im.Left - 3;
        bar.Left = im.Left;
        bar.Width = im.Width;
        bar.Height = std::min(static_cast<int>(std::trunc(0.1 * bar.Width)), 30);
        im.Height = in.Height - im.Top - bar.Height - 6 - in.AxisBottom - in.BarLabelRoom;
        if (static_cast<int>(std::trunc(0.05 * im.Height)) < bar.Height) {
            bar.Height = static_cast<int>(std::trunc(0.05 * im.Height));
            im.Height = in.Height - im.Top - bar.Height - 6 - in.AxisBottom - in.BarLabelRoom;
        }
        bar.Top = im.Top + im.Height + in.AxisBottom + 3;
    }
    if (im.Width < 0 || im.Height < 0) im.Width = im.Height = 0;
    if (in.Height < t.Height + t.Top) r.TitleShown = false;
    r.ColorBarShown = in.DrawColorBar && !im.Empty();
    return r;
}

TLayoutResult FixedLayout(const TLayoutInput& in, const TPColorCoordinates& fixed) {
    TLayoutResult r;
    r.Image = fixed.Image();
    r.Title = fixed.Title();
    r.ColorBar = fixed.ColorBar();
    if (in.MeasureTitle) r.Title.Height = in.MeasureTitle(r.Title.Width);
    r.TitleShown = in.TitleVisible;
    r.ColorBarShown = in.DrawColorBar;
    return r;
}
