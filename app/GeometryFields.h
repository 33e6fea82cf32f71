#pragma once
// The numbers of the image-size, canvas-size and free-rotation dialogs: what each edit does to
// the other fields. The Qt dialogs only show them.

namespace quillet {

// "      이미지 크기 지정": pixel size, percentages, print size and resolution of one picture.
class ImageSizeFields {
public:
    enum class Field {
        Width,
        Height,
        WidthPercent,
        HeightPercent,
        PrintWidth,
        PrintHeight,
        Resolution
    };

    // The picture's current size and resolution (pixels per inch; below 1 counts as 72).
    ImageSizeFields(int width, int height, int resolution);

    int width() const { return width_; }
    int height() const { return height_; }
    int widthPercent() const { return widthPercent_; }
    int heightPercent() const { return heightPercent_; }
    double printWidth() const { return printWidth_; }
    double printHeight() const { return printHeight_; }
    int resolution() const { return resolution_; }
    // "동일 비율로 조정중" (the default) or "서로다른 비율로 조정중".
    bool proportional() const { return proportional_; }
    void toggleMode() { proportional_ = !proportional_; }

    // Typed values. Percentages, print sizes and the resolution stay at 1 or more.
    void setWidth(int width);
    void setHeight(int height);
    void setWidthPercent(int percent);
    void setHeightPercent(int percent);
    void setPrintWidth(double inches);
    void setPrintHeight(double inches);
    void setResolution(int resolution);
    // A spin button: +1 up, -1 down, then as if typed.
    void spin(Field field, int step);

    // The size OK passes on: at least 1 × 1.
    bool acceptable() const;

private:
    void percentsFromPixels(bool widthEdited);
    void printFromPixels();

    int currentWidth_, currentHeight_;
    int width_, height_;
    int widthPercent_ = 100, heightPercent_ = 100;
    double printWidth_, printHeight_;
    int resolution_;
    bool proportional_ = true;
};

// trunc((value / current + 0.005) × 100): the percentage shown beside an edited size.
int SizePercent(int value, int current);

// "      캔버스 크기 조정": the new size never below the current one by the spin buttons; the
// anchor 0..8 in reading order, the centre (4) to begin with.
class CanvasSizeFields {
public:
    CanvasSizeFields(int width, int height)
        : currentWidth_(width), currentHeight_(height), width_(width), height_(height) {}
    int currentWidth() const { return currentWidth_; }
    int currentHeight() const { return currentHeight_; }
    int width() const { return width_; }
    int height() const { return height_; }
    int anchor() const { return anchor_; }
    void setWidth(int width) { width_ = width; }
    void setHeight(int height) { height_ = height; }
    void setAnchor(int anchor);
    void spinWidth(int step);
    void spinHeight(int step);
    bool acceptable() const { return width_ >= 1 && height_ >= 1; }

private:
    int currentWidth_, currentHeight_, width_, height_;
    int anchor_ = 4;
};

// "      자유 회전": one decimal, -359..359 (beyond: the limit); the angle handed on is
// angle + 360 when negative.
double ClampRotationAngle(double degrees);
double RotationAngleToApply(double degrees);

}  // namespace quillet
