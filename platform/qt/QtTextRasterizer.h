#pragma once
// The text rasterizer on Qt: QFont and QPainter::drawText into a QImage. "굴림" and faces the
// machine lacks are drawn with NanumGothic, which also stands in for letters a face has not.
#include "platform/TextRasterizer.h"

class QFont;

namespace quillet {

class QtTextRasterizer : public TextRasterizer {
public:
    TextExtent measure(const std::u16string& line, const FontSpec& font) const override;
    void draw(const std::u16string& line, const FontSpec& font, uint32_t colour, int64_t background,
              Buffer32 target, int x, int y) const override;

    static QFont fontFor(const FontSpec& spec);
};

}  // namespace quillet
