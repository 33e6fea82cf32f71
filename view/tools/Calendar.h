#pragma once
// The month calendar: a title, the weekday headers and the days in seven columns, drawn with
// the text layers' line rasteriser into a new layer " [달력]%2d월" above the current layer.
#include <cstdint>
#include <string>

#include "view/tools/TextLayer.h"

namespace quillet {

class CBrevDoc;
class TextRasterizer;

// The Gregorian calendar: the weekday of the month's first day (0 = Sunday) and its days.
struct CalendarMonth {
    int firstWeekday = 0;
    int days = 31;
};
CalendarMonth GregorianMonth(int year, int month);

// What the calendar dialog passes to the document.
struct CalendarRequest {
    int year = 2024;
    int month = 1;
    int firstWeekday = 1;  // 0 = Sunday
    int days = 31;
    int x = 10;  // canvas position of the title's top-left corner
    int y = 10;
    TextSettings font;                 // face, size and style; its colour is the weekdays' colour
    uint32_t sundayColour = 0xFF0000;  // 0x00RRGGBB
    uint32_t saturdayColour = 0x0000FF;
    uint32_t titleColour = 0x000000;
};
// A request for a month of the Gregorian calendar with the other fields at their defaults.
CalendarRequest CalendarRequestFor(int year, int month);

// Where the days go: column of the weekday and row from the first row of days.
struct CalendarCell {
    int column = 0;
    int row = 0;
};
CalendarCell DayCell(int firstWeekday, int day);

// The measures of the grid in pixels, from the font: column width D, row height, and the
// height of the title above the weekday headers.
struct CalendarGrid {
    int column = 0;
    int row = 0;
    int title = 0;
};
CalendarGrid CalendarGridFor(const TextRasterizer& rasterizer, const TextSettings& font);

// The layer's name: " [달력]%2d월".
std::u16string CalendarLayerName(int month);

// OK in the calendar dialog: the calendar on a new layer above the current one, which becomes
// current; recorded as "[달력]". The slot, or -1 (no picture, busy, all slots used, a month
// outside 1..12).
int AddCalendarLayer(CBrevDoc& doc, const TextRasterizer& rasterizer,
                     const CalendarRequest& request);

}  // namespace quillet
