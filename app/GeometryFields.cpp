#include "app/GeometryFields.h"

#include <algorithm>
#include <cmath>

#include "document/GeometryCommands.h"

namespace quillet {

namespace {
constexpr int kDefaultResolution = 72;
constexpr double kMaxAngle = 359;
}  // namespace

int SizePercent(int value, int current) {
    if (current < 1) return 100;
    return int((double(value) / current + 0.005) * 100);
}

ImageSizeFields::ImageSizeFields(int width, int height, int resolution)
    : currentWidth_(std::max(1, width)),
      currentHeight_(std::max(1, height)),
      width_(currentWidth_),
      height_(currentHeight_),
      resolution_(resolution >= 1 ? resolution : kDefaultResolution) {
    printFromPixels();
}

void ImageSizeFields::printFromPixels() {
    printWidth_ = double(width_) / resolution_;
    printHeight_ = double(height_) / resolution_;
}

void ImageSizeFields::percentsFromPixels(bool widthEdited) {
    widthPercent_ = SizePercent(width_, currentWidth_);
    heightPercent_ = SizePercent(height_, currentHeight_);
    // Proportional: both percentages show the edited one.
    if (proportional_) {
        if (widthEdited)
            heightPercent_ = widthPercent_;
        else
            widthPercent_ = heightPercent_;
    }
}

void ImageSizeFields::setWidth(int width) {
    width_ = std::clamp(width, 0, kMaxGeometrySide);
    if (proportional_) height_ = int(int64_t(currentHeight_) * width_ / currentWidth_);
    percentsFromPixels(true);
    printFromPixels();
}

void ImageSizeFields::setHeight(int height) {
    height_ = std::clamp(height, 0, kMaxGeometrySide);
    if (proportional_) width_ = int(int64_t(currentWidth_) * height_ / currentHeight_);
    percentsFromPixels(false);
    printFromPixels();
}

void ImageSizeFields::setWidthPercent(int percent) {
    widthPercent_ = std::max(1, percent);
    width_ = std::min(kMaxGeometrySide, int(widthPercent_ / 100.0 * currentWidth_));
    if (proportional_) {
        heightPercent_ = widthPercent_;
        height_ = std::min(kMaxGeometrySide, int(heightPercent_ / 100.0 * currentHeight_));
    }
    printFromPixels();
}

void ImageSizeFields::setHeightPercent(int percent) {
    heightPercent_ = std::max(1, percent);
    height_ = std::min(kMaxGeometrySide, int(heightPercent_ / 100.0 * currentHeight_));
    if (proportional_) {
        widthPercent_ = heightPercent_;
        width_ = std::min(kMaxGeometrySide, int(widthPercent_ / 100.0 * currentWidth_));
    }
    printFromPixels();
}

void ImageSizeFields::setPrintWidth(double inches) {
    printWidth_ = std::max(1.0, inches);
    if (proportional_) printHeight_ = printWidth_ * currentHeight_ / currentWidth_;
    width_ = std::min(kMaxGeometrySide, int(resolution_ * printWidth_));
    height_ = std::min(kMaxGeometrySide, int(resolution_ * printHeight_));
    percentsFromPixels(true);
}

void ImageSizeFields::setPrintHeight(double inches) {
    printHeight_ = std::max(1.0, inches);
    if (proportional_) printWidth_ = printHeight_ * currentWidth_ / currentHeight_;
    width_ = std::min(kMaxGeometrySide, int(resolution_ * printWidth_));
    height_ = std::min(kMaxGeometrySide, int(resolution_ * printHeight_));
    percentsFromPixels(false);
}

void ImageSizeFields::setResolution(int resolution) {
    resolution_ = std::max(1, resolution);
    width_ = std::min(kMaxGeometrySide, int(resolution_ * printWidth_));
    height_ = std::min(kMaxGeometrySide, int(resolution_ * printHeight_));
    percentsFromPixels(true);
}

void ImageSizeFields::spin(Field field, int step) {
    switch (field) {
        case Field::Width:
            return setWidth(width_ + step);
        case Field::Height:
            return setHeight(height_ + step);
        case Field::WidthPercent:
            return setWidthPercent(widthPercent_ + step);
        case Field::HeightPercent:
            return setHeightPercent(heightPercent_ + step);
        case Field::PrintWidth:
            return setPrintWidth(printWidth_ + step);
        case Field::PrintHeight:
            return setPrintHeight(printHeight_ + step);
        case Field::Resolution:
            return setResolution(resolution_ + step);
    }
}

bool ImageSizeFields::acceptable() const { return width_ >= 1 && height_ >= 1; }

void CanvasSizeFields::setAnchor(int anchor) {
    if (anchor >= 0 && anchor < kAnchorCount) anchor_ = anchor;
}

void CanvasSizeFields::spinWidth(int step) {
    width_ = std::clamp(width_ + step, currentWidth_, kMaxGeometrySide);
}

void CanvasSizeFields::spinHeight(int step) {
    height_ = std::clamp(height_ + step, currentHeight_, kMaxGeometrySide);
}

double ClampRotationAngle(double degrees) {
    if (!std::isfinite(degrees)) return 0;
    return std::clamp(std::round(degrees * 10) / 10, -kMaxAngle, kMaxAngle);
}

double RotationAngleToApply(double degrees) {
    const double a = ClampRotationAngle(degrees);
    return a < 0 ? a + 360 : a;
}

}  // namespace quillet
