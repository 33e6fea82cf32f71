#include "view/tools/Calendar.h"

#include <algorithm>
#include <string>

#include "document/CBrevDoc.h"
#include "document/LayerOps.h"
#include "platform/TextRasterizer.h"

namespace quillet {

namespace {

constexpr const char16_t* kWeekdays[7] = {u"일", u"월", u"화", u"수", u"목", u"금", u"토"};

std::u16string Digits(int v) {
    const std::string s = std::to_string(v);
    return std::u16string(s.begin(), s.end());
}

TextSettings FullWidth(TextSettings font) {
    font.widthRatio = 100;
    return font;
}

// One text's alpha map put into the layer at (x, y) (rows from the top) in `colour`.
void Put(LayerTable& t, int slot, const LineAlpha& line, int x, int y, uint32_t colour) {
    const Layer& l = t.layer(slot);
    for (int r = 0; r < line.height; ++r) {
        const int row = y + r;
        if (row < 0 || row >= l.height) continue;
        const int stored = l.height - 1 - row;
        for (int c = 0; c < line.width; ++c) {
            const uint8_t a = line.alpha[size_t(r) * size_t(line.width) + size_t(c)];
            const int col = x + c;
            if (a == 0 || col < 0 || col >= l.width) continue;
            t.PutColor(slot, col, stored, colour);
            t.PutAlpha(slot, col, stored, std::max(a, t.AlphaAt(slot, col, stored)));
        }
    }
}

uint32_t ColumnColour(const CalendarRequest& q, int column) {
    if (column == 0) return q.sundayColour & 0xFFFFFF;
    if (column == 6) return q.saturdayColour & 0xFFFFFF;
    return q.font.colour & 0xFFFFFF;
}

}  // namespace

CalendarMonth GregorianMonth(int year, int month) {
    CalendarMonth m;
    month = std::clamp(month, 1, 12);
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    m.days = kDays[month - 1] + (month == 2 && leap ? 1 : 0);
    // Sakamoto's rule for the weekday of the first, 0 = Sunday.
    static constexpr int kShift[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    const int64_t y = int64_t(year) - (month < 3 ? 1 : 0);
    const int64_t w = (y + y / 4 - y / 100 + y / 400 + kShift[month - 1] + 1) % 7;
    m.firstWeekday = int((w + 7) % 7);
    return m;
}

CalendarRequest CalendarRequestFor(int year, int month) {
    CalendarRequest q;
    q.year = year;
    q.month = month;
    const CalendarMonth m = GregorianMonth(year, month);
    q.firstWeekday = m.firstWeekday;
    q.days = m.days;
    return q;
}

CalendarCell DayCell(int firstWeekday, int day) {
    const int at = std::clamp(firstWeekday, 0, 6) + day - 1;
    return {at % 7, at / 7};
}

CalendarGrid CalendarGridFor(const TextRasterizer& r, const TextSettings& font) {
    const TextSettings f = FullWidth(font);
    int widest = 0, tallest = 0;
    for (const char16_t* label : kWeekdays) {
        const LineAlpha a = RasterizeTextLine(r, label, f);
        widest = std::max(widest, a.width);
        tallest = std::max(tallest, a.height);
    }
    const LineAlpha digits = RasterizeTextLine(r, u"00", f);
    widest = std::max(widest, digits.width);
    tallest = std::max({tallest, digits.height, 1});
    CalendarGrid g;
    g.column = widest + std::max(4, tallest / 2);
    g.row = tallest + std::max(2, tallest / 3);
    g.title = g.row + tallest / 2;
    return g;
}

std::u16string CalendarLayerName(int month) {
    std::u16string number = Digits(month);
    if (number.size() < 2) number.insert(number.begin(), u' ');
    return u" [달력]" + number + u"월";
}

int AddCalendarLayer(CBrevDoc& doc, const TextRasterizer& rasterizer, const CalendarRequest& q) {
    LayerTable& t = doc.Layers();
    if (q.month < 1 || q.month > 12 || q.days < 1 || q.days > 31) return -1;
    const int current = doc.CurrentLayer();
    const int slot =
        InsertLayerAbove(doc, t.InList(current) ? current : t.Top(), CalendarLayerName(q.month));
    if (slot < 0) return -1;

    const TextSettings font = FullWidth(q.font);
    const CalendarGrid g = CalendarGridFor(rasterizer, font);
    const std::u16string title = Digits(q.year) + u"년 " + Digits(q.month) + u"월";
    Put(t, slot, RasterizeTextLine(rasterizer, title, font), q.x, q.y, q.titleColour & 0xFFFFFF);
    const int headerY = q.y + g.title;
    for (int c = 0; c < 7; ++c)
        Put(t, slot, RasterizeTextLine(rasterizer, kWeekdays[c], font), q.x + c * g.column, headerY,
            ColumnColour(q, c));
    for (int day = 1; day <= q.days; ++day) {
        const CalendarCell cell = DayCell(q.firstWeekday, day);
        const int x = q.x + cell.column * g.column + (day < 10 ? g.column / 4 : 0);
        const int y = headerY + g.row * (cell.row + 1);
        Put(t, slot, RasterizeTextLine(rasterizer, Digits(day), font), x, y,
            ColumnColour(q, cell.column));
    }
    t.Touch(slot);
    doc.SetCurrentLayerIndex(slot);
    doc.RecordStep(u"[달력]", StepKind::AddLayer, slot);
    doc.NotifyLayerListChanged();
    doc.NotifyViewsUpdate();
    return slot;
}

}  // namespace quillet
