#include "platform/frame.h"

void TFrame::Resize(int32_t width, int32_t height) {
    Width = width;
    Height = height;
    Bgra.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
}
