#pragma once

#include "common/GdiResources.h"
#include "ui/framework/CWnd.h"

#include <cstdint>

// Whether a trackbar's scroll code moves the thumb to a new value: line, page, drag, top
// and bottom. The release (TB_THUMBPOSITION, TB_ENDTRACK) brings no new value.
bool IsSliderMoveCode(WORD scrollCode);

// One trackbar of a dialog, painted with a coloured wedge behind its thumb. Positions
// are logical: the maximum is at the top of a vertical trackbar, and the object turns
// them into the trackbar's own positions and back.
class CTrackSlider : public CWnd {
public:
    // Binds the trackbar and sets its range, steps and look.
    void Attach(HWND trackbar, int minimum, int maximum, int lineStep, int pageStep, uint32_t firstColor,
                uint32_t secondColor, bool drawWedge);

    // The logical position: maximum − raw position + minimum.
    int LogicalPosition() const;
    // Moves the thumb to logical position `value`.
    void SetLogicalPosition(int value, bool redraw = true);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnEraseBkgnd(HDC deviceContext) override;
    LRESULT OnLButtonDown(WPARAM keys, int x, int y) override;
    LRESULT OnLButtonUp(WPARAM keys, int x, int y) override;
    LRESULT OnCustomDraw(NMCUSTOMDRAW* draw) override;

    uint32_t color1 = 0; // ARGB, the top (maximum) end
    uint32_t color2 = 0; // ARGB, the bottom end; opaque white derives it from color1
    bool wedge = false;
    bool dragging = false; // for sliders that act on release

private:
    // The range as set through this object: asking the trackbar at every position change
    // would cost two more sent messages each time.
    int rangeMinimum = 0;
    int rangeMaximum = 100;

    // What the wedge's picture depends on; a change draws it anew.
    struct WedgeKey {
        LONG width = 0;
        LONG height = 0;
        bool vertical = false;
        bool wedge = false;
        uint32_t color1 = 0;
        uint32_t color2 = 0;
        COLORREF window = 0;
        COLORREF shadow = 0;
        COLORREF highlight = 0;
        uint32_t dpi = 0;
        bool operator==(const WedgeKey&) const = default;
    };

    void PaintWedge(const NMCUSTOMDRAW& draw);
    // Renders the wedge, anti-aliased and with alpha, into `wedgePicture`.
    bool RenderWedge(const WedgeKey& key);

    // The trackbar asks for every part of itself to be drawn over the wedge; the picture
    // is made once and then only copied.
    WedgeKey wedgeKey;
    UniqueHbitmap wedgePicture;
    RECT wedgeBounds{}; // of the picture's pixels that are not transparent
};
