#include "document/qt/LayerRowList.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <cstring>

#include "document/CBrevDoc.h"
#include "document/LayerOps.h"

namespace quillet {

namespace {

constexpr int kSwitchWidth = 22;
constexpr int kMargin = 3;

QString toQString(std::u16string_view s) {
    return QString::fromUtf16(s.data(), qsizetype(s.size()));
}

// A light and a dark square under the layer's picture, so that transparency shows.
void DrawChecks(QPainter& p, const QRect& r) {
    p.fillRect(r, QColor(255, 255, 255));
    for (int y = 0; y < r.height(); y += 5)
        for (int x = (y / 5) % 2 * 5; x < r.width(); x += 10)
            p.fillRect(QRect(r.x() + x, r.y() + y, 5, 5).intersected(r), QColor(204, 204, 204));
}

// The visibility switch: an open eye while the layer is shown.
void DrawSwitch(QPainter& p, const QRect& r, bool shown) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1.2));
    const QRectF eye(r.center().x() - 7, r.center().y() - 4, 14, 8);
    if (shown) {
        p.drawEllipse(eye);
        p.setBrush(QColor(40, 40, 40));
        p.drawEllipse(eye.center(), 2.2, 2.2);
    } else {
        p.drawLine(eye.bottomLeft(), eye.bottomRight());
    }
    p.restore();
}

// The background layer's icon: a small framed picture with a mountain.
void DrawBackgroundIcon(QPainter& p, const QRect& r) {
    p.save();
    p.setPen(QColor(90, 90, 90));
    p.setBrush(QColor(235, 235, 215));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.setBrush(QColor(70, 120, 70));
    const QPoint peak[] = {{r.left() + 1, r.bottom() - 1},
                           {r.left() + r.width() / 2, r.top() + 3},
                           {r.right() - 1, r.bottom() - 1}};
    p.drawPolygon(peak, 3);
    p.restore();
}

}  // namespace

LayerRowList::LayerRowList(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("layerRows"));
    setMouseTracking(false);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void LayerRowList::setDocument(CBrevDoc* doc) {
    if (doc == doc_) return;
    doc_ = doc;
    for (Thumbnail& t : thumbnails_) t.valid = false;
    refresh();
}

QSize LayerRowList::sizeHint() const {
    return QSize(200, std::max<int>(1, int(rows_.size())) * kRowHeight);
}

bool LayerRowList::makeThumbnail(int slot) {
    Thumbnail& t = thumbnails_[size_t(slot)];
    const ThumbnailKey key = ThumbnailKeyOf(doc_->Layers(), slot, kThumbnailSide);
    if (t.valid && t.key == key) return false;
    ComposeLayerThumbnail(doc_->Layers(), slot, kThumbnailSide, scratch_);
    // The composed colours never exceed their alpha: premultiplied as they are.
    QImage image(kThumbnailSide, kThumbnailSide, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (int y = 0; y < scratch_.height; ++y)
        std::memcpy(image.scanLine(scratch_.y + y) + size_t(scratch_.x) * 4, scratch_.Row(y),
                    size_t(scratch_.width) * 4);
    t.image = std::move(image);
    t.key = key;
    t.valid = true;
    return true;
}

int LayerRowList::refresh() {
    int made = 0;
    rows_ = doc_ ? LayerRows(*doc_) : std::vector<LayerRow>{};
    for (const LayerRow& r : rows_) made += makeThumbnail(r.slot) ? 1 : 0;
    const int height = std::max<int>(1, int(rows_.size())) * kRowHeight;
    if (minimumHeight() != height) setFixedHeight(height);
    update();
    return made;
}

QRect LayerRowList::rowRect(int row) const {
    return QRect(0, row * kRowHeight, width(), kRowHeight);
}

QRect LayerRowList::switchRect(int row) const {
    const QRect r = rowRect(row);
    return QRect(r.x(), r.y(), kSwitchWidth, r.height());
}

int LayerRowList::rowAt(const QPoint& point) const {
    if (point.y() < 0) return -1;
    const int row = point.y() / kRowHeight;
    return row < int(rows_.size()) ? row : -1;
}

void LayerRowList::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    const QFontMetrics metrics(font());
    for (int i = 0; i < int(rows_.size()); ++i) {
        const LayerRow& row = rows_[size_t(i)];
        const QRect r = rowRect(i);
        if (row.highlighted) p.fillRect(r, palette().highlight());
        if (dragging_ && i == dropRow_ && i != pressRow_)
            p.fillRect(r.adjusted(0, 0, 0, -r.height() + 2), palette().text());
        p.setPen(row.highlighted ? palette().highlightedText().color() : palette().text().color());
        if (!row.floating) DrawSwitch(p, switchRect(i), row.visible);
        const QRect thumb(kSwitchWidth + kMargin, r.y() + (kRowHeight - kThumbnailSide) / 2,
                          kThumbnailSide, kThumbnailSide);
        DrawChecks(p, thumb);
        p.drawImage(thumb.topLeft(), thumbnails_[size_t(row.slot)].image);
        p.setPen(QColor(120, 120, 120));
        p.drawRect(thumb.adjusted(0, 0, -1, -1));
        p.setPen(row.highlighted ? palette().highlightedText().color() : palette().text().color());
        int x = thumb.right() + 2 * kMargin;
        p.drawText(QRect(x, r.y(), 20, r.height()), Qt::AlignVCenter, QString::number(row.number));
        x += 20;
        if (row.background) {
            DrawBackgroundIcon(p, QRect(x, r.center().y() - 6, 14, 12));
            x += 18;
        }
        const QString label = toQString(row.label);
        if (row.text) {
            p.drawText(QRect(x, r.y() + 4, r.width() - x, r.height() / 2 - 4), Qt::AlignVCenter,
                       label);
            p.drawText(QRect(x, r.center().y(), r.width() - x, r.height() / 2 - 4),
                       Qt::AlignVCenter, toQString(row.textStart));
        } else {
            p.drawText(QRect(x, r.y(), r.width() - x, r.height()), Qt::AlignVCenter, label);
        }
    }
}

void LayerRowList::mousePressEvent(QMouseEvent* event) {
    const int row = rowAt(event->position().toPoint());
    pressRow_ = -1;
    dragging_ = false;
    if (!doc_ || row < 0) return;
    const LayerRow& r = rows_[size_t(row)];
    if (event->button() == Qt::LeftButton && !r.floating &&
        switchRect(row).contains(event->position().toPoint())) {
        SetLayerVisible(*doc_, r.slot, !r.visible);
        return;
    }
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton)
        doc_->SelectLayer(r.slot);
    if (event->button() == Qt::RightButton) {
        if (contextMenu_) {
            QMenu* menu = contextMenu_(this);
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->popup(event->globalPosition().toPoint());
        }
        return;
    }
    if (event->button() == Qt::LeftButton && !r.floating) {
        pressRow_ = row;
        pressAt_ = event->position().toPoint();
    }
}

void LayerRowList::mouseMoveEvent(QMouseEvent* event) {
    if (pressRow_ < 0 || !(event->buttons() & Qt::LeftButton)) return;
    if (!dragging_ && (event->position().toPoint() - pressAt_).manhattanLength() <
                          QApplication::startDragDistance())
        return;
    dragging_ = true;
    const int row = rowAt(event->position().toPoint());
    if (row != dropRow_) {
        dropRow_ = row;
        update();
    }
}

void LayerRowList::mouseReleaseEvent(QMouseEvent* event) {
    const bool dragged = dragging_;
    const int from = pressRow_;
    dragging_ = false;
    pressRow_ = -1;
    dropRow_ = -1;
    if (!dragged || from < 0 || !doc_) return;
    const int to = rowAt(event->position().toPoint());
    // Dropping a row onto itself, outside the rows or onto the floating layer changes nothing.
    if (to < 0 || to == from || rows_[size_t(to)].floating) {
        update();
        return;
    }
    SwapLayerPlaces(*doc_, rows_[size_t(from)].slot, rows_[size_t(to)].slot);
}

void LayerRowList::mouseDoubleClickEvent(QMouseEvent* event) {
    const int row = rowAt(event->position().toPoint());
    if (!doc_ || row < 0 || event->button() != Qt::LeftButton) return;
    const LayerRow& r = rows_[size_t(row)];
    if (switchRect(row).contains(event->position().toPoint()) && !r.floating) return;
    if (r.text && textEditor_) textEditor_(*doc_, r.slot);
}

}  // namespace quillet
