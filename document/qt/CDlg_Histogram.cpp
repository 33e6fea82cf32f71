#include "document/qt/CDlg_Histogram.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace quillet {

namespace {
constexpr int kStripTop = 145, kStripBottom = 155;
}

HistogramGraph::HistogramGraph(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("graph"));
    setFixedSize(280, 165);
}

void HistogramGraph::setCounts(const std::array<uint32_t, 256>& counts) {
    counts_ = counts;
    highest_ = *std::max_element(counts.begin(), counts.end());
    update();
}

void HistogramGraph::moveMarker(int x) {
    const int level = std::clamp(x - 10, 0, 255);
    int black = black_, white = white_;
    (std::abs(level - black_) <= std::abs(level - white_) ? black : white) = level;
    if (black < white) {
        black_ = black;
        white_ = white;
    }
    update();
}

void HistogramGraph::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setPen(Qt::black);
    p.drawRect(10, 10, 256, 120);
    p.setPen(Qt::lightGray);
    for (int x : {73, 137, 201}) p.drawLine(x, 10, x, 130);
    p.setPen(Qt::black);
    const double k = highest_ ? std::min(1.0, 119.0 / highest_) : 1.0;
    for (int i = 0; i < 255; ++i)
        if (counts_[size_t(i)]) p.drawLine(i + 10, 130 - int(k * counts_[size_t(i)]), i + 10, 131);
    p.drawRect(10, kStripTop, 256, kStripBottom - kStripTop);
    for (auto [level, fill] : {std::pair{black_, Qt::black}, {white_, Qt::white}}) {
        const QPolygon marker({QPoint(level + 10, kStripTop), QPoint(level + 6, kStripBottom),
                               QPoint(level + 14, kStripBottom)});
        p.setBrush(fill);
        p.drawPolygon(marker);
    }
}

void HistogramGraph::mousePressEvent(QMouseEvent* e) {
    const int y = int(e->position().y());
    if (y < kStripTop - 2 || y > kStripBottom + 4) return;
    dragging_ = true;
    moveMarker(int(e->position().x()));
}

void HistogramGraph::mouseMoveEvent(QMouseEvent* e) {
    if (dragging_) moveMarker(int(e->position().x()));
}

void HistogramGraph::mouseReleaseEvent(QMouseEvent*) {
    if (!dragging_) return;
    dragging_ = false;
    emit released();
}

CDlg_Histogram::CDlg_Histogram(CBrevDoc& doc, QWidget* parent)
    : AdjustmentDialog(doc, false, parent) {
    setWindowTitle(QStringLiteral("      히스토그램 조정"));
    if (started()) histogram_ = CurrentLayerHistogram(doc);
    auto* layout = new QVBoxLayout(this);
    auto* radios = new QHBoxLayout;
    auto* group = new QButtonGroup(this);
    const QString captions[4] = {QStringLiteral("RGB"), QStringLiteral("빨강"),
                                 QStringLiteral("녹색"), QStringLiteral("청색")};
    for (int c = 0; c < 4; ++c) {
        channels_[size_t(c)] = new QRadioButton(captions[c], this);
        channels_[size_t(c)]->setObjectName(QStringLiteral("channel%1").arg(c));
        group->addButton(channels_[size_t(c)], c);
        radios->addWidget(channels_[size_t(c)]);
    }
    layout->addLayout(radios);
    graph_ = new HistogramGraph(this);
    layout->addWidget(graph_);
    layout->addWidget(new QLabel(
        QStringLiteral("0                            127                           255"), this));
    highest_ = new QLabel(this);
    highest_->setObjectName(QStringLiteral("highest"));
    range_ = new QLabel(this);
    range_->setObjectName(QStringLiteral("range"));
    auto* labels = new QHBoxLayout;
    labels->addWidget(new QLabel(QStringLiteral("최대도수"), this));
    labels->addWidget(highest_);
    labels->addWidget(new QLabel(QStringLiteral("명암범위"), this));
    labels->addWidget(range_);
    layout->addLayout(labels);
    connect(group, &QButtonGroup::idClicked, this, [this](int c) { showChannel(c); });
    connect(graph_, &HistogramGraph::released, this, [this] { preview(&histogram_); });
    channels_[0]->setChecked(true);
    showChannel(0);
    addButtons();
}

void CDlg_Histogram::showChannel(int channel) {
    channel_ = channel;
    const auto& counts = histogram_.counts[size_t(channel)];
    graph_->setCounts(counts);
    int low = 0, high = 255;
    while (low < 255 && !counts[size_t(low)]) ++low;
    while (high > 0 && !counts[size_t(high)]) --high;
    highest_->setText(QString::number(*std::max_element(counts.begin(), counts.end())));
    range_->setText(QStringLiteral("%1 ~ %2").arg(low).arg(high));
}

std::optional<ColourAdjustment> CDlg_Histogram::adjustment() const {
    if (graph_->black() == 0 && graph_->white() == 255) return std::nullopt;
    return LevelsRequest{HistogramChannel(channel_), graph_->black(), graph_->white()};
}

}  // namespace quillet
