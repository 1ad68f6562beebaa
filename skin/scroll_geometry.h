// Geometry of a skin scroll bar: thumb size and place, the five parts and the hit test.
// Pure arithmetic, shared by the horizontal and the vertical bar.
#ifndef MORVANE_SKIN_SCROLL_GEOMETRY_H
#define MORVANE_SKIN_SCROLL_GEOMETRY_H

#include <windows.h>

// Parts in hit-test order.
enum SkinScrollPart {
    SSP_NONE = -1,
    SSP_FIRST_ARROW = 0,
    SSP_SECOND_ARROW = 1,
    SSP_THUMB = 2,
    SSP_TRACK_BEFORE = 3,
    SSP_TRACK_AFTER = 4,
};

struct ScrollBarGeometry {
    bool vertical = false;
    int width = 0;  // client width
    int height = 0;  // client height
    int arrowWidth = 17;
    int arrowHeight = 17;
    int max = 0;  // largest position of the scrolled object
    double ratio = 0;  // visible extent / whole extent
    int position = 0;

    // Length of the thumb: the track share of the visible ratio, at least 16 pixels.
    double ThumbLength() const
    {
        const int track = vertical ? height - 3 * arrowHeight : width - 2 * arrowWidth;
        const double length = track * ratio;
        return length < 16.0 ? 16.0 : length;
    }
    // Track pixels the thumb can travel.
    double FreeTrackLength() const
    {
        if (vertical)
            return (height - 2 * arrowHeight) - ThumbLength() + 1;
        return (width - 2 * arrowWidth) - static_cast<int>(ThumbLength());
    }
    double PixelsPerStep() const { return max < 1 ? 0.0 : FreeTrackLength() / max; }
    int ThumbStart() const
    {
        return (vertical ? arrowHeight : arrowWidth) + static_cast<int>(PixelsPerStep() * position);
    }
    int ThumbEnd() const { return ThumbStart() + static_cast<int>(ThumbLength()); }

    RECT PartRect(int part) const
    {
        const int start = ThumbStart();
        const int end = ThumbEnd();
        const int W = width, H = height, aw = arrowWidth, ah = arrowHeight;
        if (!vertical) {
            switch (part) {
            case SSP_FIRST_ARROW:
                return RECT{0, 0, aw, H};
            case SSP_SECOND_ARROW:
                return RECT{W - aw, 0, W, H};
            case SSP_THUMB:
                return RECT{start, 0, end, H};
            case SSP_TRACK_BEFORE:
                return RECT{aw, 0, start, H};
            case SSP_TRACK_AFTER:
                return RECT{end, 0, W - aw, H};
            default:
                return RECT{0, 0, 0, 0};
            }
        }
        switch (part) {
        case SSP_FIRST_ARROW:
            return RECT{0, 0, W, ah};
        case SSP_SECOND_ARROW:
            return RECT{0, H - ah, W, H};
        case SSP_THUMB:
            return RECT{0, start, W, end};
        case SSP_TRACK_BEFORE:
            return RECT{0, ah, W, start};
        case SSP_TRACK_AFTER:
            return RECT{0, end, W, H - ah};
        default:
            return RECT{0, 0, 0, 0};
        }
    }

    // The first part whose rectangle holds the point strictly inside; border lines hit nothing.
    int HitTest(POINT p) const
    {
        for (int part = SSP_FIRST_ARROW; part <= SSP_TRACK_AFTER; ++part) {
            const RECT r = PartRect(part);
            if (r.left < p.x && p.x < r.right && r.top < p.y && p.y < r.bottom)
                return part;
        }
        return SSP_NONE;
    }
};

// A position candidate kept within 0 ... max (0 when max is negative).
inline int ClampScrollPosition(long long candidate, int max)
{
    if (max < 0 || candidate < 0)
        return 0;
    return candidate > max ? max : static_cast<int>(candidate);
}

// Whole steps for a thumb drag of `delta` pixels. Without a usable step size (a track too short
// for the range) any drag goes straight to the end it points at.
inline long long ThumbDragSteps(int delta, double pixelsPerStep, int max)
{
    if (delta == 0)
        return 0;
    if (!(pixelsPerStep > 0.0))
        return delta > 0 ? static_cast<long long>(max) + 1 : -(static_cast<long long>(max) + 1);
    const double steps = delta / pixelsPerStep;
    const double limit = static_cast<double>(max) + 1.0;
    if (steps > limit)
        return static_cast<long long>(limit);
    if (steps < -limit)
        return -static_cast<long long>(limit);
    return static_cast<long long>(steps);  // truncates toward zero
}

#endif
